// HostLibrary: how the component reaches its host. The host installs one for a
// thread before it creates component objects there; the component creates host
// objects through its factories ("ordinary object creation of the host's class")
// and reads the library-wide ones through its accessors. Calling Current() on a
// thread without one raises runtime error 91.
//
// A host implements every member. The factories and accessors are called on the
// thread that installed the library, only while it is installed; each may raise
// a ComError, which reaches the host through the component entry point that
// needed the object. Objects the factories hand out may outlive the library's
// installation (a dialog released after Install(nullptr) must still be safe to
// destroy).
#pragma once

#include <cstdint>
#include <memory>

#include "../runtime/export.h"
#include "book.h"
#include "dialog_form.h"
#include "error_context.h"
#include "file_open_dialog.h"
#include "folder_browser.h"
#include "host_app.h"
#include "line_converter.h"
#include "message_window.h"
#include "resource_service.h"
#include "utility_service.h"
#include "wait_indicator.h"

namespace norv::forms {
class FormsDriver;
}

namespace norv::host {

// The object that the start-up procedure creates and keeps; nothing calls it.
class NORV_EXPORT StartupObject {
 public:
  virtual ~StartupObject() = default;
};

class NORV_EXPORT HostLibrary {
 public:
  virtual ~HostLibrary() = default;

  // Factories: a new object per call, never null (raise instead).
  virtual std::unique_ptr<MessageWindow> CreateMessageWindow() = 0;  // summaries, notices
  virtual std::unique_ptr<WaitIndicator> CreateWaitIndicator() = 0;  // held during long work
  virtual std::unique_ptr<LineConverter> CreateLineConverter() = 0;  // one per CBankCl_VB
  virtual std::unique_ptr<ErrorContext> CreateErrorContext() = 0;    // one per report
  virtual std::unique_ptr<DialogForm> CreateDialogForm() = 0;        // the rate dialog's frame
  virtual std::unique_ptr<HostApp> CreateHostApp() = 0;              // one per ShowPendingError
  virtual std::unique_ptr<StartupObject> CreateStartupObject() = 0;  // kept by start-up

  // Library-wide objects: one per thread, created on first use; the references
  // stay valid while the library is installed.
  virtual ResourceService& Resources() = 0;
  virtual HostApp& App() = 0;  // form settings, the current session
  virtual BookFactory& Books() = 0;
  virtual FolderBrowser& Folders() = 0;
  virtual FileOpenDialog& FileDialog() = 0;
  virtual UtilityService& Utility() = 0;
  virtual forms::FormsDriver& Forms() = 0;  // shows every modal form

  // The calling thread's host library; raises 91 when none is installed.
  static HostLibrary& Current();
  // Whether the calling thread has one (never raises).
  static bool IsInstalled();
  // Installs (or, with nullptr, removes) the calling thread's host library.
  static void Install(std::shared_ptr<HostLibrary> library);
  // How many times Install ran on the calling thread; library-wide start-up state
  // compares it to notice that the thread got a different host.
  static uint64_t InstallCount();
};

}  // namespace norv::host
