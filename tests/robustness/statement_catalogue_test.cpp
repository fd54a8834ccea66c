// Bad statement files, byte for byte: what a bank, a mail program or a text
// editor can do to a statement. Each case runs a whole import of the account
// LT001 (BeginImportByAccount, then ImportDoc until the end) and states the
// exact outcome: the error raised (number, source, and whether the scan or the
// import met it) or the records handed over. After every case the statement
// file is unchanged, nothing else appeared beside it, no book was written and
// no error went anywhere but to the caller.
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "component/cbankcl_vb.h"
#include "core/error_numbers.h"
#include "core/records.h"
#include "robustness_fixture.h"
#include "runtime/com_error.h"
#include "runtime/regional.h"

namespace norv::testing {
namespace {

enum class Phase { kScan, kImport };

struct StatementCase {
  const char* name = "";
  std::function<std::string()> bytes;
  // The error, 0 when none; its source ("" stands for the default source).
  int32_t error = 0;
  std::u16string source;
  Phase phase = Phase::kScan;
  // Without an error at the scan: whether the account was found, and the kind
  // of each record handed over (before the error, if any).
  bool found = true;
  std::vector<int32_t> kinds;
  const char16_t* preset = u"lt-LT";
  // Further checks on the records.
  std::function<void(const std::vector<StatementDoc>&)> check;
};

void PrintTo(const StatementCase& c, std::ostream* os) { *os << c.name; }

constexpr int32_t kOp = kDocOperation;
constexpr int32_t kNone = kDocNone;
constexpr int32_t kTooLong = kErrValueTooLong;
constexpr int32_t kMismatch = kErrTypeMismatch;

const std::string kA = StLine();
const std::string kA2 = StLine({{2, u"2024.01.20"}, {6, u"D-18"}});
const std::string kOther = StLine({{3, u"LT002"}});
const std::string kEnd = "GALAS";
const std::string kBom8 = "\xEF\xBB\xBF";

std::string Utf16(const std::string& ansi, bool little_endian) {
  std::string out = little_endian ? "\xFF\xFE" : "\xFE\xFF";
  for (char16_t c : cp1257::Decode(ansi)) {
    const char low = static_cast<char>(c & 0xFF);
    const char high = static_cast<char>(c >> 8);
    out += little_endian ? std::string{low, high} : std::string{high, low};
  }
  return out;
}

// Only the field `number` of the line changed.
std::string With(int number, const std::u16string& text) {
  return Joined({StLine({{number, text}}), kEnd});
}

std::function<void(const std::vector<StatementDoc>&)> FirstAmount(int64_t raw, bool debit) {
  return [raw, debit](const std::vector<StatementDoc>& docs) {
    ASSERT_FALSE(docs.empty());
    EXPECT_EQ(docs[0].Amount, Currency::FromRaw(raw));
    EXPECT_EQ(docs[0].IsDebit, debit);
  };
}

std::function<void(const std::vector<StatementDoc>&)> FirstComment(std::u16string text) {
  return [text](const std::vector<StatementDoc>& docs) {
    ASSERT_FALSE(docs.empty());
    EXPECT_EQ(docs[0].Comment, text);
  };
}

std::function<void(const std::vector<StatementDoc>&)> FirstBankName(std::u16string text) {
  return [text](const std::vector<StatementDoc>& docs) {
    ASSERT_FALSE(docs.empty());
    EXPECT_EQ(docs[0].CorrBankName, text);
  };
}

StatementCase Scan(const char* name, std::function<std::string()> bytes, int32_t error,
                   std::u16string source = u"") {
  StatementCase c;
  c.name = name;
  c.bytes = std::move(bytes);
  c.error = error;
  c.source = std::move(source);
  return c;
}

StatementCase Read(const char* name, std::function<std::string()> bytes, std::vector<int32_t> kinds,
                   std::function<void(const std::vector<StatementDoc>&)> check = nullptr) {
  StatementCase c;
  c.name = name;
  c.bytes = std::move(bytes);
  c.kinds = std::move(kinds);
  c.check = std::move(check);
  return c;
}

StatementCase NotFound(const char* name, std::function<std::string()> bytes) {
  StatementCase c;
  c.name = name;
  c.bytes = std::move(bytes);
  c.found = false;
  return c;
}

StatementCase Preset(StatementCase c, const char16_t* preset) {
  c.preset = preset;
  return c;
}

const std::u16string kField1 = u"Kliento KIF'o numeris";
const std::string kTenMegabytes(10 * 1024 * 1024, 'x');

std::vector<StatementCase> Cases() {
  return {
      // Empty files and lone markers.
      NotFound("EmptyFile", [] { return std::string(); }),
      NotFound("OnlyTheEndMarker", [] { return Joined({kEnd}); }),
      NotFound("NoLineOfTheAccount",
               [] {
                 return Joined({kOther, kEnd});
               }),
      // Byte-order marks: the file is Windows-1257, so a mark is three (or two)
      // characters in front of field 1.
      Scan(
          "Utf8MarkBeforeTheFirstLine",
          [] {
            return kBom8 + Joined({kA, kEnd});
          },
          kTooLong, kField1),
      Scan(
          "Utf8MarkBeforeTheEndMarker", [] { return kA + "\r\n" + kBom8 + "GALAS\r\n"; }, kTooLong,
          kField1),
      Scan(
          "Utf16LittleEndianFile",
          [] {
            return Utf16(Joined({kA, kEnd}), true);
          },
          kTooLong, kField1),
      Scan(
          "Utf16BigEndianFile",
          [] {
            return Utf16(Joined({kA, kEnd}), false);
          },
          kTooLong, kField1),
      // Line ends: CR LF, a lone LF and a lone CR all end a line.
      Read("LfOnly",
           [] {
             return Joined({kA, kA2, kEnd}, "\n");
           },
           {kOp, kOp, kNone}),
      Read("CrOnly",
           [] {
             return Joined({kA, kA2, kEnd}, "\r");
           },
           {kOp, kOp, kNone}),
      Read("MixedEnds", [] { return kA + "\r\n" + kA2 + "\n" + kOther + "\r" + kEnd; },
           {kOp, kOp, kNone, kNone}),
      Read("NoEndAfterTheLastLine", [] { return kA + "\r\n" + kEnd; }, {kOp, kNone}),
      Scan(
          "LfThenCrIsTwoEnds", [] { return kA + "\n\r" + kEnd + "\r\n"; }, kMismatch),
      // Blank lines are lines: their amount fields are empty.
      Scan(
          "BlankLineInBetween",
          [] {
            return Joined({kA, "", kEnd});
          },
          kMismatch),
      Scan(
          "BlankLineAfterTheEndMarker",
          [] {
            return Joined({kA, kEnd, ""});
          },
          kMismatch),
      Scan(
          "LineOfBlanks",
          [] {
            return Joined({kA, "    ", kEnd});
          },
          kMismatch),
      Scan(
          "LineOfTabs",
          [] {
            return Joined({kA, "\t\t\t", kEnd});
          },
          kMismatch),
      // A DOS editor's end-of-file mark (Ctrl-Z) is a byte like any other: after
      // the end marker it is one more line, which no statement line can be.
      Scan(
          "CtrlZAfterTheEndMarker",
          [] {
            return Joined({kA, kEnd}) + "\x1A";
          },
          kMismatch),
      // NUL bytes are characters like any other.
      Read(
          "NulInAText", [] { return With(19, std::u16string(u"A\0B", 3)); }, {kOp, kNone},
          FirstComment(std::u16string(u"A\0B", 3))),
      Scan(
          "NulInAnAmount", [] { return With(11, std::u16string(u"15\0", 3)); }, kMismatch),
      Scan(
          "OnlyNuls", [] { return std::string(3, '\0'); }, kMismatch),
      // A 10 MB line is read whole and refused by its first field over the maximum.
      Scan(
          "TenMegabyteComment", [] { return With(19, cp1257::Decode(kTenMegabytes)); }, kTooLong,
          u"Operacijos komentaras"),
      Scan(
          "TenMegabytesWithoutTabs",
          [] {
            return Joined({kTenMegabytes, kEnd});
          },
          kTooLong, kField1),
      // Bytes that Windows-1257 leaves undefined read as the C1 controls of their number.
      Read(
          "UndefinedBytesInAText",
          [] {
            return With(19, cp1257::Decode("\x81\x83\x88\x8A\x8C\x90\x98\x9A\x9C\x9F\xA1\xA5"));
          },
          {kOp, kNone},
          FirstComment(
              u"\u0081\u0083\u0088\u008A\u008C\u0090\u0098\u009A\u009C\u009F\u00A1\u00A5")),
      Scan(
          "UndefinedByteInAnAmount", [] { return With(11, cp1257::Decode("15\x81")); }, kMismatch),
      NotFound("UndefinedByteInTheAccount", [] { return With(3, cp1257::Decode("LT00\x81")); }),
      // Amounts under lt-LT: decimal comma, blank or no-break space grouping.
      Read(
          "GroupedByABlank", [] { return With(11, u"1 234,50"); }, {kOp, kNone},
          FirstAmount(12345000, false)),
      Read(
          "GroupedByANoBreakSpace",
          [] {
            return With(11, cp1257::Decode("1\xA0"
                                           "234,50"));
          },
          {kOp, kNone}, FirstAmount(12345000, false)),
      Scan(
          "TwoBlanksInADigitGroup", [] { return With(11, u"1  234,50"); }, kMismatch),
      Scan(
          "DecimalPointUnderLtLt", [] { return With(11, u"150.50"); }, kMismatch),
      Scan(
          "PointGroupingUnderLtLt", [] { return With(11, u"1.234,50"); }, kMismatch),
      Scan(
          "CommaGroupingUnderLtLt", [] { return With(11, u"1,234.50"); }, kMismatch),
      // Amounts under en-US: the comma groups.
      Preset(Read(
                 "CommaGroupsUnderEnUs",
                 [] {
                   return Joined({StLine({{2, u"1/15/2024"}, {11, u"150,50"}}), kEnd});
                 },
                 {kOp, kNone}, FirstAmount(150500000, false)),
             u"en-US"),
      Preset(Read(
                 "GroupedUnderEnUs",
                 [] {
                   return Joined({StLine({{2, u"1/15/2024"}, {11, u"1,234.50"}}), kEnd});
                 },
                 {kOp, kNone}, FirstAmount(12345000, false)),
             u"en-US"),
      Preset(Scan(
                 "BlankGroupingUnderEnUs", [] { return With(11, u"1 234.50"); }, kMismatch),
             u"en-US"),
      // Signs and exponents.
      Read(
          "NegativeCredit", [] { return With(11, u"-150"); }, {kOp, kNone}, FirstAmount(0, true)),
      Read(
          "PlusSign", [] { return With(11, u"+150"); }, {kOp, kNone}, FirstAmount(1500000, false)),
      Scan(
          "TrailingMinus", [] { return With(11, u"150-"); }, kMismatch),
      Scan(
          "Parentheses", [] { return With(11, u"(150)"); }, kMismatch),
      Scan(
          "TwoSigns", [] { return With(11, u"--150"); }, kMismatch),
      Read(
          "Exponent", [] { return With(11, u"1,5E2"); }, {kOp, kNone}, FirstAmount(1500000, false)),
      Scan(
          "AmountBeyondTheRange", [] { return With(11, u"1E20"); }, kErrOverflow),
      // Impossible dates of the account's lines fail the scan; of other lines, the import.
      Scan(
          "February30", [] { return With(2, u"2024.02.30"); }, kMismatch),
      Scan(
          "Month13", [] { return With(2, u"2024.13.01"); }, kMismatch),
      Scan(
          "DayFirstDate", [] { return With(2, u"15.01.2024"); }, kMismatch),
      Scan(
          "TwoDigitYear", [] { return With(2, u"24.01.15"); }, kMismatch),
      Scan(
          "EmptyDate", [] { return With(2, u""); }, kMismatch),
      [] {
        StatementCase c =
            Read("ImpossibleDateOfAnotherAccount",
                 [] {
                   return Joined({kA, StLine({{3, u"LT002"}, {2, u"2024.02.30"}}), kEnd});
                 },
                 {kOp});
        c.error = kMismatch;
        c.phase = Phase::kImport;
        return c;
      }(),
      // Truncated files: the end of the file ends the import, not the marker.
      Read("NoEndMarker",
           [] {
             return Joined({kA, kA2});
           },
           {kOp, kOp}),
      Scan(
          "CutInsideALine", [] { return kA + "\r\n" + kA2.substr(0, 30); }, kMismatch),
      Read("CutInsideAQuotedText",
           [] { return kA + "\r\n" + StLine({}, 18).substr(0, StLine({}, 18).size() - 6); },
           {kOp, kOp}),
      // Quotes left open stay in the text; a lone quote is an invalid call.
      Read(
          "QuoteLeftOpen", [] { return With(17, u"\"AB bankas"); }, {kOp, kNone},
          FirstBankName(u"\"AB bankas")),
      Read(
          "QuoteOpenedInOneFieldClosedInTheNext",
          [] {
            return Joined({StLine({{17, u"\"AB"}, {18, u"bankas\""}}), kEnd});
          },
          {kOp, kNone}, FirstBankName(u"\"AB")),
      Scan(
          "LoneQuote", [] { return With(19, u"\""); }, kErrInvalidCall),
      // Fields over their maximum.
      Scan(
          "AccountOf12", [] { return With(3, u"LT0010000000"); }, kTooLong,
          u"Kliento saskaitos numeris"),
      Scan(
          "CommentOf255", [] { return With(19, std::u16string(255, u'ž')); }, kTooLong,
          u"Operacijos komentaras"),
      Scan(
          "IbanOf21", [] { return With(32, u"LT6010100123456789012"); }, kTooLong,
          u"Koresponduojamosios sąskaitos numeris (IBAN)"),
      Scan(
          "DroppedFieldOver", [] { return With(24, std::u16string(33, u'M')); }, kTooLong,
          u"Mokėjimo priemonės pavadinimas"),
      Scan(
          "AmountOf21", [] { return With(11, u"000000000000000150,00"); }, kTooLong,
          u"Kredito suma(valiuta)"),
      Scan(
          "CurrencyNumberOf3", [] { return With(4, u"100"); }, kTooLong,
          u"Sask. Valiutos skaitinis kodas"),
      Read("ThirtyThreeFields",
           [] {
             return Joined({kA + "\textra", kEnd});
           },
           {kOp, kNone}),
      Scan(
          "EightFields",
          [] {
            return Joined({StLine({}, 8), kEnd});
          },
          kMismatch),
      // The end marker is the exact word.
      Scan(
          "EndMarkerWithATrailingBlank",
          [] {
            return Joined({kA, "GALAS "});
          },
          kTooLong, kField1),
      Scan(
          "EndMarkerInLowerCase",
          [] {
            return Joined({kA, "galas"});
          },
          kMismatch),
      [] {
        StatementCase c = Read("LinesAfterTheEndMarker",
                               [] {
                                 return Joined({kA, kEnd, StLine({{2, u"2024.03.01"}})});
                               },
                               {kOp, kNone, kOp});
        return c;
      }(),
      NotFound("AccountInAnotherCase", [] { return With(3, u"lt001"); }),
      NotFound("AccountWithATrailingBlank", [] { return With(3, u"LT001 "); }),
  };
}

class StatementCatalogueTest : public ::testing::TestWithParam<StatementCase> {
 protected:
  ~StatementCatalogueTest() override { RegionalSettings::SetCurrent(RegionalSettings::LtLT()); }

  ScopedRecordingHost host;
  TempFolder folder;
};

TEST_P(StatementCatalogueTest, EndsAsStated) {
  const StatementCase& c = GetParam();
  RegionalSettings::SetCurrent(RegionalSettings::Preset(c.preset));
  const std::string bytes = c.bytes();
  folder.WriteBytes("st.txt", bytes);

  std::optional<ComError> error;
  Phase phase = Phase::kScan;
  bool found = false;
  std::vector<StatementDoc> docs;
  StHead head;
  head.Account = kAccount;
  {
    CBankCl_VB bank;
    bank.BeginImport(head);
    host->Driver().ExpectShow(
        u"LoadStatementDlg",
        {hostkit::Type(u"edImpFile", folder.u16path() + u"\\st.txt"), hostkit::Click(u"btOk")});
    try {
      found = bank.BeginImportByAccount(head);
      phase = Phase::kImport;
      StatementDoc doc;
      while (found && bank.ImportDoc(doc)) docs.push_back(doc);
    } catch (const ComError& raised) {
      error = raised;
    }
    bank.EndImport();
  }

  if (c.error != 0) {
    ASSERT_TRUE(error.has_value()) << "no error raised";
    EXPECT_EQ(error->number(), c.error) << error->what();
    EXPECT_EQ(error->source(), c.source.empty() ? kDefaultErrorSource : c.source);
    EXPECT_EQ(phase, c.phase);
  } else {
    EXPECT_FALSE(error.has_value()) << error->what();
  }
  if (c.phase == Phase::kScan && c.error != 0) {
    EXPECT_TRUE(docs.empty());
  } else {
    EXPECT_EQ(found, c.found);
    std::vector<int32_t> kinds;
    for (const StatementDoc& doc : docs) kinds.push_back(doc.DocKind);
    EXPECT_EQ(kinds, c.kinds);
    if (c.check) c.check(docs);
  }
  // A header is only written by a scan that found the account.
  if (!found) {
    EXPECT_TRUE(head.DateFrom.IsEmpty());
    EXPECT_TRUE(head.DateTo.IsEmpty());
  }

  // Nothing written anywhere.
  EXPECT_EQ(folder.ReadBytes("st.txt"), bytes);
  EXPECT_EQ(Listing(folder.path()), std::vector<std::string>{"st.txt"});
  EXPECT_EQ(BookWrites(*host), 0u);
  EXPECT_TRUE(host->Errors().empty());
}

INSTANTIATE_TEST_SUITE_P(Statements, StatementCatalogueTest, ::testing::ValuesIn(Cases()),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace norv::testing
