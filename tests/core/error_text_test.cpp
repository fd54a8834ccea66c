// The shared text routines of CBankCl_VB: ErrorText, DocErrorText and the line
// converter created on first use.
#include <gtest/gtest.h>

#include <string>
#include <tuple>

#include "component/cbankcl_vb.h"
#include "core/error_numbers.h"
#include "core/resource_ids.h"
#include "support/recording_host.h"

namespace norv {

struct CBankClTestPeer {
  static std::u16string ErrorText(CBankCl_VB& bank, int32_t number, const std::u16string& arg0,
                                  const std::u16string& arg1) {
    return bank.ErrorText(number, arg0, arg1);
  }
  static std::u16string DocErrorText(CBankCl_VB& bank, const std::u16string& no,
                                     const std::u16string& date, const std::u16string& text) {
    bank.m_sDocNo = no;
    bank.m_sDocDate = date;
    return bank.DocErrorText(text);
  }
  static host::LineConverter& Converter(CBankCl_VB& bank) { return bank.LineConverterOnFirstUse(); }
};

namespace {

using Peer = CBankClTestPeer;

class ErrorTextTest : public ::testing::Test {
 protected:
  void SetUp() override {
    host->SetText(990, u"Eksportas atšauktas.");
    host->SetText(992, u"Nepavyko įrašyti.");
    host->SetText(res::kErrorArgsTemplate, u"Failas: %0; eilutė: %1.");
    host->SetText(res::kDocErrorTemplate, u"Dok. Nr. %0 iš %1, laukas „%2“");
  }
  testing::ScopedRecordingHost host;
  CBankCl_VB bank;
};

TEST_F(ErrorTextTest, ArgumentsAddTheFilledTemplateOnANewLine) {
  using E = std::tuple<int32_t, std::u16string, std::u16string, std::u16string>;
  for (const auto& [number, arg0, arg1, expected] :
       {E{kErrExportCancelled, u"", u"", u"Eksportas atšauktas."},
        E{kErrExportCancelled, u"", u"eilutė", u"Eksportas atšauktas."},  // second alone ignored
        E{kErrLineNotWritten, u"C:\\b\\240131.mok", u"1,2,\"A B\"",
          u"Nepavyko įrašyti.\r\nFailas: C:\\b\\240131.mok; eilutė: 1,2,\"A B\"."},
        E{kErrLineNotWritten, u"a.mok", u"", u"Nepavyko įrašyti.\r\nFailas: a.mok; eilutė: ."},
        E{1109, u"x", u"y", u"\r\nFailas: x; eilutė: y."},  // a number without a text
        E{1109, u"", u"", u""}}) {
    EXPECT_EQ(Peer::ErrorText(bank, number, arg0, arg1), expected) << number;
  }
  host->SetText(res::kErrorArgsTemplate, u"");
  EXPECT_EQ(Peer::ErrorText(bank, kErrLineNotWritten, u"a", u"b"), u"Nepavyko įrašyti.\r\n");
}

TEST_F(ErrorTextTest, DocErrorTextNamesNumberDateAndField) {
  EXPECT_EQ(Peer::DocErrorText(bank, u"000125", u"2024.01.31", u"Suma"),
            u"Dok. Nr. 000125 iš 2024.01.31, laukas „Suma“");
  // The field text comes in first and meets the date's replacement; the number
  // comes in last, so a "%2" in it stays as it is.
  EXPECT_EQ(Peer::DocErrorText(bank, u"%2", u"D", u"L%1"), u"Dok. Nr. %2 iš D, laukas „LD“");
  host->SetText(res::kDocErrorTemplate, u"");
  EXPECT_EQ(Peer::DocErrorText(bank, u"1", u"2024.01.31", u"Suma"), u"");
}

TEST_F(ErrorTextTest, LineConverterIsCreatedOnceOnFirstUse) {
  EXPECT_EQ(host->LineConvertersCreated(), 0);
  host::LineConverter& first = Peer::Converter(bank);
  EXPECT_EQ(&first, &Peer::Converter(bank));
  EXPECT_EQ(host->LineConvertersCreated(), 1);
  EXPECT_EQ(first.Convert(u"ą", host::kConvertToBank), u"ą");
  ASSERT_EQ(host->ConverterCalls().size(), 1u);
  EXPECT_EQ(host->ConverterCalls()[0].mode, host::kConvertToBank);
}

}  // namespace
}  // namespace norv
