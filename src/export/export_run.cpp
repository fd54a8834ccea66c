// Placeholder until this part of the component is built: each entry raises an
// error that says so.
#include "core/cbankcl_vb.h"
#include "runtime/com_error.h"

namespace norv {

void CBankCl_VB::IClientBank_BeginExport(Date, Date) { RaiseRuntime(kErrInvalidCall, u"not built yet"); }
void CBankCl_VB::IClientBank_EndExport(bool&) { RaiseRuntime(kErrInvalidCall, u"not built yet"); }

}  // namespace norv
