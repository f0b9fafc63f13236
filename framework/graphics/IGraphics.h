#pragma once

#include <atomic>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "framework/graphics/EditorScale.h"
#include "framework/graphics/GraphicsTypes.h"
#include "framework/graphics/IControl.h"
#include "framework/graphics/ParamMailbox.h"
#include "framework/graphics/raster/BitmapWindow.h"
#include "framework/graphics/raster/MemBitmap.h"
#include "framework/graphics/raster/SysBitmap.h"
#include "framework/plugin/IEditorLink.h"

namespace velmora {

class IPluginBase;
class Param;

// Brings the controls up to date with the plug-in's data on the editor's
// thread: before each redraw pass (blocking false: skip when the plug-in is
// busy, the next tick catches up) and before each mouse event (blocking
// true, so the event acts on what the user sees).
class IEditorSync {
 public:
  virtual ~IEditorSync() = default;
  virtual void SyncFromPlugin(bool blocking) = 0;
};

// The editor: owns the controls and the drawing surface, redraws dirty
// controls, routes mouse and key events, and keeps controls in step with
// the parameters. The platform operations are virtual; a window class
// implements them.
//
// Scale: controls, their rectangles, the drawing operations, the drawing
// area and hit tests speak in layout pixels (the 1x numbers of the layout
// tables). The surface, the window, PaintToWindow, Width, Height and the
// event entries speak in physical pixels; the drawing operations and the
// event entries cross over (EditorScale.h). The scale in force is the
// user's choice, else the host's, else the system's; with the window open
// a new one is asked of the host first (OnEditorSizeChanged) and taken
// when the host answers (HostResized). The surfaces follow on the editor's
// thread (UpdateSurfaces), everything is then drawn again.
//
// Threads: [editor] for everything (the creating thread until a window
// opens, then the thread that opens it; a window without a message loop
// hands it, under the plug-in lock, to the thread that pumps it; checked
// builds catch other callers of the event entries) except SetParamFromPlugin
// and DropPostedValue, [any, under the plug-in lock]. Called elsewhere,
// SetParamFromPlugin only
// posts the value to a per-parameter mailbox that the editor's thread drains
// at the start of each redraw pass and event, so no host thread ever waits
// for drawing and drawing never runs under the plug-in lock.
class IGraphics : public IEditorLink {
 public:
  IGraphics(IPluginBase* plugin, int width, int height, int fps = 25);

  // Platform operations, overridden by each platform window. Nothing outside
  // the module sees this table; the members nothing calls stay where they
  // are and are marked "kept". Rectangles handed to them are layout pixels
  // unless said otherwise; ToPhysical places them on the window.
  // Copies rect (physical pixels) of the surface to the window.
  virtual void PaintToWindow(const Rect& /*rect*/) {}
  // Writes the text's extent into rect; false when no font can be made.
  virtual bool MeasureText(const TextStyle& style, const char* text, Rect& rect);
  virtual void EndTextEntry() {}
  // A new layout size; every control goes (kept for editors that lay out anew).
  virtual void ResizeEditor(int width, int height);
  virtual bool WindowIsOpen() { return false; }
  virtual const char* DrawingApiName() { return ""; }
  // The answer of the box; 0 when none was shown.
  virtual int ShowMessageBox(const char* text, const char* caption, int type);
  // The (sub)menu in which an item was chosen, its chosen item set; null
  // when the menu was dismissed.
  virtual PopupMenu* ShowPopupMenu(PopupMenu& menu, const Rect& rect);
  virtual void CreateTextEntry(IControl* control, const TextStyle& style, const Rect& rect,
                               const char* initialText, Param* param);                  // 8
  virtual void HostPath(std::string& path);
  virtual void PluginPath(std::string& path);
  virtual void DesktopPath(std::string& path);
  virtual void ApplicationDataFolder(std::string& path, bool allUsers);
  virtual void UserDataFolder(std::string& path) { ApplicationDataFolder(path, false); }
  // action 1: save, else open. Cancel leaves an empty file name.
  virtual void PromptForFile(std::string& fileName, int action, std::string& folder,
                             const char* extensions);                                   // 14
  virtual bool PromptForColor(Color& color, const char* title);
  virtual bool OpenUrl(const char* url, const char* title, const char* confirmText,
                       const char* errorText);                                          // 16
  virtual void* UnusedQuery() { return nullptr; }  // kept
  void* OpenWindow(void* parent) override;                                              // 18
  virtual void UnusedHook1() {}  // kept
  virtual void UnusedHook2() {}  // kept
  void CloseWindow() override {}                                                        // 21
  virtual void* WindowHandle() { return nullptr; }
  virtual bool ClipboardText(std::string& text);
  ~IGraphics() override;                                                                // 24
  virtual void HideCursor();
  virtual void ShowCursor();
  virtual void UnusedHook3() {}  // kept
  virtual std::unique_ptr<RasterBitmap> LoadBitmapResource(int id, const std::string& fileName);
  // Offers data to drop targets, in each of the given formats, and returns
  // when the drop or the cancel is done; false when no drag could start.
  virtual bool StartDrag(const std::vector<DragData>& /*offer*/) { return false; }
  // The same for a press that is already held, answering how the drag ended.
  // With backInWindow the drag also ends when the pointer comes back over
  // the window: the press then goes on there, its control still holding the
  // mouse (a release over the window reaches it as usual). Any other end
  // took the release and ends the press (AbandonPress).
  virtual DragOutcome StartDragOut(const std::vector<DragData>& /*offer*/, bool /*backInWindow*/) {
    return DragOutcome::kNotStarted;
  }

  // What the plug-in base calls.
  void SetParamFromPlugin(int index, double value, bool normalized) final;
  void CreateSurfaces() override;
  // Physical pixels at the scale in force.
  int Width() const final { return ScaleCoordinate(mWidth, mPercent.load()); }
  int Height() const final { return ScaleCoordinate(mHeight, mPercent.load()); }
  // The layout's size, in layout pixels.
  int LayoutWidth() const { return mWidth; }
  int LayoutHeight() const { return mHeight; }

  // Scale. [any]: the host's user-interface thread or the editor's.
  void SetHostScale(double factor) override;
  double Scale() const override { return ScalePercent() / 100.0; }
  void HostResized(int width, int height) override;
  // The user's choice: a step, or 0 for automatic.
  void SetUserScale(int percent);
  int UserScale() const;
  // The scale in force, in percent: the size Width and Height answer.
  int ScalePercent() const { return mPercent.load(); }
  // The scale asked of the host and not yet given; 0 for none.
  int PendingScale() const;
  // [editor] The scale the surface is drawn at, what the window shows.
  int DrawScale() const { return mSurfacePercent; }
  Rect ToPhysical(const Rect& rect) const { return ScaleRect(rect, mSurfacePercent); }
  int ToPhysical(int v) const { return ScaleCoordinate(v, mSurfacePercent); }

  // Controls: list order is drawing order, index 0 the background. Null
  // answers -1.
  int AddControl(std::unique_ptr<IControl> control);
  // Adds the control and answers it, not owned, for the caller to keep.
  template <typename T>
  T* Adopt(std::unique_ptr<T> control) {
    T* kept = control.get();
    AddControl(std::move(control));
    return kept;
  }
  int NControls() const { return int(mControls.size()); }
  IControl* GetControl(int index) const;
  void SetKeyCatcher(std::unique_ptr<IControl> control);
  IControl* KeyCatcher() const { return mKeyCatcher.get(); }

  // The cached picture with this id, loaded on first use. A picture that
  // cannot be decoded gives a strip without bitmap (0 x 0) that draws
  // nothing. A frame count below 1 counts as 1.
  ImageStrip LoadImage(int id, const std::string& fileName, int frames = 1);

  // A popup of the value texts (Enum, or Bool with value texts) or the
  // in-place text field with the current value.
  void PromptForValue(IControl* control, Param* param, const Rect& rect);
  // Applies a committed text field: value texts for Bool and Enum, a
  // decimal number otherwise; without a parameter the control's TextEntered.
  static void CommitTextEntry(IControl& control, const Param* param, const char* text);
  // Whether a typed character enters a text field for this parameter.
  static bool TextEntryAccepts(const Param* param, char c);

  // Drawing into the surface. Images are clipped to the drawing area.
  bool DrawImage(const ImageStrip& strip, const Rect& dest, int srcX, int srcY,
                 const ChannelBlend* blend = nullptr);
  // frame counts from 1.
  bool DrawImageFrame(const ImageStrip& strip, const Rect& rect, int frame, const ChannelBlend* blend = nullptr);
  bool PlotPoint(const Color& color, float x, float y);
  bool FillRectangle(const Color& color, const Rect& rect);
  bool FillTriangle(const Color& color, int x1, int y1, int x2, int y2, int x3, int y3,
                    const ChannelBlend* blend = nullptr);
  bool DrawRectangle(const Color& color, const Rect& rect);
  // A one-pixel line, end points included, not anti-aliased, in copy mode.
  bool DrawLine(const Color& color, int x1, int y1, int x2, int y2);
  bool DrawText(const TextStyle& style, const char* text, const Rect& rect);

  // Redraw protocol.
  bool FindDirtyArea(Rect& rect);
  bool DrawArea(const Rect& rect);
  // One timer step: drain the mailbox, then draw the dirty area. Answers
  // whether anything was drawn.
  bool OnTimerTick();
  // Applies the values other threads posted, then lets the sync bring the
  // controls up to date; editor's thread only.
  void DrainParamValues(bool blocking = true);
  // Forgets a value posted for index and not yet applied; called with the
  // plug-in lock held when a control pushes a newer one.
  void DropPostedValue(int index);
  // Not owned; null for none. Set before the window opens.
  void SetEditorSync(IEditorSync* sync) { mSync = sync; }

  int ControlAt(int x, int y, bool forMouseOver = false);

  // Events, in the window's (physical) pixels; controls get layout pixels.
  void OnMouseDown(int x, int y, const MouseMods& mods);
  void OnMouseUp(int x, int y, const MouseMods& mods);
  void OnMouseDrag(int x, int y, const MouseMods& mods);
  bool OnMouseDoubleClick(int x, int y, const MouseMods& mods);
  void OnMouseWheel(int x, int y, const MouseMods& mods, float delta);
  bool OnKeyDown(int x, int y, int key);
  bool OnMouseOver(int x, int y, const MouseMods& mods);
  void OnMouseOut();

  // A press that will get no release (its window went away, or a modal
  // loop took the release): the capture goes and its edit bracket closes.
  void AbandonPress();
  // Called by modal loops run outside the editor (the platform's file drag)
  // that took the release of the press that started them.
  void ModalLoopTookRelease() { ReleaseMouseCapture(); }
  // The parameter whose audioMasterBeginEdit still waits for its end; -1 for none.
  int OpenEditParam() const { return mEditParam; }
  // The control the last press (or double click) went to; -1 when it hit none.
  int LastPressed() const { return mLastPressed; }

  // The editor's thread.
  void SetOwnerThread(std::thread::id id) { mOwnerThread.store(id); }
  std::thread::id OwnerThread() const { return mOwnerThread.load(); }
  bool OnOwnerThread() const { return std::this_thread::get_id() == mOwnerThread.load(); }
  bool IsWindowThread() const final;

  IPluginBase* GetPlugin() const { return mPlugin; }
  int FPS() const { return mFPS; }
  SysBitmap* DrawingSurface() const { return mDrawBitmap.get(); }
  MemBitmap* ScratchBitmap() const { return mTmpBitmap.get(); }
  const Rect& DrawingArea() const { return mDrawRect; }
  int MouseCapture() const { return mMouseCapture; }
  int MouseOverIndex() const { return mMouseOver; }
  bool CursorHidden() const { return mCursorHidden; }
  void HandleMouseOver(bool on) { mHandleMouseOver = on; }
  void SetStrictDrawing(bool strict) { mStrict = strict; }
  void EnableTooltips(bool on) { mEnableTooltips = on; }
  bool TooltipsEnabled() const { return mEnableTooltips; }

 protected:
  // Platform windows call these: on opening (the opening thread becomes
  // the editor's thread, pending values are applied, everything is drawn)
  // and before a modal menu.
  void OnWindowOpening();
  // Ends the current press without its release: the control holding the
  // mouse is told, so that nothing it started goes on.
  void LoseMouseCapture();
  // The window is going: its thread stops being the editor's window thread.
  // A scale the host never gave is taken now: the next opening asks the size.
  void OnWindowClosed();
  void ReleaseMouseCapture();
  // The system's scale as the platform reads it (a step; 0 for unknown).
  void SetSystemScale(int percent);
  // [editor] Makes the surfaces anew at the scale in force when the one
  // drawn at differs; true when it did (every control is dirty then).
  bool UpdateSurfaces();

  int mHiddenCursorX = 0, mHiddenCursorY = 0;

 private:
  void ExpectEditorThread() const;
  void ApplyParamValue(int index, double value);
  // After a source of the scale changed: takes the new scale at once, or
  // asks the host for it while the window is open.
  void FollowScaleSources();
  int LayoutX(int x) const { return LayoutCoordinate(x, mSurfacePercent); }
  int LayoutY(int y) const { return LayoutCoordinate(y, mSurfacePercent); }
  // Every begin gets exactly one end, whatever happens to the release.
  void BeginEdit(int paramIdx);
  void EndEdit();
  bool DrawAreaStrict(const Rect& rect);
  bool DrawAreaLoose(const Rect& rect);
  void DrawControl(IControl& control, const Rect& area);
  bool HasSurface() const;
  // The drawing area on the surface, in physical pixels.
  BitmapWindow AreaWindow() const;
  // At a scale other than 100 %: the blocks of the layout pixels x1..x2 x
  // y1..y2 (ends included) in copy mode; a triangle's vertices; a line.
  void FillLayoutPixels(const Color& color, int x1, int y1, int x2, int y2);
  void ScaleTriangle(int& x1, int& y1, int& x2, int& y2, int& x3, int& y3) const;
  void DrawScaledLine(const Color& color, int x1, int y1, int x2, int y2);
  // The strip's picture for a scale (IGraphicsPictures.cpp); null when none can be made.
  const RasterBitmap* PictureAt(const ImageStrip& strip, int percent);
  std::unique_ptr<RasterBitmap> MakeScaledPicture(const ImageStrip& strip, int percent);

  IPluginBase* mPlugin;
  std::vector<std::unique_ptr<IControl>> mControls;
  Rect mDrawRect;
  bool mCursorHidden = false;
  std::unique_ptr<SysBitmap> mDrawBitmap;
  std::unique_ptr<MemBitmap> mTmpBitmap;
  int mWidth, mHeight, mFPS;
  int mMouseCapture = -1, mMouseOver = -1;
  int mMouseX = -1, mMouseY = -1;
  int mEditParam = -1;
  int mLastPressed = -1;
  bool mHandleMouseOver = false, mStrict = true, mEnableTooltips = false;
  std::unique_ptr<IControl> mKeyCatcher;

  // Scaled pictures of strips that name no resource.
  struct UnlistedPicture {
    const RasterBitmap* source;
    int percent;
    int frames;
    std::unique_ptr<RasterBitmap> bitmap;
  };
  std::vector<UnlistedPicture> mUnlistedPictures;

  mutable std::mutex mScaleLock;  // the sources and the pending request
  ScaleSources mSources;
  int mPendingPercent = 0;
  std::atomic<int> mPercent{100};
  int mSurfacePercent = 100;  // [editor] the surface's

  ParamMailbox mMailbox;
  IEditorSync* mSync = nullptr;
  std::atomic<std::thread::id> mOwnerThread;
  std::atomic<bool> mWindowOpened{false};  // an open window has made its thread the editor's
};

}  // namespace velmora
