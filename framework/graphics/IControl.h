#pragma once

#include <string>
#include <vector>

#include "framework/graphics/GraphicsTypes.h"

namespace velmora {

class IGraphics;
class IPluginBase;
class ITextControl;

// One element of the editor: a rectangle, an optional parameter binding, a
// normalised value, a redraw flag and the event and drawing hooks.
//
// Threads: [editor] only; the plug-in side reaches it through
// IGraphics::SetParamFromPlugin, which posts to the editor's thread.
class IControl {
 public:
  struct AuxParam {
    double value = 0.0;  // normalised
    int paramIdx = -1;
  };

  IControl(IPluginBase* plugin, const Rect& rect, int paramIdx = -1,
           const ChannelBlend& blend = ChannelBlend(ChannelBlend::kNone, 1.0f));
  IControl(const IControl&) = delete;
  IControl& operator=(const IControl&) = delete;

  // Virtual operations; the one nothing calls is marked "kept".
  virtual ~IControl();
  virtual void MouseDown(int x, int y, const MouseMods& mods);
  virtual void MouseUp(int /*x*/, int /*y*/, const MouseMods& /*mods*/) {}
  virtual void MouseDrag(int /*x*/, int /*y*/, int /*dx*/, int /*dy*/,
                         const MouseMods& /*mods*/) {}                        // 3
  virtual void MouseDoubleClick(int x, int y, const MouseMods& mods);
  // delta in wheel notches.
  virtual void MouseWheel(int /*x*/, int /*y*/, const MouseMods& /*mods*/,
                          float /*delta*/) {}                                 // 5
  virtual bool KeyDown(int /*x*/, int /*y*/, int /*key*/) { return false; }
  virtual void MouseOver(int /*x*/, int /*y*/, const MouseMods& /*mods*/) {}
  virtual void MouseOut() {}
  virtual bool Draw(IGraphics& graphics) = 0;
  virtual void ValueFromPlugin(double value);
  virtual void ValueFromUser(double value);
  virtual void TextEntered(const char* /*text*/) {}
  virtual void SetHidden(bool hide);
  virtual void SetGrayed(bool gray);
  virtual bool HitTest(int x, int y);
  virtual void MarkDirty(bool push);
  virtual void MarkClean();
  virtual bool IsDirty() { return mDirty; }
  virtual void ExtraHook() {}  // kept
  virtual void AuxValueFromPlugin(int index, double value);
  // Whether the next redraw pass must paint it: dirty, by default. A control
  // that reports itself dirty at every pass (to be redrawn whenever the
  // editor refreshes) answers whether what it shows changed since it was
  // last drawn, so that an idle pass paints nothing.
  virtual bool NeedsRepaint() { return IsDirty(); }
  // The press this control held ended without its release reaching it:
  // another button went down, or the window closed or went away.
  virtual void MouseCaptureLost() {}

  // Opens the editor's value prompt for the bound parameter when prompts
  // are enabled.
  void PromptForValue();

  IPluginBase* GetPlugin() const { return mPlugin; }
  // The editor that owns this control (set by IGraphics::AddControl).
  IGraphics* GetGUI() const { return mGraphics; }
  void SetGUI(IGraphics* graphics) { mGraphics = graphics; }

  const Rect& GetRect() const { return mRect; }
  void SetRect(const Rect& rect) { mRect = rect; }
  const Rect& GetTargetRect() const { return mTargetRect; }
  void SetTargetRect(const Rect& rect) { mTargetRect = rect; }
  int ParamIdx() const { return mParamIdx; }
  double GetValue() const { return mValue; }
  void SetValue(double value) { mValue = value; }
  double DefaultValue() const { return mDefaultValue; }
  TextStyle& GetTextStyle() { return mText; }
  const TextStyle& GetTextStyle() const { return mText; }
  int TextEntryLength() const { return mTextEntryLength; }
  void SetTextEntryLength(int length) { mTextEntryLength = length; }
  const ChannelBlend& Blend() const { return mBlend; }
  void SetTooltip(const char* text) { mTooltip = text ? text : ""; }
  const std::string& Tooltip() const { return mTooltip; }
  bool IsHidden() const { return mHide; }
  bool IsGrayed() const { return mGrayed; }
  void SetClampRange(double low, double high) {
    mClampLo = low;
    mClampHi = high;
  }
  void SetValueDisplayControl(ITextControl* text) { mValueDisplay = text; }
  void SetNameDisplayControl(ITextControl* text) { mNameDisplay = text; }
  void DisablePrompt(bool disable) { mDisablePrompt = disable; }
  void SetDoubleClickAsPress(bool asPress) { mDblAsSingleClick = asPress; }
  bool DoubleClickAsPress() const { return mDblAsSingleClick; }
  void SetMouseOverWhenGrayed(bool allow) { mMOWhenGrayed = allow; }
  bool MouseOverWhenGrayed() const { return mMOWhenGrayed; }
  // A control that asks for a redraw stays dirty for one more pass.
  void SetRedrawRequested(bool requested = true) { mRedraw = requested; }
  bool RedrawRequested() const { return mRedraw; }

  void AddAuxParam(int paramIdx);
  int NAuxParams() const { return int(mAuxParams.size()); }
  const AuxParam* GetAuxParam(int index) const;

 protected:
  int mTextEntryLength = 7;
  TextStyle mText;
  IPluginBase* mPlugin;
  Rect mRect;
  Rect mTargetRect;
  int mParamIdx;
  std::vector<AuxParam> mAuxParams;
  double mValue = 0.0;
  double mDefaultValue = -1.0;
  double mClampLo = 0.0;
  double mClampHi = 1.0;
  bool mDirty = true;
  bool mHide = false;
  bool mGrayed = false;
  bool mRedraw = false;
  bool mDisablePrompt = true;
  bool mDblAsSingleClick = false;
  bool mMOWhenGrayed = false;
  ChannelBlend mBlend;
  ITextControl* mValueDisplay = nullptr;
  ITextControl* mNameDisplay = nullptr;
  std::string mTooltip;
  IGraphics* mGraphics = nullptr;

 private:
  void UpdateDisplayControls();
};

}  // namespace velmora
