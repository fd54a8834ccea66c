// EndImport: the import run ends with its dialog, which closes the statement file.
#include "component/cbankcl_vb.h"
#include "import/load_statement_dlg.h"

namespace norv {

void CBankCl_VB::IClientBank_EndImport() {
  if (m_oStatementDlg) m_oStatementDlg->Unload();
  m_oStatementDlg.reset();
}

}  // namespace norv
