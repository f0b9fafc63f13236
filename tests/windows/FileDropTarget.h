#pragma once

// A drop target as a host's arrangement would be: it takes CF_HDROP copies
// and keeps the one path it was given (in UTF-8, read as UTF-16).
#include "framework/plugin/platform/win/WideText.h"

#include <windows.h>
#include <ole2.h>
#include <shellapi.h>
#include <shlobj.h>

#include <string>

namespace velmora::wintest {

inline FORMATETC Format(CLIPFORMAT format, DWORD tymed) {
  return FORMATETC{format, nullptr, DVASPECT_CONTENT, -1, tymed};
}

// The path a CF_HDROP medium names, as a drop target reads it.
inline std::string DroppedPath(const STGMEDIUM& medium) {
  wchar_t path[MAX_PATH] = {};
  const auto drop = static_cast<HDROP>(medium.hGlobal);
  if (DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0) != 1) return "(not one file)";
  const UINT length = DragQueryFileW(drop, 0, path, MAX_PATH);
  return WideToUtf8(path, length);
}

// Whether the medium's DROPFILES record says its paths are UTF-16.
inline bool IsWideFileList(const STGMEDIUM& medium) {
  const auto* files = static_cast<const DROPFILES*>(GlobalLock(medium.hGlobal));
  const bool wide = files != nullptr && files->fWide;
  GlobalUnlock(medium.hGlobal);
  return wide;
}

class FileDropTarget : public IDropTarget {
 public:
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDropTarget)) {
      *out = static_cast<IDropTarget*>(this);
      AddRef();
      return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return ULONG(InterlockedIncrement(&references)); }
  ULONG STDMETHODCALLTYPE Release() override { return ULONG(InterlockedDecrement(&references)); }
  HRESULT STDMETHODCALLTYPE DragEnter(IDataObject* data, DWORD, POINTL, DWORD* effect) override {
    FORMATETC hdrop = Format(CF_HDROP, TYMED_HGLOBAL);
    accepts = data->QueryGetData(&hdrop) == S_OK;
    *effect = accepts ? (*effect & DROPEFFECT_COPY) : DROPEFFECT_NONE;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE DragOver(DWORD, POINTL, DWORD* effect) override {
    *effect = accepts ? (*effect & DROPEFFECT_COPY) : DROPEFFECT_NONE;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE DragLeave() override { return S_OK; }
  HRESULT STDMETHODCALLTYPE Drop(IDataObject* data, DWORD, POINTL, DWORD* effect) override {
    FORMATETC hdrop = Format(CF_HDROP, TYMED_HGLOBAL);
    STGMEDIUM medium{};
    if (data->GetData(&hdrop, &medium) == S_OK) {
      dropped = DroppedPath(medium);
      wide = IsWideFileList(medium);
      ReleaseStgMedium(&medium);
    }
    offered = *effect;
    *effect = DROPEFFECT_COPY;
    return S_OK;
  }

  LONG references = 1;
  bool accepts = false;
  DWORD offered = 0;
  std::string dropped;
  bool wide = false;
};

}  // namespace velmora::wintest
