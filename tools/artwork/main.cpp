// velmora-artwork: draws the editor's pictures.
//   velmora-artwork <dir>                      writes bg.png and every control picture into <dir>,
//                                              and the same drawn at 2x into <dir>/2x
//   velmora-artwork --preview <dir> <out.png>  the pictures in <dir> composed as the editor shows them
#include <cstdio>
#include <cstring>
#include <exception>
#include <filesystem>
#include <string>

#include "framework/graphics/raster/PngCodec.h"
#include "tools/artwork/Artwork.h"

namespace {

int Usage() {
  std::fprintf(stderr, "usage: velmora-artwork <dir>\n       velmora-artwork --preview <dir> <out.png>\n");
  return 2;
}

bool Write(const velmora::artwork::Canvas& c, const std::string& path, bool alpha) {
  if (velmora::WritePng(c.Bitmap(), path, alpha)) return true;
  std::fprintf(stderr, "velmora-artwork: cannot write %s\n", path.c_str());
  return false;
}

// One set of pictures, drawn at percent of the layout's size.
int GenerateSet(const std::string& dir, int percent) {
  using namespace velmora::artwork;
  Canvas background(kEditorWidth, kEditorHeight, Rgb(0, 0, 0), percent);
  DrawBackground(background);
  if (!Write(background, dir + "/bg.png", false)) return 1;
  for (const Picture& p : MakePictures(background)) {
    if (!Write(*p.image, dir + "/" + p.file, p.alpha)) return 1;
  }
  return 0;
}

int Generate(const std::string& dir) {
  // The editor shrinks the 2x drawings for the scales between.
  const std::string twice = dir + "/2x";
  std::error_code error;
  std::filesystem::create_directories(twice, error);
  return GenerateSet(dir, 100) != 0 || GenerateSet(twice, 200) != 0 ? 1 : 0;
}

}  // namespace

int main(int argc, char** argv) {
  try {
    if (argc == 4 && std::strcmp(argv[1], "--preview") == 0) {
      if (velmora::artwork::WritePreview(argv[2], argv[3])) return 0;
      std::fprintf(stderr, "velmora-artwork: cannot read the pictures in %s or write %s\n", argv[2], argv[3]);
      return 1;
    }
    if (argc != 2 || argv[1][0] == '-') return Usage();
    return Generate(argv[1]);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "velmora-artwork: %s\n", e.what());
    return 1;
  }
}
