#include "qt/form_dialog.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QFontDatabase>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QVBoxLayout>
#include <algorithm>
#include <map>

#include "qt/qt_text.h"

namespace norv::qt {
namespace {

bool IsField(const forms::Control* control) {
  return control != nullptr && (control->kind() == forms::ControlKind::kTextBox ||
                                control->kind() == forms::ControlKind::kHostCombo);
}

bool IsButton(const forms::Control* control) {
  return control != nullptr && control->kind() == forms::ControlKind::kCommandButton;
}

bool NamesCancel(const forms::Control& control) {
  return Q(control.Name()).contains(u"cancel", Qt::CaseInsensitive) ||
         Q(control.DesignCaption()).contains(u"cancel", Qt::CaseInsensitive);
}

// Window handles of the forms on screen, so that host dialogs opened from a form
// (folder choice, file-open) can take its dialog as their owner.
std::map<intptr_t, QWidget*>& HandleRegistry() {
  thread_local std::map<intptr_t, QWidget*> registry;
  return registry;
}

}  // namespace

QFont FormFont(const std::u16string& design_font) {
  QFont font = QFontDatabase::systemFont(QFontDatabase::GeneralFont);
  const QString family = Q(design_font);
  if (!family.isEmpty() && QFontDatabase::families().contains(family, Qt::CaseInsensitive)) {
    font.setFamily(family);
  } else {
    font.setStyleHint(QFont::SansSerif);
  }
  return font;
}

QWidget* FormDialog::ForWindowHandle(intptr_t handle) {
  auto& registry = HandleRegistry();
  auto it = registry.find(handle);
  return it == registry.end() ? nullptr : it->second;
}

FormDialog::FormDialog(forms::Form& form, const BookLister& books, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowCloseButtonHint),
      form_(form) {
  setObjectName(Q(form.Name()));
  setFont(FormFont(form.FontName()));
  setSizeGripEnabled(false);
  BuildLayout(books);
  RefreshCaption();
  handle_ = form.WindowHandle();
  if (handle_ != 0) HandleRegistry()[handle_] = this;
}

FormDialog::~FormDialog() {
  if (handle_ != 0) HandleRegistry().erase(handle_);
  for (Binding& binding : bindings_) binding.control->Changed().Disconnect(binding.token);
}

QWidget* FormDialog::WidgetFor(std::u16string_view control_name) const {
  for (const Binding& binding : bindings_) {
    if (binding.control->Name() == control_name) return binding.widget;
  }
  return nullptr;
}

std::exception_ptr FormDialog::TakeHandlerError() {
  std::exception_ptr error = handler_error_;
  handler_error_ = nullptr;
  return error;
}

void FormDialog::BuildLayout(const BookLister& books) {
  auto* main = new QVBoxLayout(this);
  main->setSizeConstraint(QLayout::SetMinimumSize);
  auto* button_row = new QHBoxLayout;
  button_row->addStretch(1);

  QGridLayout* grid = nullptr;  // where field rows go: the open frame's, or the form's own
  int row = 0;
  auto field_grid = [&]() {
    if (grid == nullptr) {
      grid = new QGridLayout;
      grid->setColumnStretch(1, 1);
      main->addLayout(grid);
      row = 0;
    }
    return grid;
  };

  const auto& controls = form_.Controls();
  auto at = [&](size_t i) { return i < controls.size() ? controls[i].get() : nullptr; };
  std::vector<QPushButton*> bottom_buttons;
  for (size_t i = 0; i < controls.size(); ++i) {
    forms::Control& control = *controls[i];
    switch (control.kind()) {
      case forms::ControlKind::kFrame: {
        auto* box = static_cast<QGroupBox*>(MakeWidget(control, books));
        grid = new QGridLayout(box);
        grid->setColumnStretch(1, 1);
        row = 0;
        main->addWidget(box);
        break;
      }
      case forms::ControlKind::kLabel:
      case forms::ControlKind::kTextBox:
      case forms::ControlKind::kHostCombo: {
        const bool labelled = control.kind() == forms::ControlKind::kLabel;
        if (labelled && !IsField(at(i + 1))) {
          // A label with no field after it is a line of its own (the status line).
          grid = nullptr;
          auto* label = static_cast<QLabel*>(MakeWidget(control, books));
          label->setMinimumHeight(label->fontMetrics().height());
          main->addWidget(label);
          break;
        }
        QGridLayout* rows = field_grid();
        QWidget* field = nullptr;
        if (labelled) {
          auto* label = static_cast<QLabel*>(MakeWidget(control, books));
          field = MakeWidget(*at(++i), books);
          label->setBuddy(field);
          rows->addWidget(label, row, 0);
          rows->addWidget(field, row, 1);
        } else {
          field = MakeWidget(control, books);
          rows->addWidget(field, row, 0, 1, 2);
        }
        if (IsButton(at(i + 1))) rows->addWidget(MakeWidget(*at(++i), books), row, 2);
        ++row;
        break;
      }
      case forms::ControlKind::kCheckBox:
        grid = nullptr;
        main->addWidget(MakeWidget(control, books));
        break;
      case forms::ControlKind::kCommandButton: {
        grid = nullptr;
        auto* button = static_cast<QPushButton*>(MakeWidget(control, books));
        const int width = button->fontMetrics().horizontalAdvance(QStringLiteral("Cancel")) * 2;
        button->setMinimumWidth(std::max(width, button->sizeHint().width()));
        bottom_buttons.push_back(button);
        button_row->addWidget(button);
        if (cancel_button_ == nullptr && NamesCancel(control)) {
          cancel_button_ = button;
          cancel_control_ = static_cast<forms::CommandButton*>(&control);
        }
        break;
      }
    }
  }
  main->addStretch(1);
  main->addLayout(button_row);

  if (!bottom_buttons.empty()) {
    default_button_ = bottom_buttons.front();
    default_button_->setDefault(true);
  }
  if (cancel_button_ == nullptr && bottom_buttons.size() >= 2) {
    cancel_button_ = bottom_buttons.back();
    for (const Binding& binding : bindings_) {
      if (binding.widget == cancel_button_) {
        cancel_control_ = static_cast<forms::CommandButton*>(binding.control);
      }
    }
  }

  // Tab order follows the design order of the controls.
  QWidget* previous = nullptr;
  for (const Binding& binding : bindings_) {
    if (!(binding.widget->focusPolicy() & Qt::TabFocus)) continue;
    if (previous != nullptr) setTabOrder(previous, binding.widget);
    previous = binding.widget;
  }
}

QWidget* FormDialog::MakeWidget(forms::Control& control, const BookLister& books) {
  QWidget* widget = nullptr;
  switch (control.kind()) {
    case forms::ControlKind::kFrame:
      widget = new QGroupBox;
      break;
    case forms::ControlKind::kLabel:
      widget = new QLabel;
      break;
    case forms::ControlKind::kTextBox: {
      auto* edit = new QLineEdit;
      edit->setMinimumWidth(edit->fontMetrics().averageCharWidth() * 44);
      auto* box = static_cast<forms::TextBox*>(&control);
      connect(edit, &QLineEdit::textEdited, this, [this, box](const QString& text) {
        Dispatch([box, text] { box->SetText(text.toStdU16String()); });
      });
      widget = edit;
      break;
    }
    case forms::ControlKind::kCheckBox: {
      auto* check = new QCheckBox;
      auto* box = static_cast<forms::CheckBox*>(&control);
      connect(check, &QCheckBox::toggled, this, [this, box](bool checked) {
        Dispatch([box, checked] { box->SetValue(checked ? 1 : 0); });
      });
      widget = check;
      break;
    }
    case forms::ControlKind::kCommandButton: {
      auto* button = new QPushButton;
      auto* command = static_cast<forms::CommandButton*>(&control);
      connect(button, &QPushButton::clicked, this,
              [this, command] { Dispatch([command] { command->Click(); }); });
      widget = button;
      break;
    }
    case forms::ControlKind::kHostCombo: {
      auto* combo = new QComboBox;
      auto* host_combo = static_cast<forms::HostCombo*>(&control);
      combo->addItem(QString(), QString());  // nothing chosen
      if (books) {
        for (const BookEntry& entry : books(host_combo->ObjectName())) {
          combo->addItem(Q(entry.code) + QStringLiteral("  ") + Q(entry.name), Q(entry.code));
        }
      }
      combo->setSizeAdjustPolicy(QComboBox::AdjustToContents);
      combo->setMinimumWidth(combo->fontMetrics().averageCharWidth() * 28);
      connect(combo, &QComboBox::currentIndexChanged, this, [this, combo, host_combo](int index) {
        const QString code = index < 0 ? QString() : combo->itemData(index).toString();
        Dispatch([host_combo, code] { host_combo->SetSelectedCode(code.toStdU16String()); });
      });
      widget = combo;
      break;
    }
  }
  widget->setObjectName(Q(control.Name()));
  Binding binding;
  binding.control = &control;
  binding.widget = widget;
  binding.token = control.Changed().Connect([this, &control, widget] {
    Refresh(control, widget);
    RefreshCaption();
  });
  bindings_.push_back(binding);
  Refresh(control, widget);
  return widget;
}

void FormDialog::Refresh(forms::Control& control, QWidget* widget) {
  const QSignalBlocker block(widget);
  switch (control.kind()) {
    case forms::ControlKind::kFrame:
      static_cast<QGroupBox*>(widget)->setTitle(Q(control.Caption()));
      break;
    case forms::ControlKind::kLabel: {
      auto* label = static_cast<QLabel*>(widget);
      label->setText(Q(control.Caption()));
      // The status line changes inside long handlers, while no event loop runs.
      if (label->isVisible()) label->repaint();
      break;
    }
    case forms::ControlKind::kTextBox: {
      auto* edit = static_cast<QLineEdit*>(widget);
      const QString text = Q(static_cast<forms::TextBox&>(control).Text());
      if (edit->text() != text) edit->setText(text);
      break;
    }
    case forms::ControlKind::kCheckBox: {
      auto* check = static_cast<QCheckBox*>(widget);
      check->setText(Q(control.Caption()));
      check->setChecked(static_cast<forms::CheckBox&>(control).Value() != 0);
      break;
    }
    case forms::ControlKind::kCommandButton:
      static_cast<QPushButton*>(widget)->setText(Q(control.Caption()));
      break;
    case forms::ControlKind::kHostCombo: {
      auto* combo = static_cast<QComboBox*>(widget);
      const QString code = Q(static_cast<forms::HostCombo&>(control).SelectedCode());
      int index = combo->findData(code);
      if (index < 0) {
        // A code the book does not list still shows, so the choice is never hidden.
        combo->addItem(code, code);
        index = combo->count() - 1;
      }
      combo->setCurrentIndex(index);
      break;
    }
  }
  widget->setEnabled(control.Enabled());
  widget->setVisible(control.Visible());
}

void FormDialog::RefreshCaption() { setWindowTitle(Q(form_.Caption())); }

void FormDialog::Dispatch(const std::function<void()>& action) {
  try {
    action();
  } catch (...) {
    // Not swallowed: the driver ends the modal show and rethrows it to the
    // caller of the show, where a failure of a handler belongs.
    if (!handler_error_) handler_error_ = std::current_exception();
    if (on_error_) on_error_();
  }
}

void FormDialog::closeEvent(QCloseEvent* event) {
  // The form decides: closing by the window's box unloads it, which ends the
  // modal show and hides this dialog.
  event->ignore();
  Dispatch([this] { form_.CloseByUser(); });
}

void FormDialog::keyPressEvent(QKeyEvent* event) {
  const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
  const bool plain = (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier;
  if (enter && plain) {
    // Qt's own handling animates the click and presses it later; the form's OK
    // handler runs at once here, as on the desktop the forms come from.
    for (QPushButton* button : findChildren<QPushButton*>()) {
      if (button->isDefault() && button->isVisible() && button->isEnabled()) {
        button->click();
        return;
      }
    }
  }
  QDialog::keyPressEvent(event);
}

void FormDialog::reject() {
  if (cancel_control_ != nullptr) {
    Dispatch([this] { cancel_control_->Click(); });
  } else {
    Dispatch([this] { form_.CloseByUser(); });
  }
}

}  // namespace norv::qt
