// Guarded: the body of a Qt slot, run so that no exception leaves it. Qt's
// event loop is not exception-safe: an exception that unwinds through it ends
// the program. What the body raises is shown to the user instead: a ComError
// in the error box (number, source, description), any other exception in an
// error box with its text.
//
//   connect(button, &QPushButton::clicked, this, [this] { Guarded([&] { Run(); }); });
#pragma once

#include <functional>

namespace norv::qt {

// Returns true when `body` ended normally, false when it raised (and the user
// has been shown what it raised).
bool Guarded(const std::function<void()>& body) noexcept;

}  // namespace norv::qt
