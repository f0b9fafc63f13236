#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace velmora {

// The offers of the exported file to a drop target, as plain bytes.

// text/uri-list: "file://" + the absolute path percent-encoded (RFC 3986
// unreserved characters and '/' kept) + "\r\n".
std::string UriListPayload(const std::string& absolutePath);

// The Windows CF_HDROP block: a DROPFILES record (pFiles 20, pt 0/0, fNC 1,
// fWide 0) followed by the path's bytes and two zero bytes; size L + 22.
// The path stays UTF-8: the Windows drag offers it to targets as UTF-16.
std::vector<uint8_t> ExportedFileList(const std::string& path);

}  // namespace velmora
