// The frame of an export run: BeginExport lets the user confirm the two target
// files and resets the counts; EndExport reports the counts, or after a failed
// run turns the files written so far into backups, and closes both files.
#include <initializer_list>
#include <string>
#include <vector>

#include "component/cbankcl_vb.h"
#include "core/error_numbers.h"
#include "core/messages.h"
#include "core/resource_ids.h"
#include "export/export_file.h"
#include "files/cfile.h"
#include "host/message_window.h"
#include "runtime/com_error.h"
#include "runtime/text.h"

namespace norv {
namespace {

constexpr char16_t kDPFileExt[] = u"mok";
constexpr char16_t kFPFileExt[] = u"tar";
constexpr char16_t kExportKeyPath[] = u"RazizeRuveRO";
constexpr char16_t kCrLf[] = u"\r\n";

}  // namespace

void CBankCl_VB::IClientBank_BeginExport(Date /*DateBeg*/, Date DateEnd) {
  if (!m_oExportFile->ShowFileDlg(DateEnd, kDPFileExt, kFPFileExt, u"", kExportKeyPath)) {
    throw ComError(kErrExportCancelled, u"", ErrorText(kErrExportCancelled, u"", u""));
  }
  m_iDPCount = 0;
  m_iFPCount = 0;
}

void CBankCl_VB::IClientBank_EndExport(bool& EndByError) {
  CFile& dp_file = m_oExportFile->DPFile();
  CFile& fp_file = m_oExportFile->FPFile();
  if (EndByError) {
    // The notice names the last backup made: the FP file's when both were open.
    std::u16string backup_shown;
    for (CFile* file : {&dp_file, &fp_file}) {
      // A file whose opening was refused is another's and is left alone.
      if (!file->FileIsOpen() || !file->SaveFileAsBackup()) continue;
      backup_shown = file->Path() + file->FileName();
    }
    const std::u16string notice =
        FormatTemplate(LoadResourceText(res::kBackupNoticeTemplate), {Variant(backup_shown)});
    host::ShowSimpleMessage(*m_oMsg, notice, host::kMessageError);
  } else {
    // The counts are only shown for lines that are on the disk: a write that
    // fails now raises before the summary, and the host can still end the run
    // by error, which keeps both files as backups.
    dp_file.Flush();
    fp_file.Flush();
    std::u16string summary = LoadResourceText(res::kExportSummaryHeading);
    summary += kCrLf;
    summary += kCrLf;
    summary += LoadResourceText(res::kExportDpCountLabel);
    summary += u" - " + IntToText(m_iDPCount) + kCrLf;
    summary += LoadResourceText(res::kExportFpCountLabel);
    summary += u" - " + IntToText(m_iFPCount);
    host::ShowSimpleMessage(*m_oMsg, summary, host::kMessageInformation);
  }
  dp_file.CloseFile();
  fp_file.CloseFile();
}

}  // namespace norv
