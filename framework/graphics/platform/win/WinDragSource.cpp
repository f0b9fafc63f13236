// OLE drag-and-drop: a CF_HDROP offer with the copy effect, run by
// DoDragDrop on the editor's thread until the drop or cancel.
#include "framework/graphics/platform/win/WinDragSource.h"

#include "framework/plugin/platform/win/WideText.h"

#include <shlobj.h>

#include <algorithm>
#include <cstring>
#include <new>

namespace velmora::win {

// --- CDataObject

CDataObject::CDataObject(const FORMATETC* formats, const STGMEDIUM* media, int count)
    : mCount(count), mFormats(new FORMATETC[count]), mMedia(new STGMEDIUM[count]) {
  for (int i = 0; i < count; ++i) {
    mFormats[i] = formats[i];
    mMedia[i] = media[i];
  }
}

CDataObject::~CDataObject() {
  for (int i = 0; i < mCount; ++i) ReleaseStgMedium(&mMedia[i]);
  delete[] mFormats;
  delete[] mMedia;
}

HRESULT CDataObject::QueryInterface(REFIID iid, void** out) {
  if (!out) return E_POINTER;
  if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDataObject)) {
    AddRef();
    *out = static_cast<IDataObject*>(this);
    return S_OK;
  }
  *out = nullptr;
  return E_NOINTERFACE;
}

ULONG CDataObject::AddRef() { return ULONG(InterlockedIncrement(&mRefCount)); }

ULONG CDataObject::Release() {
  const LONG count = InterlockedDecrement(&mRefCount);
  if (count == 0) delete this;
  return ULONG(count);
}

int CDataObject::Find(const FORMATETC* requested) const {
  if (!requested) return -1;
  for (int i = 0; i < mCount; ++i) {
    if ((requested->tymed & mFormats[i].tymed) != 0 && requested->cfFormat == mFormats[i].cfFormat &&
        requested->dwAspect == mFormats[i].dwAspect) {
      return i;
    }
  }
  return -1;
}

// The receiver owns what it gets: a fixed copy of the stored block.
HRESULT CDataObject::GetData(FORMATETC* requested, STGMEDIUM* medium) {
  const int i = Find(requested);
  if (i < 0 || !medium) return DV_E_FORMATETC;
  medium->tymed = mMedia[i].tymed;
  medium->pUnkForRelease = nullptr;
  if (mMedia[i].tymed != TYMED_HGLOBAL) return DV_E_FORMATETC;
  const SIZE_T size = GlobalSize(mMedia[i].hGlobal);
  const void* source = GlobalLock(mMedia[i].hGlobal);
  if (!source) return E_OUTOFMEMORY;
  HGLOBAL copy = GlobalAlloc(GMEM_FIXED, size);
  if (copy) std::memcpy(reinterpret_cast<void*>(copy), source, size);
  GlobalUnlock(mMedia[i].hGlobal);
  if (!copy) return E_OUTOFMEMORY;
  medium->hGlobal = copy;
  return S_OK;
}

HRESULT CDataObject::GetDataHere(FORMATETC*, STGMEDIUM*) { return DV_E_FORMATETC; }

HRESULT CDataObject::QueryGetData(FORMATETC* requested) { return Find(requested) >= 0 ? S_OK : DV_E_FORMATETC; }

HRESULT CDataObject::GetCanonicalFormatEtc(FORMATETC*, FORMATETC* out) {
  if (out) out->ptd = nullptr;
  return E_NOTIMPL;
}

HRESULT CDataObject::SetData(FORMATETC*, STGMEDIUM*, BOOL) { return E_NOTIMPL; }

HRESULT CDataObject::EnumFormatEtc(DWORD direction, IEnumFORMATETC** out) {
  if (direction != DATADIR_GET) return E_NOTIMPL;
  return SHCreateStdEnumFmtEtc(UINT(mCount), mFormats, out);
}

HRESULT CDataObject::DAdvise(FORMATETC*, DWORD, IAdviseSink*, DWORD*) { return OLE_E_ADVISENOTSUPPORTED; }
HRESULT CDataObject::DUnadvise(DWORD) { return OLE_E_ADVISENOTSUPPORTED; }
HRESULT CDataObject::EnumDAdvise(IEnumSTATDATA**) { return OLE_E_ADVISENOTSUPPORTED; }

// --- CDropSource

HRESULT CDropSource::QueryInterface(REFIID iid, void** out) {
  if (!out) return E_POINTER;
  if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDropSource)) {
    AddRef();
    *out = static_cast<IDropSource*>(this);
    return S_OK;
  }
  *out = nullptr;
  return E_NOINTERFACE;
}

ULONG CDropSource::AddRef() { return ULONG(InterlockedIncrement(&mRefCount)); }

ULONG CDropSource::Release() {
  const LONG count = InterlockedDecrement(&mRefCount);
  if (count == 0) delete this;
  return ULONG(count);
}

namespace {

bool Over(HWND window, POINT pointer) {
  const HWND under = WindowFromPoint(pointer);
  return under != nullptr && (under == window || IsChild(window, under));
}

}  // namespace

// Back over the window the drag may return to, the drag is that window's
// again, before any drop target under it is asked.
HRESULT CDropSource::QueryContinueDrag(BOOL escapePressed, DWORD keyState) {
  if (escapePressed) return DRAGDROP_S_CANCEL;
  POINT pointer{};
  if (mWindow && GetCursorPos(&pointer) && Over(mWindow, pointer)) {
    mWentBack = true;
    mReleasedThere = !(keyState & MK_LBUTTON);
    ScreenToClient(mWindow, &pointer);
    mBackAt = pointer;
    return DRAGDROP_S_CANCEL;
  }
  if (!(keyState & MK_LBUTTON)) return DRAGDROP_S_DROP;
  return S_OK;
}

HRESULT CDropSource::GiveFeedback(DWORD) { return DRAGDROP_S_USEDEFAULTCURSORS; }

// --- the drag

namespace {

// A narrow block's paths are UTF-8, as every path is here; a drop target
// would read them in the ANSI code page, so they go out as UTF-16.
std::string WideFileList(const std::string& fileList) {
  DROPFILES header{};
  if (fileList.size() < sizeof header) return fileList;
  std::memcpy(&header, fileList.data(), sizeof header);
  if (header.fWide || header.pFiles < sizeof header || header.pFiles > fileList.size()) return fileList;
  std::wstring paths;
  std::size_t at = header.pFiles;
  while (at < fileList.size() && fileList[at] != '\0') {
    const std::size_t end = std::min(fileList.find('\0', at), fileList.size());
    paths += Utf8ToWide(fileList.substr(at, end - at));
    paths += L'\0';
    at = end + 1;
  }
  paths.append(paths.empty() ? 2 : 1, L'\0');
  header.pFiles = sizeof header;
  header.fWide = TRUE;
  std::string block(sizeof header + paths.size() * sizeof(wchar_t), '\0');
  std::memcpy(block.data(), &header, sizeof header);
  std::memcpy(block.data() + sizeof header, paths.data(), paths.size() * sizeof(wchar_t));
  return block;
}

}  // namespace

CDataObject* MakeFileDropData(const std::string& fileList) {
  const std::string wide = WideFileList(fileList);
  HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, wide.size());
  if (!block) return nullptr;
  void* bytes = GlobalLock(block);
  if (!bytes) {
    GlobalFree(block);
    return nullptr;
  }
  std::memcpy(bytes, wide.data(), wide.size());
  GlobalUnlock(block);
  FORMATETC format{CF_HDROP, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
  STGMEDIUM medium{};
  medium.tymed = TYMED_HGLOBAL;
  medium.hGlobal = block;
  medium.pUnkForRelease = nullptr;
  CDataObject* data = new (std::nothrow) CDataObject(&format, &medium, 1);
  if (!data) GlobalFree(block);
  return data;
}

namespace {

// The release the drag loop took over the window, as the window would have had it.
void PostRelease(HWND window, POINT at) { PostMessageA(window, WM_LBUTTONUP, 0, MAKELPARAM(at.x, at.y)); }

}  // namespace

DragOutcome RunOleDrag(const std::vector<DragData>& offer, HWND backInWindow) {
  const auto fileList = std::find_if(offer.begin(), offer.end(),
                                     [](const DragData& data) { return data.type == DragData::kWindowsFileList; });
  if (fileList == offer.end()) return DragOutcome::kNotStarted;
  OleInitialize(nullptr);  // once per thread is enough; later calls only count
  CDataObject* data = MakeFileDropData(fileList->bytes);
  if (!data) return DragOutcome::kNotStarted;
  CDropSource* source = new (std::nothrow) CDropSource(backInWindow);
  if (!source) {
    data->Release();
    return DragOutcome::kNotStarted;
  }
  DWORD effect = DROPEFFECT_NONE;
  const HRESULT result = DoDragDrop(data, source, DROPEFFECT_COPY, &effect);
  DragOutcome outcome = result == DRAGDROP_S_DROP && effect != DROPEFFECT_NONE ? DragOutcome::kDropped
                                                                                : DragOutcome::kCancelled;
  if (source->WentBack()) {
    outcome = DragOutcome::kBackInWindow;
    if (source->ReleasedThere()) PostRelease(backInWindow, source->BackAt());
  }
  // A drop target that still holds references keeps them alive.
  data->Release();
  source->Release();
  return outcome;
}

}  // namespace velmora::win
