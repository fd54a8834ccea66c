// The default host as the component meets it: settings and form values kept
// in the database, and whole runs of the component against it.
#include <gtest/gtest.h>

#include <sstream>

#include "core/cbankcl_vb.h"
#include "hostkit/default_host.h"
#include "hostkit/line_converters.h"
#include "runtime/error_matchers.h"
#include "runtime/text.h"
#include "support/recording_host.h"

namespace norv::hostkit {
namespace {

using norv::testing::TempFolder;

class DefaultHostTest : public ::testing::Test {
 protected:
  std::shared_ptr<DefaultHost> OpenHost() {
    DefaultHost::Options options;
    options.database_path = folder.File("host.db");
    options.out = &out;
    options.err = &err;
    return std::make_shared<DefaultHost>(options);
  }
  void TearDown() override { host::HostLibrary::Install(nullptr); }

  TempFolder folder;
  std::ostringstream out, err;
};

TEST_F(DefaultHostTest, FormValuesOutliveTheHostWithTheirKinds) {
  const std::vector<Variant> values{
      std::u16string(u"C:\\bankas\\"), int32_t{7}, 2.5, Currency::FromRaw(-34528),
      Date::FromCivil(2024, 1, 31),    true};
  {
    auto host = OpenHost();
    for (size_t i = 0; i < values.size(); ++i) {
      host->App().GetFormSettings().WriteFormValue(u"SelectFilesDlg", u"key" + IntToText(i),
                                                   values[i]);
    }
    host->App().GetFormSettings().WriteFormValue(u"SelectFilesDlg", u"key0",
                                                 std::u16string(u"D:\\"));
  }
  auto host = OpenHost();
  for (size_t i = 1; i < values.size(); ++i) {
    Variant read;
    host->App().GetFormSettings().ReadFormValue(u"SelectFilesDlg", u"key" + IntToText(i), read);
    EXPECT_EQ(read, values[i]) << i;
  }
  Variant path = std::u16string(u"untouched");
  host->App().GetFormSettings().ReadFormValue(u"SelectFilesDlg", u"key0", path);
  EXPECT_EQ(path, Variant(std::u16string(u"D:\\")));
  host->App().GetFormSettings().ReadFormValue(u"LoadRateDlgVB", u"key0", path);
  EXPECT_EQ(path, Variant(std::u16string(u"D:\\")));  // nothing kept: left as it was
}

TEST_F(DefaultHostTest, SettingsChooseTheConverterAndTheRegionalPreset) {
  {
    auto host = OpenHost();
    EXPECT_EQ(host->CodePage(), kCodePageWindowsBaltic);
    EXPECT_EQ(host->RegionalPreset(), "lt-LT");
    host->SetCodePage(kCodePageDosBaltic);
    host->SetRegionalPreset("en-US");
    EXPECT_RAISES(host->SetCodePage(437), kErrInvalidCall);
    EXPECT_RAISES(host->SetRegionalPreset("lv-LV"), kErrInvalidCall);
  }
  auto host = OpenHost();
  EXPECT_EQ(host->CodePage(), kCodePageDosBaltic);
  EXPECT_EQ(host->RegionalPreset(), "en-US");
  EXPECT_EQ(host->CreateLineConverter()->Convert(u"ė", host::kConvertToBank), u"Ó");  // 0xD3
}

TEST_F(DefaultHostTest, AnExportRunWritesCodePage775WhenTheSettingSaysSo) {
  auto host = OpenHost();
  host->SetCodePage(kCodePageDosBaltic);
  host::HostLibrary::Install(host);
  host->Driver().ExpectShow(u"SelectFilesDlg", {Type(u"edPath", folder.u16path()), Click(u"btOk")});
  PaymentDoc doc;
  doc.DocNumber = u"125";
  doc.DocDate = Date::FromCivil(2004, 3, 15);
  doc.PayerBankCode = u"70440";
  doc.PayerAccount = u"LT123456789012345678";
  doc.Amount = Currency::FromRaw(12345000);
  doc.CurrencyCode = u"EUR";
  doc.PayeeName = u"Tiekėjas";
  doc.PayeeAccount = u"LT876543210987654321";
  {
    CBankCl_VB bank;
    bank.BeginExport(doc.DocDate, doc.DocDate);
    int32_t local = kLocalPayment;
    bank.ExportDoc(local, doc);
    bool end_by_error = false;
    bank.EndExport(end_by_error);
  }
  EXPECT_EQ(folder.ReadBytes("040315.mok"),
            "125,2004.03.15,,,70440,LT123456789012345678,1234.50,EUR,,Tiek\xD3jas,,"
            "LT876543210987654321,,,\r\n");
  EXPECT_NE(out.str().find(U16ToUtf8(host->Resources().LoadText(987))), std::string::npos);
  EXPECT_EQ(host->ErrorsReported(), 0);
  EXPECT_TRUE(host->Driver().Problems().empty());
}

TEST_F(DefaultHostTest, ADialogErrorIsPrintedAndCounted) {
  auto host = OpenHost();
  host::HostLibrary::Install(host);
  host->Driver().ExpectShow(
      u"LoadStatementDlg",
      {Type(u"edImpFile", Utf8ToU16(folder.File("nera.txt"))), Click(u"btOk")});
  CBankCl_VB bank;
  StHead head;
  head.Account = u"12345678901";
  bank.BeginImport(head);
  EXPECT_FALSE(bank.BeginImportByAccount(head));
  bank.EndImport();
  EXPECT_EQ(host->ErrorsReported(), 1);
  EXPECT_EQ(err.str().rfind("error 53: LoadStatementDlg::btOk_Click: ", 0), 0u) << err.str();
}

}  // namespace
}  // namespace norv::hostkit
