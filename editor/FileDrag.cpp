// One offer of a file for every platform: X11 drop targets take it as a URI
// list (plain-text targets get the same), Windows ones as the shell's file
// list. Each editor window passes over the types it cannot offer.
#include "editor/FileDrag.h"

#include "core/platform/DragPayload.h"
#include "framework/graphics/IGraphics.h"

namespace velmora {
namespace {

class EditorFileDrag : public FileDragSource {
 public:
  explicit EditorFileDrag(IGraphics& editor) : mEditor(editor) {}

  bool DragFile(const std::string& path) override { return mEditor.StartDrag(FileOffer(path)); }

 private:
  IGraphics& mEditor;
};

}  // namespace

std::vector<DragData> FileOffer(const std::string& path) {
  const std::string uris = UriListPayload(path);
  const std::vector<uint8_t> fileList = ExportedFileList(path);
  return {DragData{"text/uri-list", uris}, DragData{"text/plain", uris},
          DragData{DragData::kWindowsFileList, std::string(fileList.begin(), fileList.end())}};
}

std::unique_ptr<FileDragSource> MakePlatformFileDrag(IGraphics& editor) {
  return std::make_unique<EditorFileDrag>(editor);
}

}  // namespace velmora
