#pragma once

#include <string>

namespace velmora {

// The font file fontconfig picks for a face name and style, with the
// synthesis it asks for when the family lacks a bold or italic member.
struct FontFile {
  std::string path;
  int index = 0;
  bool embolden = false;
  bool hasMatrix = false;
  double xx = 1, xy = 0, yx = 0, yy = 1;
};

bool MatchFontFile(const std::string& face, bool bold, bool italic, FontFile& out);

}  // namespace velmora
