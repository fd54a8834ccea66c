#include <cstdlib>
#include <iostream>

#include "commands.h"
#include "job_commands.h"
#include "session.h"

#ifdef NORV_CLIENTBANK_GUI
#include "window/main_window.h"
#endif

namespace clientbank {

#ifdef NORV_CLIENTBANK_GUI
namespace {

bool Set(const char* name) {
  const char* value = std::getenv(name);
  return value != nullptr && *value != '\0';
}

}  // namespace

int RunWindow(const GlobalOptions& global, int& argc, char** argv) {
  // Without a screen Qt would print its own notes and abort; say instead what
  // is missing, before anything is opened.
  if (!Set("DISPLAY") && !Set("WAYLAND_DISPLAY") && !Set("QT_QPA_PLATFORM")) {
    std::cerr << "clientbank: --gui needs a display: run it on a desktop (DISPLAY or "
                 "WAYLAND_DISPLAY set), or without a screen with QT_QPA_PLATFORM=offscreen\n";
    return kExitError;
  }
  Session session(global, std::cout, std::cerr);
  window::WindowServices services;
  services.host = &session.host();
  services.create_client_bank = [&session] { return session.CreateClientBank(); };
  return window::RunWindow(argc, argv, services);
}

#else

int RunWindow(const GlobalOptions&, int&, char**) {
  std::cerr << "clientbank: --gui needs the program built with Qt (cmake -DNORV_WITH_QT=ON and "
               "Qt 6 Widgets installed)\n";
  return kExitError;
}

#endif

}  // namespace clientbank
