#include "thumbnails/uRPG.h"

#include <cstring>

tRPG::tRPG(size_t recordSize)
    : current_(recordSize), previous_(recordSize), recordSize_(recordSize) {}

void tRPG::SetLevel(int level, tLevel handlers) {
  if (level < 0 || level >= kLevels) return;
  levels_[size_t(level)] = std::make_unique<tLevel>(std::move(handlers));
}

void tRPG::Feed(const void* record) {
  if (recordSize_ > 0) std::memcpy(current_.data(), record, recordSize_);
  if (count_ == 0) {
    breakLevel_ = 9;
  } else {
    breakLevel_ = 0;
    for (int level = 9; level >= 1; --level) {
      const tLevel* l = levels_[size_t(level)].get();
      if (l && l->Test && l->Test(level, current_.data(), previous_.data())) {
        breakLevel_ = level;
        break;
      }
    }
    for (int level = 0; level <= breakLevel_; ++level) {
      const tLevel* l = levels_[size_t(level)].get();
      if (l && l->End) l->End(level, previous_.data());
    }
  }
  ++count_;
  previous_ = current_;
  for (int level = breakLevel_; level >= 0; --level) {
    const tLevel* l = levels_[size_t(level)].get();
    if (l && l->Begin) l->Begin(level, current_.data());
  }
}

void tRPG::Finish() {
  // Without a record there is no group to end.
  if (count_ == 0) return;
  breakLevel_ = 10;
  for (int level = 0; level < kLevels; ++level) {
    const tLevel* l = levels_[size_t(level)].get();
    if (l && l->End) l->End(level, previous_.data());
  }
}
