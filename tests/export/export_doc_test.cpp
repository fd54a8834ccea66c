// Payment-order lines as they land in the DP and FP files: field order, value
// formats, quoting, maxima, required fields, split fields and the errors.
#include <functional>
#include <ostream>
#include <string>
#include <vector>

#include "export_fixture.h"
#include "runtime/currency.h"

namespace norv::testing {
namespace {

class ExportDocTest : public ExportTest {
 protected:
  // Exports one document in a run of its own and returns the file's bytes.
  std::string ExportOne(int32_t doc_type, const PaymentDoc& doc) {
    Begin();
    Export(doc_type, doc);
    End();
    return folder.ReadBytes(doc_type == kLocal ? kDPName : kFPName);
  }
};

TEST_F(ExportDocTest, ExampleLocalLineGoesToTheDPFile) {
  EXPECT_EQ(ExportOne(kLocal, ExampleLocalDoc()), kExampleLocalLine + "\r\n");
  EXPECT_FALSE(folder.Exists(kFPName));
}

TEST_F(ExportDocTest, ExampleForeignLineGoesToTheFPFile) {
  EXPECT_EQ(ExportOne(kForeign, ExampleForeignDoc()), kExampleForeignLine + "\r\n");
  EXPECT_FALSE(folder.Exists(kDPName));
}

TEST_F(ExportDocTest, EveryDocTypeButOneIsForeign) {
  Begin();
  for (int32_t type : {0, 2, -1, 7}) Export(type, ExampleForeignDoc());
  End();
  const std::string line = kExampleForeignLine + "\r\n";
  EXPECT_EQ(folder.ReadBytes(kFPName), line + line + line + line);
  EXPECT_FALSE(folder.Exists(kDPName));
}

TEST_F(ExportDocTest, LithuanianLettersAreWrittenInCodePage1257) {
  PaymentDoc doc = ExampleLocalDoc();
  doc.PayerName = u"Žąsų ūkis";
  doc.PayeeName = u"Šilėnų ĄČĘĖĮŠŲŪŽ";
  doc.Purpose = u"Už čekį";
  const std::string expected =
      "125,2004.03.15,123456789,\"\xDE\xE0s\xF8 \xFBkis\",70440,LT123456789012345678,1234.50,LTL,,"
      "\"\xD0il\xEBn\xF8 \xC0\xC8\xC6\xCB\xC1\xD0\xD8\xDB\xDE\",73000,LT876543210987654321,,,"
      "\"U\xFE \xE8"
      "ek\xE1\"\r\n";
  EXPECT_EQ(ExportOne(kLocal, doc), expected);
}

TEST_F(ExportDocTest, UnnamedFieldsDoNotChangeTheLine) {
  PaymentDoc doc = ExampleForeignDoc();
  doc.Unnamed5 = doc.Unnamed12 = doc.Unnamed23 = u"x y";
  doc.Unnamed28 = doc.Unnamed29 = doc.Unnamed30 = doc.Unnamed31 = u"\"";
  doc.Unnamed17 = 99;
  doc.AltPurpose = u"never read by the foreign layout";
  EXPECT_EQ(ExportOne(kForeign, doc), kExampleForeignLine + "\r\n");
}

TEST_F(ExportDocTest, LocalDocumentWithOnlyRequiredFieldsKeepsFifteenFields) {
  PaymentDoc doc;
  doc.PayerBankCode = u"70440";
  doc.PayerAccount = u"LT1";
  doc.CurrencyCode = u"EUR";
  doc.PayeeName = u"P";
  doc.PayeeAccount = u"LT2";
  doc.DocDate = Date::FromCivil(2024, 2, 29);
  EXPECT_EQ(ExportOne(kLocal, doc), "0,2024.02.29,,,70440,LT1,0.00,EUR,,P,,LT2,,,\r\n");
}

TEST_F(ExportDocTest, LocalLayoutIgnoresPaymentType) {
  PaymentDoc doc = ExampleLocalDoc();
  doc.PaymentType = 0;
  EXPECT_EQ(ExportOne(kLocal, doc), kExampleLocalLine + "\r\n");
}

TEST_F(ExportDocTest, LineGoesThroughTheConverterInModeOne) {
  host->SetConverter([](const std::u16string& text, int32_t mode) {
    return u"<" + IntToText(mode) + u">" + text;
  });
  Begin();
  Export(kLocal, ExampleLocalDoc());
  Export(kForeign, ExampleForeignDoc());
  End();
  EXPECT_EQ(folder.ReadBytes(kDPName), "<1>" + kExampleLocalLine + "\r\n");
  EXPECT_EQ(folder.ReadBytes(kFPName), "<1>" + kExampleForeignLine + "\r\n");
  ASSERT_EQ(host->ConverterCalls().size(), 2u);
  EXPECT_EQ(host->ConverterCalls()[0].mode, 1);
  EXPECT_EQ(U16ToUtf8(host->ConverterCalls()[0].text), kExampleLocalLine);
  EXPECT_EQ(host->LineConvertersCreated(), 1);
}

TEST_F(ExportDocTest, WaitIndicatorIsHeldForTheCallOnly) {
  int alive_while_converting = -1;
  host->SetConverter([&](const std::u16string& text, int32_t) {
    alive_while_converting = host->WaitIndicatorsAlive();
    return text;
  });
  Begin();
  Export(kLocal, ExampleLocalDoc());
  EXPECT_EQ(alive_while_converting, 1);
  PaymentDoc bad = ExampleLocalDoc();
  bad.PayeeName.clear();
  ExportError(kLocal, bad);
  EXPECT_EQ(host->WaitIndicatorsCreated(), 2);
  EXPECT_EQ(host->WaitIndicatorsAlive(), 0);
  End();
}

// --- Value formats --------------------------------------------------------

struct DocNumberCase {
  std::u16string number;
  std::string written;
};
void PrintTo(const DocNumberCase& c, std::ostream* os) { *os << U16ToUtf8(c.number); }

class DocNumberTest : public ExportDocTest, public ::testing::WithParamInterface<DocNumberCase> {};

TEST_P(DocNumberTest, NumericPartWithoutLeadingZeros) {
  PaymentDoc doc = ExampleLocalDoc();
  doc.DocNumber = GetParam().number;
  const std::string line = ExportOne(kLocal, doc);
  EXPECT_EQ(line.substr(0, line.find(',')), GetParam().written);
}

INSTANTIATE_TEST_SUITE_P(Numbers, DocNumberTest,
                         ::testing::Values(DocNumberCase{u"000125", "125"},
                                           DocNumberCase{u"0042", "42"},
                                           DocNumberCase{u"15A", "15"}, DocNumberCase{u"A15", "0"},
                                           DocNumberCase{u"", "0"}, DocNumberCase{u"12 34", "1234"},
                                           DocNumberCase{u"123456789", "123456789"}));

struct AmountCase {
  Currency amount;
  std::string written;
};
void PrintTo(const AmountCase& c, std::ostream* os) { *os << c.written; }

class AmountTest : public ExportDocTest, public ::testing::WithParamInterface<AmountCase> {};

// The amount is field 7 of the local line.
TEST_P(AmountTest, TwoDecimalsWithAPoint) {
  PaymentDoc doc = ExampleLocalDoc();
  doc.Amount = GetParam().amount;
  const std::string line = ExportOne(kLocal, doc);
  const std::string expected_prefix =
      "125,2004.03.15,123456789,\"Pavyzdys ir Ko\",70440,"
      "LT123456789012345678," +
      GetParam().written + ",LTL,";
  EXPECT_EQ(line.substr(0, expected_prefix.size()), expected_prefix);
}

INSTANTIATE_TEST_SUITE_P(
    Amounts, AmountTest,
    ::testing::Values(AmountCase{Currency::FromDouble(1234.5), "1234.50"},
                      AmountCase{Currency(), "0.00"},
                      AmountCase{Currency::FromDouble(0.004), "0.00"},
                      AmountCase{Currency::FromDouble(2.999), "3.00"},
                      AmountCase{Currency::FromDouble(-1234.5), "-1234.50"},
                      AmountCase{Currency::FromDouble(99999999999.99), "99999999999.99"},
                      AmountCase{Currency::FromDouble(-9999999999.99), "-9999999999.99"}));

TEST_F(ExportDocTest, FractionOfADocNumberTakesTheRegionalDecimalSeparator) {
  PaymentDoc doc = ExampleLocalDoc();
  doc.DocNumber = u"12.50";
  const std::u16string separator(1, RegionalSettings::Current().decimal_separator);
  EXPECT_EQ(ExportOne(kLocal, doc).substr(0, 13), U16ToUtf8(u"12" + separator + u"5,2004.03."));
}

TEST_F(ExportDocTest, DateOfAnyDocumentIsYearMonthDayWithPoints) {
  PaymentDoc doc = ExampleForeignDoc();
  doc.DocDate = Date::FromCivil(1999, 12, 31, 23, 59, 0);
  const std::string line = ExportOne(kForeign, doc);
  EXPECT_EQ(line.substr(0, 13), "7,1999.12.31,");
}

// --- Quoting ----------------------------------------------------------------

struct QuoteCase {
  std::u16string value;
  std::string written;
};
void PrintTo(const QuoteCase& c, std::ostream* os) { *os << "[" << U16ToUtf8(c.value) << "]"; }

class QuoteTest : public ExportDocTest, public ::testing::WithParamInterface<QuoteCase> {};

// The local purpose is the last field, so the line ends with the written value.
TEST_P(QuoteTest, ValueAsWritten) {
  PaymentDoc doc = ExampleLocalDoc();
  doc.Purpose = GetParam().value;
  const std::string prefix = kExampleLocalLine.substr(0, kExampleLocalLine.rfind(",,,") + 3);
  EXPECT_EQ(ExportOne(kLocal, doc), prefix + GetParam().written + "\r\n");
}

INSTANTIATE_TEST_SUITE_P(Values, QuoteTest,
                         ::testing::Values(QuoteCase{u"", ""},
                                           QuoteCase{u"Vilnius,LT", "Vilnius,LT"},
                                           QuoteCase{u"Vilnius LT", "\"Vilnius LT\""},
                                           QuoteCase{u"12\"A", "\"12\"\"A\""},
                                           QuoteCase{u"\"", "\"\"\"\""}, QuoteCase{u" ", "\" \""},
                                           QuoteCase{u" x ", "\" x \""},
                                           QuoteCase{u"a\tb;c'd", "a\tb;c'd"}, QuoteCase{u",", ","},
                                           QuoteCase{u"\"a b\"", "\"\"\"a b\"\"\""}));

// --- Maxima and required fields -------------------------------------------

// A text field of the PaymentDoc, where it lands in the line and its checks.
struct FieldCase {
  const char* name;
  int32_t doc_type;
  std::u16string PaymentDoc::*member;
  size_t position;  // 0-based field index in the written line
  size_t max;
  bool required;
  std::u16string label;
};

void PrintTo(const FieldCase& c, std::ostream* os) { *os << c.name; }

std::string PrintFieldCase(const ::testing::TestParamInfo<FieldCase>& info) {
  return info.param.name;
}

PaymentDoc ExampleOf(int32_t doc_type) {
  PaymentDoc doc = doc_type == kLocal ? ExampleLocalDoc() : ExampleForeignDoc();
  // Charges become required in the foreign layout, so give them values.
  doc.ForeignBankCharges = 2;
  doc.ChargesAccount = u"LT000000000000000001";
  doc.ChargesCurrency = u"EUR";
  return doc;
}

// Splits a line without quoted fields at its commas.
std::vector<std::string> Fields(const std::string& line) {
  std::vector<std::string> fields(1);
  for (char c : line.substr(0, line.size() - 2)) {
    if (c == ',') {
      fields.emplace_back();
    } else {
      fields.back() += c;
    }
  }
  return fields;
}

class FieldCheckTest : public ExportDocTest, public ::testing::WithParamInterface<FieldCase> {
 protected:
  // Exports the example with the field set to `value`; checks the error and that
  // neither the file nor the counters moved.
  void ExpectFieldError(const std::u16string& value, int32_t number,
                        const std::u16string& written_value) {
    const FieldCase& c = GetParam();
    PaymentDoc doc = ExampleOf(c.doc_type);
    doc.*c.member = value;
    Begin();
    const ComError error = ExportError(c.doc_type, doc);
    EXPECT_EQ(error.number(), number);
    EXPECT_EQ(error.source(), FieldSource(doc.DocNumber, doc.DocDate, c.label));
    EXPECT_EQ(error.description(), FieldDescription(number, c.label, written_value));
    End();
    EXPECT_FALSE(folder.Exists(kDPName));
    EXPECT_FALSE(folder.Exists(kFPName));
    ASSERT_FALSE(host->Messages().empty());
    EXPECT_EQ(host->Messages().back().text, Summary(0, 0));
  }
};

TEST_P(FieldCheckTest, ValueOfTheMaximumLengthIsWritten) {
  const FieldCase& c = GetParam();
  PaymentDoc doc = ExampleOf(c.doc_type);
  doc.*c.member = std::u16string(c.max, u'7');
  const std::vector<std::string> fields = Fields(ExportOne(c.doc_type, doc));
  ASSERT_EQ(fields.size(), c.doc_type == kLocal ? 15u : 34u);
  EXPECT_EQ(fields[c.position], std::string(c.max, '7'));
}

TEST_P(FieldCheckTest, LongerValueRaisesValueTooLong) {
  const std::u16string value(GetParam().max + 1, u'7');
  if (GetParam().member == &PaymentDoc::Purpose && GetParam().doc_type == kLocal) {
    // A longer local purpose is not checked but replaced by AltPurpose (empty here).
    PaymentDoc doc = ExampleOf(kLocal);
    doc.Purpose = value;
    EXPECT_EQ(Fields(ExportOne(kLocal, doc))[GetParam().position], "");
    return;
  }
  ExpectFieldError(value, kErrValueTooLong, value);
}

TEST_P(FieldCheckTest, QuotesCountTowardsTheMaximum) {
  // One blank fewer than the maximum still needs the two enclosing quotes.
  std::u16string value(GetParam().max - 1, u'7');
  value[0] = u' ';
  ExpectFieldError(value, kErrValueTooLong, u"\"" + value + u"\"");
}

TEST_P(FieldCheckTest, EmptyValueFailsOnlyWhenRequired) {
  const FieldCase& c = GetParam();
  if (c.required) {
    ExpectFieldError(u"", kErrRequiredEmpty, u"");
  } else {
    PaymentDoc doc = ExampleOf(c.doc_type);
    doc.*c.member = u"";
    const std::vector<std::string> fields = Fields(ExportOne(c.doc_type, doc));
    EXPECT_EQ(fields[c.position], "");
  }
}

INSTANTIATE_TEST_SUITE_P(
    Layouts, FieldCheckTest,
    ::testing::Values(
        FieldCase{"LocalPayerCode", kLocal, &PaymentDoc::PayerCode, 2, 15, false,
                  u"Moketojo kodas"},
        FieldCase{"LocalPayerName", kLocal, &PaymentDoc::PayerName, 3, 60, false,
                  u"Moketojo pavadinimas"},
        FieldCase{"LocalPayerBankCode", kLocal, &PaymentDoc::PayerBankCode, 4, 9, true,
                  u"Moketojo banko kodas"},
        FieldCase{"LocalPayerAccount", kLocal, &PaymentDoc::PayerAccount, 5, 20, true,
                  u"Moketojo saskaita"},
        FieldCase{"LocalCurrency", kLocal, &PaymentDoc::CurrencyCode, 7, 3, true, u"Valiuta"},
        FieldCase{"LocalPayeeCode", kLocal, &PaymentDoc::PayeeCode, 8, 15, false, u"Gavejo kodas"},
        FieldCase{"LocalPayeeName", kLocal, &PaymentDoc::PayeeName, 9, 60, true,
                  u"Gavejo pavadinimas"},
        FieldCase{"LocalPayeeBankCode", kLocal, &PaymentDoc::PayeeBankCode, 10, 9, false,
                  u"Gavejo banko kodas"},
        FieldCase{"LocalPayeeAccount", kLocal, &PaymentDoc::PayeeAccount, 11, 20, true,
                  u"Gavejo saskaita"},
        FieldCase{"LocalPurposeCode", kLocal, &PaymentDoc::PurposeCode, 13, 5, false,
                  u"Mokejimo pask. kodas"},
        FieldCase{"LocalPurpose", kLocal, &PaymentDoc::Purpose, 14, 140, false,
                  u"Mokejimo paskirtis"},
        FieldCase{"ForeignCurrency", kForeign, &PaymentDoc::CurrencyCode, 3, 3, true, u"Valiuta"},
        FieldCase{"ForeignPayerAccount", kForeign, &PaymentDoc::PayerAccount, 5, 20, true,
                  u"Moketojo saskaita"},
        FieldCase{"ForeignPayerBankCode", kForeign, &PaymentDoc::PayerBankCode, 6, 9, true,
                  u"Banko, kurio prasymu vykdomas pavedimas, kodas"},
        FieldCase{"ForeignPayeeBankSwift", kForeign, &PaymentDoc::PayeeBankSwift, 13, 11, false,
                  u"Gavejo banko SWIFT"},
        FieldCase{"ForeignPayeeBankCode", kForeign, &PaymentDoc::PayeeBankCode, 14, 34, false,
                  u"Gavejo banko kodas"},
        FieldCase{"ForeignPayeeAccount", kForeign, &PaymentDoc::PayeeAccount, 19, 34, true,
                  u"Gavejo saskaita"},
        FieldCase{"ForeignChargesAccount", kForeign, &PaymentDoc::ChargesAccount, 32, 20, true,
                  u"Komisiniu mokesciu saskaita"},
        FieldCase{"ForeignChargesCurrency", kForeign, &PaymentDoc::ChargesCurrency, 33, 3, true,
                  u"Komisinių mokesčių sąskaitos valiuta"}),
    PrintFieldCase);

// Errors of values that are not plain text fields.
struct ValueErrorCase {
  const char* name;
  int32_t doc_type;
  std::function<void(PaymentDoc&)> change;
  int32_t number;
  std::u16string label;
  std::u16string value_in_message;
};

void PrintTo(const ValueErrorCase& c, std::ostream* os) { *os << c.name; }

class ValueErrorTest : public ExportDocTest,
                       public ::testing::WithParamInterface<ValueErrorCase> {};

TEST_P(ValueErrorTest, RaisesWithSourceAndDescriptionAndWritesNothing) {
  const ValueErrorCase& c = GetParam();
  PaymentDoc doc = ExampleOf(c.doc_type);
  c.change(doc);
  Begin();
  Export(kLocal, ExampleLocalDoc());  // an earlier good line stays alone in its file
  const ComError error = ExportError(c.doc_type, doc);
  EXPECT_EQ(error.number(), c.number);
  EXPECT_EQ(error.source(), FieldSource(doc.DocNumber, doc.DocDate, c.label));
  EXPECT_EQ(error.description(), FieldDescription(c.number, c.label, c.value_in_message));
  End();
  EXPECT_EQ(folder.ReadBytes(kDPName), kExampleLocalLine + "\r\n");
  EXPECT_FALSE(folder.Exists(kFPName));
  EXPECT_EQ(host->Messages().back().text, Summary(1, 0));
}

INSTANTIATE_TEST_SUITE_P(
    Values, ValueErrorTest,
    ::testing::Values(
        ValueErrorCase{"DocNumberOfTenDigits", kLocal,
                       [](PaymentDoc& d) { d.DocNumber = u"0001234567890"; }, kErrValueTooLong,
                       u"Numeris", u"1234567890"},
        ValueErrorCase{"AmountOfFifteenCharacters", kLocal,
                       [](PaymentDoc& d) { d.Amount = Currency::FromInteger(100000000000); },
                       kErrValueTooLong, u"Suma", u"100000000000.00"},
        ValueErrorCase{"NegativeAmountOfFifteenCharacters", kForeign,
                       [](PaymentDoc& d) { d.Amount = Currency::FromDouble(-99999999999.99); },
                       kErrValueTooLong, u"Suma", u"-99999999999.99"},
        ValueErrorCase{"PaymentTypeZero", kForeign, [](PaymentDoc& d) { d.PaymentType = 0; },
                       kErrBadPaymentType, u"Tipas", u"0"},
        ValueErrorCase{"PaymentTypeFour", kForeign, [](PaymentDoc& d) { d.PaymentType = 4; },
                       kErrBadPaymentType, u"Tipas", u"4"},
        ValueErrorCase{"PaymentTypeNegative", kForeign, [](PaymentDoc& d) { d.PaymentType = -1; },
                       kErrBadPaymentType, u"Tipas", u"-1"},
        ValueErrorCase{"ForeignBankChargesTwoDigits", kForeign,
                       [](PaymentDoc& d) { d.ForeignBankCharges = 12; }, kErrValueTooLong,
                       u"Uzsienio banko mokesciai", u"12"},
        ValueErrorCase{"ForeignBankChargesNegative", kForeign,
                       [](PaymentDoc& d) { d.ForeignBankCharges = -1; }, kErrValueTooLong,
                       u"Uzsienio banko mokesciai", u"-1"},
        ValueErrorCase{"PayeeBankNameEmpty", kForeign,
                       [](PaymentDoc& d) { d.PayeeBankName.clear(); }, kErrRequiredEmpty,
                       u"Gavejo banko pavadinimas 1", u""},
        ValueErrorCase{"ForeignPayeeNameEmpty", kForeign,
                       [](PaymentDoc& d) { d.PayeeName.clear(); }, kErrRequiredEmpty,
                       u"Gavejo pavadinimas 1", u""},
        ValueErrorCase{"AltPurposeWithQuotesOverflowingTheCut", kLocal,
                       [](PaymentDoc& d) {
                         d.Purpose = std::u16string(141, u'p');
                         d.AltPurpose = u"\"" + std::u16string(137, u'a');
                       },
                       kErrValueTooLong, u"Mokejimo paskirtis",
                       u"\"\"\"" + std::u16string(137, u'a') + u"\""}),
    [](const ::testing::TestParamInfo<ValueErrorCase>& info) { return info.param.name; });

TEST_F(ExportDocTest, ChargesAreOptionalOnlyForChargesCodeThree) {
  PaymentDoc doc = ExampleForeignDoc();  // charges code 3, no account, no currency
  Begin();
  Export(kForeign, doc);
  doc.ForeignBankCharges = 0;
  const ComError error = ExportError(kForeign, doc);
  EXPECT_EQ(error.number(), kErrRequiredEmpty);
  EXPECT_EQ(error.source(), FieldSource(u"7", doc.DocDate, u"Komisiniu mokesciu saskaita"));
  End();
  EXPECT_EQ(folder.ReadBytes(kFPName), kExampleForeignLine + "\r\n");
}

TEST_F(ExportDocTest, ValueBeyondTheQuotingCounterOverflows) {
  PaymentDoc doc = ExampleLocalDoc();
  doc.PayerName = std::u16string(32768, u'x');
  Begin();
  EXPECT_EQ(ExportError(kLocal, doc).number(), kErrOverflow);
  doc.PayerName = std::u16string(32768, u' ');
  EXPECT_EQ(ExportError(kLocal, doc).number(), kErrOverflow);
  End();
}

// --- Long local purpose ---------------------------------------------------

TEST_F(ExportDocTest, LongerLocalPurposeTakes138CharactersOfAltPurpose) {
  PaymentDoc doc = ExampleLocalDoc();
  doc.Purpose = std::u16string(141, u'p');
  doc.AltPurpose = u"short " + std::u16string(200, u'a');
  const std::string line = ExportOne(kLocal, doc);
  EXPECT_EQ(line.substr(line.rfind(",,,") + 3), "\"short " + std::string(132, 'a') + "\"\r\n");
}

// --- Split fields -------------------------------------------------------

// The foreign line around the payee name (fields 21 and 22) of the example.
std::string ForeignLineWithPayeeName(const std::string& part1, const std::string& part2) {
  return "7,2004.03.15,1,EUR,2500.00,LT123456789012345678,70440,,,,,,,BANKDEFF,,\"Beispiel Bank\","
         ",,,DE00123456780000000000," +
         part1 + "," + part2 + ",,,\"Invoice 2004-15\",,,,3,,,,,\r\n";
}

struct SplitCase {
  const char* name;
  std::u16string payee_name;
  std::string part1;
  std::string part2;
};

void PrintTo(const SplitCase& c, std::ostream* os) { *os << c.name; }

class SplitFieldTest : public ExportDocTest, public ::testing::WithParamInterface<SplitCase> {};

TEST_P(SplitFieldTest, PayeeNameOverTwoParts) {
  PaymentDoc doc = ExampleForeignDoc();
  doc.PayeeName = GetParam().payee_name;
  EXPECT_EQ(ExportOne(kForeign, doc), ForeignLineWithPayeeName(GetParam().part1, GetParam().part2));
}

INSTANTIATE_TEST_SUITE_P(
    Names, SplitFieldTest,
    ::testing::Values(
        // 40 characters with blanks: 33 in the first part leave room for its quotes.
        SplitCase{"WithBlanks", u"Uzdaroji akcine bendrove Tiekimo grupe X",
                  "\"Uzdaroji akcine bendrove Tiekimo \"", "\"grupe X\""},
        SplitCase{"WithoutBlanks", u"UzdarojiAkcineBendroveTiekimoGrupeXYZW",
                  "UzdarojiAkcineBendroveTiekimoGrupeX", "YZW"},
        // Each part is quoted on its own: the cut leaves the blanks to part 2.
        SplitCase{"BlanksOnlyInTheRest", std::u16string(33, u'a') + u" b c d e",
                  std::string(33, 'a'), "\" b c d e\""},
        // 44 characters, two quotes: six quote characters are reserved.
        SplitCase{"WithQuotes", u"UAB \"Saule\" ir partneriai, Vilniaus filialas",
                  "\"UAB \"\"Saule\"\" ir partneriai, Vi\"", "\"lniaus filialas\""},
        SplitCase{"FitsOnePart", u"Muster GmbH", "\"Muster GmbH\"", ""},
        SplitCase{"ExactlyThirtyFive", std::u16string(35, u'n'), std::string(35, 'n'), ""},
        // 35 characters, quoted 37: the part takes 33 and needs no quotes itself.
        SplitCase{"BlankJustPastTheCut", u"a" + std::u16string(32, u'b') + u" c",
                  "a" + std::string(32, 'b'), "\" c\""},
        // Sixteen quotes reserve 34 characters: part 1 is one quote, doubled and enclosed.
        SplitCase{"SixteenQuotes", std::u16string(16, u'"') + u"xy", "\"\"\"\"",
                  "\"" + std::string(30, '"') + "xy\""}),
    [](const ::testing::TestParamInfo<SplitCase>& info) { return info.param.name; });

TEST_F(ExportDocTest, PurposeOverFourPartsDropsTheRest) {
  PaymentDoc doc = ExampleForeignDoc();
  std::u16string purpose;
  for (char16_t c = u'a'; purpose.size() < 200; c = c == u'z' ? u'a' : c + 1) purpose += c;
  doc.Purpose = purpose;
  const std::vector<std::string> fields = Fields(ExportOne(kForeign, doc));
  ASSERT_EQ(fields.size(), 34u);
  const std::string written = U16ToUtf8(purpose);
  for (size_t part = 0; part < 4; ++part) {
    EXPECT_EQ(fields[24 + part], written.substr(part * 35, 35)) << "part " << part + 1;
  }
  EXPECT_EQ(fields[28], "3");
}

TEST_F(ExportDocTest, SplitValueWithMoreQuotesThanTheWidthIsAnInvalidCall) {
  PaymentDoc doc = ExampleForeignDoc();
  doc.PayeeAddress = std::u16string(20, u'"');
  Begin();
  EXPECT_EQ(ExportError(kForeign, doc).number(), kErrInvalidCall);
  End();
  EXPECT_FALSE(folder.Exists(kFPName));
}

}  // namespace
}  // namespace norv::testing
