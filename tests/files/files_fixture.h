// What the tests of the file services share: error checks, a temporary current
// directory and component-style names ("\" between folder and file).
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <string>

#include "files/cfile.h"
#include "runtime/com_error.h"
#include "runtime/error_matchers.h"
#include "support/recording_host.h"

namespace norv::testing {

// Makes a folder the current directory for the life of the object.
class ScopedCurrentDirectory {
 public:
  explicit ScopedCurrentDirectory(const std::string& folder) {
    char buffer[4096];
    if (::getcwd(buffer, sizeof buffer) != nullptr) previous_ = buffer;
    if (::chdir(folder.c_str()) != 0) ADD_FAILURE() << "cannot enter " << folder;
  }
  ~ScopedCurrentDirectory() {
    if (!previous_.empty() && ::chdir(previous_.c_str()) != 0) ADD_FAILURE() << "cannot go back";
  }

 private:
  std::string previous_;
};

// The folder as the component writes it: the path, then "\".
inline std::u16string Folder(const TempFolder& temp) { return temp.u16path() + u"\\"; }
inline std::u16string InFolder(const TempFolder& temp, const std::u16string& name) {
  return Folder(temp) + name;
}

// A recording host and a temporary folder for the file tests.
class FilesTest : public ::testing::Test {
 protected:
  // Names `file` into the temporary folder.
  void Name(CFile& file, const std::u16string& name) {
    file.SetPath(temp.u16path());
    file.SetFileName(name);
  }
  std::u16string At(const std::u16string& name) const { return InFolder(temp, name); }

  ScopedRecordingHost host;
  TempFolder temp;
};

}  // namespace norv::testing
