// Whole import runs: BeginImport, BeginImportByAccount through the statement
// dialog, ImportDoc until false, EndImport; the mapping of lines to documents.
#include <string>
#include <vector>

#include "import_fixture.h"

namespace norv::testing {
namespace {

using hostkit::Click;
using hostkit::Close;
using hostkit::Type;

struct MappingCase {
  std::map<int, std::u16string> fields;
  int32_t kind;
  int64_t amount;  // whole units
  bool is_debit;
};

class MappingTest : public ImportTest, public ::testing::WithParamInterface<MappingCase> {};

TEST_P(MappingTest, DecidesKindAmountAndDebit) {
  const MappingCase& c = GetParam();
  ASSERT_TRUE(OpenLines({StatementText(), StatementText(c.fields)}));
  const auto docs = ReadAll();
  ASSERT_EQ(docs.size(), 2u);
  EXPECT_EQ(docs[1].DocKind, c.kind);
  EXPECT_EQ(docs[1].Amount, Currency::FromInteger(c.amount));
  EXPECT_EQ(docs[1].IsDebit, c.is_debit);
}

INSTANTIATE_TEST_SUITE_P(
    Lines, MappingTest,
    ::testing::Values(
        MappingCase{{{9, u"0"}, {11, u"150"}}, kDocOperation, 150, false},
        MappingCase{{{9, u"80"}, {11, u"0"}}, kDocOperation, 80, true},
        MappingCase{{{9, u"0"}, {11, u"0"}}, kDocOperation, 0, true},
        MappingCase{{{9, u"0"}, {11, u"-5"}}, kDocOperation, 0, true},
        MappingCase{{{13, u"BALANSAS"}, {9, u"1000"}, {11, u"1200"}}, kDocBalance, 1000, false},
        MappingCase{{{13, u"BALANSAS"}, {9, u"1000"}, {11, u"0"}}, kDocBalance, 1000, true},
        MappingCase{{{13, u"balansas"}, {9, u"1000"}, {11, u"1200"}}, kDocOperation, 1200, false},
        MappingCase{{{3, u"LT002"}, {11, u"150"}}, kDocNone, 0, false}));

struct CodeCase {
  int field;
  std::u16string value;
  std::u16string stored;
  int32_t currency_kind;  // 0 for the document-number cases
};

class CodeTest : public ImportTest, public ::testing::WithParamInterface<CodeCase> {};

TEST_P(CodeTest, MapsCurrencyAndLoanNumbers) {
  const CodeCase& c = GetParam();
  ASSERT_TRUE(OpenLines({StatementText({{c.field, c.value}, {23, u"A-17"}})}));
  const auto docs = ReadAll();
  ASSERT_EQ(docs.size(), 1u);
  if (c.field == 5) {
    EXPECT_EQ(docs[0].CurrencyCode, c.stored);
    EXPECT_EQ(docs[0].CurrencyKind, c.currency_kind);
  } else {
    EXPECT_EQ(docs[0].DocNumber, c.stored);
  }
}

INSTANTIATE_TEST_SUITE_P(
    CurrencyAndLoans, CodeTest,
    ::testing::Values(CodeCase{5, u"LT", u"LTL", 1}, CodeCase{5, u"LTL", u"LTL", 1},
                      CodeCase{5, u"EUR", u"EUR", 2}, CodeCase{5, u"ltl", u"ltl", 2},
                      CodeCase{5, u"", u"", 2}, CodeCase{6, u"PAGR", u"A-17", 0},
                      CodeCase{6, u"PALU", u"A-17", 0}, CodeCase{6, u"DELS", u"A-17", 0},
                      CodeCase{6, u"PALU1", u"PALU1", 0}, CodeCase{6, u"palu", u"palu", 0}));

TEST_F(ImportTest, FillsEveryFieldButTheFifth) {
  ASSERT_TRUE(OpenLines({StatementText()}));
  StatementDoc doc;
  doc.Unnamed5 = u"host's";
  ASSERT_TRUE(bank->ImportDoc(doc));
  EXPECT_EQ(doc.ClientAccount, u"LT001");
  EXPECT_EQ(doc.CorrAccount, u"LT601010012345678901");
  EXPECT_EQ(doc.CorrCode, u"123456789");
  EXPECT_EQ(doc.Unnamed5, u"host's");
  EXPECT_EQ(doc.CorrBankName, u"AB bankas");
  EXPECT_EQ(doc.CurrencyCode, u"EUR");
  EXPECT_EQ(doc.DocNumber, u"D-17");
  EXPECT_EQ(doc.OpDate, Date::FromCivil(2024, 1, 15));
  EXPECT_EQ(doc.Comment, u"Apmokėjimas už prekes");
  EXPECT_EQ(doc.ClientIban, u"LT017300010000000001");
  EXPECT_EQ(doc.CorrIban, u"LT601010012345678902");
}

TEST_F(ImportTest, OneRecordPerLineUntilTheFileEnds) {
  ASSERT_TRUE(OpenLines({StatementText(), StatementText(), StatementText(), u"GALAS"}));
  std::vector<int32_t> kinds;
  StatementDoc doc;
  while (bank->ImportDoc(doc)) kinds.push_back(doc.DocKind);
  EXPECT_EQ(kinds, (std::vector<int32_t>{1, 1, 1, 3}));
  // The end marker passes empty values.
  EXPECT_EQ(doc.Amount, Currency());
  EXPECT_TRUE(doc.OpDate.IsEmpty());
  EXPECT_EQ(doc.CurrencyKind, 2);
  EXPECT_TRUE(doc.IsDebit);
  EXPECT_EQ(doc.ClientAccount, u"");

  doc.Comment = u"untouched";
  EXPECT_FALSE(bank->ImportDoc(doc));
  EXPECT_EQ(doc.Comment, u"untouched");
}

TEST_F(ImportTest, DateRangeCoversExactlyTheAccountOverTheWholeFile) {
  ASSERT_TRUE(OpenLines({
      StatementText({{2, u"2024.01.10"}}),
      StatementText({{2, u"2024.01.20"}}),
      StatementText({{2, u"2024.01.04"}, {13, u"BALANSAS"}}),
      StatementText({{2, u"2024.01.01"}, {3, u"LT0011"}}),
      StatementText({{2, u"2024.01.02"}, {3, u"lt001"}}),
      StatementText({{2, u"2024.02.01"}, {3, u"LT001 "}}),
      u"GALAS",
      StatementText({{2, u"2024.01.30"}}),
  }));
  EXPECT_EQ(head.DateFrom, Date::FromCivil(2024, 1, 4));
  EXPECT_EQ(head.DateTo, Date::FromCivil(2024, 1, 30));
  // The file was rewound: ImportDoc starts at the first line again.
  const auto docs = ReadAll();
  ASSERT_EQ(docs.size(), 8u);
  EXPECT_EQ(docs[0].OpDate, Date::FromCivil(2024, 1, 10));
  EXPECT_EQ(docs[7].DocKind, kDocOperation);
}

TEST_F(ImportTest, EndMarkerIsTheExactWordAsRead) {
  const ComError error = OpenError({StatementText(), u"GALAS "});
  EXPECT_EQ(error.number(), kErrValueTooLong);
  EXPECT_EQ(error.source(), u"Kliento KIF'o numeris");

  // The converter sees every line but the marker, and cannot make one.
  host->SetConverter([](const std::u16string& text, int32_t) {
    return text == u"galas" ? std::u16string(u"GALAS") : text;
  });
  EXPECT_EQ(OpenError({StatementText(), u"galas"}).number(), kErrTypeMismatch);
  bank->EndImport();
  host->SetConverter(nullptr);
  const size_t calls_before = host->ConverterCalls().size();
  ASSERT_TRUE(OpenLines({StatementText(), u"GALAS"}));
  ASSERT_EQ(host->ConverterCalls().size(), calls_before + 1);
  EXPECT_EQ(host->ConverterCalls().back().mode, host::kConvertFromBank);
}

TEST_F(ImportTest, ConvertedLineIsTheOneParsed) {
  host->SetConverter([](const std::u16string& text, int32_t) {
    std::u16string out = text;
    for (auto& c : out) c = c == u'#' ? u'Ž' : c;
    return out;
  });
  ASSERT_TRUE(OpenLines({StatementText({{19, u"#alia"}})}));
  EXPECT_EQ(ReadAll().at(0).Comment, u"Žalia");
  EXPECT_EQ(host->LineConvertersCreated(), 1);
}

TEST_F(ImportTest, HeaderIsWrittenOnlyOnSuccess) {
  const Date earlier = Date::FromCivil(2000, 1, 1);
  head.DateFrom = head.DateTo = earlier;
  head.CreditSideDocs = true;

  bank->BeginImport(head);
  host->Driver().ExpectShow(u"LoadStatementDlg", {Click(u"btCancel")});
  EXPECT_FALSE(bank->BeginImportByAccount(head));
  host->Driver().ExpectShow(u"LoadStatementDlg", {Close()});
  EXPECT_FALSE(bank->BeginImportByAccount(head));
  EXPECT_FALSE(Open(WriteStatement({StatementText({{3, u"LT002"}})})));
  EXPECT_EQ(head.DateFrom, earlier);
  EXPECT_TRUE(head.CreditSideDocs);

  EXPECT_TRUE(Open(WriteStatement({StatementText()}), /*credit_side=*/1));
  EXPECT_EQ(head.DateFrom, Date::FromCivil(2024, 1, 15));
  EXPECT_EQ(head.DateTo, Date::FromCivil(2024, 1, 15));
  EXPECT_TRUE(head.CreditSideDocs);
  EXPECT_TRUE(Open(WriteStatement({StatementText()}), /*credit_side=*/0));
  EXPECT_FALSE(head.CreditSideDocs);
  EXPECT_TRUE(host->Driver().Problems().empty());
}

TEST_F(ImportTest, ScanFailureLeavesTheHeader) {
  head.DateFrom = Date::FromCivil(2000, 1, 1);
  EXPECT_EQ(OpenError({StatementText(), StatementText({{2, u"2024.13.01"}})}).number(),
            kErrTypeMismatch);
  EXPECT_EQ(head.DateFrom, Date::FromCivil(2000, 1, 1));
}

TEST_F(ImportTest, ImportDocComparesWithTheAcceptedHeader) {
  ASSERT_TRUE(OpenLines({StatementText()}));
  head.Account = u"LT002";  // the host's record; the component kept its copy
  EXPECT_EQ(ReadAll().at(0).DocKind, kDocOperation);
}

TEST_F(ImportTest, WithoutAnAcceptedHeaderEveryLineIsNone) {
  head.Account = u"LT999";
  EXPECT_FALSE(OpenLines({StatementText(), StatementText()}));
  const auto docs = ReadAll();
  ASSERT_EQ(docs.size(), 2u);
  EXPECT_EQ(docs[0].DocKind, kDocNone);
  EXPECT_EQ(docs[1].DocKind, kDocNone);
}

TEST_F(ImportTest, BadDateLeavesKindAndAmountSet) {
  ASSERT_TRUE(OpenLines({StatementText({{3, u"LT002"}, {2, u"x"}}), StatementText()}));
  StatementDoc doc;
  doc.DocKind = 0;
  doc.Amount = Currency::FromInteger(7);
  doc.Comment = u"host's";
  try {
    bank->ImportDoc(doc);
    ADD_FAILURE() << "no error";
  } catch (const ComError& error) {
    EXPECT_EQ(error.number(), kErrTypeMismatch);
  }
  EXPECT_EQ(doc.DocKind, kDocNone);
  EXPECT_EQ(doc.Amount, Currency());
  EXPECT_EQ(doc.Comment, u"host's");
}

TEST_F(ImportTest, EndImportAndTeardownCloseTheFile) {
  EXPECT_NO_THROW(bank->EndImport());
  ASSERT_TRUE(OpenLines({StatementText()}));
  EXPECT_TRUE(HeldOpen("st.txt"));
  bank->EndImport();
  EXPECT_FALSE(HeldOpen("st.txt"));
  EXPECT_NO_THROW(bank->EndImport());

  ASSERT_TRUE(OpenLines({StatementText()}));
  EXPECT_TRUE(HeldOpen("st.txt"));
  bank.reset();
  EXPECT_FALSE(HeldOpen("st.txt"));
}

TEST_F(ImportTest, CallsOutOfOrder) {
  head.DateFrom = Date::FromCivil(2000, 1, 1);
  StatementDoc doc;
  try {
    bank->BeginImportByAccount(head);
    ADD_FAILURE() << "no error";
  } catch (const ComError& error) {
    EXPECT_EQ(error.number(), kErrObjectNotSet);
  }
  EXPECT_EQ(head.DateFrom, Date::FromCivil(2000, 1, 1));
  EXPECT_THROW(bank->ImportDoc(doc), ComError);

  // Prepared but not shown: no file is open yet.
  bank->BeginImport(head);
  EXPECT_FALSE(bank->ImportDoc(doc));
  bank->EndImport();
  try {
    bank->ImportDoc(doc);
    ADD_FAILURE() << "no error";
  } catch (const ComError& error) {
    EXPECT_EQ(error.number(), kErrObjectNotSet);
  }
}

TEST_F(ImportTest, EachShowScansTheChosenFileAnew) {
  ASSERT_TRUE(Open(WriteStatement({StatementText({{2, u"2024.01.10"}})}, "a.txt")));
  host->Driver().ExpectShow(
      u"LoadStatementDlg",
      {Type(u"edImpFile", WriteStatement({StatementText({{2, u"2024.03.03"}})}, "b.txt")),
       Click(u"btOk")});
  ASSERT_TRUE(bank->BeginImportByAccount(head));
  EXPECT_EQ(head.DateFrom, Date::FromCivil(2024, 3, 3));
  EXPECT_FALSE(HeldOpen("a.txt"));
  EXPECT_EQ(ReadAll().size(), 1u);
}

}  // namespace
}  // namespace norv::testing
