// IClientBank: the interface through which the host drives the component, in
// the order of its slots. The component does not check the calling order.
#pragma once

#include <cstdint>

#include "core/records.h"
#include "runtime/date.h"

namespace norv {

class IClientBank {
 public:
  virtual ~IClientBank() = default;
  virtual void BeginExport(Date DateBeg, Date DateEnd) = 0;
  virtual void EndExport(bool& EndByError) = 0;
  virtual void ExportDoc(int32_t& DocType, PaymentDoc& Doc) = 0;
  virtual bool BeginImport(StHead& head) = 0;
  virtual void EndImport() = 0;
  virtual bool BeginImportByAccount(StHead& head) = 0;
  virtual bool ImportDoc(StatementDoc& Doc) = 0;
  virtual void LoadRate() = 0;
};

}  // namespace norv
