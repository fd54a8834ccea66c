// Cases kept as data under tests/data/<kind>/: a manifest.tsv of tab-separated
// rows (lines starting with "#" are notes) and the inputs and expected files
// beside it; in an input "{10MB:c}" stands for ten megabytes of the character c.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

namespace norv::testing {

using Row = std::vector<std::string>;

inline std::string DataPath(const std::string& kind, const std::string& name = "") {
  const char* root = std::getenv("NORV_SOURCE_DIR");
  return std::string(root != nullptr ? root : ".") + "/tests/data/" + kind + "/" + name;
}

inline std::string DataBytes(const std::string& kind, const std::string& name) {
  std::ifstream in(DataPath(kind, name), std::ios::binary);
  if (!in) ADD_FAILURE() << "cannot read " << DataPath(kind, name);
  std::string bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  // "{10MB:c}" stands for ten megabytes of the character c.
  for (size_t at; (at = bytes.find("{10MB:")) != std::string::npos;)
    bytes.replace(at, 8, std::string(10 * 1024 * 1024, bytes.at(at + 6)));
  return bytes;
}

// The rows of tests/data/<kind>/manifest.tsv, each padded to `columns` fields.
inline std::vector<Row> Manifest(const std::string& kind, size_t columns) {
  std::vector<Row> rows;
  std::istringstream text(DataBytes(kind, "manifest.tsv"));
  for (std::string line; std::getline(text, line);) {
    if (line.empty() || line[0] == '#') continue;
    Row& row = rows.emplace_back();
    std::istringstream fields(line);
    for (std::string field; std::getline(fields, field, '\t');) row.push_back(field);
    row.resize(columns);
  }
  if (rows.empty()) ADD_FAILURE() << "no cases in " << DataPath(kind, "manifest.tsv");
  return rows;
}

// "\xNN" escapes to their bytes.
inline std::string Unescape(const std::string& text) {
  std::string out;
  for (size_t i = 0; i < text.size(); ++i) {
    const bool escape = text.compare(i, 2, "\\x") == 0 && i + 3 < text.size();
    out += escape ? static_cast<char>(std::stoi(text.substr(i + 2, 2), nullptr, 16)) : text[i];
    if (escape) i += 3;
  }
  return out;
}

}  // namespace norv::testing
