// Payment-order lines as they land in the DP and FP files: field order, value
// formats, quoting, maxima, required fields, split fields and the errors.
#include <functional>
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

TEST_F(ExportDocTest, ExampleLinesGoToTheirFilesAndEveryDocTypeButOneIsForeign) {
  PaymentDoc foreign = ExampleForeignDoc();  // unnamed fields do not change the line
  foreign.Unnamed5 = foreign.Unnamed12 = foreign.Unnamed23 = u"x y";
  foreign.Unnamed28 = foreign.Unnamed29 = foreign.Unnamed30 = foreign.Unnamed31 = u"\"";
  foreign.Unnamed17 = 99;
  foreign.AltPurpose = u"never read by the foreign layout";
  Begin();
  Export(kLocal, ExampleLocalDoc());
  for (int32_t type : {0, 2, -1, 7}) Export(type, foreign);
  End();
  const std::string line = kExampleForeignLine + "\r\n";
  EXPECT_EQ(folder.ReadBytes(kDPName), kExampleLocalLine + "\r\n");
  EXPECT_EQ(folder.ReadBytes(kFPName), line + line + line + line);
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

TEST_F(ExportDocTest, LocalDocumentWithOnlyRequiredFieldsKeepsFifteenFields) {
  PaymentDoc doc;
  doc.PayerBankCode = u"70440";
  doc.PayerAccount = u"LT1";
  doc.CurrencyCode = u"EUR";
  doc.PayeeName = u"P";
  doc.PayeeAccount = u"LT2";
  doc.DocDate = Date::FromCivil(2024, 2, 29);
  doc.PaymentType = 9;  // the local layout has no payment type
  EXPECT_EQ(ExportOne(kLocal, doc), "0,2024.02.29,,,70440,LT1,0.00,EUR,,P,,LT2,,,\r\n");
}

// The wait indicator is held for each call only, the converter's time included.
TEST_F(ExportDocTest, LineGoesThroughTheConverterInModeOneUnderAWaitIndicator) {
  int alive_while_converting = -1;
  host->SetConverter([&](const std::u16string& text, int32_t mode) {
    alive_while_converting = host->WaitIndicatorsAlive();
    return u"<" + IntToText(mode) + u">" + text;
  });
  Begin();
  Export(kLocal, ExampleLocalDoc());
  EXPECT_EQ(alive_while_converting, 1);
  Export(kForeign, ExampleForeignDoc());
  PaymentDoc bad = ExampleLocalDoc();
  bad.PayeeName.clear();
  ExportError(kLocal, bad);
  EXPECT_EQ(host->WaitIndicatorsCreated(), 3);
  EXPECT_EQ(host->WaitIndicatorsAlive(), 0);
  End();
  EXPECT_EQ(folder.ReadBytes(kDPName), "<1>" + kExampleLocalLine + "\r\n");
  EXPECT_EQ(folder.ReadBytes(kFPName), "<1>" + kExampleForeignLine + "\r\n");
  ASSERT_EQ(host->ConverterCalls().size(), 2u);
  EXPECT_EQ(host->ConverterCalls()[0].mode, 1);
  EXPECT_EQ(U16ToUtf8(host->ConverterCalls()[0].text), kExampleLocalLine);
  EXPECT_EQ(host->LineConvertersCreated(), 1);
}

// --- Value formats --------------------------------------------------------

TEST_F(ExportDocTest, DocumentNumbersKeepTheNumericPartWithoutLeadingZeros) {
  const std::u16string separator(1, RegionalSettings::Current().decimal_separator);
  const struct {
    std::u16string number;
    std::string written;
  } cases[] = {{u"000125", "125"},
               {u"0042", "42"},
               {u"15A", "15"},
               {u"A15", "0"},
               {u"", "0"},
               {u"12 34", "1234"},
               {u"123456789", "123456789"},
               {u"12.50", U16ToUtf8(u"12" + separator + u"5")}};
  for (const auto& c : cases) {
    PaymentDoc doc = ExampleLocalDoc();
    doc.DocNumber = c.number;
    EXPECT_EQ(ExportOne(kLocal, doc).substr(0, c.written.size() + 1), c.written + ",")
        << U16ToUtf8(c.number);
  }
}

TEST_F(ExportDocTest, AmountsHaveTwoDecimalsWithAPoint) {
  const struct {
    Currency amount;
    std::string written;
  } cases[] = {{Currency::FromDouble(1234.5), "1234.50"},
               {Currency(), "0.00"},
               {Currency::FromDouble(0.004), "0.00"},
               {Currency::FromDouble(2.999), "3.00"},
               {Currency::FromDouble(-1234.5), "-1234.50"},
               {Currency::FromDouble(99999999999.99), "99999999999.99"},
               {Currency::FromDouble(-9999999999.99), "-9999999999.99"}};
  for (const auto& c : cases) {
    PaymentDoc doc = ExampleLocalDoc();
    doc.Amount = c.amount;
    const std::string prefix =
        "125,2004.03.15,123456789,\"Pavyzdys ir Ko\",70440,"
        "LT123456789012345678," +
        c.written + ",LTL,";
    EXPECT_EQ(ExportOne(kLocal, doc).substr(0, prefix.size()), prefix);
  }
}

TEST_F(ExportDocTest, DateOfAnyDocumentIsYearMonthDayWithPoints) {
  PaymentDoc doc = ExampleForeignDoc();
  doc.DocDate = Date::FromCivil(1999, 12, 31, 23, 59, 0);
  EXPECT_EQ(ExportOne(kForeign, doc).substr(0, 13), "7,1999.12.31,");
}

// --- Quoting ----------------------------------------------------------------

// The local purpose is the last field, so the line ends with the written value.
TEST_F(ExportDocTest, QuotedWhenBlankOrQuoteInside) {
  const struct {
    std::u16string value;
    std::string written;
  } cases[] = {{u"", ""},
               {u"Vilnius,LT", "Vilnius,LT"},
               {u"Vilnius LT", "\"Vilnius LT\""},
               {u"12\"A", "\"12\"\"A\""},
               {u"\"", "\"\"\"\""},
               {u" ", "\" \""},
               {u" x ", "\" x \""},
               {u"a\tb;c'd", "a\tb;c'd"},
               {u",", ","},
               {u"\"a b\"", "\"\"\"a b\"\"\""}};
  const std::string prefix = kExampleLocalLine.substr(0, kExampleLocalLine.rfind(",,,") + 3);
  for (const auto& c : cases) {
    PaymentDoc doc = ExampleLocalDoc();
    doc.Purpose = c.value;
    EXPECT_EQ(ExportOne(kLocal, doc), prefix + c.written + "\r\n") << c.written;
  }
}

// --- Maxima and required fields -------------------------------------------

// A text field of the PaymentDoc, where it lands in the line and its checks.
struct FieldCase {
  int32_t doc_type;
  std::u16string PaymentDoc::*member;
  size_t position;  // 0-based field index in the written line
  size_t max;
  bool required;
  std::u16string label;
};

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

// Errors first: a failed run leaves no file behind to hide a later one.
TEST_P(FieldCheckTest, MaximumAndRequiredChecks) {
  const FieldCase& c = GetParam();
  const bool local_purpose = c.member == &PaymentDoc::Purpose && c.doc_type == kLocal;
  const std::u16string longer(c.max + 1, u'7');
  if (!local_purpose) ExpectFieldError(longer, kErrValueTooLong, longer);
  // One blank fewer than the maximum still needs the two enclosing quotes.
  std::u16string quoted(c.max - 1, u'7');
  quoted[0] = u' ';
  ExpectFieldError(quoted, kErrValueTooLong, u"\"" + quoted + u"\"");
  if (c.required) ExpectFieldError(u"", kErrRequiredEmpty, u"");

  PaymentDoc doc = ExampleOf(c.doc_type);
  doc.*c.member = std::u16string(c.max, u'7');
  std::vector<std::string> fields = Fields(ExportOne(c.doc_type, doc));
  ASSERT_EQ(fields.size(), c.doc_type == kLocal ? 15u : 34u);
  EXPECT_EQ(fields[c.position], std::string(c.max, '7'));
  if (local_purpose) {
    // A longer local purpose is not checked but replaced by AltPurpose (empty here).
    doc.Purpose = longer;
    EXPECT_EQ(Fields(ExportOne(kLocal, doc))[c.position], "");
  }
  if (!c.required) {
    doc.*c.member = u"";
    EXPECT_EQ(Fields(ExportOne(c.doc_type, doc))[c.position], "");
  }
}

const FieldCase kFieldCases[] = {
    {kLocal, &PaymentDoc::PayerCode, 2, 15, false, u"Moketojo kodas"},
    {kLocal, &PaymentDoc::PayerName, 3, 60, false, u"Moketojo pavadinimas"},
    {kLocal, &PaymentDoc::PayerBankCode, 4, 9, true, u"Moketojo banko kodas"},
    {kLocal, &PaymentDoc::PayerAccount, 5, 20, true, u"Moketojo saskaita"},
    {kLocal, &PaymentDoc::CurrencyCode, 7, 3, true, u"Valiuta"},
    {kLocal, &PaymentDoc::PayeeCode, 8, 15, false, u"Gavejo kodas"},
    {kLocal, &PaymentDoc::PayeeName, 9, 60, true, u"Gavejo pavadinimas"},
    {kLocal, &PaymentDoc::PayeeBankCode, 10, 9, false, u"Gavejo banko kodas"},
    {kLocal, &PaymentDoc::PayeeAccount, 11, 20, true, u"Gavejo saskaita"},
    {kLocal, &PaymentDoc::PurposeCode, 13, 5, false, u"Mokejimo pask. kodas"},
    {kLocal, &PaymentDoc::Purpose, 14, 140, false, u"Mokejimo paskirtis"},
    {kForeign, &PaymentDoc::CurrencyCode, 3, 3, true, u"Valiuta"},
    {kForeign, &PaymentDoc::PayerAccount, 5, 20, true, u"Moketojo saskaita"},
    {kForeign, &PaymentDoc::PayerBankCode, 6, 9, true,
     u"Banko, kurio prasymu vykdomas pavedimas, kodas"},
    {kForeign, &PaymentDoc::PayeeBankSwift, 13, 11, false, u"Gavejo banko SWIFT"},
    {kForeign, &PaymentDoc::PayeeBankCode, 14, 34, false, u"Gavejo banko kodas"},
    {kForeign, &PaymentDoc::PayeeAccount, 19, 34, true, u"Gavejo saskaita"},
    {kForeign, &PaymentDoc::ChargesAccount, 32, 20, true, u"Komisiniu mokesciu saskaita"},
    {kForeign, &PaymentDoc::ChargesCurrency, 33, 3, true, u"Komisinių mokesčių sąskaitos valiuta"},
};

INSTANTIATE_TEST_SUITE_P(Layouts, FieldCheckTest, ::testing::ValuesIn(kFieldCases),
                         [](const ::testing::TestParamInfo<FieldCase>& info) {
                           return (info.param.doc_type == kLocal ? "LocalField" : "ForeignField") +
                                  std::to_string(info.param.position);
                         });

// Errors of values that are not plain text fields.
TEST_F(ExportDocTest, ValueErrorsRaiseWithSourceAndDescriptionAndWriteNothing) {
  const struct {
    const char* name;
    int32_t doc_type;
    std::function<void(PaymentDoc&)> change;
    int32_t number;
    std::u16string label;
    std::u16string value_in_message;
  } cases[] = {
      {"DocNumberOfTenDigits", kLocal, [](PaymentDoc& d) { d.DocNumber = u"0001234567890"; },
       kErrValueTooLong, u"Numeris", u"1234567890"},
      {"AmountOfFifteenCharacters", kLocal,
       [](PaymentDoc& d) { d.Amount = Currency::FromInteger(100000000000); }, kErrValueTooLong,
       u"Suma", u"100000000000.00"},
      {"NegativeAmountOfFifteenCharacters", kForeign,
       [](PaymentDoc& d) { d.Amount = Currency::FromDouble(-99999999999.99); }, kErrValueTooLong,
       u"Suma", u"-99999999999.99"},
      {"PaymentTypeZero", kForeign, [](PaymentDoc& d) { d.PaymentType = 0; }, kErrBadPaymentType,
       u"Tipas", u"0"},
      {"PaymentTypeFour", kForeign, [](PaymentDoc& d) { d.PaymentType = 4; }, kErrBadPaymentType,
       u"Tipas", u"4"},
      {"PaymentTypeNegative", kForeign, [](PaymentDoc& d) { d.PaymentType = -1; },
       kErrBadPaymentType, u"Tipas", u"-1"},
      {"ForeignBankChargesTwoDigits", kForeign, [](PaymentDoc& d) { d.ForeignBankCharges = 12; },
       kErrValueTooLong, u"Uzsienio banko mokesciai", u"12"},
      {"ForeignBankChargesNegative", kForeign, [](PaymentDoc& d) { d.ForeignBankCharges = -1; },
       kErrValueTooLong, u"Uzsienio banko mokesciai", u"-1"},
      {"PayeeBankNameEmpty", kForeign, [](PaymentDoc& d) { d.PayeeBankName.clear(); },
       kErrRequiredEmpty, u"Gavejo banko pavadinimas 1", u""},
      {"ForeignPayeeNameEmpty", kForeign, [](PaymentDoc& d) { d.PayeeName.clear(); },
       kErrRequiredEmpty, u"Gavejo pavadinimas 1", u""},
      // Charges are optional only for the charges code 3 of the example.
      {"ChargesAccountEmptyForCodeZero", kForeign,
       [](PaymentDoc& d) {
         d.ForeignBankCharges = 0;
         d.ChargesAccount.clear();
       },
       kErrRequiredEmpty, u"Komisiniu mokesciu saskaita", u""},
      {"AltPurposeWithQuotesOverflowingTheCut", kLocal,
       [](PaymentDoc& d) {
         d.Purpose = std::u16string(141, u'p');
         d.AltPurpose = u"\"" + std::u16string(137, u'a');
       },
       kErrValueTooLong, u"Mokejimo paskirtis", u"\"\"\"" + std::u16string(137, u'a') + u"\""}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
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

TEST_F(ExportDocTest, PayeeNameSplitsOverTwoParts) {
  const struct {
    std::u16string payee_name;
    std::string part1, part2;
  } cases[] = {
      // 40 characters with blanks: 33 in the first part leave room for its quotes.
      {u"Uzdaroji akcine bendrove Tiekimo grupe X", "\"Uzdaroji akcine bendrove Tiekimo \"",
       "\"grupe X\""},
      {u"UzdarojiAkcineBendroveTiekimoGrupeXYZW", "UzdarojiAkcineBendroveTiekimoGrupeX", "YZW"},
      // Each part is quoted on its own: the cut leaves the blanks to part 2.
      {std::u16string(33, u'a') + u" b c d e", std::string(33, 'a'), "\" b c d e\""},
      // 44 characters, two quotes: six quote characters are reserved.
      {u"UAB \"Saule\" ir partneriai, Vilniaus filialas", "\"UAB \"\"Saule\"\" ir partneriai, Vi\"",
       "\"lniaus filialas\""},
      {u"Muster GmbH", "\"Muster GmbH\"", ""},
      {std::u16string(35, u'n'), std::string(35, 'n'), ""},
      // 35 characters, quoted 37: the part takes 33 and needs no quotes itself.
      {u"a" + std::u16string(32, u'b') + u" c", "a" + std::string(32, 'b'), "\" c\""},
      // Sixteen quotes reserve 34 characters: part 1 is one quote, doubled and enclosed.
      {std::u16string(16, u'"') + u"xy", "\"\"\"\"", "\"" + std::string(30, '"') + "xy\""}};
  for (const auto& c : cases) {
    PaymentDoc doc = ExampleForeignDoc();
    doc.PayeeName = c.payee_name;
    EXPECT_EQ(ExportOne(kForeign, doc),
              "7,2004.03.15,1,EUR,2500.00,LT123456789012345678,70440,,,,,,,BANKDEFF,,"
              "\"Beispiel Bank\",,,,DE00123456780000000000," +
                  c.part1 + "," + c.part2 + ",,,\"Invoice 2004-15\",,,,3,,,,,\r\n")
        << U16ToUtf8(c.payee_name);
  }
}

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
