// MessageWindow: the host's modal message with up to four buttons.
#pragma once

#include <cstdint>
#include <string>

#include "../runtime/export.h"

namespace norv::host {

// Kinds of message used by the component.
inline constexpr int32_t kMessageInformation = 1;
inline constexpr int32_t kMessageError = 4;

class NORV_EXPORT MessageWindow {
 public:
  virtual ~MessageWindow() = default;
  // The component always passes: text; ""; "Gerai"; ""; ""; ""; 0; 1; kind; ""; ""; ""; 0.
  // Returns the number of the button pressed (unused by the component).
  virtual int32_t ShowMessage(const std::u16string& text, const std::u16string& title,
                              const std::u16string& button1, const std::u16string& button2,
                              const std::u16string& button3, const std::u16string& button4,
                              int32_t default_button, uint8_t flags, int32_t kind,
                              const std::u16string& extra1, const std::u16string& extra2,
                              const std::u16string& extra3, int32_t help_id) = 0;
};

// The component's one form of the call: one "Gerai" button and the given kind.
NORV_EXPORT int32_t ShowSimpleMessage(MessageWindow& window, const std::u16string& text,
                                      int32_t kind);

}  // namespace norv::host
