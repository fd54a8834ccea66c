#include "files/buffered_file.h"

#include <cstring>

#include "files/teardown_report.h"

namespace norv {

void RaiseBadFileMode() { throw ComError(kErrBadFileMode, kDefaultErrorSource, u"Bad file mode"); }

BufferedFile::BufferedFile(const std::u16string& path, Mode mode)
    : fs_(FileSystem::Default()), mode_(mode) {
  switch (mode) {
    case Mode::kWrite:
      handle_ = fs_.OpenForWrite(path);
      break;
    case Mode::kRead:
      handle_ = fs_.OpenForRead(path);
      break;
    case Mode::kAppend:
      handle_ = fs_.OpenForAppend(path);
      break;
  }
  open_ = true;
  buffer_ = std::make_unique_for_overwrite<char[]>(kBufferSize);  // filled before read
}

BufferedFile::~BufferedFile() {
  if (!open_) return;
  try {
    Close();
  } catch (const ComError& error) {
    ReportTeardownError(error);
  }
}

void BufferedFile::RequireWriting() const {
  if (!open_) RaiseRuntime(kErrBadFileNameOrNumber);
  if (mode_ == Mode::kRead) RaiseBadFileMode();
  ThrowIfFailed();
}

void BufferedFile::RequireReading() const {
  if (!open_) RaiseRuntime(kErrBadFileNameOrNumber);
  if (mode_ != Mode::kRead) RaiseBadFileMode();
  ThrowIfFailed();
}

void BufferedFile::ThrowIfFailed() const {
  if (failure_) throw *failure_;
}

void BufferedFile::Write(std::string_view bytes) {
  RequireWriting();
  if (bytes.size() > kBufferSize - pos_) {
    FlushBuffer();
    if (bytes.size() >= kBufferSize) {
      try {
        fs_.Write(handle_, bytes);
      } catch (const ComError& error) {
        failure_ = error;
        throw;
      }
      return;
    }
  }
  std::memcpy(buffer_.get() + pos_, bytes.data(), bytes.size());
  pos_ += bytes.size();
}

void BufferedFile::Flush() {
  RequireWriting();
  FlushBuffer();
}

void BufferedFile::FlushBuffer() {
  if (pos_ == 0) return;
  const size_t size = pos_;
  // The buffered bytes count as handed over whether or not the write succeeds;
  // a failure is raised right here, so the caller learns of the loss.
  pos_ = 0;
  try {
    fs_.Write(handle_, std::string_view(buffer_.get(), size));
  } catch (const ComError& error) {
    failure_ = error;
    throw;
  }
}

bool BufferedFile::Fill() {
  pos_ = 0;
  end_ = 0;
  next_cr_ = next_lf_ = kUnknown;
  try {
    end_ = fs_.Read(handle_, buffer_.get(), kBufferSize);
  } catch (const ComError& error) {
    failure_ = error;
    throw;
  }
  return end_ > 0;
}

size_t BufferedFile::FindLineEnd() {
  const char* base = buffer_.get();
  // Each kind of line end is searched once per stretch of the buffer, so files
  // with only LF (or only CR) ends cost no rescans.
  if (next_cr_ == kUnknown || next_cr_ < pos_) {
    const void* cr = std::memchr(base + pos_, '\r', end_ - pos_);
    next_cr_ = cr ? static_cast<size_t>(static_cast<const char*>(cr) - base) : end_;
  }
  if (next_lf_ == kUnknown || next_lf_ < pos_) {
    const void* lf = std::memchr(base + pos_, '\n', end_ - pos_);
    next_lf_ = lf ? static_cast<size_t>(static_cast<const char*>(lf) - base) : end_;
  }
  return next_cr_ < next_lf_ ? next_cr_ : next_lf_;
}

bool BufferedFile::ReadLine(std::string_view& line) {
  RequireReading();
  bool spilled = false;
  for (;;) {
    if (pos_ == end_ && !Fill()) {
      if (!spilled) return false;
      line = spill_;
      return true;
    }
    const size_t start = pos_;
    const size_t stop = FindLineEnd();
    if (stop == end_) {
      if (!spilled) spill_.clear();
      spill_.append(buffer_.get() + start, end_ - start);
      spilled = true;
      pos_ = end_;
      continue;
    }
    const bool carriage_return = buffer_[stop] == '\r';
    pos_ = stop + 1;
    if (carriage_return && pos_ == end_) {
      // The LF that may follow is in the next part of the file; keep the line
      // before loading it.
      if (!spilled) spill_.clear();
      spill_.append(buffer_.get() + start, stop - start);
      if (Fill() && buffer_[0] == '\n') pos_ = 1;
      line = spill_;
      return true;
    }
    if (carriage_return && buffer_[pos_] == '\n') ++pos_;
    if (spilled) {
      spill_.append(buffer_.get() + start, stop - start);
      line = spill_;
    } else {
      line = std::string_view(buffer_.get() + start, stop - start);
    }
    return true;
  }
}

void BufferedFile::Close() {
  if (!open_) return;
  open_ = false;
  std::optional<ComError> first;
  if (mode_ != Mode::kRead && !failure_) {
    try {
      FlushBuffer();
    } catch (const ComError& error) {
      first = error;
    }
  }
  try {
    fs_.Close(handle_);
  } catch (const ComError& error) {
    if (!first) first = error;
  }
  handle_ = -1;
  buffer_.reset();
  if (first) throw *first;
}

}  // namespace norv
