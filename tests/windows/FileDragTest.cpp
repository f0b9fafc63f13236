// Dragging the exported file: the OLE data object and drop source, and a
// whole drag from the plug-in's offer through the editor window onto a drop
// target registered by the test host.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "core/platform/DragPayload.h"
#include "editor/FileDrag.h"
#include "framework/graphics/platform/win/IGraphicsWin.h"

#include "FileDropTarget.h"
#include "WinTestSupport.h"
#include "framework/graphics/platform/win/WinDragSource.h"

#include <shellapi.h>
#include <shlobj.h>

namespace velmora::wintest {
namespace {

// A user name outside every single-byte code page ("山田", in UTF-8).
const std::string kPath = "C:\\users\\\xE5\xB1\xB1\xE7\x94\xB0\\AppData\\Roaming/velmora-midi.mid";

std::string FileListBytes() {
  const std::vector<uint8_t> list = ExportedFileList(kPath);
  return std::string(list.begin(), list.end());
}

using win::CDataObject;
using win::CDropSource;

struct DataObject {
  CDataObject* object = win::MakeFileDropData(FileListBytes());
  ~DataObject() {
    if (object) object->Release();
  }
};

TEST(FileDragData, OffersThePathAsAFileListCopy) {
  DataObject data;
  ASSERT_NE(data.object, nullptr);
  FORMATETC hdrop = Format(CF_HDROP, TYMED_HGLOBAL | TYMED_ISTREAM);
  EXPECT_EQ(data.object->QueryGetData(&hdrop), S_OK);
  STGMEDIUM medium{};
  ASSERT_EQ(data.object->GetData(&hdrop, &medium), S_OK);
  EXPECT_EQ(medium.tymed, DWORD(TYMED_HGLOBAL));
  EXPECT_EQ(medium.pUnkForRelease, nullptr);
  // The receiver's own copy of the block, byte for byte: the record with
  // fWide set, then the path in UTF-16 and two zero characters.
  std::vector<uint8_t> expected = ExportedFileList(kPath);
  expected.resize(sizeof(DROPFILES));
  expected[16] = 1;
  const std::wstring wide = Utf8ToWide(kPath) + L'\0' + L'\0';
  const auto* units = reinterpret_cast<const uint8_t*>(wide.data());
  expected.insert(expected.end(), units, units + wide.size() * sizeof(wchar_t));
  ASSERT_EQ(GlobalSize(medium.hGlobal), expected.size());
  const auto* bytes = static_cast<const uint8_t*>(GlobalLock(medium.hGlobal));
  EXPECT_EQ(std::vector<uint8_t>(bytes, bytes + expected.size()), expected);
  GlobalUnlock(medium.hGlobal);
  EXPECT_EQ(DroppedPath(medium), kPath);
  EXPECT_TRUE(IsWideFileList(medium));
  ReleaseStgMedium(&medium);
}

TEST(FileDragData, RefusesOtherFormatsMediaAndAdvice) {
  DataObject data;
  ASSERT_NE(data.object, nullptr);
  FORMATETC stream = Format(CF_HDROP, TYMED_ISTREAM);
  STGMEDIUM medium{};
  EXPECT_EQ(data.object->GetData(&stream, &medium), DV_E_FORMATETC);
  FORMATETC text = Format(CF_TEXT, TYMED_HGLOBAL);
  EXPECT_EQ(data.object->QueryGetData(&text), DV_E_FORMATETC);
  FORMATETC icon = Format(CF_HDROP, TYMED_HGLOBAL);
  icon.dwAspect = DVASPECT_ICON;
  EXPECT_EQ(data.object->QueryGetData(&icon), DV_E_FORMATETC);
  EXPECT_EQ(data.object->GetDataHere(&icon, &medium), DV_E_FORMATETC);
  EXPECT_EQ(data.object->SetData(&icon, &medium, FALSE), E_NOTIMPL);
  FORMATETC canonical{};
  canonical.ptd = reinterpret_cast<DVTARGETDEVICE*>(1);
  EXPECT_EQ(data.object->GetCanonicalFormatEtc(&icon, &canonical), E_NOTIMPL);
  EXPECT_EQ(canonical.ptd, nullptr);
  DWORD connection = 0;
  EXPECT_EQ(data.object->DAdvise(&icon, 0, nullptr, &connection), OLE_E_ADVISENOTSUPPORTED);
  EXPECT_EQ(data.object->DUnadvise(0), OLE_E_ADVISENOTSUPPORTED);
  EXPECT_EQ(data.object->EnumDAdvise(nullptr), OLE_E_ADVISENOTSUPPORTED);
}

TEST(FileDragData, EnumeratesItsOneFormatAndCountsReferences) {
  DataObject data;
  ASSERT_NE(data.object, nullptr);
  IEnumFORMATETC* formats = nullptr;
  ASSERT_EQ(data.object->EnumFormatEtc(DATADIR_GET, &formats), S_OK);
  FORMATETC format[2]{};
  ULONG fetched = 0;
  EXPECT_EQ(formats->Next(2, format, &fetched), S_FALSE);
  ASSERT_EQ(fetched, 1u);
  EXPECT_EQ(format[0].cfFormat, CF_HDROP);
  EXPECT_EQ(format[0].tymed, DWORD(TYMED_HGLOBAL));
  formats->Release();
  EXPECT_EQ(data.object->EnumFormatEtc(DATADIR_SET, &formats), E_NOTIMPL);

  void* out = nullptr;
  ASSERT_EQ(data.object->QueryInterface(IID_IDataObject, &out), S_OK);
  EXPECT_EQ(out, static_cast<IDataObject*>(data.object));
  EXPECT_EQ(data.object->Release(), 1u);
  EXPECT_EQ(data.object->QueryInterface(IID_IDropTarget, &out), E_NOINTERFACE);
  EXPECT_EQ(out, nullptr);
  EXPECT_EQ(data.object->AddRef(), 2u);
  EXPECT_EQ(data.object->Release(), 1u);
}

TEST(FileDragSourceAnswers, EscapeCancelsAndReleasingTheLeftButtonDrops) {
  CDropSource* source = new CDropSource();
  EXPECT_EQ(source->QueryContinueDrag(TRUE, MK_LBUTTON), DRAGDROP_S_CANCEL);
  EXPECT_EQ(source->QueryContinueDrag(FALSE, MK_LBUTTON), S_OK);
  EXPECT_EQ(source->QueryContinueDrag(FALSE, MK_RBUTTON), DRAGDROP_S_DROP);
  EXPECT_EQ(source->GiveFeedback(DROPEFFECT_COPY), DRAGDROP_S_USEDEFAULTCURSORS);
  void* out = nullptr;
  EXPECT_EQ(source->QueryInterface(IID_IDropSource, &out), S_OK);
  EXPECT_EQ(source->Release(), 1u);
  EXPECT_EQ(source->QueryInterface(IID_IDataObject, &out), E_NOINTERFACE);
  EXPECT_EQ(source->Release(), 0u);
}

TEST(FileDragAndDrop, TheHostsDropTargetReceivesThePath) {
  ASSERT_TRUE(SUCCEEDED(OleInitialize(nullptr)));
  HostWindow window(100, 100, 240, 160);
  FileDropTarget target;
  ASSERT_EQ(RegisterDragDrop(window.Handle(), &target), S_OK);
  // No button is held, so the drag drops where the pointer is at once.
  SetCursorPos(220, 180);
  PumpFor(2);
  IGraphicsWin editor(nullptr, 10, 10);
  // Only the shell's file list makes a drag here; the URI types are X11's.
  EXPECT_FALSE(editor.StartDrag({DragData{"text/uri-list", "file:///x\r\n"}}));
  EXPECT_EQ(target.dropped, "");
  std::unique_ptr<FileDragSource> drag = MakePlatformFileDrag(editor);
  ASSERT_TRUE(drag->DragFile(kPath));
  EXPECT_TRUE(target.accepts);
  EXPECT_EQ(target.dropped, kPath);
  EXPECT_TRUE(target.wide);
  EXPECT_EQ(target.offered, DWORD(DROPEFFECT_COPY));
  RevokeDragDrop(window.Handle());
  EXPECT_EQ(target.references, 1);  // everything the drag took is given back
  OleUninitialize();
}

}  // namespace
}  // namespace velmora::wintest
