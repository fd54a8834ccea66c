// Shared pieces of the robustness tests: what a folder holds and what the books
// were asked to change.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "runtime/codepage.h"
#include "support/recording_host.h"

namespace norv::testing {

// The names in a folder, sorted.
inline std::vector<std::string> Listing(const std::string& folder) {
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(folder)) {
    names.push_back(entry.path().filename().string());
  }
  std::sort(names.begin(), names.end());
  return names;
}

// Book operations that change a book.
inline size_t BookWrites(const RecordingHost& host) {
  size_t writes = 0;
  for (const BookCall& call : host.BookCalls()) {
    writes += call.op == u"StoreNew" || call.op == u"UpdateById" || call.op == u"DeleteById";
  }
  return writes;
}

}  // namespace norv::testing
