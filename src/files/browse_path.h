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

enum enShowDialog : int32_t { Catalog = 0, File = 1 };

class NORV_EXPORT CBrowsePath {
 public:
  CBrowsePath() = default;
  // Stores the box's text in the form settings (errors go to ReportError, since
  // a teardown cannot raise).
  ~CBrowsePath();
  CBrowsePath(const CBrowsePath&) = delete;
  CBrowsePath& operator=(const CBrowsePath&) = delete;

  // Traps its errors (source "CBrowsePath::Init") and returns false after one.
  bool Init(forms::TextBox& edPath, forms::CommandButton& btSelect, int32_t& iSelect,
            Variant& sPath, bool SetFullName = false, std::u16string sFilter = u"");
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
