// CExportFile: the export target of a run, the DP file (local payments) and the
// FP file (foreign payments), and the key under which the host keeps their
// folder. ShowFileDlg proposes the names from the run's end date and lets the
// user confirm folder and names in SelectFilesDlg.
#pragma once

#include <memory>
#include <string>

#include "files/cfile.h"
#include "runtime/date.h"

namespace norv {

class CExportFile {
 public:
  CExportFile();
  ~CExportFile();
  CExportFile(const CExportFile&) = delete;
  CExportFile& operator=(const CExportFile&) = delete;

  // True when the user confirmed the dialog, false when cancelled or closed.
  bool ShowFileDlg(Date& DateEnd, const std::u16string& DPFileExt = u"",
                   const std::u16string& FPFileExt = u"", const std::u16string& Prefics = u"",
                   const std::u16string& KeyPath = u"");
  CFile& DPFile() { return *m_oDPFile; }
  CFile& FPFile() { return *m_oFPFile; }
  const std::u16string& KeyPath() const { return m_sKeyPath; }
  void SetState(const bool& Flag) { m_bState = Flag; }

 private:
  std::unique_ptr<CFile> m_oDPFile;
  std::unique_ptr<CFile> m_oFPFile;
  bool m_bState = false;
  std::u16string m_sKeyPath;
};

}  // namespace norv
