// Variant: a tagged value, used for template arguments, optional arguments and
// the values of host book fields.
#pragma once

#include <cstdint>
#include <string>
#include <variant>

#include "currency.h"
#include "date.h"
#include "export.h"

namespace norv {

using Variant = std::variant<std::monostate, std::u16string, int32_t, double, Currency, Date, bool>;

// The text form of a value under the current regional settings: text as it is,
// numbers in the general number form, amounts without grouping, dates in the
// short date form (with the long time when the value has a time), booleans as
// "True"/"False", the empty value as the empty text.
NORV_EXPORT std::u16string VariantToText(const Variant& value);

// Conversions as the platform's CStr/CCur/CLng/CDate do: text is parsed under
// the regional settings (13 when it is not a number or date), numbers out of
// range raise 6.
NORV_EXPORT Currency VariantToCurrency(const Variant& value);
NORV_EXPORT int32_t VariantToInt32(const Variant& value);
NORV_EXPORT double VariantToDouble(const Variant& value);
NORV_EXPORT Date VariantToDate(const Variant& value);

}  // namespace norv
