#include "export/export_file.h"

#include "export/select_files_dlg.h"
#include "runtime/regional.h"

namespace norv {

CExportFile::CExportFile()
    : m_oDPFile(std::make_unique<CFile>()), m_oFPFile(std::make_unique<CFile>()) {}

CExportFile::~CExportFile() = default;

bool CExportFile::ShowFileDlg(Date& DateEnd, const std::u16string& DPFileExt,
                              const std::u16string& FPFileExt, const std::u16string& Prefics,
                              const std::u16string& KeyPath) {
  m_sKeyPath = KeyPath;
  const std::u16string date = RegionalSettings::FormatDatePattern(DateEnd, u"YYMMDD");
  m_oDPFile->SetFileName(Prefics + date + u"." + DPFileExt);
  m_oFPFile->SetFileName(Prefics + date + u"." + FPFileExt);
  m_bState = false;

  // The folders stay as they are unless the user confirms the dialog.
  SelectFilesDlg dialog;
  dialog.Init(*this);
  dialog.ShowModal();
  dialog.Unload();
  return m_bState;
}

}  // namespace norv
