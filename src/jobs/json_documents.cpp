#include "jobs/json_documents.h"

#include <array>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "jobs/job_error.h"
#include "runtime/com_error.h"

namespace norv::jobs {

// ---------------------------------------------------------------------------
// The bytes of the file, through a fixed buffer (or all of them in memory).

class JsonDocuments::ByteSource {
 public:
  explicit ByteSource(std::string_view bytes)
      : start_(bytes.data()), pos_(bytes.data()), end_(bytes.data() + bytes.size()) {}
  explicit ByteSource(std::FILE* file) : file_(file), buffer_(new char[kBufferSize]) {}
  ~ByteSource() {
    if (file_ != nullptr) std::fclose(file_);
  }
  ByteSource(const ByteSource&) = delete;
  ByteSource& operator=(const ByteSource&) = delete;

  // The next byte without taking it; EOF at the end.
  int Peek() {
    if (pos_ == end_ && !Refill()) return EOF;
    return static_cast<unsigned char>(*pos_);
  }
  void Skip() { ++pos_; }
  int64_t Offset() const { return consumed_ + (pos_ - start_); }

  // Takes the bytes up to the next '\n' (left out) into `line`; false at the end.
  bool ReadLine(std::string& line) {
    line.clear();
    if (Peek() == EOF) return false;
    while (Peek() != EOF) {
      const char* newline = static_cast<const char*>(std::memchr(pos_, '\n', end_ - pos_));
      if (newline != nullptr) {
        line.append(pos_, newline);
        pos_ = newline + 1;
        return true;
      }
      line.append(pos_, end_);
      pos_ = end_;
    }
    return true;
  }

 private:
  static constexpr size_t kBufferSize = 1 << 16;

  bool Refill() {
    if (file_ == nullptr) return false;
    consumed_ += pos_ - start_;
    const size_t got = std::fread(buffer_.get(), 1, kBufferSize, file_);
    if (got == 0 && std::ferror(file_)) FailJob(kErrDeviceIo, "reading the file");
    start_ = pos_ = buffer_.get();
    end_ = pos_ + got;
    return got > 0;
  }

  std::FILE* file_ = nullptr;
  std::unique_ptr<char[]> buffer_;
  const char* start_ = nullptr;
  const char* pos_ = nullptr;
  const char* end_ = nullptr;
  int64_t consumed_ = 0;

  friend class JsonDocuments;
};

namespace {

// ---------------------------------------------------------------------------
// Where one document ends. The file is cut into documents before any is
// parsed, so that only one document at a time is in memory: the scan follows
// strings and nesting without parsing, and notes a control character inside a
// string (which JSON forbids and the parser lets pass).

// The bytes that need no look inside a string, and outside of one.
constexpr std::array<bool, 256> PlainBytes(bool in_string) {
  std::array<bool, 256> plain{};
  for (int c = 0; c < 256; ++c) {
    plain[c] = in_string ? c >= 0x20 && c != '"' && c != '\\'
                         : c != '"' && c != '{' && c != '}' && c != '[' && c != ']';
  }
  return plain;
}
constexpr std::array<bool, 256> kPlainInString = PlainBytes(true);
constexpr std::array<bool, 256> kPlainOutside = PlainBytes(false);

// Whether any of the 8 bytes at `p` ends plain text in a string: a quote, a
// backslash or a control character (the bit tricks of "Bit Twiddling Hacks").
inline bool NeedsLookInString(const char* p) {
  constexpr uint64_t kOnes = 0x0101010101010101u;
  constexpr uint64_t kHigh = 0x8080808080808080u;
  uint64_t word;
  std::memcpy(&word, p, sizeof word);
  const auto has_zero = [](uint64_t v) { return (v - kOnes) & ~v & kHigh; };
  const uint64_t below_space = (word - kOnes * 0x20) & ~word & kHigh;
  return (has_zero(word ^ (kOnes * '"')) | has_zero(word ^ (kOnes * '\\')) | below_space) != 0;
}

class ExtentScanner {
 public:
  // Consumes the bytes of a value that began with '{' up to `end`; returns one
  // past its closing brace, or nullptr when the value goes on after `end`.
  const char* Feed(const char* p, const char* end) {
#if defined(__SSE2__)
    // 64 bytes at a time without a branch per string: the quotes' running
    // parity tells which bytes lie inside strings. A block with a backslash
    // (or after one) goes the slower way, escape by escape.
    while (end - p >= 64) {
      const BlockMasks block = MasksOf(p);
      if (block.backslash != 0 || escape_) {
        if (const char* done = Visit(p, p + 64)) return done;
        p += 64;
        continue;
      }
      const uint64_t in_string = PrefixXor(block.quote) ^ (in_string_ ? ~uint64_t{0} : 0);
      uint64_t structural = (block.open | block.close) & ~in_string;
      uint64_t upto = ~uint64_t{0};  // the bytes that belong to the value
      const char* done = nullptr;
      for (; structural != 0; structural &= structural - 1) {
        const int k = __builtin_ctzll(structural);
        if ((block.open >> k) & 1) {
          ++depth_;
        } else if (--depth_ == 0) {
          upto = k == 63 ? ~uint64_t{0} : (uint64_t{2} << k) - 1;
          done = p + k + 1;
          break;
        }
      }
      const uint64_t control = block.control & in_string & upto;
      if (control != 0 && control_at_ < 0) {
        control_at_ = consumed_ + (p + __builtin_ctzll(control) - start_);
      }
      if (done != nullptr) {
        in_string_ = false;
        return done;
      }
      in_string_ = (in_string >> 63) != 0;
      p += 64;
    }
    const char* whole_blocks = p + (end - p) / 16 * 16;
    if (const char* done = Visit(p, whole_blocks)) return done;
    p = whole_blocks;
#endif
    for (; p < end; ++p) {
      // The byte after a backslash belongs to the escape, whatever it is ("\\",
      // "\u"): it can neither end the string nor start another escape.
      if (escape_) {
        escape_ = false;
        continue;
      }
      // Most bytes are plain text inside a string or blanks and values outside:
      // skip them in a tight loop.
      const bool* plain = in_string_ ? kPlainInString.data() : kPlainOutside.data();
      if (in_string_) {
        while (end - p >= 8 && !NeedsLookInString(p)) p += 8;
      }
      while (p < end && plain[static_cast<unsigned char>(*p)]) ++p;
      if (p == end) break;
      const char c = *p;
      if (in_string_) {
        if (c == '\\') {
          escape_ = true;
        } else if (c == '"') {
          in_string_ = false;
        } else if (static_cast<unsigned char>(c) < 0x20 && control_at_ < 0) {
          control_at_ = consumed_ + (p - start_);
        }
        continue;
      }
      if (c == '"') {
        in_string_ = true;
      } else if (c == '{' || c == '[') {
        ++depth_;
      } else if ((c == '}' || c == ']') && --depth_ == 0) {
        return p + 1;
      }
    }
    return nullptr;
  }
#if defined(__SSE2__)
  struct BlockMasks {
    uint64_t quote = 0, backslash = 0, control = 0, open = 0, close = 0;
  };

  // One bit per byte of the 64 at `p`.
  static BlockMasks MasksOf(const char* p) {
    BlockMasks masks;
    for (int part = 0; part < 4; ++part) {
      const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 16 * part));
      const auto bits = [part](__m128i match) {
        return static_cast<uint64_t>(static_cast<uint32_t>(_mm_movemask_epi8(match)))
               << (16 * part);
      };
      const auto is = [&bytes](char c) { return _mm_cmpeq_epi8(bytes, _mm_set1_epi8(c)); };
      masks.quote |= bits(is('"'));
      masks.backslash |= bits(is('\\'));
      // Signed compares: a control character is at least 0 and below 0x20.
      masks.control |= bits(_mm_and_si128(_mm_cmplt_epi8(bytes, _mm_set1_epi8(0x20)),
                                          _mm_cmpgt_epi8(bytes, _mm_set1_epi8(-1))));
      masks.open |= bits(_mm_or_si128(is('{'), is('[')));
      masks.close |= bits(_mm_or_si128(is('}'), is(']')));
    }
    return masks;
  }

  // Bit i: the parity of the bits 0..i.
  static uint64_t PrefixXor(uint64_t bits) {
    for (int shift = 1; shift < 64; shift *= 2) bits ^= bits << shift;
    return bits;
  }

  // The bytes from `p` to `stop` (a multiple of 16 away), 16 at a time: a visit
  // to each byte that matters. Returns one past the value's end, or nullptr.
  const char* Visit(const char* p, const char* stop) {
    for (; p < stop; p += 16) {
      const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
      const auto is = [&bytes](char c) { return _mm_cmpeq_epi8(bytes, _mm_set1_epi8(c)); };
      const __m128i control = _mm_and_si128(_mm_cmplt_epi8(bytes, _mm_set1_epi8(0x20)),
                                            _mm_cmpgt_epi8(bytes, _mm_set1_epi8(-1)));
      const __m128i quote = is('"');
      const auto in_string = static_cast<uint32_t>(
          _mm_movemask_epi8(_mm_or_si128(_mm_or_si128(quote, is('\\')), control)));
      const auto outside = static_cast<uint32_t>(_mm_movemask_epi8(_mm_or_si128(
          _mm_or_si128(quote, _mm_or_si128(is('{'), is('}'))), _mm_or_si128(is('['), is(']')))));
      unsigned k = 0;
      if (escape_) {
        escape_ = false;
        k = 1;
      }
      while (k < 16) {
        const uint32_t next = (in_string_ ? in_string : outside) >> k;
        if (next == 0) break;
        k += static_cast<unsigned>(__builtin_ctz(next));
        const char c = p[k];
        if (in_string_) {
          if (c == '\\') {
            k += 2;  // the escaped byte, perhaps the first of the next block
            escape_ = k > 16;
            continue;
          }
          if (c == '"') {
            in_string_ = false;
          } else if (control_at_ < 0) {
            control_at_ = consumed_ + (p + k - start_);
          }
        } else if (c == '"') {
          in_string_ = true;
        } else if (c == '{' || c == '[') {
          ++depth_;
        } else if (--depth_ == 0) {
          return p + k + 1;
        }
        ++k;
      }
    }
    return nullptr;
  }
#endif

  // Marks where the bytes given next start within the document.
  void Window(const char* start, int64_t consumed) {
    start_ = start;
    consumed_ = consumed;
  }
  // The offset in the document of the first control character in a string; -1: none.
  int64_t control_at() const { return control_at_; }

 private:
  int64_t depth_ = 0;
  bool in_string_ = false;
  bool escape_ = false;
  int64_t control_at_ = -1;
  const char* start_ = nullptr;
  int64_t consumed_ = 0;
};

}  // namespace

JsonDocuments::JsonDocuments(std::FILE* file) : in_(std::make_unique<ByteSource>(file)) {}
JsonDocuments::JsonDocuments(std::string_view bytes) : in_(std::make_unique<ByteSource>(bytes)) {}
JsonDocuments::~JsonDocuments() = default;

JsonDocuments::Cut JsonDocuments::Next(Document& doc) {
  if (finished_) return Cut::kEnd;
  if (!started_) {
    started_ = true;
    // Blanks before the first value tell nothing; '[' opens an array.
    SkipBlanks();
    in_array_ = in_->Peek() == '[';
    if (in_array_) {
      in_->Skip();
      SkipBlanks();
      if (in_->Peek() == ']') {
        in_->Skip();
        return Finish(doc);
      }
    }
  }
  return in_array_ ? NextElement(doc) : NextLine(doc);
}

JsonDocuments::Cut JsonDocuments::NextElement(Document& doc) {
  if (!first_element_) {
    SkipBlanks();
    const int c = in_->Peek();
    in_->Skip();
    if (c == ']') return Finish(doc);
    if (c != ',') {
      finished_ = true;
      doc.offset = in_->Offset() - 1;
      doc.problem =
          c == EOF ? "the file ends inside the array" : "expected ',' or ']' after a document";
      return Cut::kMalformed;
    }
  }
  first_element_ = false;
  SkipBlanks();
  doc.offset = in_->Offset();
  if (in_->Peek() != '{') {
    finished_ = true;
    doc.first = in_->Peek();
    return Cut::kNotAnObject;
  }
  doc.control_at = TakeObject(doc.bytes);
  return Cut::kDocument;
}

JsonDocuments::Cut JsonDocuments::NextLine(Document& doc) {
  while (true) {
    doc.offset = in_->Offset();
    if (!in_->ReadLine(doc.bytes)) {
      finished_ = true;
      return Cut::kEnd;
    }
    const size_t first = doc.bytes.find_first_not_of(" \t\r");
    if (first == std::string::npos) continue;
    if (doc.bytes[first] != '{') {
      finished_ = true;
      doc.offset += static_cast<int64_t>(first);
      doc.first = static_cast<unsigned char>(doc.bytes[first]);
      return Cut::kNotAnObject;
    }
    ExtentScanner scanner;
    scanner.Window(doc.bytes.data(), 0);
    scanner.Feed(doc.bytes.data(), doc.bytes.data() + doc.bytes.size());
    doc.control_at = scanner.control_at();
    return Cut::kDocument;
  }
}

JsonDocuments::Cut JsonDocuments::Finish(Document& doc) {
  finished_ = true;
  SkipBlanks();
  if (in_->Peek() == EOF) return Cut::kEnd;
  doc.offset = in_->Offset();
  doc.problem = "more after the array";
  return Cut::kMalformed;
}

// Takes the object that starts at the source's position into `bytes`; returns
// where a control character stood in one of its strings (-1: none). At the end
// of the file `bytes` holds what there was, for the parser to find wanting.
int64_t JsonDocuments::TakeObject(std::string& bytes) {
  bytes.clear();
  ExtentScanner scanner;
  ByteSource& in = *in_;
  while (in.Peek() != EOF) {
    scanner.Window(in.pos_, static_cast<int64_t>(bytes.size()));
    const char* end = scanner.Feed(in.pos_, in.end_);
    if (end != nullptr) {
      bytes.append(in.pos_, end);
      in.pos_ = end;
      break;
    }
    bytes.append(in.pos_, in.end_);
    in.pos_ = in.end_;
  }
  return scanner.control_at();
}

void JsonDocuments::SkipBlanks() {
  while (true) {
    const int c = in_->Peek();
    if (c != ' ' && c != '\t' && c != '\r' && c != '\n') return;
    in_->Skip();
  }
}

}  // namespace norv::jobs
