#include "component/cbankcl_vb.h"

#include <vector>

#include "core/messages.h"
#include "core/resource_ids.h"
#include "export/export_file.h"
#include "host/host_library.h"
#include "import/load_statement_dlg.h"

namespace norv {

CBankCl_VB::CBankCl_VB() {
  Main();
  m_oExportFile = std::make_unique<CExportFile>();
  m_oMsg = host::HostLibrary::Current().CreateMessageWindow();
  m_oErrDesc = std::make_unique<CErrDescription>();
}

CBankCl_VB::~CBankCl_VB() {
  m_oLineConverter.reset();
  m_oExportFile.reset();  // its files close here
  m_oMsg.reset();
  m_oErrDesc.reset();
  if (m_oStatementDlg) {
    // Teardown has nobody to raise to: a failure of the dialog's unload is shown
    // to the user like a dialog's error instead of ending the process.
    try {
      m_oStatementDlg->Unload();
    } catch (const ComError& error) {
      if (host::HostLibrary::IsInstalled()) ReportError(error);
    }
  }
  m_oStatementDlg.reset();
}

std::u16string CBankCl_VB::DocErrorText(const std::u16string& Text) {
  return FormatTemplate(LoadResourceText(res::kDocErrorTemplate),
                        std::vector<Variant>{m_sDocNo, m_sDocDate, Text});
}

std::u16string CBankCl_VB::ErrorText(int32_t ErrNo, const std::u16string& Arg0,
                                     const std::u16string& Arg1) {
  std::u16string description = m_oErrDesc->Description(ErrNo);
  if (Arg0.empty()) return description;
  return description + u"\r\n" +
         FormatTemplate(LoadResourceText(res::kErrorArgsTemplate),
                        std::vector<Variant>{Arg0, Arg1});
}

host::LineConverter& CBankCl_VB::LineConverterOnFirstUse() {
  if (!m_oLineConverter) m_oLineConverter = host::HostLibrary::Current().CreateLineConverter();
  return *m_oLineConverter;
}

}  // namespace norv
