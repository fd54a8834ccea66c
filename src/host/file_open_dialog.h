// FileOpenDialog: the platform's file-open dialog, with the inputs the
// component gives it: owner, title, initial folder, the initial contents of the
// file-name field and one filter.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "../runtime/export.h"

namespace norv::host {

struct NORV_EXPORT OpenFileRequest {
  intptr_t owner_window = 0;
  std::u16string title;
  std::u16string initial_dir;
  // The file-name buffer: 257 characters, the initial text followed by NULs.
  std::u16string file_buffer;
  std::u16string filter_description;
  std::u16string filter_pattern;  // "*.*"
};

class NORV_EXPORT FileOpenDialog {
 public:
  virtual ~FileOpenDialog() = default;
  // The file buffer after a choice (the full path followed by NULs up to the
  // buffer's length), or nothing when the user cancelled.
  virtual std::optional<std::u16string> GetOpenFileName(const OpenFileRequest& request) = 0;
};

}  // namespace norv::host
