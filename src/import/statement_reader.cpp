// Placeholder until this part of the component is built: each entry raises an
// error that says so.
#include "core/cbankcl_vb.h"
#include "runtime/com_error.h"

namespace norv {

bool CBankCl_VB::IClientBank_BeginImport(StHead&) { RaiseRuntime(kErrInvalidCall, u"not built yet"); }
bool CBankCl_VB::IClientBank_BeginImportByAccount(StHead&) { RaiseRuntime(kErrInvalidCall, u"not built yet"); }

}  // namespace norv
