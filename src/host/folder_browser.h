// FolderBrowser: the host's folder choice (library-wide).
#pragma once

#include <cstdint>
#include <string>

#include "../runtime/export.h"

namespace norv::host {

class NORV_EXPORT FolderBrowser {
 public:
  virtual ~FolderBrowser() = default;
  // The chosen folder, empty when the user chose none.
  virtual std::u16string BrowseForFolder(intptr_t owner_window, const std::u16string& title,
                                         const std::u16string& start) = 0;
};

}  // namespace norv::host
