// SelectFilesDlg: the export target dialog. The user confirms or changes the
// folder and the names of the DP and FP files that CExportFile proposed. Init
// loads the form (hidden) with the folder kept for the parent's key and the two
// proposed names; OK stores folder and names in the parent's files and marks the
// parent confirmed; Cancel marks it cancelled. Both hide the form, which ends the
// modal show; the owner then unloads it, which releases the folder binder.
//
// The captions of the form, the frame and the three labels are resource markers
// ("#4002" to "#4006") that the host's LocalizeForm replaces when the form loads.
// A caption that still holds its marker after that (a host that does not
// localise, or a module without the id) gets the Lithuanian design text instead.
#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "files/browse_path.h"
#include "forms/form.h"

namespace norv {

class CExportFile;

class SelectFilesDlg : public forms::Form {
 public:
  SelectFilesDlg();
  ~SelectFilesDlg() override;

  void Init(CExportFile& Parent);

  // The design text behind a caption marker of this form ("#4006" gives
  // "Kelias : "); empty for a marker the form does not use.
  static std::u16string_view DesignText(std::u16string_view marker);

  forms::Frame& Frame1;
  forms::Label& Label2;
  forms::TextBox& edPath;
  forms::CommandButton& btSelectPath;
  forms::Label& Label1;
  forms::TextBox& edDPFile;
  forms::CommandButton& btSelectDPFile;  // no action
  forms::Label& Label3;
  forms::TextBox& edFPFile;
  forms::CommandButton& btSelectFPFile;  // no action
  forms::CommandButton& btOk;
  forms::CommandButton& btCancel;

 protected:
  void Form_Load() override;
  void Form_Unload() override;

 private:
  void btOk_Click();
  void btCancel_Click();
  // The parent given to Init; raises 91 before Init.
  CExportFile& Parent() const;

  CExportFile* m_oParent = nullptr;
  std::unique_ptr<CBrowsePath> m_oBrowse;
};

}  // namespace norv
