#include "files/text_stream.h"

namespace norv {
namespace {

constexpr std::string_view kByteOrderMark("\xFF\xFE", 2);

}  // namespace

TextStream::TextStream(const std::u16string& path, Mode mode) {
  FileSystem& fs = FileSystem::Default();
  switch (mode) {
    case Mode::kCreate:
      file_ = std::make_unique<BufferedFile>(path, BufferedFile::Mode::kWrite);
      file_->Write(kByteOrderMark);
      break;
    case Mode::kRead:
      try {
        file_ = std::make_unique<BufferedFile>(path, BufferedFile::Mode::kRead);
      } catch (const ComError& error) {
        if (error.number() != kErrFileNotFound) throw;
        // A missing file is created (empty) and then read.
        BufferedFile(path, BufferedFile::Mode::kWrite).Close();
        file_ = std::make_unique<BufferedFile>(path, BufferedFile::Mode::kRead);
      }
      break;
    case Mode::kAppend:
      file_ = std::make_unique<BufferedFile>(path, BufferedFile::Mode::kAppend);
      if (fs.FileLength(path) == 0) file_->Write(kByteOrderMark);
      break;
  }
}

void TextStream::WriteLine(std::u16string_view text) {
  scratch_.clear();
  scratch_.reserve(2 * text.size() + 4);
  for (const char16_t c : text) {
    scratch_.push_back(static_cast<char>(c & 0xFF));
    scratch_.push_back(static_cast<char>(c >> 8));
  }
  scratch_.append("\r\0\n\0", 4);
  file_->Write(scratch_);
}

int32_t TextStream::NextUnit() {
  if (lookahead_ != kNoUnit) {
    const int32_t unit = lookahead_;
    lookahead_ = kNoUnit;
    return unit;
  }
  const int low = file_->GetByte();
  if (low < 0) return kNoUnit;
  const int high = file_->GetByte();
  if (high < 0) return kNoUnit;  // a lone last byte is no character
  return low | (high << 8);
}

bool TextStream::ReadLine(std::u16string& line) {
  if (file_->mode() != BufferedFile::Mode::kRead) RaiseBadFileMode();
  int32_t unit = NextUnit();
  if (at_start_) {
    at_start_ = false;
    if (unit == 0xFEFF) unit = NextUnit();
  }
  if (unit == kNoUnit) return false;
  std::u16string text;
  while (unit != kNoUnit && unit != u'\r' && unit != u'\n') {
    text.push_back(static_cast<char16_t>(unit));
    unit = NextUnit();
  }
  if (unit == u'\r') {
    const int32_t next = NextUnit();
    if (next != u'\n') lookahead_ = next;
  }
  line = std::move(text);
  return true;
}

void TextStream::Flush() {
  if (file_->is_open() && file_->mode() != BufferedFile::Mode::kRead) file_->Flush();
}

void TextStream::Close() { file_->Close(); }

}  // namespace norv
