// Shared set-up of the export tests: a recording host, a temporary target
// folder, a CBankCl_VB and the two example payments of the bank's format.
#pragma once

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "component/cbankcl_vb.h"
#include "core/error_numbers.h"
#include "core/records.h"
#include "runtime/com_error.h"
#include "runtime/date.h"
#include "runtime/regional.h"
#include "runtime/text.h"
#include "support/recording_host.h"

namespace norv::testing {

// The run's end date gives the proposed names 240131.mok and 240131.tar.
inline Date RunEnd() { return Date::FromCivil(2024, 1, 31); }
inline constexpr char kDPName[] = "240131.mok";
inline constexpr char kFPName[] = "240131.tar";
inline constexpr int32_t kLocal = 1;
inline constexpr int32_t kForeign = 2;

inline PaymentDoc ExampleLocalDoc() {
  PaymentDoc doc;
  doc.DocNumber = u"000125";
  doc.DocDate = Date::FromCivil(2004, 3, 15);
  doc.PayerCode = u"123456789";
  doc.PayerName = u"Pavyzdys ir Ko";
  doc.PayerBankCode = u"70440";
  doc.PayerAccount = u"LT123456789012345678";
  doc.Amount = Currency::FromDouble(1234.5);
  doc.CurrencyCode = u"LTL";
  doc.PayeeName = u"Tiekejas";
  doc.PayeeBankCode = u"73000";
  doc.PayeeAccount = u"LT876543210987654321";
  doc.Purpose = u"Saskaita Nr. 15";
  return doc;
}
inline const std::string kExampleLocalLine =
    "125,2004.03.15,123456789,\"Pavyzdys ir Ko\",70440,LT123456789012345678,1234.50,LTL,,"
    "Tiekejas,73000,LT876543210987654321,,,\"Saskaita Nr. 15\"";

inline PaymentDoc ExampleForeignDoc() {
  PaymentDoc doc;
  doc.DocNumber = u"7";
  doc.DocDate = Date::FromCivil(2004, 3, 15);
  doc.PaymentType = 1;
  doc.CurrencyCode = u"EUR";
  doc.Amount = Currency::FromInteger(2500);
  doc.PayerAccount = u"LT123456789012345678";
  doc.PayerBankCode = u"70440";
  doc.PayeeBankSwift = u"BANKDEFF";
  doc.PayeeBankName = u"Beispiel Bank";
  doc.PayeeAccount = u"DE00123456780000000000";
  doc.PayeeName = u"Muster GmbH";
  doc.Purpose = u"Invoice 2004-15";
  doc.ForeignBankCharges = 3;
  return doc;
}
inline const std::string kExampleForeignLine =
    "7,2004.03.15,1,EUR,2500.00,LT123456789012345678,70440,,,,,,,BANKDEFF,,\"Beispiel Bank\",,,,"
    "DE00123456780000000000,\"Muster GmbH\",,,,\"Invoice 2004-15\",,,,3,,,,,";

// Simple templates for the error texts, so that expected sources and
// descriptions read plainly: source "<number> <date>: <label>", description
// "<text of the number>\r\n[<label>|<value>]".
inline constexpr char16_t kDocErrorTemplate[] = u"%0 %1: %2";
inline constexpr char16_t kErrorArgsTemplate[] = u"[%0|%1]";

class ExportTest : public ::testing::Test {
 protected:
  ExportTest() {
    host->SetText(1198, kDocErrorTemplate);
    host->SetText(1199, kErrorArgsTemplate);
    bank = std::make_unique<CBankCl_VB>();
  }

  // Confirms the target dialog with the given folder (the temporary folder
  // when empty) and the proposed names.
  void Begin(const std::u16string& target = u"", Date end = RunEnd()) {
    host->Driver().ExpectShow(u"SelectFilesDlg",
                              {hostkit::Type(u"edPath", target.empty() ? folder.u16path() : target),
                               hostkit::Click(u"btOk")});
    bank->BeginExport(Date(), end);
  }
  void Export(int32_t doc_type, PaymentDoc doc) { bank->ExportDoc(doc_type, doc); }
  // The error that ExportDoc raises; fails the test when it raises none.
  ComError ExportError(int32_t doc_type, PaymentDoc doc) {
    try {
      bank->ExportDoc(doc_type, doc);
    } catch (const ComError& error) {
      return error;
    }
    ADD_FAILURE() << "ExportDoc raised no error";
    return ComError(0, u"", u"");
  }
  void End(bool by_error = false) { bank->EndExport(by_error); }

  // The text of the summary that EndExport shows for the two counts.
  std::u16string Summary(int dp_count, int fp_count) {
    return host->Text(987) + u"\r\n\r\n" + host->Text(988) + u" - " + IntToText(dp_count) +
           u"\r\n" + host->Text(989) + u" - " + IntToText(fp_count);
  }
  // The source of a field error of the document being exported.
  static std::u16string FieldSource(const std::u16string& doc_no, Date doc_date,
                                    const std::u16string& label) {
    return doc_no + u" " + RegionalSettings::Current().FormatShortDate(doc_date) + u": " + label;
  }
  // The description of a component error with a label and a value.
  std::u16string FieldDescription(int32_t number, const std::u16string& label,
                                  const std::u16string& value) {
    return host->Text(DescriptionId(number)) + u"\r\n[" + label + u"|" + value + u"]";
  }
  // The resource ids of the descriptions of the component's numbers.
  static int32_t DescriptionId(int32_t number) {
    static const std::map<int32_t, int32_t> ids = {{kErrExportCancelled, 990},
                                                   {kErrBadPaymentType, 991},
                                                   {kErrLineNotWritten, 992},
                                                   {kErrRequiredEmpty, 1196},
                                                   {kErrValueTooLong, 1197}};
    return ids.at(number);
  }

  ScopedRecordingHost host;
  TempFolder folder;
  std::unique_ptr<CBankCl_VB> bank;
};

}  // namespace norv::testing
