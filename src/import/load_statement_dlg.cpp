#include "import/load_statement_dlg.h"

#include <array>
#include <cstdint>

#include "core/messages.h"
#include "core/resource_ids.h"
#include "forms/design_captions.h"
#include "host/host_library.h"
#include "runtime/com_error.h"
#include "runtime/variant.h"

namespace norv {
namespace {

// The key of the folder when the caller brings none.
constexpr char16_t kFallbackKeyPath[] = u"ClientBank";

constexpr std::array<forms::MarkedCaption, 3> kMarkedCaptions{{
    {u"#4000", u"Išrašų importas"},
    {u"#4001", u" Importuoti iš :"},
    {u"#4026", u"Formuoti dokumentus pagal kreditinę išrašo dalį"},
}};

}  // namespace

LoadStatementDlg::LoadStatementDlg()
    : forms::Form(u"LoadStatementDlg", u"#4000", u"Tahoma"),
      Frame1(AddControl<forms::Frame>(u"Frame1", u"#4001")),
      edImpFile(AddControl<forms::TextBox>(u"edImpFile")),
      btSelectDPFile(AddControl<forms::CommandButton>(u"btSelectDPFile", u"Books")),
      // Hidden by design: Init shows it when the caller offers the option.
      chCreateKreditDoc(AddControl<forms::CheckBox>(u"chCreateKreditDoc", u"#4026", false)),
      btOk(AddControl<forms::CommandButton>(u"btOk", u"OK")),
      btCancel(AddControl<forms::CommandButton>(u"btCancel", u"Cancel")) {
  btOk.Clicked().Connect([this] { btOk_Click(); });
  btCancel.Clicked().Connect([this] { btCancel_Click(); });
}

// A dialog destroyed while still loaded lets go of its objects in the order
// that unloading uses: the binder first (it stores the box's text), then the
// statement file (closing it), then the message window.
LoadStatementDlg::~LoadStatementDlg() {
  m_oBrowse.reset();
  m_oImpFile.reset();
  m_oMsg.reset();
}

std::u16string_view LoadStatementDlg::DesignText(std::u16string_view marker) {
  return forms::DesignTextOf(kMarkedCaptions, marker);
}

void LoadStatementDlg::Init(std::u16string& KeyPath, const std::u16string& FileName,
                            bool KreditSideDocCreate, const std::u16string& FileFilter) {
  m_oImpFile = std::make_unique<CFile>();
  if (KeyPath.empty()) KeyPath = kFallbackKeyPath;
  m_oImpFile->SetPath(m_oImpFile->PathByPathKey(KeyPath));
  m_oImpFile->SetFileName(FileName);
  edImpFile.SetText(m_oImpFile->CrFullName());

  m_oBrowse = std::make_unique<CBrowsePath>();
  int32_t select = File;
  Variant start_path = edImpFile.Text();
  m_oBrowse->Init(edImpFile, btSelectDPFile, select, start_path, /*SetFullName=*/true, FileFilter);

  m_oMsg = host::HostLibrary::Current().CreateMessageWindow();
  if (KreditSideDocCreate) chCreateKreditDoc.SetVisible(true);
}

CFile& LoadStatementDlg::ImpFile() {
  if (!m_oImpFile) RaiseRuntime(kErrObjectNotSet);
  return *m_oImpFile;
}

void LoadStatementDlg::Form_Load() {
  host::HostLibrary::Current().Resources().LocalizeForm(*this);
  // Without a localising host the markers would show; the design texts stand in.
  forms::ShowDesignTextsForMarkers(*this, kMarkedCaptions);
  m_sResult.clear();
}

void LoadStatementDlg::btOk_Click() {
  TrapErrors(u"LoadStatementDlg::btOk_Click", [this] {
    // The box's text goes by value: OpenFile fills an empty name, not the box.
    std::u16string name = edImpFile.Text();
    if (ImpFile().OpenFile(name)) {
      if (!m_oBrowse) RaiseRuntime(kErrObjectNotSet);
      m_oImpFile->SetFileName(m_oBrowse->FileName());
      m_oImpFile->SetPath(m_oBrowse->FPath());
      m_sResult = edImpFile.Text();
      Hide();  // the file stays open for the reader
      return;
    }
    if (!m_oMsg) RaiseRuntime(kErrObjectNotSet);
    host::ShowSimpleMessage(*m_oMsg,
                            LoadResourceText(res::kCannotOpenFile) + u"\r\n" + edImpFile.Text(),
                            host::kMessageError);
  });
}

void LoadStatementDlg::btCancel_Click() {
  m_sResult.clear();
  Hide();
}

void LoadStatementDlg::Form_Unload() {
  m_oBrowse.reset();
  m_oImpFile.reset();
  m_oMsg.reset();
  // An unloaded dialog reads as cancelled, as a freshly loaded one would.
  m_sResult.clear();
}

}  // namespace norv
