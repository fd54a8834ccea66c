#include "memory_file_system.h"

#include <algorithm>
#include <cstring>

#include "runtime/com_error.h"

namespace norv::fuzz {

void MemoryFileSystem::Put(const std::u16string& path, std::string_view bytes) {
  files_[ToPosixPath(path)] = std::string(bytes);
}

const std::string* MemoryFileSystem::Get(const std::u16string& path) const {
  const auto it = files_.find(ToPosixPath(path));
  return it == files_.end() ? nullptr : &it->second;
}

std::string& MemoryFileSystem::Existing(const std::u16string& path) {
  const auto it = files_.find(ToPosixPath(path));
  if (it == files_.end()) RaiseRuntime(kErrFileNotFound);
  return it->second;
}

MemoryFileSystem::Open& MemoryFileSystem::Find(Handle handle) {
  const auto it = open_.find(handle);
  if (it == open_.end()) RaiseRuntime(kErrBadFileNameOrNumber);
  return it->second;
}

FileSystem::Handle MemoryFileSystem::OpenForWrite(const std::u16string& path) {
  const std::string key = ToPosixPath(path);
  files_[key].clear();
  open_[next_handle_] = Open{key, 0, true};
  return next_handle_++;
}

FileSystem::Handle MemoryFileSystem::OpenForRead(const std::u16string& path) {
  Existing(path);
  open_[next_handle_] = Open{ToPosixPath(path), 0, false};
  return next_handle_++;
}

FileSystem::Handle MemoryFileSystem::OpenForAppend(const std::u16string& path) {
  const std::string key = ToPosixPath(path);
  files_[key];
  open_[next_handle_] = Open{key, 0, true};
  return next_handle_++;
}

void MemoryFileSystem::Write(Handle handle, std::string_view bytes) {
  const Open& open = Find(handle);
  files_[open.path].append(bytes);
}

size_t MemoryFileSystem::Read(Handle handle, char* buffer, size_t size) {
  Open& open = Find(handle);
  const std::string& bytes = files_[open.path];
  const size_t got = std::min(size, bytes.size() - std::min(open.pos, bytes.size()));
  if (got > 0) std::memcpy(buffer, bytes.data() + open.pos, got);
  open.pos += got;
  return got;
}

void MemoryFileSystem::Close(Handle handle) {
  Find(handle);
  open_.erase(handle);
}

void MemoryFileSystem::Rename(const std::u16string& from, const std::u16string& to) {
  std::string bytes = std::move(Existing(from));
  files_.erase(ToPosixPath(from));
  files_[ToPosixPath(to)] = std::move(bytes);
}

void MemoryFileSystem::Delete(const std::u16string& path) {
  Existing(path);
  files_.erase(ToPosixPath(path));
}

void MemoryFileSystem::Copy(const std::u16string& from, const std::u16string& to) {
  files_[ToPosixPath(to)] = Existing(from);
}

void MemoryFileSystem::CreateFolder(const std::u16string&) { RaiseRuntime(kErrPathFileAccess); }

bool MemoryFileSystem::FolderExists(const std::u16string&) { return true; }

Date MemoryFileSystem::FileTime(const std::u16string& path) {
  Existing(path);
  return Date::FromCivil(2024, 1, 31);
}

int64_t MemoryFileSystem::FileLength(const std::u16string& path) {
  return static_cast<int64_t>(Existing(path).size());
}

}  // namespace norv::fuzz
