// BufferedFile: one open file with its own 64 KiB buffer, so that writing or
// reading a line costs no system call of its own. Every call to the file system
// goes through FileSystem::Default().
//
// Failures: a failed write or read raises at the call that met it and makes the
// file failed: every later Write, Flush or read raises the same error again.
// Close flushes what is buffered, releases the handle in every case and raises
// the first failure that it meets itself (one already raised is not raised
// twice, so that a file whose write failed can still be closed and renamed). The destructor closes
// a file that is still open; since it cannot raise, a failure then goes to ReportTeardownError.
#pragma once

#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "files/file_system.h"
#include "runtime/com_error.h"

namespace norv {

// The platform's number for reading a file opened for writing and the reverse.
inline constexpr int32_t kErrBadFileMode = 54;
[[noreturn]] void RaiseBadFileMode();

class BufferedFile {
 public:
  enum class Mode { kWrite, kRead, kAppend };
  static constexpr size_t kBufferSize = 64 * 1024;

  // Opens `path`: kWrite creates or truncates, kRead needs an existing file,
  // kAppend creates when missing and writes after the end. Raises on failure.
  BufferedFile(const std::u16string& path, Mode mode);
  ~BufferedFile();
  BufferedFile(const BufferedFile&) = delete;
  BufferedFile& operator=(const BufferedFile&) = delete;

  Mode mode() const { return mode_; }
  bool is_open() const { return open_; }

  // Writing modes only (54 otherwise).
  void Write(std::string_view bytes);
  void Flush();

  // Reading mode only (54 otherwise). The next line without its end, which is
  // CR, CR LF or a lone LF; false at the end of the file. The view stays valid
  // until the next call.
  bool ReadLine(std::string_view& line);
  // The next byte, or -1 at the end of the file.
  int GetByte() {
    if (pos_ == end_ && !Fill()) return -1;
    return static_cast<unsigned char>(buffer_[pos_++]);
  }

  void Close();

 private:
  void RequireWriting() const;
  void RequireReading() const;
  void ThrowIfFailed() const;
  void FlushBuffer();
  // Loads the next part of the file; false at its end.
  bool Fill();
  // Position of the first CR or LF at or after pos_, end_ when none.
  size_t FindLineEnd();

  FileSystem& fs_;
  FileSystem::Handle handle_ = -1;
  Mode mode_;
  bool open_ = false;
  std::unique_ptr<char[]> buffer_;
  size_t pos_ = 0;  // reading: next byte; writing: bytes buffered
  size_t end_ = 0;  // reading: bytes loaded
  static constexpr size_t kUnknown = static_cast<size_t>(-1);
  size_t next_cr_ = kUnknown, next_lf_ = kUnknown;  // cached scan results, valid when >= pos_
  std::string spill_;                               // a line that crosses a buffer refill
  std::optional<ComError> failure_;                 // the failure that made the file failed
};

}  // namespace norv
