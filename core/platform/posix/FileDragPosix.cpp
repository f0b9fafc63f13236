// X11 drop targets take a file as a URI list; plain-text targets get the same.
#include "core/platform/DragPayload.h"
#include "core/platform/FileDrag.h"
#include "framework/graphics/IGraphics.h"

namespace velmora {
namespace {

class UriListDrag : public FileDragSource {
 public:
  explicit UriListDrag(IGraphics& editor) : mEditor(editor) {}

  bool DragFile(const std::string& path) override {
    const std::string uris = UriListPayload(path);
    return mEditor.StartDrag({DragData{"text/uri-list", uris}, DragData{"text/plain", uris}});
  }

 private:
  IGraphics& mEditor;
};

}  // namespace

std::unique_ptr<FileDragSource> MakePlatformFileDrag(IGraphics& editor) {
  return std::make_unique<UriListDrag>(editor);
}

}  // namespace velmora
