// LoadRateDlgVB: the rate import dialog. The user picks the rate file and,
// for each of the file's six rate columns, the host rate type it is stored
// under (a column left without a type is not imported). OK reads the file and
// writes every rate through a new CLoadRate, then reports how many currency
// lines were handled. The OK/Cancel frame and the modal show belong to the
// host's DialogForm, to which the dialog attaches itself on every Run.
//
// A rate file line: characters 4-6 the currency code, then six 17-character
// rate fields at 39, 57, 75, 93, 111 and 129. The currency lines come first,
// then a line whose first 10 characters are the rate date, then "GALAS".
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "files/browse_path.h"
#include "files/cfile.h"
#include "forms/form.h"
#include "host/dialog_form.h"
#include "rates/load_rate.h"
#include "runtime/currency.h"
#include "runtime/date.h"

namespace norv {

class LoadRateDlgVB : public forms::Form, private host::DialogFormEvents {
 public:
  LoadRateDlgVB();
  ~LoadRateDlgVB() override;

  // Shows the dialog with the folder kept under KeyPath ("RazizeRuveRO" when
  // empty; the caller's variable receives it) and FileName in the file box.
  // Returns true when the dialog ran to its end, false after an error, which
  // goes to ReportError and leaves this run's members in place.
  bool Run(std::u16string& KeyPath, std::u16string& FileName,
           const std::u16string& FileFilter = u"");

  forms::Frame& Frame1;
  forms::TextBox& edLBRateFile;
  forms::CommandButton& btSelectDPFile;
  forms::Frame& Frame2;
  forms::Label& Label2;
  forms::HostCombo& cbLBRateType;
  forms::Label& Label4;
  forms::HostCombo& cbCashBuyRateType;
  forms::Label& Label5;
  forms::HostCombo& cbCashSellRateType;
  forms::Label& Label6;
  forms::HostCombo& cbBuyRateType;
  forms::Label& Label7;
  forms::HostCombo& cbSellRateType;
  forms::Label& Label1;
  forms::HostCombo& cbCheckRateType;
  forms::Label& lbStatus;
  forms::CommandButton& btOk;
  forms::CommandButton& btCancel;

 private:
  // host::DialogFormEvents; both trap their errors.
  void m_oForm_BeforeShow() override;
  void m_oForm_btOKClick(bool& IsOk, std::u16string& ErrMessage) override;

  // The reader.
  void LoadRateFromFile();
  void ReadRateDate(Date& RateDate, bool& Ok);
  void ShowAndWriteRate(const std::u16string& CurrencyCode, const std::u16string& RateType,
                        Date RateDate, Currency Rate);
  void StrToRate(const std::u16string& Text, Currency& Rate);
  [[noreturn]] void RaiseCannotOpen(const std::u16string& Source);

  std::unique_ptr<host::DialogForm> m_oForm;
  std::unique_ptr<CFile> m_oRateFile;
  std::unique_ptr<CBrowsePath> m_oBrowse;
  std::unique_ptr<CLoadRate> m_oRate;
  int16_t m_iRateCount = 0;
};

}  // namespace norv
