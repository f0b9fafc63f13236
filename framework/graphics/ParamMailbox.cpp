#include "framework/graphics/ParamMailbox.h"

namespace velmora {

ParamMailbox::ParamMailbox(int count)
    : mValues(std::size_t(count > 0 ? count : 0), 0.0), mPending(mValues.size(), 0) {
  mTaken.reserve(mValues.size());
}

bool ParamMailbox::Post(int index, double value) {
  if (index < 0 || index >= Count()) return false;
  std::lock_guard<std::mutex> guard(mLock);
  mValues[std::size_t(index)] = value;
  mPending[std::size_t(index)] = 1;
  mAnyPending.store(true, std::memory_order_release);
  return true;
}

void ParamMailbox::Cancel(int index) {
  if (index < 0 || index >= Count() || !mAnyPending.load(std::memory_order_acquire)) return;
  std::lock_guard<std::mutex> guard(mLock);
  mPending[std::size_t(index)] = 0;
}

void ParamMailbox::TakePending() {
  mTaken.clear();
  std::lock_guard<std::mutex> guard(mLock);
  mAnyPending.store(false, std::memory_order_relaxed);
  for (std::size_t i = 0; i < mValues.size(); ++i) {
    if (!mPending[i]) continue;
    mPending[i] = 0;
    mTaken.push_back(Entry{int(i), mValues[i]});
  }
}

}  // namespace velmora
