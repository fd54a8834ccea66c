#include "rates/load_rate_command.h"

#include <cstdint>
#include <memory>
#include <string>

#include "host/host_library.h"
#include "rates/load_rate_dlg.h"

namespace norv {

namespace {

// The thread's form and the host installation it was made under.
//
// Teardown at thread exit: thread-local objects die in the reverse order of
// their construction, and the slot is constructed only after the thread's host
// library was installed (ThreadLoadRateDlg asks for it first), so the host's
// thread state is still there while the form goes. What the form may still hold
// after a failed Run (the dialog frame, the path binder, the rate writer's
// books) are host objects, which the host seam lets outlive their host library;
// at worst the binder's closing write reaches no host and is reported on
// standard error.
class ThreadDialogSlot {
 public:
  ThreadDialogSlot() = default;
  ThreadDialogSlot(const ThreadDialogSlot&) = delete;
  ThreadDialogSlot& operator=(const ThreadDialogSlot&) = delete;
  ~ThreadDialogSlot() = default;

  LoadRateDlgVB& Get() {
    // A form made under an earlier host holds that host's choices (rate type
    // codes of its books); the new host gets a form of its own.
    const uint64_t install = host::HostLibrary::InstallCount();
    if (dialog_ && install_ != install) dialog_.reset();
    if (!dialog_) {
      dialog_ = std::make_unique<LoadRateDlgVB>();
      install_ = install;
    }
    return *dialog_;
  }

  void Drop() { dialog_.reset(); }

 private:
  std::unique_ptr<LoadRateDlgVB> dialog_;
  uint64_t install_ = 0;
};

// Trivially destructible, so it can be asked about the slot at any time.
thread_local bool t_slot_made = false;

ThreadDialogSlot& Slot() {
  thread_local ThreadDialogSlot slot;
  t_slot_made = true;
  return slot;
}

}  // namespace

LoadRateDlgVB& ThreadLoadRateDlg() {
  host::HostLibrary::Current();  // no host on this thread: error 91, and no slot yet
  return Slot().Get();
}

void ReleaseLoadRateDlg() {
  if (t_slot_made) Slot().Drop();
}

}  // namespace norv
