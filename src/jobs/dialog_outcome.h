// DialogOutcome: what the user left in one of the component's dialogs when its
// show ended, read through the host's show-end observer for as long as the
// object lives (the observer it replaced comes back after). A dialog closed by
// its close box leaves nothing.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "hostkit/default_host.h"

namespace norv::jobs {

class DialogOutcome {
 public:
  // Watches the shows of `form_name`, keeping the texts of `text_boxes` (of a
  // host combo among them: the code chosen).
  DialogOutcome(hostkit::DefaultHost& host, std::u16string form_name,
                std::vector<std::u16string> text_boxes);
  ~DialogOutcome();
  DialogOutcome(const DialogOutcome&) = delete;
  DialogOutcome& operator=(const DialogOutcome&) = delete;

  // Whether a show of the form ended with the form still loaded (OK or Cancel
  // hide it; the close box unloads it).
  bool ended_loaded() const { return ended_loaded_; }
  // The text of a watched box at the end of the last show ("" when none).
  std::u16string Text(const std::u16string& box) const;

 private:
  hostkit::DefaultHost& host_;
  std::u16string form_name_;
  std::vector<std::u16string> boxes_;
  std::map<std::u16string, std::u16string> texts_;
  bool ended_loaded_ = false;
  hostkit::DefaultHost::ShowEndObserver previous_;
};

}  // namespace norv::jobs
