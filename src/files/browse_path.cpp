#include "files/browse_path.h"

#include <algorithm>

#include "core/messages.h"
#include "core/resource_ids.h"
#include "files/teardown_report.h"
#include "forms/control.h"
#include "forms/form.h"
#include "host/host_library.h"
#include "runtime/com_error.h"
#include "runtime/text.h"

namespace norv {
namespace {

// The file-open dialog's name buffer, in characters.
constexpr size_t kFileBufferLength = 257;

}  // namespace

CBrowsePath::~CBrowsePath() {
  if (m_edPath != nullptr && m_frmParent != nullptr) {
    try {
      host::HostLibrary::Current().App().GetFormSettings().WriteFormValue(
          m_frmParent->Name(), m_edPath->Name(), Variant(m_edPath->Text()));
    } catch (const ComError& error) {
      ReportTeardownError(error);
    }
  }
  if (m_btSelect != nullptr) m_btSelect->Clicked().Disconnect(m_clickToken);
}

bool CBrowsePath::Init(forms::TextBox& edPath, forms::CommandButton& btSelect, int32_t& iSelect,
                       Variant& sPath, bool SetFullName, std::u16string sFilter) {
  return TrapErrors(u"CBrowsePath::Init", [&] {
    m_edPath = &edPath;
    if (m_btSelect != nullptr) m_btSelect->Clicked().Disconnect(m_clickToken);
    m_btSelect = &btSelect;
    m_clickToken = btSelect.Clicked().Connect([this] { m_btSelect_Click(); });
    m_frmParent = &edPath.Parent();
    m_iSelect = iSelect;
    m_bSetFullName = SetFullName;
    m_sFilter = std::move(sFilter);
    if (VariantToText(sPath).empty()) {
      // No start path: the box's text from the form's last use, delivered into
      // the caller's variable too.
      host::HostLibrary::Current().App().GetFormSettings().ReadFormValue(m_frmParent->Name(),
                                                                         edPath.Name(), sPath);
      m_sInitialDir = u"C:\\";
    } else {
      SplitPath(VariantToText(sPath));
      m_sInitialDir = m_sFolder;
    }
    if (edPath.Text().empty()) edPath.SetText(VariantToText(sPath));
  });
}

std::u16string CBrowsePath::FullFileName() {
  if (m_edPath == nullptr) return u"";
  SplitPath(m_edPath->Text());
  return m_sFolder + m_sFile;
}

std::u16string CBrowsePath::FileName() {
  if (m_edPath == nullptr) return u"";
  SplitPath(m_edPath->Text());
  return m_sFile;
}

std::u16string CBrowsePath::FPath() {
  if (m_edPath == nullptr) return u"";
  SplitPath(m_edPath->Text());
  return m_sFolder;
}

void CBrowsePath::m_btSelect_Click() {
  TrapErrors(u"m_btSelect_Click", [&] {
    if (m_iSelect == Catalog) {
      const std::u16string title = LoadResourceText(res::kFolderChoiceTitle);
      const std::u16string folder = ShowFolderDialog(title);
      if (!folder.empty()) m_edPath->SetText(folder);
    } else if (m_iSelect == File) {
      const std::u16string path = ShowFileDialog(u"");
      if (!path.empty()) {
        SplitPath(path);
        m_edPath->SetText(m_bSetFullName ? m_sFolder + m_sFile : m_sFile);
      }
    }
  });
}

std::u16string CBrowsePath::ShowFolderDialog(const std::u16string& Title) {
  return host::HostLibrary::Current().Folders().BrowseForFolder(m_frmParent->WindowHandle(), Title,
                                                                u"");
}

std::u16string CBrowsePath::ShowFileDialog(std::u16string Title) {
  if (Title.empty()) Title = LoadResourceText(res::kFileDialogTitle);
  // The initial text fills the front of a fixed buffer; a longer one leaves no
  // room for the buffer at all.
  if (m_sFilter.size() > kFileBufferLength) RaiseRuntime(kErrInvalidCall);
  host::OpenFileRequest request;
  request.owner_window = m_frmParent->WindowHandle();
  request.title = Title;
  request.initial_dir = m_sInitialDir;
  request.file_buffer = m_sFilter + std::u16string(kFileBufferLength - m_sFilter.size(), u'\0');
  request.filter_description = LoadResourceText(res::kAllFilesFilter);
  request.filter_pattern = u"*.*";
  const std::optional<std::u16string> chosen =
      host::HostLibrary::Current().FileDialog().GetOpenFileName(request);
  if (!chosen) return u"";
  // The NULs after the chosen path stay; SplitPath cuts them off.
  return TrimBlanks(*chosen);
}

void CBrowsePath::SplitPath(std::u16string_view Text) {
  Text = Text.substr(0, Text.find(u'\0'));
  // "/" is the separator people type on this platform, as "\\" is on the one the
  // component was made for: a typed /in/st.txt must reopen by folder and name.
  const size_t pos = std::max(InStrRev(Text, u"\\"), InStrRev(Text, u"/"));
  m_sFile = std::u16string(Text.substr(pos));
  m_sFolder = std::u16string(Text.substr(0, pos));
}

}  // namespace norv
