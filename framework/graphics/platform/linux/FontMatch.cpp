#include "framework/graphics/platform/linux/FontMatch.h"

#include <fontconfig/fontconfig.h>

#include <mutex>

namespace velmora {

namespace {

bool EnsureFontconfig() {
  static std::once_flag once;
  static bool ready = false;
  std::call_once(once, [] { ready = FcInit() == FcTrue; });
  return ready;
}

void ReadResult(FcPattern* match, FontFile& out) {
  FcChar8* file = nullptr;
  if (FcPatternGetString(match, FC_FILE, 0, &file) == FcResultMatch && file) {
    out.path = reinterpret_cast<const char*>(file);
  }
  int index = 0;
  if (FcPatternGetInteger(match, FC_INDEX, 0, &index) == FcResultMatch) out.index = index;
  FcBool embolden = FcFalse;
  if (FcPatternGetBool(match, FC_EMBOLDEN, 0, &embolden) == FcResultMatch) out.embolden = embolden == FcTrue;
  FcMatrix* matrix = nullptr;
  if (FcPatternGetMatrix(match, FC_MATRIX, 0, &matrix) == FcResultMatch && matrix) {
    out.hasMatrix = true;
    out.xx = matrix->xx;
    out.xy = matrix->xy;
    out.yx = matrix->yx;
    out.yy = matrix->yy;
  }
}

}  // namespace

bool MatchFontFile(const std::string& face, bool bold, bool italic, FontFile& out) {
  if (!EnsureFontconfig()) return false;
  FcPattern* pattern = FcPatternCreate();
  if (!pattern) return false;
  if (!face.empty()) FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(face.c_str()));
  FcPatternAddInteger(pattern, FC_WEIGHT, bold ? FC_WEIGHT_BOLD : FC_WEIGHT_REGULAR);
  FcPatternAddInteger(pattern, FC_SLANT, italic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
  FcPatternAddBool(pattern, FC_SCALABLE, FcTrue);
  FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
  FcDefaultSubstitute(pattern);
  FcResult result = FcResultNoMatch;
  FcPattern* match = FcFontMatch(nullptr, pattern, &result);
  FcPatternDestroy(pattern);
  if (!match) return false;
  // The match is already prepared for rendering: it carries the synthesis.
  ReadResult(match, out);
  FcPatternDestroy(match);
  return !out.path.empty();
}

}  // namespace velmora
