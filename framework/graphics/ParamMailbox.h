#pragma once

#include <atomic>
#include <cstddef>
#include <mutex>
#include <vector>

namespace velmora {

// Latest normalised value per parameter, posted by the plug-in's threads
// and taken by the editor's thread. Allocation-free after construction;
// the lock is held only to store or copy values, never while drawing.
//
// Threads: Post and Cancel [any, under the plug-in lock]; Drain [editor].
// Its own lock makes every call safe against the others.
class ParamMailbox {
 public:
  struct Entry {
    int index;
    double value;
  };

  explicit ParamMailbox(int count);

  int Count() const { return int(mValues.size()); }
  // False when index has no slot.
  bool Post(int index, double value);
  // Drops a pending value (a newer one was applied directly).
  void Cancel(int index);
  // Moves every pending value, in index order, to the editor's side and
  // hands each to apply.
  template <class Apply>
  void Drain(Apply apply) {
    if (!mAnyPending.load(std::memory_order_acquire)) return;
    TakePending();
    for (const Entry& entry : mTaken) apply(entry.index, entry.value);
  }

 private:
  void TakePending();

  std::mutex mLock;
  std::vector<double> mValues;
  std::vector<unsigned char> mPending;
  std::atomic<bool> mAnyPending{false};
  std::vector<Entry> mTaken;  // editor's side only
};

}  // namespace velmora
