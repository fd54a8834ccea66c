#include <iostream>

#include "commands.h"
#include "job_commands.h"
#include "jobs/payment_reader.h"
#include "session.h"

#ifdef NORV_CLIENTBANK_GUI
#include "qt/host_window.h"
#endif

namespace clientbank {

#ifdef NORV_CLIENTBANK_GUI

int RunWindow(const GlobalOptions& global, int& argc, char** argv) {
  Session session(global, std::cout, std::cerr);
  norv::qt::GuiServices services;
  services.host = &session.host();
  services.create_client_bank = [&session] { return session.CreateClientBank(); };
  services.read_payment_docs = [](const std::string& path) {
    std::vector<norv::qt::PaymentDocument> docs;
    norv::jobs::ReadPayments(path, [&docs](int64_t, norv::jobs::PaymentEntry& entry) {
      docs.push_back({entry.doc_type, std::move(entry.doc)});
    });
    return docs;
  };
  return norv::qt::RunGui(argc, argv, services);
}

#else

int RunWindow(const GlobalOptions&, int&, char**) {
  std::cerr << "clientbank: --gui needs the program built with Qt (cmake -DNORV_WITH_QT=ON and "
               "Qt 6 Widgets installed)\n";
  return kExitError;
}

#endif

}  // namespace clientbank
