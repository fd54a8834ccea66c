// CBankCl_VB: the component's class that the host creates and drives through
// IClientBank. It keeps the state of one export run or one import run between
// the host's calls. The entry points trap no errors: every failure reaches the
// host as a ComError.
//
// Creation makes the export target, a host message window and the error texts
// (in that order); teardown releases the line converter, the export target (its
// files close), the message window and the error texts, then unloads a statement
// dialog that is still there (its file closes).
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "core/client_bank.h"
#include "core/err_description.h"
#include "core/records.h"
#include "host/line_converter.h"
#include "host/message_window.h"
#include "import/statement_line.h"
#include "runtime/variant.h"

namespace norv {

class CExportFile;
class LoadStatementDlg;

class CBankCl_VB final : public IClientBank {
 public:
  // Runs Main for the thread first; needs the thread's host library.
  CBankCl_VB();
  ~CBankCl_VB() override;
  CBankCl_VB(const CBankCl_VB&) = delete;
  CBankCl_VB& operator=(const CBankCl_VB&) = delete;

  void BeginExport(Date DateBeg, Date DateEnd) override {
    IClientBank_BeginExport(DateBeg, DateEnd);
  }
  void EndExport(bool& EndByError) override { IClientBank_EndExport(EndByError); }
  void ExportDoc(int32_t& DocType, PaymentDoc& Doc) override {
    IClientBank_ExportDoc(DocType, Doc);
  }
  bool BeginImport(StHead& head) override { return IClientBank_BeginImport(head); }
  void EndImport() override { IClientBank_EndImport(); }
  bool BeginImportByAccount(StHead& head) override {
    return IClientBank_BeginImportByAccount(head);
  }
  bool ImportDoc(StatementDoc& Doc) override { return IClientBank_ImportDoc(Doc); }
  void LoadRate() override { IClientBank_LoadRate(); }

 private:
  // Export run (export_run.cpp) and payment-order lines (export_doc.cpp).
  void IClientBank_BeginExport(Date DateBeg, Date DateEnd);
  void IClientBank_EndExport(bool& EndByError);
  void IClientBank_ExportDoc(int32_t& DocType, PaymentDoc& Doc);
  std::u16string FormatAmount(const Currency& Amount);
  // PartNo > 0: the field is that part of a split field, labelled "<Label> <PartNo>"
  // (the label is only made for an error).
  void AddField(const std::u16string& Label, const std::u16string& Value, int16_t MaxLen,
                bool Required, int16_t PartNo = 0);
  std::u16string QuoteValue(const std::u16string& Value);
  void AddSplitField(const std::u16string& Label, const std::u16string& Value, int16_t PartCount,
                     bool Required, int16_t PartNo, int16_t PartWidth);

  // Import run (statement_reader.cpp, import_doc.cpp, end_import.cpp).
  bool IClientBank_BeginImport(StHead& head);
  void IClientBank_EndImport();
  bool IClientBank_BeginImportByAccount(StHead& head);
  bool IClientBank_ImportDoc(StatementDoc& Doc);
  bool ScanAccount(const std::u16string& Account, Date& DateFrom, Date& DateTo);
  // Parses into a record whose text buffers are reused line after line. Every
  // field is checked; only the texts that Use reads are stored.
  void ParseStatementLine(const std::u16string& Line, StatementLine& Into, StatementLineUse Use);

  // Rates (load_rate.cpp).
  void IClientBank_LoadRate();

  // Shared (cbankcl_vb.cpp).
  std::u16string DocErrorText(const std::u16string& Text);
  std::u16string ErrorText(int32_t ErrNo, const std::u16string& Arg0, const std::u16string& Arg1);
  host::LineConverter& LineConverterOnFirstUse();
  friend struct CBankClTestPeer;  // tests reach the shared text routines above

  std::unique_ptr<CExportFile> m_oExportFile;
  std::u16string m_sLine;
  int16_t m_iDPCount = 0;
  int16_t m_iFPCount = 0;
  std::unique_ptr<LoadStatementDlg> m_oStatementDlg;
  std::unique_ptr<host::MessageWindow> m_oMsg;
  std::unique_ptr<CErrDescription> m_oErrDesc;
  StHead m_StHead;
  std::u16string m_sDocNo;
  std::u16string m_sDocDate;
  std::unique_ptr<host::LineConverter> m_oLineConverter;
};

}  // namespace norv
