#include "rates/load_rate_dlg.h"

#include <array>

#include "core/error_numbers.h"
#include "core/messages.h"
#include "core/resource_ids.h"
#include "host/host_library.h"
#include "rates/define_module.h"
#include "runtime/com_error.h"
#include "runtime/regional.h"
#include "runtime/text.h"

namespace norv {

namespace {

constexpr char16_t kDefaultKeyPath[] = u"RazizeRuveRO";
constexpr char16_t kRateBook[] = u"REFRateType";
constexpr char16_t kEndLine[] = u"GALAS";
constexpr size_t kDateLength = 10;
constexpr size_t kCodeStart = 4;
constexpr size_t kCodeLength = 3;
constexpr size_t kRateLength = 17;
// The file gives 8 decimals; the rate travels scaled by this so that the
// 4-decimal amount type keeps all of them.
constexpr int32_t kRateKoef = 10000;

}  // namespace

LoadRateDlgVB::LoadRateDlgVB()
    : forms::Form(u"LoadRateDlgVB", u"#4017", u"Tahoma"),
      Frame1(AddControl<forms::Frame>(u"Frame1", u"#4014")),
      edLBRateFile(AddControl<forms::TextBox>(u"edLBRateFile")),
      btSelectDPFile(AddControl<forms::CommandButton>(u"btSelectDPFile", u"Books")),
      Frame2(AddControl<forms::Frame>(u"Frame2", u"#4008")),
      Label2(AddControl<forms::Label>(u"Label2", u"#4013")),
      cbLBRateType(AddControl<forms::HostCombo>(u"cbLBRateType", kRateBook)),
      Label4(AddControl<forms::Label>(u"Label4", u"#4012")),
      cbCashBuyRateType(AddControl<forms::HostCombo>(u"cbCashBuyRateType", kRateBook)),
      Label5(AddControl<forms::Label>(u"Label5", u"#4011")),
      cbCashSellRateType(AddControl<forms::HostCombo>(u"cbCashSellRateType", kRateBook)),
      Label6(AddControl<forms::Label>(u"Label6", u"#4010")),
      cbBuyRateType(AddControl<forms::HostCombo>(u"cbBuyRateType", kRateBook)),
      Label7(AddControl<forms::Label>(u"Label7", u"#4009")),
      cbSellRateType(AddControl<forms::HostCombo>(u"cbSellRateType", kRateBook)),
      Label1(AddControl<forms::Label>(u"Label1", u"#4016")),
      cbCheckRateType(AddControl<forms::HostCombo>(u"cbCheckRateType", kRateBook)),
      lbStatus(AddControl<forms::Label>(u"lbStatus", u"")),
      btOk(AddControl<forms::CommandButton>(u"btOk", u"OK")),
      btCancel(AddControl<forms::CommandButton>(u"btCancel", u"Cancel")) {}

LoadRateDlgVB::~LoadRateDlgVB() {
  // The same order as the end of Run; all of them are gone already unless a
  // Run failed.
  m_oRate.reset();
  m_oBrowse.reset();
  m_oRateFile.reset();
  m_oForm.reset();
}

bool LoadRateDlgVB::Run(std::u16string& KeyPath, std::u16string& FileName,
                        const std::u16string& FileFilter) {
  return TrapErrors(u"", [&] {
    host::HostLibrary& library = host::HostLibrary::Current();
    m_oForm = library.CreateDialogForm();
    m_oForm->SetEvents(this);
    m_oForm->Attach(*this, btOk, btCancel, nullptr, true, true);
    m_oRateFile = std::make_unique<CFile>();
    if (KeyPath.empty()) KeyPath = kDefaultKeyPath;
    m_oRateFile->SetPath(m_oRateFile->PathByPathKey(KeyPath));
    m_oRateFile->SetFileName(FileName);
    edLBRateFile.SetText(m_oRateFile->CrFullName());

    m_oBrowse = std::make_unique<CBrowsePath>();
    int32_t select = enShowDialog::File;
    Variant start_path = edLBRateFile.Text();
    m_oBrowse->Init(edLBRateFile, btSelectDPFile, select, start_path, true, FileFilter);

    m_oForm->ShowDialog();

    m_oRate.reset();
    m_oBrowse.reset();
    m_oRateFile.reset();
    m_oForm.reset();
  });
}

void LoadRateDlgVB::m_oForm_BeforeShow() {
  TrapErrors(u"", [&] {
    if (edLBRateFile.Text().empty()) edLBRateFile.SetText(m_oRateFile->CrFullName());
  });
}

void LoadRateDlgVB::m_oForm_btOKClick(bool& IsOk, std::u16string& ErrMessage) {
  // Held until the handler ends, the error report included.
  std::unique_ptr<host::WaitIndicator> wait;
  try {
    IsOk = true;
    const std::array<const forms::HostCombo*, 6> combos = {&cbLBRateType,       &cbCashBuyRateType,
                                                           &cbCashSellRateType, &cbBuyRateType,
                                                           &cbSellRateType,     &cbCheckRateType};
    bool any_chosen = false;
    for (const forms::HostCombo* combo : combos) {
      if (!combo->SelectedCode().empty()) any_chosen = true;
    }
    if (!any_chosen) {
      IsOk = false;
      ErrMessage = LoadResourceText(res::kNoRateTypeChosen);
      return;
    }

    host::HostLibrary& library = host::HostLibrary::Current();
    wait = library.CreateWaitIndicator();
    m_oRate = std::make_unique<CLoadRate>();
    m_iRateCount = 0;
    LoadRateFromFile();

    const std::unique_ptr<host::MessageWindow> message = library.CreateMessageWindow();
    host::ShowSimpleMessage(*message,
                            LoadResourceText(res::kRateSummary) + u" " + IntToText(m_iRateCount),
                            host::kMessageInformation);
  } catch (ComError& error) {
    error.set_number(kErrRateLoadFailed);
    ReportError(error);
  }
}

void LoadRateDlgVB::LoadRateFromFile() {
  if (edLBRateFile.Text().empty()) return;
  Date RateDate;
  bool Ok = false;
  ReadRateDate(RateDate, Ok);
  if (!Ok) return;

  std::u16string full_name = edLBRateFile.Text();
  if (!m_oRateFile->OpenFile(full_name)) {
    RaiseCannotOpen(u"Norv_ClientBank.LoadRateDlgVB::LoadRateFromFile");
  }
  // The date line is known only by the short date form the system renders;
  // under another form it and the end line pass as currency lines.
  const std::u16string date_line = RegionalSettings::Current().FormatShortDate(RateDate);
  struct Column {
    forms::HostCombo* combo;
    size_t start;
  };
  const std::array<Column, 6> columns = {{{&cbLBRateType, 39},
                                          {&cbCashBuyRateType, 57},
                                          {&cbCashSellRateType, 75},
                                          {&cbBuyRateType, 93},
                                          {&cbSellRateType, 111},
                                          {&cbCheckRateType, 129}}};
  std::u16string line;
  while (m_oRateFile->ReadStr(line)) {
    if (Left(line, kDateLength) == date_line) break;
    const std::u16string CurrencyCode = Mid(line, kCodeStart, kCodeLength);
    CheckedIncrement(m_iRateCount);
    for (const Column& column : columns) {
      const std::u16string RateType = column.combo->SelectedCode();
      Currency Rate;
      StrToRate(Mid(line, column.start, kRateLength), Rate);
      ShowAndWriteRate(CurrencyCode, RateType, RateDate, Rate);
    }
  }
}

void LoadRateDlgVB::ReadRateDate(Date& RateDate, bool& Ok) {
  Ok = false;
  std::u16string full_name = edLBRateFile.Text();
  if (!m_oRateFile->OpenFile(full_name)) {
    RaiseCannotOpen(u"Norv_ClientBank.LoadRateDlgVB::ReadRateDate");
  }
  std::u16string remembered;
  std::u16string line;
  while (m_oRateFile->ReadStr(line)) {
    if (line == kEndLine) {
      RateDate = RegionalSettings::Current().ParseDate(remembered);
      Ok = true;
      return;
    }
    remembered = Left(line, kDateLength);
  }
}

void LoadRateDlgVB::ShowAndWriteRate(const std::u16string& CurrencyCode,
                                     const std::u16string& RateType, Date RateDate, Currency Rate) {
  const std::u16string currency_label = LoadResourceText(res::kStatusCurrency);
  const std::u16string type_label = LoadResourceText(res::kStatusRateType);
  const std::u16string rate_label = LoadResourceText(res::kStatusRate);
  // Changing the caption raises the label's Changed event, which is what lets
  // an on-screen driver repaint the status line during the load.
  lbStatus.SetCaption(
      IntToText(m_iRateCount) + u". " + currency_label + u": " + CurrencyCode + u" " + type_label +
      u": " + RateType + u" " + rate_label + u": " +
      RegionalSettings::Current().FormatNumber(Rate.ToDouble() / kRateKoef, u"0.0000"));
  m_oRate->WriteRate(CurrencyCode, RateType, RateDate, Rate, kRateKoef);
}

void LoadRateDlgVB::StrToRate(const std::u16string& Text, Currency& Rate) {
  if (Text.empty()) {
    Rate = Currency();
    return;
  }
  // The file always writes "."; the number conversion wants the system's separator.
  const std::u16string local_text = ReplaceAll(Text, u".", GetDecimalSeparator());
  Rate = Currency::FromDouble(RegionalSettings::Current().ParseNumber(local_text) * kRateKoef);
}

void LoadRateDlgVB::RaiseCannotOpen(const std::u16string& Source) {
  throw ComError(kErrCannotOpenRateFile, Source,
                 LoadResourceText(res::kCannotOpenFile) + u"\r\n" + edLBRateFile.Text());
}

}  // namespace norv
