// One statement line: field kinds and maxima, quotes, missing and extra fields. A faulty line of
// any account fails the scan of BeginImportByAccount; a good one shows in ImportDoc.
#include <string>
#include <vector>

#include "import_fixture.h"
#include "support/data_files.h"

namespace norv::testing {
namespace {

// A text of `size` characters, Lithuanian letters among them.
std::u16string Filler(size_t size) {
  std::u16string text;
  for (size_t i = 0; i < size; ++i) text += u"Ąž9"[i % 3];
  return text;
}

TEST_F(ImportTest, EveryTextFieldTakesItsMaximumAndRejectsOneMore) {
  for (const Row& field : Manifest("statement_fields", 3)) {
    SCOPED_TRACE(field[0]);
    const int number = std::stoi(field[0]);
    const size_t max = std::stoul(field[1]);
    const std::u16string label = Utf8ToU16(field[2]);
    // The tested line is of another account (unless it is the account field),
    // so its text is checked without being read as a date.
    std::map<int, std::u16string> fields = {{3, u"OTHER"}};
    fields[number] = Filler(max);
    EXPECT_TRUE(OpenLines({StatementText(fields), StatementText()}));
    const std::u16string too_long = Filler(max + 1);
    fields[number] = too_long;
    const ComError error = OpenError({StatementText(fields)});
    EXPECT_EQ(error.number(), kErrValueTooLong);
    EXPECT_EQ(error.source(), label);
    EXPECT_EQ(error.description(), TooLongDescription(label, too_long));
  }
}

// Numbers and amounts are converted before their length is checked; texts
// are unquoted before it.
TEST_F(ImportTest, FieldErrorsNameTheFieldAndItsText) {
  struct {
    int field;
    std::u16string text;
    int32_t error;  // 0: accepted
    std::u16string label;
    std::u16string shown = u"";  // the text in the description, if not `text`
  } const cases[] = {
      {4, u"99", 0, u""},
      {4, u"", kErrTypeMismatch, u""},
      {4, u"x", kErrTypeMismatch, u""},
      {4, u"100", kErrValueTooLong, u"Sask. Valiutos skaitinis kodas"},
      {9, u"00000000000000001,50", 0, u""},
      {9, u"000000000000000001,50", kErrValueTooLong, u"Debeto suma(valiuta)"},
      {10, u"000000000000000000000", kErrValueTooLong, u"Debeto suma(ekvivalentu)"},
      {11, u"000000000000000000001", kErrValueTooLong, u"Kredito suma(valiuta)"},
      {12, u"000000000000000000000", kErrValueTooLong, u"Kredito suma(ekvivalentu)"},
      {12, u"xxxxxxxxxxxxxxxxxxxxx", kErrTypeMismatch, u""},
      {9, u"", kErrTypeMismatch, u""},
      {10, u"1.5", kErrTypeMismatch, u""},
      {11, u"9E99", kErrOverflow, u""},
      // 11 characters inside quotes fit; the doubled quote counts once.
      {20, u"\"12345678901\"", 0, u""},
      {20, u"\"12345678901\"\"\"", kErrValueTooLong, u"Korespond. Imones/Asmens kodas",
       u"12345678901\""},
      {17, u"\"", kErrInvalidCall, u""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(U16ToUtf8(IntToText(c.field) + u": " + c.text));
    const std::vector<std::u16string> lines = {StatementText({{c.field, c.text}})};
    if (c.error == 0) {
      EXPECT_TRUE(OpenLines(lines));
      continue;
    }
    const ComError error = OpenError(lines);
    EXPECT_EQ(error.number(), c.error);
    if (c.error == kErrValueTooLong) {
      EXPECT_EQ(error.source(), c.label);
      EXPECT_EQ(error.description(),
                TooLongDescription(c.label, c.shown.empty() ? c.text : c.shown));
    }
  }
}

TEST_F(ImportTest, StripsOneEnclosingPairThenHalvesDoubledQuotes) {
  const std::pair<std::u16string, std::u16string> cases[] = {
      {u"\"\"", u""},       {u"\"A\"\"B\"", u"A\"B"}, {u"\"abc", u"\"abc"}, {u"abc\"", u"abc\""},
      {u"a\"\"b", u"a\"b"}, {u"\"\"\"\"", u"\""},     {u"\"\"\"", u"\""},   {u"a\"b", u"a\"b"}};
  for (const auto& [field, stored] : cases) {
    SCOPED_TRACE(U16ToUtf8(field));
    EXPECT_EQ(Import({StatementText({{17, field}})}).at(0).CorrBankName, stored);
  }
}

TEST_F(ImportTest, MissingFieldsAreEmptyAndExtraFieldsIgnored) {
  // Twelve fields: every text after them is empty.
  std::u16string extra = StatementText({{6, u"D-2"}}) + u"\t" + std::u16string(300, u'x') + u"\t?";
  const auto docs = Import({StatementText({}, 12), extra});
  ASSERT_EQ(docs.size(), 2u);
  EXPECT_EQ(Brief(docs[0]), u"1 150 C EUR/2 D-17 2024-01-15");
  EXPECT_EQ(Texts(docs[0]), u"LT001|LT601010012345678901||||||");
  EXPECT_EQ(docs[1].DocNumber, u"D-2");
  EXPECT_EQ(docs[1].CorrIban, u"LT601010012345678902");

  // Fewer fields fail on the first missing number.
  EXPECT_EQ(OpenError({StatementText({}, 3)}).number(), kErrTypeMismatch);
}

}  // namespace
}  // namespace norv::testing
