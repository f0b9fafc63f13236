#pragma once

// The two COM objects of an OLE drag: the data offered (blocks in global
// memory) and the source's answers to the drag loop. Reference counts start
// at 1; the last Release deletes the object.
//
// Threads: [editor]. OLE calls them back on the thread that runs the drag.
// Ours before windows.h, whose macros (DrawText) would rename members.
#include "framework/graphics/GraphicsTypes.h"

#include <windows.h>
#include <ole2.h>

#include <string>
#include <vector>

namespace velmora::win {

class CDataObject final : public IDataObject {
 public:
  // Copies the formats and takes over the media (released with the object).
  CDataObject(const FORMATETC* formats, const STGMEDIUM* media, int count);

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override;
  ULONG STDMETHODCALLTYPE AddRef() override;
  ULONG STDMETHODCALLTYPE Release() override;
  HRESULT STDMETHODCALLTYPE GetData(FORMATETC* requested, STGMEDIUM* medium) override;
  HRESULT STDMETHODCALLTYPE GetDataHere(FORMATETC* requested, STGMEDIUM* medium) override;
  HRESULT STDMETHODCALLTYPE QueryGetData(FORMATETC* requested) override;
  HRESULT STDMETHODCALLTYPE GetCanonicalFormatEtc(FORMATETC* in, FORMATETC* out) override;
  HRESULT STDMETHODCALLTYPE SetData(FORMATETC* format, STGMEDIUM* medium, BOOL release) override;
  HRESULT STDMETHODCALLTYPE EnumFormatEtc(DWORD direction, IEnumFORMATETC** out) override;
  HRESULT STDMETHODCALLTYPE DAdvise(FORMATETC* format, DWORD flags, IAdviseSink* sink, DWORD* connection) override;
  HRESULT STDMETHODCALLTYPE DUnadvise(DWORD connection) override;
  HRESULT STDMETHODCALLTYPE EnumDAdvise(IEnumSTATDATA** out) override;

 private:
  ~CDataObject();
  int Find(const FORMATETC* requested) const;

  LONG mRefCount = 1;
  int mCount;
  FORMATETC* mFormats;
  STGMEDIUM* mMedia;
};

class CDropSource final : public IDropSource {
 public:
  // backInWindow: a window the drag ends over as soon as the pointer is back
  // on it (a cancel, which WentBack tells apart); null for none.
  explicit CDropSource(HWND backInWindow = nullptr) : mWindow(backInWindow) {}

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override;
  ULONG STDMETHODCALLTYPE AddRef() override;
  ULONG STDMETHODCALLTYPE Release() override;
  HRESULT STDMETHODCALLTYPE QueryContinueDrag(BOOL escapePressed, DWORD keyState) override;
  HRESULT STDMETHODCALLTYPE GiveFeedback(DWORD effect) override;

  bool WentBack() const { return mWentBack; }
  // The button was let go over that window: its release is the window's,
  // at this point of its client area.
  bool ReleasedThere() const { return mReleasedThere; }
  POINT BackAt() const { return mBackAt; }

 private:
  ~CDropSource() = default;

  LONG mRefCount = 1;
  HWND mWindow;
  bool mWentBack = false;
  bool mReleasedThere = false;
  POINT mBackAt{};
};

// The drag data of a shell file list (a DROPFILES block, as
// DragData::kWindowsFileList carries it): CF_HDROP, DVASPECT_CONTENT,
// TYMED_HGLOBAL, the bytes in a movable block. A narrow block's paths are
// read as UTF-8 and offered wide (fWide set, UTF-16); a wide block goes as
// it is. Null when the block cannot be made.
CDataObject* MakeFileDropData(const std::string& fileList);

// Drags the offer's file list with the copy effect and returns when the drop
// or the cancel is done; kNotStarted when the offer holds no file list or no
// drag could start. Runs DoDragDrop's own loop; call it while the button
// that starts the drag is held. The other types of the offer are passed over.
// With backInWindow the drag ends as soon as the pointer is over that window
// again; a release there is posted to it, for the window to handle as its
// own once the loop is gone.
DragOutcome RunOleDrag(const std::vector<DragData>& offer, HWND backInWindow = nullptr);

}  // namespace velmora::win
