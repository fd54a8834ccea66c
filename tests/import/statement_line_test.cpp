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

// The cases of tests/data/statement_texts/manifest.tsv: numbers and amounts are
// converted before their length is checked, texts are unquoted before it.
TEST_F(ImportTest, FieldTextsAsListed) {
  for (const Row& c : Manifest("statement_texts", 5)) {
    SCOPED_TRACE(c[0] + ": " + c[1]);
    const int field = std::stoi(c[0]);
    const int32_t number = static_cast<int32_t>(std::stoll(c[2], nullptr, 0));
    const std::vector<std::u16string> lines = {StatementText({{field, Utf8ToU16(c[1])}})};
    if (number == 0) {
      EXPECT_TRUE(OpenLines(lines));
      if (field == 17) {
        EXPECT_EQ(ReadAll().at(0).CorrBankName, Utf8ToU16(c[4]));
      }
      continue;
    }
    const ComError error = OpenError(lines);
    EXPECT_EQ(error.number(), number);
    if (number == kErrValueTooLong) {
      EXPECT_EQ(error.source(), Utf8ToU16(c[3]));
      EXPECT_EQ(error.description(), TooLongDescription(Utf8ToU16(c[3]), Utf8ToU16(c[4])));
    }
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
