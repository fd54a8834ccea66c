// HostLibrary: how the component reaches its host. The host installs one for a
// thread before it creates component objects there; the component creates host
// objects through its factories ("ordinary object creation of the host's class")
// and reads the library-wide ones through its accessors. Calling Current() on a
// thread without one raises runtime error 91.
#pragma once

#include <cstdint>
#include <memory>

#include "host/book.h"
#include "host/dialog_form.h"
#include "host/error_context.h"
#include "host/file_open_dialog.h"
#include "host/folder_browser.h"
#include "host/host_app.h"
#include "host/line_converter.h"
#include "host/message_window.h"
#include "host/resource_service.h"
#include "host/utility_service.h"
#include "host/wait_indicator.h"

namespace norv::forms {
class FormsDriver;
}

namespace norv::host {

// The object that the start-up procedure creates and keeps; nothing calls it.
class StartupObject {
 public:
  virtual ~StartupObject() = default;
};

class HostLibrary {
 public:
  virtual ~HostLibrary() = default;

  // Factories: a new object per call.
  virtual std::unique_ptr<MessageWindow> CreateMessageWindow() = 0;
  virtual std::unique_ptr<WaitIndicator> CreateWaitIndicator() = 0;
  virtual std::unique_ptr<LineConverter> CreateLineConverter() = 0;
  virtual std::unique_ptr<ErrorContext> CreateErrorContext() = 0;
  virtual std::unique_ptr<DialogForm> CreateDialogForm() = 0;
  virtual std::unique_ptr<HostApp> CreateHostApp() = 0;
  virtual std::unique_ptr<StartupObject> CreateStartupObject() = 0;

  // Library-wide objects: one per thread, created on first use.
  virtual ResourceService& Resources() = 0;
  virtual HostApp& App() = 0;
  virtual BookFactory& Books() = 0;
  virtual FolderBrowser& Folders() = 0;
  virtual FileOpenDialog& FileDialog() = 0;
  virtual UtilityService& Utility() = 0;
  virtual forms::FormsDriver& Forms() = 0;

  // The calling thread's host library; raises 91 when none is installed.
  static HostLibrary& Current();
  static bool IsInstalled();
  // Installs (or, with nullptr, removes) the calling thread's host library.
  static void Install(std::shared_ptr<HostLibrary> library);
  // How many times Install ran on the calling thread; library-wide start-up state
  // compares it to notice that the thread got a different host.
  static uint64_t InstallCount();
};

}  // namespace norv::host
