// FirstIndex: for each text key, the index it was first added with. Built for
// a key a document, tens of thousands a run: the keys lie one after another in
// chunks that never move (a growing string would hold three copies while it
// moves), and an open-addressing table, at most half full, finds them by hash
// in one cache line where a node-based map took several.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string_view>
#include <vector>

namespace norv::jobs {

class FirstIndex {
 public:
  // The index `key` was first added with; when it is new, adds it with
  // `index` and returns nullopt.
  std::optional<size_t> FindOrAdd(std::u16string_view key, size_t index);

 private:
  struct Slot {
    uint64_t hash = 0;
    const char16_t* text = nullptr;  // nullptr: the slot is empty
    size_t length = 0;
    size_t index = 0;
  };

  // A copy of `key` in the chunks.
  const char16_t* Keep(std::u16string_view key);

  std::vector<std::unique_ptr<char16_t[]>> chunks_;
  char16_t* chunk_next_ = nullptr;
  size_t chunk_left_ = 0;
  std::vector<Slot> slots_;
  size_t used_ = 0;
};

}  // namespace norv::jobs
