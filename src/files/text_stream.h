// TextStream: the Unicode-mode file of CFile. Always UTF-16LE: a created file
// starts with the byte-order mark FF FE; a stream opened for reading skips a
// mark at the start; one opened for appending adds the mark only when the file
// is empty, so that a file made by CFile in Unicode mode is read and extended in
// its own encoding. Lines are written with CR LF and read up to CR, CR LF or LF.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "files/buffered_file.h"

namespace norv {

class TextStream {
 public:
  enum class Mode {
    kCreate,  // create or replace
    kRead,    // create when missing, read from the start
    kAppend,  // create when missing, write after the end
  };

  // Raises on failure.
  TextStream(const std::u16string& path, Mode mode);
  // Closes a stream that is still open (failures go to ReportTeardownError).
  ~TextStream() = default;

  void WriteLine(std::u16string_view text);  // 54 on a stream for reading
  // The next line without its end; false at the end (54 on a stream for writing).
  bool ReadLine(std::u16string& line);
  // Writes what is buffered; nothing on a stream for reading.
  void Flush();
  void Close();

 private:
  static constexpr int32_t kNoUnit = -1;
  // The next UTF-16 code unit, kNoUnit at the end.
  int32_t NextUnit();

  std::unique_ptr<BufferedFile> file_;
  bool at_start_ = true;
  int32_t lookahead_ = kNoUnit;  // a unit read past a CR that was not LF
  std::string scratch_;
};

}  // namespace norv
