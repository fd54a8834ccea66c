// One statement line: field kinds and maxima, quotes, missing and extra fields,
// amounts and dates under two regional presets. A faulty line of any account
// fails the scan of BeginImportByAccount; a good one shows in ImportDoc.
#include <string>
#include <vector>

#include "import_fixture.h"

namespace norv::testing {
namespace {

struct TextField {
  int number;
  std::u16string label;
  size_t max;
};

class TextFieldTest : public ImportTest, public ::testing::WithParamInterface<TextField> {};

// A text of `size` characters, Lithuanian letters among them.
std::u16string Filler(size_t size) {
  std::u16string text;
  for (size_t i = 0; i < size; ++i) text += u"Ąž9"[i % 3];
  return text;
}

TEST_P(TextFieldTest, TakesItsMaximumAndRejectsOneMore) {
  const TextField& field = GetParam();
  // The tested line is of another account (unless it is the account field),
  // so its text is checked without being read as a date.
  std::map<int, std::u16string> fields = {{3, u"OTHER"}};
  fields[field.number] = Filler(field.max);
  EXPECT_TRUE(OpenLines({StatementText(fields), StatementText()}));
  bank->EndImport();

  const std::u16string too_long = Filler(field.max + 1);
  fields[field.number] = too_long;
  const ComError error = OpenError({StatementText(fields)});
  EXPECT_EQ(error.number(), kErrValueTooLong);
  EXPECT_EQ(error.source(), field.label);
  EXPECT_EQ(error.description(), TooLongDescription(field.label, too_long));
}

INSTANTIATE_TEST_SUITE_P(
    EveryTextField, TextFieldTest,
    ::testing::Values(
        TextField{1, u"Kliento KIF'o numeris", 5}, TextField{2, u"Saskaitos operacijos data", 10},
        TextField{3, u"Kliento saskaitos numeris", 11},
        TextField{5, u"Sask. Valiutos raidinis kodas", 3}, TextField{6, u"Dokumento numeris", 10},
        TextField{7, u"Korespond. Banko kodas", 9},
        TextField{8, u"Korespond. saskaitos numeris", 35},
        TextField{13, u"Operacijos(tranzak.) numeris", 10}, TextField{14, u"Operacijos eilute", 5},
        TextField{15, u"Operacijos tipas", 5},
        TextField{16, u"Uzskaitomo dokumento uzkvitavimo data", 10},
        TextField{17, u"Korespond. Banko pavadinimas", 60},
        TextField{18, u"Korespond. saskaitos pavadinimas", 60},
        TextField{19, u"Operacijos komentaras", 254},
        TextField{20, u"Korespond. Imones/Asmens kodas", 11},
        TextField{21, u"Imokos kodas(mokesciu inspekcijos)", 3},
        TextField{22, u"Kliento imokos kodas", 28},
        TextField{23, u"Operacijos su paskoline sask. dokumento Nr.", 10},
        TextField{24, u"Mokėjimo priemonės pavadinimas", 32},
        TextField{25, u"Sąskaitos savininko įmonės/asmens kodas", 11},
        TextField{26, u"Sąskaitos savininko banko kodas", 9},
        TextField{27, u"Sąskaitos savininko pavadinimas", 60},
        TextField{28, u"Sąskaitos savininko adresas", 60},
        TextField{29, u"Koresponduojamosios sąskaitos valiutos raidinis kodas", 3},
        TextField{30, u"Kliento sąskaitos numeris (IBAN)", 20},
        TextField{31, u"Koresponduojamojo banko tarptautinis identifikavimo kodas (BIC)", 11},
        TextField{32, u"Koresponduojamosios sąskaitos numeris (IBAN)", 20}));

// Number and amount fields: the conversion comes before the length check.
struct NumericCase {
  int field;
  std::u16string text;
  int32_t error;  // 0: accepted
  std::u16string label;
};

class NumericFieldTest : public ImportTest, public ::testing::WithParamInterface<NumericCase> {};

TEST_P(NumericFieldTest, ConvertsThenChecksLength) {
  const NumericCase& c = GetParam();
  const std::vector<std::u16string> lines = {StatementText({{c.field, c.text}})};
  if (c.error == 0) {
    EXPECT_TRUE(OpenLines(lines));
    return;
  }
  const ComError error = OpenError(lines);
  EXPECT_EQ(error.number(), c.error);
  if (c.error == kErrValueTooLong) {
    EXPECT_EQ(error.source(), c.label);
    EXPECT_EQ(error.description(), TooLongDescription(c.label, c.text));
  }
}

INSTANTIATE_TEST_SUITE_P(
    NumbersAndAmounts, NumericFieldTest,
    ::testing::Values(
        NumericCase{4, u"99", 0, u""}, NumericCase{4, u"", kErrTypeMismatch, u""},
        NumericCase{4, u"x", kErrTypeMismatch, u""},
        NumericCase{4, u"100", kErrValueTooLong, u"Sask. Valiutos skaitinis kodas"},
        NumericCase{9, u"00000000000000001,50", 0, u""},
        NumericCase{9, u"000000000000000001,50", kErrValueTooLong, u"Debeto suma(valiuta)"},
        NumericCase{10, u"000000000000000000000", kErrValueTooLong, u"Debeto suma(ekvivalentu)"},
        NumericCase{11, u"000000000000000000001", kErrValueTooLong, u"Kredito suma(valiuta)"},
        NumericCase{12, u"000000000000000000000", kErrValueTooLong, u"Kredito suma(ekvivalentu)"},
        NumericCase{12, u"xxxxxxxxxxxxxxxxxxxxx", kErrTypeMismatch, u""},
        NumericCase{9, u"", kErrTypeMismatch, u""}, NumericCase{10, u"1.5", kErrTypeMismatch, u""},
        NumericCase{11, u"9E99", kErrOverflow, u""}));

class AmountTextTest : public ImportTest, public ::testing::WithParamInterface<std::u16string> {};

TEST_P(AmountTextTest, ReadsAsTheRegionalConversionDoes) {
  const Currency expected = RegionalSettings::Current().ParseCurrency(GetParam());
  ASSERT_TRUE(OpenLines({StatementText({{9, GetParam()}, {11, u"0"}})}));
  const auto docs = ReadAll();
  ASSERT_EQ(docs.size(), 1u);
  EXPECT_EQ(docs[0].Amount, expected);  // a debit: its own amount
}

INSTANTIATE_TEST_SUITE_P(PlainAndOther, AmountTextTest,
                         ::testing::Values(u"0", u"150", u"-5", u"-0,5", u"1234,56", u"0,1234",
                                           u"0,00005", u"0,00015", u"99999999999999,9999",
                                           u"922337203685477", u"1 234,5", u" 7", u"7,", u",5",
                                           u"+3", u"1E3"));

struct QuoteCase {
  std::u16string field;
  std::u16string stored;
};

class QuoteTest : public ImportTest, public ::testing::WithParamInterface<QuoteCase> {};

TEST_P(QuoteTest, StripsOneEnclosingPairThenHalvesDoubledQuotes) {
  ASSERT_TRUE(OpenLines({StatementText({{17, GetParam().field}})}));
  const auto docs = ReadAll();
  ASSERT_EQ(docs.size(), 1u);
  EXPECT_EQ(docs[0].CorrBankName, GetParam().stored);
}

INSTANTIATE_TEST_SUITE_P(
    Quotes, QuoteTest,
    ::testing::Values(QuoteCase{u"\"\"", u""}, QuoteCase{u"\"A\"\"B\"", u"A\"B"},
                      QuoteCase{u"\"abc", u"\"abc"}, QuoteCase{u"abc\"", u"abc\""},
                      QuoteCase{u"a\"\"b", u"a\"b"}, QuoteCase{u"\"\"\"\"", u"\""},
                      QuoteCase{u"\"\"\"", u"\""}, QuoteCase{u"a\"b", u"a\"b"}));

TEST_F(ImportTest, LengthCountsAfterUnquoting) {
  // 11 characters inside quotes fit "Korespond. Imones/Asmens kodas".
  EXPECT_TRUE(OpenLines({StatementText({{20, u"\"12345678901\""}})}));
  bank->EndImport();
  const ComError error = OpenError({StatementText({{20, u"\"12345678901\"\"\""}})});
  EXPECT_EQ(error.number(), kErrValueTooLong);
  EXPECT_EQ(error.description(),
            TooLongDescription(u"Korespond. Imones/Asmens kodas", u"12345678901\""));
}

TEST_F(ImportTest, OneQuoteAloneIsAnInvalidCall) {
  EXPECT_EQ(OpenError({StatementText({{17, u"\""}})}).number(), kErrInvalidCall);
}

TEST_F(ImportTest, MissingFieldsAreEmptyAndExtraFieldsIgnored) {
  // Twelve fields: every text after them is empty.
  std::u16string extra = StatementText({{6, u"D-2"}}) + u"\t" + std::u16string(300, u'x') + u"\t?";
  ASSERT_TRUE(OpenLines({StatementText({}, 12), extra}));
  const auto docs = ReadAll();
  ASSERT_EQ(docs.size(), 2u);
  EXPECT_EQ(docs[0].DocKind, kDocOperation);
  EXPECT_EQ(docs[0].CorrBankName, u"");
  EXPECT_EQ(docs[0].ClientIban, u"");
  EXPECT_EQ(docs[1].DocNumber, u"D-2");
  EXPECT_EQ(docs[1].CorrIban, u"LT601010012345678902");
}

TEST_F(ImportTest, TooFewFieldsFailOnTheFirstMissingNumber) {
  EXPECT_EQ(OpenError({StatementText({}, 8)}).number(), kErrTypeMismatch);
  EXPECT_EQ(OpenError({StatementText({}, 3)}).number(), kErrTypeMismatch);
}

struct PresetCase {
  std::u16string preset;
  std::u16string credit;
  std::u16string date;
  int32_t error;  // 0: read as 1234.56 on 2024-01-31
};

class PresetTest : public ImportTest, public ::testing::WithParamInterface<PresetCase> {};

TEST_P(PresetTest, ReadsAmountsAndDatesByTheCurrentSettings) {
  const PresetCase& c = GetParam();
  RegionalSettings::SetCurrent(RegionalSettings::Preset(c.preset));
  const std::vector<std::u16string> lines = {StatementText({{2, c.date}, {11, c.credit}})};
  if (c.error != 0) {
    EXPECT_EQ(OpenError(lines).number(), c.error);
    return;
  }
  ASSERT_TRUE(OpenLines(lines));
  EXPECT_EQ(head.DateFrom, Date::FromCivil(2024, 1, 31));
  const auto docs = ReadAll();
  ASSERT_EQ(docs.size(), 1u);
  EXPECT_EQ(docs[0].Amount, Currency::FromRaw(12345600));
  EXPECT_EQ(docs[0].OpDate, Date::FromCivil(2024, 1, 31));
}

INSTANTIATE_TEST_SUITE_P(
    TwoPresets, PresetTest,
    ::testing::Values(PresetCase{u"lt-LT", u"1234,56", u"2024.01.31", 0},
                      PresetCase{u"lt-LT", u"1 234,56", u"2024.01.31", 0},
                      PresetCase{u"lt-LT", u"1234.56", u"2024.01.31", kErrTypeMismatch},
                      PresetCase{u"lt-LT", u"1234,56", u"1/31/2024", kErrTypeMismatch},
                      PresetCase{u"en-US", u"1,234.56", u"1/31/2024", 0},
                      PresetCase{u"en-US", u"1234.56", u"2024.01.31", 0},
                      PresetCase{u"en-US", u"1234,56", u"31.01.2024", kErrTypeMismatch}));

}  // namespace
}  // namespace norv::testing
