// What the tests of the file services share: a temporary current directory, a
// recording host with a temporary folder, and the lines of a file.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <string>
#include <vector>

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

// The lines ReadStr gives for a file; the end leaves the target as it was.
inline std::vector<std::u16string> ReadAll(std::u16string name) {
  CFile file;
  EXPECT_TRUE(file.OpenFile(name));
  std::vector<std::u16string> lines;
  std::u16string line = u"untouched";
  while (file.ReadStr(line)) lines.push_back(line);
  EXPECT_EQ(line, lines.empty() ? std::u16string(u"untouched") : lines.back());
  return lines;
}

class FilesTest : public ::testing::Test {
 protected:
  // Names `file` into the temporary folder.
  void Name(CFile& file, const std::u16string& name) {
    file.SetPath(temp.u16path());
    file.SetFileName(name);
  }
  // The component's name of a file in the temporary folder ("\" between).
  std::u16string At(const std::u16string& name) const { return temp.u16path() + u"\\" + name; }

  ScopedRecordingHost host;
  TempFolder temp;
};

}  // namespace norv::testing
