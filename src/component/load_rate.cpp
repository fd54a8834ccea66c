// LoadRate: every rate load of a thread goes through the thread's one rate
// dialog (rates/load_rate_command.h), which keeps the user's choices between loads.
#include <string>

#include "component/cbankcl_vb.h"
#include "rates/load_rate_command.h"
#include "rates/load_rate_dlg.h"

namespace norv {

void CBankCl_VB::IClientBank_LoadRate() {
  std::u16string key_path = u"RazizeRuveRO";
  std::u16string file_name;
  ThreadLoadRateDlg().Run(key_path, file_name);
}

}  // namespace norv
