// FormDialog: a forms::Form on screen. The dialog is built from the form's
// controls in design order: a frame opens a group box that takes the field rows
// after it (label, text box or host combo, browse button); a check box, a
// standalone label (the status line) or a button that does not follow a field
// closes it. Buttons that do not follow a field stand in one row at the bottom;
// the first is the default button (Enter), the cancel button answers Escape.
//
// Binding runs both ways: a control's Changed event repaints its widget, and a
// user's edit, tick, pick or click goes to the control (TextBox::SetText,
// CheckBox::SetValue, HostCombo::SetSelectedCode, CommandButton::Click). The
// window's close box calls Form::CloseByUser. Each widget's object name is its
// control's name.
#pragma once

#include <QDialog>
#include <QFont>
#include <cstdint>
#include <exception>
#include <functional>
#include <string>
#include <vector>

#include "forms/control.h"
#include "forms/form.h"

class QCheckBox;
class QComboBox;
class QGridLayout;
class QLabel;
class QLineEdit;
class QPushButton;
class QVBoxLayout;

namespace norv::qt {

// One entry of a host book as a host combo lists it.
struct BookEntry {
  std::u16string code;
  std::u16string name;
};

// Lists the entries of a host book by name (a host combo's `objectname`).
using BookLister = std::function<std::vector<BookEntry>(const std::u16string& book_name)>;

// The font of a form: its design font when the machine has it, otherwise the
// system's sans-serif font.
QFont FormFont(const std::u16string& design_font);

class FormDialog : public QDialog {
 public:
  FormDialog(forms::Form& form, const BookLister& books, QWidget* parent = nullptr);
  ~FormDialog() override;

  forms::Form& form() const { return form_; }
  // The widget of a control, nullptr for an unknown name.
  QWidget* WidgetFor(std::u16string_view control_name) const;
  // The button that Enter presses and the one that Escape presses (either may be null).
  QPushButton* DefaultButton() const { return default_button_; }
  QPushButton* CancelButton() const { return cancel_button_; }

  // An exception that left a control's handler while Qt was dispatching a user
  // action; Qt cannot carry it, so the driver rethrows it after the modal show.
  std::exception_ptr TakeHandlerError();
  // Called when a handler failed, so the driver can leave its loop.
  void SetOnHandlerError(std::function<void()> on_error) { on_error_ = std::move(on_error); }

  // The form's window handle -> its dialog, for owners of host dialogs.
  static QWidget* ForWindowHandle(intptr_t handle);

 protected:
  void closeEvent(QCloseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void reject() override;

 private:
  struct Binding {
    forms::Control* control = nullptr;
    QWidget* widget = nullptr;
    int token = 0;
  };

  void BuildLayout(const BookLister& books);
  QWidget* MakeWidget(forms::Control& control, const BookLister& books);
  void Refresh(forms::Control& control, QWidget* widget);
  void RefreshCaption();
  // Runs a user action on a control; an exception is kept for the driver.
  void Dispatch(const std::function<void()>& action);

  forms::Form& form_;
  intptr_t handle_ = 0;
  std::vector<Binding> bindings_;
  QPushButton* default_button_ = nullptr;
  QPushButton* cancel_button_ = nullptr;
  forms::CommandButton* cancel_control_ = nullptr;
  std::exception_ptr handler_error_;
  std::function<void()> on_error_;
};

}  // namespace norv::qt
