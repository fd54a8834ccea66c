// Whole import runs: BeginImport, BeginImportByAccount through the statement
// dialog, ImportDoc until false, EndImport; the mapping of lines to documents.
#include <sstream>
#include <string>
#include <vector>

#include "import_fixture.h"
#include "support/data_files.h"

namespace norv::testing {
namespace {

using hostkit::Click;
using hostkit::Close;
using hostkit::Type;

TEST_F(ImportTest, MapsKindAmountCurrencyAndLoanNumbers) {
  for (const Row& c : Manifest("statement_mapping", 2)) {
    SCOPED_TRACE(c[0]);
    std::map<int, std::u16string> fields = {{23, u"A-17"}};  // the loan document number
    std::istringstream changes(c[0]);
    for (std::string change; std::getline(changes, change, ';');) {
      fields[std::stoi(change)] = Utf8ToU16(change.substr(change.find('=') + 1));
    }
    const auto docs = Import({StatementText(), StatementText(fields)});
    ASSERT_EQ(docs.size(), 2u);
    EXPECT_EQ(U16ToUtf8(Brief(docs[1])), c[1]);
  }
}

TEST_F(ImportTest, OneRecordPerLineUntilTheFileEnds) {
  ASSERT_TRUE(OpenLines({StatementText(), StatementText({{6, u"D-2"}}), u"GALAS"}));
  StatementDoc doc;
  doc.Unnamed5 = u"host's";  // the one field the component leaves alone
  ASSERT_TRUE(bank->ImportDoc(doc));
  EXPECT_EQ(Brief(doc), u"1 150 C EUR/2 D-17 2024-01-15");
  EXPECT_EQ(Texts(doc),
            u"LT001|LT601010012345678901|123456789|host's|AB bankas|"
            u"Apmokėjimas už prekes|LT017300010000000001|LT601010012345678902");
  ASSERT_TRUE(bank->ImportDoc(doc));
  EXPECT_EQ(doc.DocNumber, u"D-2");
  // The end marker passes empty values.
  ASSERT_TRUE(bank->ImportDoc(doc));
  EXPECT_EQ(Brief(doc), u"3 0 D /2  ");
  EXPECT_EQ(Texts(doc), u"|||host's||||");

  doc.Comment = u"untouched";
  EXPECT_FALSE(bank->ImportDoc(doc));
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
  // The converter sees every line but the marker, and cannot make one.
  host->SetConverter([](const std::u16string& text, int32_t) {
    return text == u"galas" ? std::u16string(u"GALAS") : text;
  });
  EXPECT_EQ(OpenError({StatementText(), u"galas"}).number(), kErrTypeMismatch);
  // The line parsed is the converted one.
  host->SetConverter([](const std::u16string& text, int32_t) {
    std::u16string out = text;
    for (auto& c : out) c = c == u'#' ? u'Ž' : c;
    return out;
  });
  EXPECT_EQ(Import({StatementText({{19, u"#alia"}})}).at(0).Comment, u"Žalia");
  host->SetConverter(nullptr);
  const size_t calls_before = host->ConverterCalls().size();
  ASSERT_TRUE(OpenLines({StatementText(), u"GALAS"}));
  ASSERT_EQ(host->ConverterCalls().size(), calls_before + 1);
  EXPECT_EQ(host->ConverterCalls().back().mode, host::kConvertFromBank);
  EXPECT_EQ(host->LineConvertersCreated(), 1);  // made on first use, then kept
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
  EXPECT_EQ(OpenError({StatementText(), StatementText({{2, u"2024.13.01"}})}).number(),
            kErrTypeMismatch);
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

TEST_F(ImportTest, ImportDocComparesWithTheAcceptedHeader) {
  ASSERT_TRUE(OpenLines({StatementText()}));
  head.Account = u"LT002";  // the host's record; the component kept its copy
  EXPECT_EQ(ReadAll().at(0).DocKind, kDocOperation);

  // A component that never accepted a header finds every line of no account.
  bank = std::make_unique<CBankCl_VB>();
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
  doc.Amount = Currency::FromInteger(7);
  doc.Comment = u"host's";
  EXPECT_EQ(Raised([&] { bank->ImportDoc(doc); }).number(), kErrTypeMismatch);
  EXPECT_EQ(doc.DocKind, kDocNone);
  EXPECT_EQ(doc.Amount, Currency());
  EXPECT_EQ(doc.Comment, u"host's");
}

TEST_F(ImportTest, CallsOutOfOrderAndEndImportClosingTheFile) {
  head.DateFrom = Date::FromCivil(2000, 1, 1);
  StatementDoc doc;
  EXPECT_EQ(Raised([&] { bank->BeginImportByAccount(head); }).number(), kErrObjectNotSet);
  EXPECT_EQ(head.DateFrom, Date::FromCivil(2000, 1, 1));
  EXPECT_EQ(Raised([&] { bank->ImportDoc(doc); }).number(), kErrObjectNotSet);
  EXPECT_NO_THROW(bank->EndImport());
  // Prepared but not shown: no file is open yet.
  bank->BeginImport(head);
  EXPECT_FALSE(bank->ImportDoc(doc));

  ASSERT_TRUE(OpenLines({StatementText()}));
  EXPECT_TRUE(HeldOpen("st.txt"));
  bank->EndImport();
  EXPECT_FALSE(HeldOpen("st.txt"));
  EXPECT_NO_THROW(bank->EndImport());
  EXPECT_EQ(Raised([&] { bank->ImportDoc(doc); }).number(), kErrObjectNotSet);

  // Teardown during an import closes the file too.
  ASSERT_TRUE(OpenLines({StatementText()}));
  bank.reset();
  EXPECT_FALSE(HeldOpen("st.txt"));
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
