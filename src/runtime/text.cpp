#include "runtime/text.h"

#include <charconv>
#include <cmath>
#include <cstdlib>
#include <string>

#include "runtime/com_error.h"

namespace norv {
namespace {

constexpr char16_t kReplacement = 0xFFFD;

void AppendUtf8(std::string& out, char32_t code) {
  if (code < 0x80) {
    out += static_cast<char>(code);
  } else if (code < 0x800) {
    out += static_cast<char>(0xC0 | (code >> 6));
    out += static_cast<char>(0x80 | (code & 0x3F));
  } else if (code < 0x10000) {
    out += static_cast<char>(0xE0 | (code >> 12));
    out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (code & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (code >> 18));
    out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (code & 0x3F));
  }
}

bool IsValBlank(char16_t c) { return c == u' ' || c == u'\t' || c == u'\n'; }

}  // namespace

std::u16string Utf8ToU16(std::string_view utf8) {
  std::u16string out;
  out.reserve(utf8.size());
  size_t i = 0;
  while (i < utf8.size()) {
    const unsigned char lead = static_cast<unsigned char>(utf8[i]);
    if (lead < 0x80) {
      out += static_cast<char16_t>(lead);
      ++i;
      continue;
    }
    size_t length = 0;
    char32_t code = 0;
    if (lead >= 0xC2 && lead <= 0xDF) {
      length = 2, code = lead & 0x1F;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
      length = 3, code = lead & 0x0F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
      length = 4, code = lead & 0x07;
    }
    // The second byte's range also rules out overlong forms, surrogates and
    // values past U+10FFFF, so an invalid sequence is cut at its maximal valid
    // prefix, which becomes one U+FFFD.
    unsigned char low = 0x80;
    unsigned char high = 0xBF;
    if (lead == 0xE0) low = 0xA0;
    if (lead == 0xED) high = 0x9F;
    if (lead == 0xF0) low = 0x90;
    if (lead == 0xF4) high = 0x8F;
    size_t taken = 1;
    bool valid = length != 0;
    while (valid && taken < length) {
      if (i + taken >= utf8.size()) {
        valid = false;
        break;
      }
      const unsigned char next = static_cast<unsigned char>(utf8[i + taken]);
      if (taken == 1 ? (next < low || next > high) : (next & 0xC0) != 0x80) {
        valid = false;
        break;
      }
      code = (code << 6) | (next & 0x3F);
      ++taken;
    }
    if (!valid) {
      out += kReplacement;
      i += taken;
      continue;
    }
    if (code >= 0x10000) {
      code -= 0x10000;
      out += static_cast<char16_t>(0xD800 + (code >> 10));
      out += static_cast<char16_t>(0xDC00 + (code & 0x3FF));
    } else {
      out += static_cast<char16_t>(code);
    }
    i += length;
  }
  return out;
}

std::string U16ToUtf8(std::u16string_view text) {
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    const char16_t c = text[i];
    if (c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
        text[i + 1] <= 0xDFFF) {
      AppendUtf8(out, 0x10000 + ((char32_t(c) - 0xD800) << 10) + (char32_t(text[i + 1]) - 0xDC00));
      ++i;
    } else if (c >= 0xD800 && c <= 0xDFFF) {
      AppendUtf8(out, kReplacement);
    } else {
      AppendUtf8(out, c);
    }
  }
  return out;
}

size_t InStrRev(std::u16string_view text, std::u16string_view what) {
  if (text.empty()) return 0;
  if (what.empty()) return text.size();
  const size_t pos = text.rfind(what);
  return pos == std::u16string_view::npos ? 0 : pos + 1;
}

size_t InStr(std::u16string_view text, std::u16string_view what, size_t start) {
  if (start == 0) RaiseRuntime(kErrInvalidCall);
  if (start > text.size()) return 0;
  if (what.empty()) return start;
  const size_t pos = text.find(what, start - 1);
  return pos == std::u16string_view::npos ? 0 : pos + 1;
}

std::u16string Left(std::u16string_view text, size_t count) {
  return std::u16string(text.substr(0, count));
}

std::u16string Right(std::u16string_view text, size_t count) {
  if (count >= text.size()) return std::u16string(text);
  return std::u16string(text.substr(text.size() - count));
}

std::u16string Mid(std::u16string_view text, size_t start, size_t count) {
  if (start == 0) RaiseRuntime(kErrInvalidCall);
  if (start > text.size()) return std::u16string();
  return std::u16string(text.substr(start - 1, count));
}

std::u16string ReplaceAll(std::u16string_view text, std::u16string_view from,
                          std::u16string_view to) {
  if (from.empty()) return std::u16string(text);
  std::u16string out;
  out.reserve(text.size());
  size_t pos = 0;
  while (true) {
    const size_t found = text.find(from, pos);
    if (found == std::u16string_view::npos) break;
    out.append(text.substr(pos, found - pos));
    out.append(to);
    pos = found + from.size();
  }
  out.append(text.substr(pos));
  return out;
}

std::u16string TrimBlanks(std::u16string_view text) {
  size_t begin = 0;
  size_t end = text.size();
  while (begin < end && text[begin] == u' ') ++begin;
  while (end > begin && text[end - 1] == u' ') --end;
  return std::u16string(text.substr(begin, end - begin));
}

double LeadingNumber(std::u16string_view text) {
  // The blank-free characters are copied as ASCII so that from_chars can read them;
  // the buffer grows only for very long digit runs.
  std::string number;
  size_t i = 0;
  auto skip_blanks = [&] {
    while (i < text.size() && IsValBlank(text[i])) ++i;
  };
  auto is_digit = [&](size_t at) {
    return at < text.size() && text[at] >= u'0' && text[at] <= u'9';
  };

  skip_blanks();
  bool negative = false;
  if (i < text.size() && (text[i] == u'-' || text[i] == u'+')) {
    negative = text[i] == u'-';
    ++i;
  }
  bool any_digit = false;
  for (skip_blanks(); is_digit(i); skip_blanks()) {
    number += static_cast<char>(text[i++]);
    any_digit = true;
  }
  if (i < text.size() && text[i] == u'.') {
    number += '.';
    ++i;
    for (skip_blanks(); is_digit(i); skip_blanks()) {
      number += static_cast<char>(text[i++]);
      any_digit = true;
    }
  }
  if (!any_digit) return 0.0;
  if (i < text.size() &&
      (text[i] == u'e' || text[i] == u'E' || text[i] == u'd' || text[i] == u'D')) {
    size_t at = i + 1;
    while (at < text.size() && IsValBlank(text[at])) ++at;
    std::string exponent = "e";
    if (at < text.size() && (text[at] == u'-' || text[at] == u'+')) {
      exponent += static_cast<char>(text[at]);
      ++at;
    }
    bool exponent_digit = false;
    while (at < text.size() && (IsValBlank(text[at]) || (text[at] >= u'0' && text[at] <= u'9'))) {
      if (!IsValBlank(text[at])) {
        exponent += static_cast<char>(text[at]);
        exponent_digit = true;
      }
      ++at;
    }
    if (exponent_digit) number += exponent;
  }
  double value = 0.0;
  const auto [end, error] = std::from_chars(number.data(), number.data() + number.size(), value);
  if (error == std::errc::result_out_of_range) {
    // Underflow reads as 0; only a too-large magnitude overflows.
    const double probe = std::strtod(number.c_str(), nullptr);
    if (std::isinf(probe)) RaiseRuntime(kErrOverflow);
    return 0.0;
  }
  (void)end;
  return negative ? -value : value;
}

std::u16string GeneralNumber(double value, char16_t decimal_separator) {
  if (value == 0.0) return u"0";
  if (!std::isfinite(value)) RaiseRuntime(kErrOverflow);
  // 15 significant digits in scientific form: d.dddddddddddddde±x.
  char buffer[40];
  const auto result =
      std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::scientific, 14);
  std::string_view sci(buffer, static_cast<size_t>(result.ptr - buffer));
  const bool negative = sci.front() == '-';
  if (negative) sci.remove_prefix(1);
  const size_t e_pos = sci.find('e');
  int exponent = 0;
  std::from_chars(sci.data() + e_pos + (sci[e_pos + 1] == '+' ? 2 : 1), sci.data() + sci.size(),
                  exponent);
  std::string digits;
  digits += sci[0];
  digits.append(sci.substr(2, e_pos - 2));
  while (digits.size() > 1 && digits.back() == '0') digits.pop_back();

  std::u16string out;
  if (negative) out += u'-';
  auto put = [&out](std::string_view ascii) {
    for (char c : ascii) out += static_cast<char16_t>(c);
  };
  if (exponent >= 15 || exponent < -4) {
    // Scientific form as the platform writes it: 1.5E+20, 1E-05.
    out += static_cast<char16_t>(digits[0]);
    if (digits.size() > 1) {
      out += decimal_separator;
      put(std::string_view(digits).substr(1));
    }
    out += exponent < 0 ? u"E-" : u"E+";
    const int magnitude = std::abs(exponent);
    if (magnitude < 10) out += u'0';
    put(std::to_string(magnitude));
  } else if (exponent < 0) {
    out += u'0';
    out += decimal_separator;
    out.append(static_cast<size_t>(-exponent - 1), u'0');
    put(digits);
  } else {
    const size_t whole = static_cast<size_t>(exponent) + 1;
    if (digits.size() <= whole) {
      put(digits);
      out.append(whole - digits.size(), u'0');
    } else {
      put(std::string_view(digits).substr(0, whole));
      out += decimal_separator;
      put(std::string_view(digits).substr(whole));
    }
  }
  return out;
}

std::u16string IntToText(long long value) {
  char buffer[24];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
  return std::u16string(buffer, result.ptr);
}

}  // namespace norv
