#include "forms/form.h"

#include <atomic>
#include <utility>

#include "forms/forms_driver.h"
#include "host/host_library.h"
#include "runtime/com_error.h"

namespace norv::forms {
namespace {

// The platform's error for showing a form modally that is already on screen.
constexpr int32_t kErrFormAlreadyShown = 400;

intptr_t NextWindowHandle() {
  static std::atomic<intptr_t> last{0};
  return ++last;
}

}  // namespace

Form::Form(std::u16string name, std::u16string design_caption, std::u16string font)
    : name_(std::move(name)),
      design_caption_(std::move(design_caption)),
      caption_(design_caption_),
      font_(std::move(font)) {}

Form::~Form() = default;

const std::u16string& Form::Caption() const {
  const_cast<Form*>(this)->EnsureLoaded();
  return caption_;
}

void Form::SetCaption(std::u16string caption) {
  EnsureLoaded();
  caption_ = std::move(caption);
}

Control* Form::FindControl(std::u16string_view name) const {
  for (const auto& control : controls_) {
    if (control->Name() == name) return control.get();
  }
  return nullptr;
}

intptr_t Form::WindowHandle() const { return loaded_ ? handle_ : 0; }

void Form::EnsureLoaded() {
  // Form_Load itself uses the controls; those uses must not load the form again.
  if (loaded_ || loading_) return;
  loading_ = true;
  loaded_ = true;
  handle_ = NextWindowHandle();
  try {
    Form_Load();
  } catch (...) {
    // A load that fails leaves no half-loaded form behind; the error goes on.
    for (auto& control : controls_) control->ResetToDesign();
    caption_ = design_caption_;
    loaded_ = false;
    loading_ = false;
    handle_ = 0;
    throw;
  }
  loading_ = false;
}

void Form::Load() { EnsureLoaded(); }

void Form::ShowModal() {
  EnsureLoaded();
  if (visible_ && InModalShow()) {
    throw ComError(kErrFormAlreadyShown, kDefaultErrorSource,
                   u"Form already displayed; can't show modally");
  }
  FormsDriver& driver = host::HostLibrary::Current().Forms();
  visible_ = true;
  ++modal_depth_;
  try {
    driver.RunModal(*this);
  } catch (...) {
    --modal_depth_;
    visible_ = false;
    throw;
  }
  --modal_depth_;
}

void Form::Hide() {
  visible_ = false;
  if (InModalShow()) host::HostLibrary::Current().Forms().EndModal(*this);
}

void Form::Unload() {
  if (!loaded_ || unloading_) return;
  unloading_ = true;
  try {
    Form_Unload();
  } catch (...) {
    // The form stays loaded, as it was before the failed unload.
    unloading_ = false;
    throw;
  }
  visible_ = false;
  for (auto& control : controls_) control->ResetToDesign();
  caption_ = design_caption_;
  loaded_ = false;
  handle_ = 0;
  unloading_ = false;
  if (InModalShow()) host::HostLibrary::Current().Forms().EndModal(*this);
}

void Form::CloseByUser() { Unload(); }

}  // namespace norv::forms
