// Placeholder until this part of the component is built: each entry raises an
// error that says so.
#include "export/export_file.h"
#include "runtime/com_error.h"

namespace norv {

CExportFile::CExportFile() : m_oDPFile(std::make_unique<CFile>()), m_oFPFile(std::make_unique<CFile>()) {}
CExportFile::~CExportFile() = default;
bool CExportFile::ShowFileDlg(Date&, const std::u16string&, const std::u16string&, const std::u16string&, const std::u16string&) { RaiseRuntime(kErrInvalidCall, u"not built yet"); }

}  // namespace norv
