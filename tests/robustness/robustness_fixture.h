// Shared pieces of the robustness tests: statement and rate lines built from
// valid ones, files written byte for byte, and what a folder holds.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "runtime/codepage.h"
#include "support/recording_host.h"

namespace norv::testing {

inline constexpr char16_t kAccount[] = u"LT001";

// A valid operation line of kAccount in Windows-1257 (a credit of 150 on
// 2024.01.15), its fields replaced by number (1-based), cut to `count` fields.
inline std::string StLine(const std::map<int, std::u16string>& set = {}, size_t count = 32) {
  std::vector<std::u16string> fields = {u"00042",
                                        u"2024.01.15",
                                        kAccount,
                                        u"1",
                                        u"EUR",
                                        u"D-17",
                                        u"73000",
                                        u"LT601010012345678901",
                                        u"0",
                                        u"0",
                                        u"150",
                                        u"150",
                                        u"T-100",
                                        u"1",
                                        u"MK",
                                        u"2024.01.15",
                                        u"AB bankas",
                                        u"\"UAB \"\"Žiedas\"\"\"",
                                        u"Apmokėjimas už prekes",
                                        u"123456789",
                                        u"",
                                        u"",
                                        u"",
                                        u"Pavedimas",
                                        u"111111111",
                                        u"73000",
                                        u"UAB Klientas",
                                        u"Vilnius",
                                        u"EUR",
                                        u"LT017300010000000001",
                                        u"HABALT22",
                                        u"LT601010012345678902"};
  for (const auto& [number, text] : set) fields.at(number - 1) = text;
  std::u16string line;
  for (size_t i = 0; i < count && i < fields.size(); ++i) {
    if (i > 0) line += u'\t';
    line += fields[i];
  }
  return cp1257::Encode(line);
}

// Lines joined, each followed by `end`.
inline std::string Joined(const std::vector<std::string>& lines, const std::string& end = "\r\n") {
  std::string bytes;
  for (const std::string& line : lines) bytes += line + end;
  return bytes;
}

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
