#include "jobs/first_index.h"

#include <algorithm>
#include <functional>

namespace norv::jobs {

std::optional<size_t> FirstIndex::FindOrAdd(std::u16string_view key, size_t index) {
  if (2 * (used_ + 1) > slots_.size()) {
    std::vector<Slot> old(std::max<size_t>(1024, 2 * slots_.size()));
    old.swap(slots_);
    for (const Slot& slot : old) {
      if (slot.text == nullptr) continue;
      size_t at = slot.hash & (slots_.size() - 1);
      while (slots_[at].text != nullptr) at = (at + 1) & (slots_.size() - 1);
      slots_[at] = slot;
    }
  }
  const uint64_t hash = std::hash<std::u16string_view>{}(key);
  size_t at = hash & (slots_.size() - 1);
  for (; slots_[at].text != nullptr; at = (at + 1) & (slots_.size() - 1)) {
    const Slot& slot = slots_[at];
    if (slot.hash == hash && std::u16string_view(slot.text, slot.length) == key) return slot.index;
  }
  slots_[at] = Slot{hash, Keep(key), key.size(), index};
  ++used_;
  return std::nullopt;
}

const char16_t* FirstIndex::Keep(std::u16string_view key) {
  constexpr size_t kChunk = 1 << 16;
  if (key.size() > chunk_left_) {
    chunk_left_ = std::max(kChunk, key.size());
    chunks_.push_back(std::make_unique_for_overwrite<char16_t[]>(chunk_left_));
    chunk_next_ = chunks_.back().get();
  }
  char16_t* kept = chunk_next_;
  std::copy(key.begin(), key.end(), kept);
  chunk_next_ += key.size();
  chunk_left_ -= key.size();
  return kept;
}

}  // namespace norv::jobs
