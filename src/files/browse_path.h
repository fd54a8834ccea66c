// CBrowsePath: binds a text box holding a folder or a file name to the browse
// button beside it. A click opens the host's folder choice (Catalog) or the
// file-open dialog (File) and puts the choice into the box; FullFileName,
// FileName and FPath split the box's current text at its last "\". The box's
// text is kept per form in the host's form settings: read at Init when no start
// path is given, written at teardown.
#pragma once

#include <cstdint>
#include <string>

#include "../runtime/export.h"
#include "../runtime/variant.h"

namespace norv::forms {
class Form;
class TextBox;
class CommandButton;
}  // namespace norv::forms

namespace norv {

// What the browse button opens: the host's folder choice or the file-open dialog.
enum enShowDialog : int32_t { Catalog = 0, File = 1 };

class NORV_EXPORT CBrowsePath {
 public:
  CBrowsePath() = default;
  // Stores the box's text in the form settings (errors go to ReportError, since
  // a teardown cannot raise).
  ~CBrowsePath();
  CBrowsePath(const CBrowsePath&) = delete;
  CBrowsePath& operator=(const CBrowsePath&) = delete;

  // Binds `edPath` and `btSelect` (of the same form; both must outlive this
  // object) for `iSelect` (enShowDialog). An empty `sPath` takes the box's text
  // kept from the form's last use, delivered into `sPath` too; otherwise
  // `sPath` gives the start folder. The box gets that text when it is empty.
  // For a file choice, `SetFullName` puts folder and name into the box (false:
  // the name only), and `sFilter` is the dialog's initial file-name text.
  // A second Init rebinds. Returns true; traps its errors (source
  // "CBrowsePath::Init"), shows them through the host and returns false.
  bool Init(forms::TextBox& edPath, forms::CommandButton& btSelect, int32_t& iSelect,
            Variant& sPath, bool SetFullName = false, std::u16string sFilter = u"");
  // The box's current text split at its last "\": folder (ending in "\") and
  // name joined, the name alone, the folder alone. "" before Init.
  std::u16string FullFileName();
  std::u16string FileName();
  std::u16string FPath();

 private:
  std::u16string ShowFolderDialog(const std::u16string& Title);
  std::u16string ShowFileDialog(std::u16string Title);
  void SplitPath(std::u16string_view Text);
  void m_btSelect_Click();  // traps its errors (source "m_btSelect_Click")

  forms::Form* m_frmParent = nullptr;
  forms::TextBox* m_edPath = nullptr;
  int32_t m_iSelect = 0;
  bool m_bSetFullName = false;
  std::u16string m_sFile;
  std::u16string m_sFolder;
  std::u16string m_sFilter;
  std::u16string m_sInitialDir;
  forms::CommandButton* m_btSelect = nullptr;
  int m_clickToken = 0;
};

}  // namespace norv
