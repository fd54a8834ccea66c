// BenchHost: the smallest host that drives a whole run of the component, for
// benchmarks. Every per-call service is as cheap as a host can make it (identity
// line converter, empty wait indicator, fixed resource texts), so that the time
// measured is the component's own. Dialogs are answered by the scripted driver;
// messages are kept so a benchmark can print the summary it got.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "host/host_library.h"
#include "hostkit/scripted_driver.h"

namespace norv::bench {

class BenchHost : public host::HostLibrary {
 public:
  BenchHost();
  ~BenchHost() override;

  // Installs a new BenchHost for the calling thread and returns it.
  static std::shared_ptr<BenchHost> Install();

  std::unique_ptr<host::MessageWindow> CreateMessageWindow() override;
  std::unique_ptr<host::WaitIndicator> CreateWaitIndicator() override;
  std::unique_ptr<host::LineConverter> CreateLineConverter() override;
  std::unique_ptr<host::ErrorContext> CreateErrorContext() override;
  std::unique_ptr<host::DialogForm> CreateDialogForm() override;
  std::unique_ptr<host::HostApp> CreateHostApp() override;
  std::unique_ptr<host::StartupObject> CreateStartupObject() override;
  host::ResourceService& Resources() override;
  host::HostApp& App() override;
  host::BookFactory& Books() override;
  host::FolderBrowser& Folders() override;
  host::FileOpenDialog& FileDialog() override;
  host::UtilityService& Utility() override;
  forms::FormsDriver& Forms() override;

  hostkit::ScriptedDriver& Driver() { return driver_; }
  // Texts shown through message windows and errors shown by ShowPendingError.
  const std::vector<std::u16string>& Messages() const { return *messages_; }

 private:
  struct Services;
  std::unique_ptr<Services> services_;
  hostkit::ScriptedDriver driver_;
  std::shared_ptr<std::vector<std::u16string>> messages_;
};

}  // namespace norv::bench
