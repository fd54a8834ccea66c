// Teardown of CBankCl_VB in the middle of an export run and an import run: the
// line converter goes first, then the export files close, then the message
// window, and only then is the statement dialog unloaded (closing its file).
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "component/cbankcl_vb.h"
#include "files/file_numbers.h"
#include "runtime/date.h"
#include "runtime/text.h"
#include "support/bank_files.h"
#include "support/recording_host.h"

namespace norv {
namespace {

using hostkit::Click;
using hostkit::Type;

TEST(TeardownTest, MidRunTeardownReleasesInOrder) {
  testing::ScopedRecordingHost host;
  testing::TempFolder folder;
  const int numbers_before = FileNumbers::InUse();
  folder.WriteBytes("statement.txt", testing::BankFile(testing::SampleStatement()));
  auto bank = std::make_unique<CBankCl_VB>();

  host->Driver().ExpectShow(u"SelectFilesDlg", {Type(u"edPath", folder.u16path()), Click(u"btOk")});
  bank->BeginExport(Date::FromCivil(2024, 1, 1), Date::FromCivil(2024, 1, 31));
  int32_t local = kLocalPayment;
  PaymentDoc doc;
  doc.DocNumber = u"7";
  doc.DocDate = Date::FromCivil(2024, 1, 31);
  doc.Amount = Currency::FromInteger(10);
  doc.CurrencyCode = u"EUR";
  doc.PayerBankCode = u"70440";
  doc.PayerAccount = u"LT1170440";
  doc.PayeeName = u"UAB Rasa";
  doc.PayeeAccount = u"LT2273000";
  bank->ExportDoc(local, doc);

  StHead head;
  head.Account = u"12345678901";
  ASSERT_TRUE(bank->BeginImport(head));
  const int dialog_window = host->MessageWindowsCreated();  // the dialog's, made by its Init
  host->Driver().ExpectShow(
      u"LoadStatementDlg",
      {Type(u"edImpFile", folder.u16path() + u"\\statement.txt"), Click(u"btOk")});
  ASSERT_TRUE(bank->BeginImportByAccount(head));
  ASSERT_TRUE(host->Driver().Problems().empty());
  ASSERT_EQ(FileNumbers::InUse() - numbers_before, 2);  // the DP file and the statement

  std::vector<std::u16string> moments;  // each release, with the file numbers then still taken
  std::string dp_file_at_window;
  host->OnRelease([&](const std::u16string& name) {
    moments.push_back(name + u" / " + IntToText(FileNumbers::InUse() - numbers_before));
    if (name == u"MessageWindow 1") dp_file_at_window = folder.ReadBytes("240131.mok");
  });
  bank.reset();

  // Converter first, both files open; then the object's message window, with the export
  // file closed (its line on disk); the dialog's unload closes the statement file before
  // its own window goes.
  EXPECT_EQ(moments,
            (std::vector<std::u16string>{u"LineConverter 1 / 2", u"MessageWindow 1 / 1",
                                         u"MessageWindow " + IntToText(dialog_window) + u" / 0"}));
  EXPECT_TRUE(dp_file_at_window.starts_with("7,2024.01.31,") && dp_file_at_window.ends_with("\r\n"))
      << dp_file_at_window;
  EXPECT_TRUE(host->Errors().empty());
}

}  // namespace
}  // namespace norv
