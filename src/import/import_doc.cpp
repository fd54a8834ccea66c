// Placeholder until this part of the component is built: each entry raises an
// error that says so.
#include "core/cbankcl_vb.h"
#include "runtime/com_error.h"

namespace norv {

bool CBankCl_VB::IClientBank_ImportDoc(StatementDoc&) { RaiseRuntime(kErrInvalidCall, u"not built yet"); }
void CBankCl_VB::IClientBank_EndImport() {}

}  // namespace norv
