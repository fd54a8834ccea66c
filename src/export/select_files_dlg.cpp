#include "export/select_files_dlg.h"

#include <array>
#include <utility>

#include "core/messages.h"
#include "export/export_file.h"
#include "forms/design_captions.h"
#include "host/host_library.h"
#include "runtime/com_error.h"
#include "runtime/variant.h"

namespace norv {
namespace {

// The key of the folder when the parent brings none.
constexpr char16_t kFallbackKeyPath[] = u"ClientBank";

constexpr std::array<forms::MarkedCaption, 5> kMarkedCaptions{{
    {u"#4002", u"Kliento-banko eksportas"},
    {u"#4003", u" Eksportuoti į : "},
    {u"#4004", u"Valiutiniai mokėjimai : "},
    {u"#4005", u"Vietiniai mokėjimai : "},
    {u"#4006", u"Kelias : "},
}};

}  // namespace

SelectFilesDlg::SelectFilesDlg()
    : forms::Form(u"SelectFilesDlg", u"#4002", u"Tahoma"),
      Frame1(AddControl<forms::Frame>(u"Frame1", u"#4003")),
      Label2(AddControl<forms::Label>(u"Label2", u"#4006")),
      edPath(AddControl<forms::TextBox>(u"edPath")),
      btSelectPath(AddControl<forms::CommandButton>(u"btSelectPath", u"Books")),
      Label1(AddControl<forms::Label>(u"Label1", u"#4005")),
      edDPFile(AddControl<forms::TextBox>(u"edDPFile")),
      btSelectDPFile(AddControl<forms::CommandButton>(u"btSelectDPFile", u"Books")),
      Label3(AddControl<forms::Label>(u"Label3", u"#4004")),
      edFPFile(AddControl<forms::TextBox>(u"edFPFile")),
      btSelectFPFile(AddControl<forms::CommandButton>(u"btSelectFPFile", u"Books")),
      btOk(AddControl<forms::CommandButton>(u"btOk", u"OK")),
      btCancel(AddControl<forms::CommandButton>(u"btCancel", u"Cancel")) {
  btOk.Clicked().Connect([this] { btOk_Click(); });
  btCancel.Clicked().Connect([this] { btCancel_Click(); });
}

SelectFilesDlg::~SelectFilesDlg() = default;

std::u16string_view SelectFilesDlg::DesignText(std::u16string_view marker) {
  return forms::DesignTextOf(kMarkedCaptions, marker);
}

void SelectFilesDlg::Init(CExportFile& Parent) {
  m_oParent = &Parent;
  std::u16string key = Parent.KeyPath();
  if (key.empty()) key = kFallbackKeyPath;
  edPath.SetText(Parent.DPFile().PathByPathKey(key));
  edDPFile.SetText(Parent.DPFile().FileName());
  edFPFile.SetText(Parent.FPFile().FileName());

  m_oBrowse = std::make_unique<CBrowsePath>();
  int32_t select = Catalog;
  Variant start_path = edPath.Text();
  m_oBrowse->Init(edPath, btSelectPath, select, start_path, false, u"");
}

void SelectFilesDlg::Form_Load() {
  host::HostLibrary::Current().Resources().LocalizeForm(*this);
  // Without a localising host the markers would show; the design texts stand in.
  forms::ShowDesignTextsForMarkers(*this, kMarkedCaptions);
}

void SelectFilesDlg::btOk_Click() {
  TrapErrors(u"btOk_Click", [this] {
    CExportFile& parent = Parent();
    parent.DPFile().SetPath(edPath.Text());
    parent.FPFile().SetPath(edPath.Text());
    parent.DPFile().SetFileName(edDPFile.Text());
    parent.FPFile().SetFileName(edFPFile.Text());
    parent.SetState(true);
    Hide();
  });
}

void SelectFilesDlg::btCancel_Click() {
  Parent().SetState(false);
  Hide();
}

void SelectFilesDlg::Form_Unload() { m_oBrowse.reset(); }

CExportFile& SelectFilesDlg::Parent() const {
  if (m_oParent == nullptr) RaiseRuntime(kErrObjectNotSet);
  return *m_oParent;
}

}  // namespace norv
