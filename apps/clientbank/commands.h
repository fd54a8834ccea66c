// The program's commands other than the three jobs (jobs.h). Each returns the
// exit status; errors are raised as ComError and printed by the caller.
#pragma once

#include <ostream>
#include <string>

#include "session.h"

namespace clientbank {

int RunInit(Session& session, bool demo);
int RunBooksList(Session& session, const std::string& book);
int RunBooksAdd(Session& session, const std::string& book, const std::string& file);
int RunPathsSet(Session& session, const std::string& key, const std::string& folder);
int RunRegister(Session& session, const std::string& library);
int RunUnregister(Session& session, const std::string& library);
int RunSettingsShow(Session& session);
int RunSettingsSet(Session& session, const std::string& name, const std::string& value);
// The program's window (--gui without a command): the three jobs with the
// component's dialogs on screen. Needs the program built with Qt.
int RunWindow(const GlobalOptions& global, int& argc, char** argv);
// Builds a demo in a new temporary folder and runs the three jobs there.
int RunDemo(const GlobalOptions& global, std::ostream& out, std::ostream& err);

}  // namespace clientbank
