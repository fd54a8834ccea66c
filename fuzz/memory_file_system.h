// MemoryFileSystem: a FileSystem held in memory, for the fuzz targets. A fuzz
// input becomes a file without touching the disk, and what the component writes
// can be read back at once. Folders are not modelled: every folder exists, a
// file exists once it is put or created. Paths are compared after "\" became "/".
#pragma once

#include <map>
#include <string>
#include <string_view>

#include "files/file_system.h"

namespace norv::fuzz {

class MemoryFileSystem : public FileSystem {
 public:
  void Put(const std::u16string& path, std::string_view bytes);
  // The bytes of the file, nullptr when there is none.
  const std::string* Get(const std::u16string& path) const;
  size_t FileCount() const { return files_.size(); }

  Handle OpenForWrite(const std::u16string& path) override;
  Handle OpenForRead(const std::u16string& path) override;
  Handle OpenForAppend(const std::u16string& path) override;
  void Write(Handle handle, std::string_view bytes) override;
  size_t Read(Handle handle, char* buffer, size_t size) override;
  void Close(Handle handle) override;
  void Rename(const std::u16string& from, const std::u16string& to) override;
  void Delete(const std::u16string& path) override;
  void Copy(const std::u16string& from, const std::u16string& to) override;
  void CreateFolder(const std::u16string& path) override;
  bool FolderExists(const std::u16string& path) override;
  Date FileTime(const std::u16string& path) override;
  int64_t FileLength(const std::u16string& path) override;
  std::u16string CurrentDirectory() override { return u"/fuzz"; }

 private:
  struct Open {
    std::string path;
    size_t pos = 0;
    bool writing = false;
  };
  std::string& Existing(const std::u16string& path);
  Open& Find(Handle handle);

  std::map<std::string, std::string> files_;
  std::map<Handle, Open> open_;
  Handle next_handle_ = 3;
};

}  // namespace norv::fuzz
