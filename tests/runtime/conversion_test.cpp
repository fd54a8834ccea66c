// Parsing, formatting and conversions under the regional presets, currency
// arithmetic, texts, code page bytes and error texts: the cases are in
// tests/data/regional (parsing) and tests/data/conversions (the rest).
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <thread>
#include <variant>

#include "core/messages.h"
#include "runtime/codepage.h"
#include "runtime/com_error.h"
#include "runtime/regional.h"
#include "runtime/text.h"
#include "runtime/variant.h"
#include "support/data_files.h"

namespace norv {
namespace {

// The text between the quotes, with \t, \n, \uXXXX and \\ read.
std::u16string CaseText(const std::string& quoted) {
  const std::u16string raw = Utf8ToU16(quoted.substr(1, quoted.size() - 2));
  std::u16string text;
  for (size_t i = 0; i < raw.size(); ++i) {
    const char16_t next = raw[i] == u'\\' ? raw[++i] : u'\0';
    if (next == u'u') {
      text += static_cast<char16_t>(std::stoi(U16ToUtf8(raw.substr(i + 1, 4)), nullptr, 16));
      i += 4;
    } else {
      text += next == u't' ? u'\t' : next == u'n' ? u'\n' : next ? next : raw[i];
    }
  }
  return text;
}

Date Civil(const std::string& text) {
  int y = 0, mo = 0, d = 0, h = 0, mi = 0, s = 0;
  std::sscanf(text.c_str(), "%d-%d-%d %d:%d:%d", &y, &mo, &d, &h, &mi, &s);
  return Date::FromCivil(y, mo, d, h, mi, s);
}

std::u16string Civil(const Date& date) {
  const CivilDateTime c = date.ToCivil();
  char text[32];
  std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d:%02d", c.year, c.month, c.day, c.hour,
                c.minute, c.second);
  return Utf8ToU16(text);
}

Variant ValueOf(const std::string& in) {
  if (in.empty() || in == "empty") return Variant{};
  if (in[0] == '"') return Variant{CaseText(in)};
  if (in.rfind("int:", 0) == 0) return Variant{int32_t(std::stoi(in.substr(4)))};
  if (in.rfind("cur:", 0) == 0) return Variant{Currency::FromRaw(std::stoll(in.substr(4)))};
  if (in.rfind("date:", 0) == 0) return Variant{Civil(in.substr(5))};
  if (in.rfind("bool:", 0) == 0) return Variant{in == "bool:1"};
  return Variant{std::stod(in)};
}

std::u16string Raw(const Currency& value) { return Utf8ToU16(std::to_string(value.raw())); }
Currency RawOf(const std::string& text) { return Currency::FromRaw(std::stoll(text)); }
// Bytes as characters U+0000 to U+00FF, and back.
std::u16string Latin1(const std::string& bytes) {
  std::u16string text;
  for (unsigned char byte : bytes) text += char16_t{byte};
  return text;
}
std::string Bytes(const std::u16string& text) { return {text.begin(), text.end()}; }

using Out = std::variant<double, std::u16string>;

Out Evaluate(const testing::Row& c, const RegionalSettings& settings) {
  const std::string name = c[0].substr(0, c[0].find(' '));
  const std::u16string pattern =
      c[0].find(' ') == std::string::npos ? u"" : Utf8ToU16(c[0].substr(c[0].find(' ') + 1));
  const std::string& in = c[2];
  if (name == "Preset") return RegionalSettings::Preset(CaseText(in)).name;
  if (name == "number") return settings.ParseNumber(CaseText(in));
  if (name == "currency") return Raw(settings.ParseCurrency(CaseText(in)));
  if (name == "date") return Civil(settings.ParseDate(CaseText(in)));
  if (name == "FormatNumber") return settings.FormatNumber(std::stod(in), pattern);
  if (name == "FormatCurrency") return settings.FormatCurrency(std::stod(in));
  if (name == "FormatShortDate") return settings.FormatShortDate(Civil(in));
  if (name == "FormatLongTime") return settings.FormatLongTime(Civil(in));
  if (name == "FormatDatePattern") return RegionalSettings::FormatDatePattern(Civil(in), pattern);
  if (name == "VariantToText") return VariantToText(ValueOf(in));
  if (name == "VariantToCurrency") return Raw(VariantToCurrency(ValueOf(in)));
  if (name == "VariantToInt32") return double(VariantToInt32(ValueOf(in)));
  if (name == "VariantToDate") return Civil(VariantToDate(ValueOf(in)));
  if (name == "LeadingNumber") return LeadingNumber(CaseText(in));
  if (name == "GeneralNumber") return GeneralNumber(std::stod(in), settings.decimal_separator);
  if (name == "RoundHalfEven") return RoundHalfEven(std::stod(in));
  if (name == "CurrencyFromDouble") return Raw(Currency::FromDouble(std::stod(in)));
  if (name == "DateSerial") return Civil(in).serial();
  if (name == "DateCivil") return Civil(Date(std::stod(in)));
  const auto arg = [&](size_t i) { return CaseText(c.at(4 + i)); };
  const auto count = [&](size_t i) {
    return c.at(4 + i).empty() ? std::u16string::npos : std::stoul(c[4 + i]);
  };
  if (name == "Currency+") return Raw(RawOf(in) + RawOf(c[4]));
  if (name == "Currency-") return Raw(RawOf(in) - RawOf(c[4]));
  if (name == "CurrencyNegate") return Raw(-RawOf(in));
  if (name == "Currency*") return Raw(RawOf(in) * std::stod(c[4]));
  if (name == "Currency/") return Raw(RawOf(in) / std::stod(c[4]));
  if (name == "CurrencyFromInteger") return Raw(Currency::FromInteger(std::stoll(in)));
  if (name == "CheckedIncrement") {
    auto counter = static_cast<int16_t>(std::stoi(in));
    CheckedIncrement(counter);
    return double(counter);
  }
  if (name == "Utf8ToU16") return Utf8ToU16(Bytes(CaseText(in)));
  if (name == "U16ToUtf8") return Latin1(U16ToUtf8(CaseText(in)));
  if (name == "Cp1257Encode") return Latin1(cp1257::Encode(CaseText(in)));
  if (name == "Cp1257Decode") return cp1257::Decode(Bytes(CaseText(in)));
  if (name == "InStr") return double(InStr(CaseText(in), arg(0), count(1)));
  if (name == "InStrRev") return double(InStrRev(CaseText(in), arg(0)));
  if (name == "Mid") return Mid(CaseText(in), count(0), count(1));
  if (name == "Left") return Left(CaseText(in), count(0));
  if (name == "Right") return Right(CaseText(in), count(0));
  if (name == "ReplaceAll") return ReplaceAll(CaseText(in), arg(0), arg(1));
  if (name == "TrimBlanks") return TrimBlanks(CaseText(in));
  if (name == "RuntimeErrorDescription") return RuntimeErrorDescription(std::stoi(in));
  if (name == "RaiseRuntime" || name == "ComError") {
    ComError error(std::stoi(in), u"CBankCl_VB", arg(0));
    try {
      if (name == "RaiseRuntime") RaiseRuntime(error.number(), arg(0));
      error.set_source(arg(1));
    } catch (const ComError& raised) {
      error = raised;
    }
    return Utf8ToU16(error.what());
  }
  EXPECT_EQ(name, "FormatTemplate");
  std::vector<Variant> args;
  for (size_t i = 4; i < c.size() && !c[i].empty(); ++i) args.push_back(ValueOf(c[i]));
  return FormatTemplate(CaseText(in), args);
}

TEST(ConversionTest, EveryCaseAsListed) {
  int count = 0;
  for (const char* kind : {"regional", "conversions"}) {
    for (const testing::Row& c : testing::Manifest(kind, 16)) {
      SCOPED_TRACE(c[0] + " " + c[1] + " " + c[2]);
      ++count;
      const RegionalSettings settings =
          RegionalSettings::Preset(c[1] == "-" ? u"lt-LT" : Utf8ToU16(c[1]));
      RegionalSettings::SetCurrent(settings);
      Out out;
      try {
        out = Evaluate(c, settings);
      } catch (const ComError& error) {
        out = u"error " + IntToText(error.number());
      }
      if (out.index() == 0) {
        EXPECT_DOUBLE_EQ(std::get<double>(out), std::stod(c[3]));
      } else {
        EXPECT_EQ(std::get<std::u16string>(out), c[3][0] == '"' ? CaseText(c[3]) : Utf8ToU16(c[3]));
      }
    }
  }
  RegionalSettings::SetCurrent(RegionalSettings::LtLT());
  EXPECT_GT(count, 290);
}

TEST(RegionalSettingsTest, CurrentIsPerThreadAndStartsAsLtLT) {
  EXPECT_EQ(RegionalSettings::Current().name, u"lt-LT");
  RegionalSettings::SetCurrent(RegionalSettings::EnUS());
  EXPECT_EQ(RegionalSettings::Current().name, u"en-US");
  std::u16string other_thread;
  std::thread([&] { other_thread = RegionalSettings::Current().name; }).join();
  EXPECT_EQ(other_thread, u"lt-LT");
  RegionalSettings::SetCurrent(RegionalSettings::LtLT());
}

}  // namespace
}  // namespace norv
