#include "jobs/statement_json.h"

#include <charconv>

#include "jobs/json_values.h"

namespace norv::jobs {

namespace {

void AppendUtf8(char32_t c, std::string& out) {
  if (c < 0x80) {
    out.push_back(static_cast<char>(c));
  } else if (c < 0x800) {
    out.push_back(static_cast<char>(0xC0 | (c >> 6)));
    out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
  } else if (c < 0x10000) {
    out.push_back(static_cast<char>(0xE0 | (c >> 12)));
    out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
  } else {
    out.push_back(static_cast<char>(0xF0 | (c >> 18)));
    out.push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
  }
}

// A JSON string of UTF-16 text, escaped as nlohmann's dump() escapes it (the
// short escapes, \u00xx for other control characters); a lone surrogate
// becomes U+FFFD.
void AppendString(std::u16string_view text, std::string& out) {
  static constexpr char kHex[] = "0123456789abcdef";
  out.push_back('"');
  for (size_t i = 0; i < text.size(); ++i) {
    const char16_t c = text[i];
    if (c >= 0x20 && c < 0x80 && c != u'"' && c != u'\\') {
      out.push_back(static_cast<char>(c));
      continue;
    }
    switch (c) {
      case u'"':
        out += "\\\"";
        continue;
      case u'\\':
        out += "\\\\";
        continue;
      case u'\b':
        out += "\\b";
        continue;
      case u'\f':
        out += "\\f";
        continue;
      case u'\n':
        out += "\\n";
        continue;
      case u'\r':
        out += "\\r";
        continue;
      case u'\t':
        out += "\\t";
        continue;
      default:
        break;
    }
    if (c < 0x20) {
      out += "\\u00";
      out.push_back(kHex[c >> 4]);
      out.push_back(kHex[c & 0xF]);
    } else if (c >= 0xD800 && c < 0xDC00 && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
               text[i + 1] < 0xE000) {
      AppendUtf8(0x10000 + ((static_cast<char32_t>(c) - 0xD800) << 10) + (text[i + 1] - 0xDC00),
                 out);
      ++i;
    } else if (c >= 0xD800 && c < 0xE000) {
      AppendUtf8(0xFFFD, out);
    } else {
      AppendUtf8(c, out);
    }
  }
  out.push_back('"');
}

void AppendInteger(int64_t value, std::string& out) {
  char buffer[24];
  auto [end, error] = std::to_chars(buffer, buffer + sizeof buffer, value);
  out.append(buffer, end);
}

// Appends `"name":` with the comma before it unless it opens the object.
void Key(std::string_view name, bool first, std::string& out) {
  out += first ? "{\"" : ",\"";
  out += name;
  out += "\":";
}

void Text(std::string_view name, std::u16string_view value, std::string& out) {
  Key(name, false, out);
  AppendString(value, out);
}

void Ascii(std::string_view name, const std::string& value, std::string& out) {
  Key(name, false, out);
  out.push_back('"');
  out += value;
  out.push_back('"');
}

void Flag(std::string_view name, bool value, std::string& out) {
  Key(name, false, out);
  out += value ? "true" : "false";
}

}  // namespace

void AppendHeaderJson(const StHead& head, std::string& out) {
  Key("Account", true, out);
  AppendString(head.Account, out);
  Ascii("DateFrom", DateText(head.DateFrom), out);
  Ascii("DateTo", DateText(head.DateTo), out);
  Flag("CreditSideDocs", head.CreditSideDocs, out);
  out += "}\n";
}

void AppendStatementDocJson(const StatementDoc& doc, std::string& out) {
  Key("DocKind", true, out);
  AppendInteger(doc.DocKind, out);
  Text("ClientAccount", doc.ClientAccount, out);
  Text("CorrAccount", doc.CorrAccount, out);
  Text("CorrCode", doc.CorrCode, out);
  Text("CorrBankName", doc.CorrBankName, out);
  Ascii("Amount", AmountText(doc.Amount), out);
  Text("CurrencyCode", doc.CurrencyCode, out);
  Flag("IsDebit", doc.IsDebit, out);
  Key("CurrencyKind", false, out);
  AppendInteger(doc.CurrencyKind, out);
  Text("DocNumber", doc.DocNumber, out);
  Ascii("OpDate", DateText(doc.OpDate), out);
  Text("Comment", doc.Comment, out);
  Text("ClientIban", doc.ClientIban, out);
  Text("CorrIban", doc.CorrIban, out);
  out += "}\n";
}

}  // namespace norv::jobs
