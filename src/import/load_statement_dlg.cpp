// Placeholder until this part of the component is built: each entry raises an
// error that says so.
#include "import/load_statement_dlg.h"
#include "runtime/com_error.h"

namespace norv {

LoadStatementDlg::LoadStatementDlg()
    : forms::Form(u"LoadStatementDlg", u"#4000"),
      Frame1(AddControl<forms::Frame>(u"Frame1", u"#4001")),
      edImpFile(AddControl<forms::TextBox>(u"edImpFile")),
      btSelectDPFile(AddControl<forms::CommandButton>(u"btSelectDPFile", u"Books")),
      chCreateKreditDoc(AddControl<forms::CheckBox>(u"chCreateKreditDoc", u"#4026", false)),
      btOk(AddControl<forms::CommandButton>(u"btOk", u"OK")),
      btCancel(AddControl<forms::CommandButton>(u"btCancel", u"Cancel")) {}
LoadStatementDlg::~LoadStatementDlg() = default;
void LoadStatementDlg::Form_Load() {}
void LoadStatementDlg::Form_Unload() {}

}  // namespace norv
