// Message boxes of the screen: the host's MessageWindow as a QMessageBox and the
// report of a pending error.
#pragma once

#include <cstdint>
#include <string>

#include "host/message_window.h"
#include "runtime/com_error.h"

class QWidget;

namespace norv::qt {

// A modal QMessageBox with the given buttons (the component gives one, "Gerai"),
// an icon by kind (information, error) and the window title, or the
// application's name when the title is empty. Returns the 1-based number of the
// button pressed.
class QtMessageWindow : public host::MessageWindow {
 public:
  int32_t ShowMessage(const std::u16string& text, const std::u16string& title,
                      const std::u16string& button1, const std::u16string& button2,
                      const std::u16string& button3, const std::u16string& button4,
                      int32_t default_button, uint8_t flags, int32_t kind,
                      const std::u16string& extra1, const std::u16string& extra2,
                      const std::u16string& extra3, int32_t help_id) override;
};

// Shows a pending error (number, source, description) in a modal error box with
// one "Gerai" button.
void ShowErrorBox(const ComError& error);

// The window that a box without an owner of its own should stand over.
QWidget* CurrentOwnerWindow();

}  // namespace norv::qt
