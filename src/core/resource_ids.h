// Resource ids of the texts that the component draws from the host's module.
#pragma once

#include <cstdint>

namespace norv::res {

inline constexpr int32_t kFolderChoiceTitle = 980;
inline constexpr int32_t kCannotOpenFile = 984;
inline constexpr int32_t kAllFilesFilter = 985;
inline constexpr int32_t kFileDialogTitle = 986;
inline constexpr int32_t kExportSummaryHeading = 987;
inline constexpr int32_t kExportDpCountLabel = 988;
inline constexpr int32_t kExportFpCountLabel = 989;
inline constexpr int32_t kRateSummary = 998;
inline constexpr int32_t kStatusCurrency = 1004;
inline constexpr int32_t kStatusRateType = 1005;
inline constexpr int32_t kStatusRate = 1006;
inline constexpr int32_t kDocErrorTemplate = 1198;      // %0 number, %1 date, %2 field
inline constexpr int32_t kErrorArgsTemplate = 1199;     // %0, %1
inline constexpr int32_t kBackupNoticeTemplate = 1200;  // %0 the backup's name
inline constexpr int32_t kNoRateTypeChosen = 1220;

}  // namespace norv::res
