// LoadStatementDlg: the statement file dialog. Init loads it (hidden) with the
// folder kept for a key; OK opens the chosen file for reading and sets the
// result text; Cancel leaves the result text empty. Unloading releases the path
// binder, the statement file (closing it) and the message window.
//
// The captions of the form, the frame and the check box are resource markers
// ("#4000", "#4001", "#4026") that the host's LocalizeForm replaces when the form
// loads. A caption that still holds its marker after that (a host that does not
// localise, or a module without the id) gets the Lithuanian design text instead.
#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "files/browse_path.h"
#include "files/cfile.h"
#include "forms/form.h"
#include "host/message_window.h"

namespace norv {

class LoadStatementDlg : public forms::Form {
 public:
  LoadStatementDlg();
  ~LoadStatementDlg() override;

  void Init(std::u16string& KeyPath, const std::u16string& FileName,
            bool KreditSideDocCreate = false, const std::u16string& FileFilter = u"");
  // The statement file; raises 91 once the dialog has been unloaded.
  CFile& ImpFile();
  // Empty after loading and after Cancel; the full file name after OK.
  const std::u16string& ResultText() const { return m_sResult; }

  // The design text behind a caption marker of this form ("#4001" gives
  // " Importuoti iš :"); empty for a marker the form does not use.
  static std::u16string_view DesignText(std::u16string_view marker);

  forms::Frame& Frame1;
  forms::TextBox& edImpFile;
  forms::CommandButton& btSelectDPFile;
  forms::CheckBox& chCreateKreditDoc;
  forms::CommandButton& btOk;
  forms::CommandButton& btCancel;

 protected:
  void Form_Load() override;
  void Form_Unload() override;

 private:
  void btOk_Click();
  void btCancel_Click();

  std::unique_ptr<CFile> m_oImpFile;
  std::unique_ptr<CBrowsePath> m_oBrowse;
  std::unique_ptr<host::MessageWindow> m_oMsg;
  std::u16string m_sResult;
};

}  // namespace norv
