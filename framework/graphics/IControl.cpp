#include "framework/graphics/IControl.h"

#include <algorithm>
#include <cmath>

#include "framework/graphics/Controls.h"
#include "framework/graphics/IGraphics.h"
#include "framework/plugin/IPluginBase.h"

namespace velmora {

namespace {

constexpr std::size_t kDisplayTextLength = 32;

std::string Cut(const std::string& text) { return text.substr(0, kDisplayTextLength); }

}  // namespace

IControl::IControl(IPluginBase* plugin, const Rect& rect, int paramIdx, const ChannelBlend& blend)
    : mPlugin(plugin), mRect(rect), mTargetRect(rect), mParamIdx(paramIdx), mBlend(blend) {}

IControl::~IControl() = default;

void IControl::MouseDown(int, int, const MouseMods& mods) {
  if (mods.r) PromptForValue();
}

void IControl::MouseDoubleClick(int, int, const MouseMods&) {
  if (mDefaultValue >= 0.0) {
    mValue = mDefaultValue;
    MarkDirty(true);
  }
}

void IControl::ValueFromPlugin(double value) {
  if (mDefaultValue < 0.0) {
    mValue = mDefaultValue = value;
    return;
  }
  if (value != mValue) {
    mValue = value;
    MarkDirty(false);
    mRedraw = true;
  }
}

void IControl::ValueFromUser(double value) {
  if (value != mValue) {
    mValue = value;
    MarkDirty(true);
    mRedraw = true;
  }
}

void IControl::SetHidden(bool hide) {
  mHide = hide;
  mRedraw = true;
  MarkDirty(false);
}

void IControl::SetGrayed(bool gray) {
  mGrayed = gray;
  mBlend.weight = gray ? 0.25f : 1.0f;
  MarkDirty(false);
}

bool IControl::HitTest(int x, int y) {
  if (mTargetRect.Empty()) return false;
  return x >= mTargetRect.left && x < mTargetRect.right && y >= mTargetRect.top && y < mTargetRect.bottom;
}

void IControl::MarkDirty(bool push) {
  // A NaN goes to the low end so that nothing unordered reaches drawing.
  if (!(mValue >= mClampLo)) mValue = mClampLo;
  else mValue = std::min(mValue, mClampHi);
  mDirty = true;
  if (push && mPlugin && mParamIdx >= 0) {
    {
      // A value the plug-in posted before this push is older than it; under
      // the lock no newer one can be posted meanwhile.
      auto lock = mPlugin->Lock();
      mPlugin->SetParameterFromEditor(mParamIdx, mValue);
      if (mGraphics) mGraphics->DropPostedValue(mParamIdx);
    }
    UpdateDisplayControls();
  }
}

void IControl::UpdateDisplayControls() {
  if (!mValueDisplay && !mNameDisplay) return;
  std::string valueText, name;
  {
    auto lock = mPlugin->Lock();
    const Param* param = mPlugin->GetParam(mParamIdx);
    if (!param) return;
    valueText = Cut(param->FormatValue(param->Value(), false, true)) + " " + Cut(param->UnitLabel());
    name = param->Name();
  }
  if (mValueDisplay) mValueDisplay->SetText(valueText.c_str());
  if (mNameDisplay) mNameDisplay->SetText(name.c_str());
}

void IControl::MarkClean() {
  mDirty = mRedraw;
  mRedraw = false;
}

void IControl::AuxValueFromPlugin(int index, double value) {
  if (index < 0 || index >= NAuxParams()) return;
  AuxParam& aux = mAuxParams[std::size_t(index)];
  if (aux.value != value) {
    aux.value = value;
    MarkDirty(false);
    mRedraw = true;
  }
}

void IControl::AddAuxParam(int paramIdx) { mAuxParams.push_back(AuxParam{0.0, paramIdx}); }

const IControl::AuxParam* IControl::GetAuxParam(int index) const {
  if (index < 0 || index >= NAuxParams()) return nullptr;
  return &mAuxParams[std::size_t(index)];
}

void IControl::PromptForValue() {
  if (mParamIdx < 0 || mDisablePrompt || !mPlugin || !mGraphics) return;
  Param* param = mPlugin->GetParam(mParamIdx);
  if (!param) return;
  Rect rect = mRect;
  // Value texts are fixed when the parameter is defined, so no lock is needed here.
  if (param->NValueTexts() == 0) {
    const int64_t cx = int64_t((double(mRect.left) + mRect.right) * 0.5);
    const int64_t cy = int64_t((double(mRect.top) + mRect.bottom) * 0.5);
    rect = ClampedRect(cx - 20, cy - 8, cx + 20, cy + 8);
  }
  mGraphics->PromptForValue(this, param, rect);
  mRedraw = true;
}

}  // namespace velmora
