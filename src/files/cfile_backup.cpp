// The session log lines, backups, file attributes and name cleaning of CFile.
#include <array>

#include "files/cfile.h"
#include "files/file_system.h"
#include "host/host_library.h"
#include "runtime/com_error.h"
#include "runtime/regional.h"
#include "runtime/text.h"

namespace norv {
namespace {

constexpr char16_t kLogTail[] = u"] -------------------------------";

// The date and the time are read from the clock one after the other, so a line
// written at midnight may carry the old date with the new time.
std::u16string TimeStamp() {
  const RegionalSettings& regional = RegionalSettings::Current();
  std::u16string stamp = regional.FormatShortDate(Date::Now());
  stamp += u" ";
  stamp += regional.FormatLongTime(Date::Now());
  return stamp;
}

}  // namespace

void CFile::StartLog() { WriteStr(u"--- New sesion ----- [" + TimeStamp() + kLogTail); }

void CFile::EndLog() { WriteStr(u"--- End sesion ----- [" + TimeStamp() + kLogTail); }

bool CFile::WriteStrLog(const std::u16string& strMsg) {
  return WriteStr(TimeStamp() + u"  :  " + strMsg);
}

bool CFile::SaveFileAsBackup() {
  const std::u16string full = Path() + m_sFileName;
  if (m_sFileName.empty()) return false;
  if (m_bOpeningRefused) {
    // The file of that name is another's, most likely a file that another
    // program is writing: renaming it would take that program's file away, and
    // there is nothing of this object's to keep.
    CloseFile();
    return false;
  }
  CloseFile();
  FileSystem& fs = FileSystem::Default();
  try {
    fs.Delete(full + u".bak");
  } catch (const ComError&) {
    // Usually there is no older backup; any real obstacle shows in the rename.
  }
  fs.Rename(full, full + u".bak");
  m_sFileName += u".bak";
  return true;
}

Date CFile::FileDateTimeAttr(const std::u16string& FileName) {
  try {
    return FileSystem::Default().FileTime(FileName);
  } catch (const ComError&) {
    return Date(0.0);  // 0 stands for every failure, by contract
  }
}

double CFile::FileLenAttr(const std::u16string& FileName) {
  try {
    return static_cast<double>(FileSystem::Default().FileLength(FileName));
  } catch (const ComError&) {
    return 0.0;  // 0 stands for every failure, by contract
  }
}

void CFile::CopyFile(const std::u16string& Source, Date srcdatetime, int32_t srclen,
                     const std::u16string& Target) {
  try {
    const Date target_time = FileDateTimeAttr(Target);
    const double target_length = FileLenAttr(Target);
    if (static_cast<double>(srclen) != target_length || srcdatetime != target_time) {
      FileSystem::Default().Copy(Source, Target);
    }
  } catch (const ComError&) {
    // The failure goes to the host's error report, which the caller does not see.
    std::unique_ptr<host::ErrorContext> context = host::HostLibrary::Current().CreateErrorContext();
    context->BeginContext(u"", u"");
    context->SetContextText(context->ContextText() + u" : " + Source + u" " + Target);
    context->Finish();
  }
}

bool CFile::MoveFileToBackup(std::u16string FileFullName, std::u16string PathBackup) {
  if (FileFullName.empty()) return false;
  std::u16string folder;
  std::u16string name;
  const size_t pos = InStrRev(FileFullName, u"\\");
  if (pos > 0) {
    folder = FileFullName.substr(0, pos);
    name = FileFullName.substr(pos);
  }
  if (PathBackup.empty()) PathBackup = folder + u"BACKUP";
  if (!PathBackup.empty() && PathBackup.back() != u'\\' && PathBackup.back() != u'/') {
    PathBackup += u"\\";
  }
  FileSystem& fs = FileSystem::Default();
  try {
    fs.CreateFolder(PathBackup);
  } catch (const ComError&) {
    // Mostly "exists already"; a folder that truly cannot be made is found
    // missing just below.
  }
  if (!fs.FolderExists(PathBackup)) return false;
  fs.Copy(FileFullName, PathBackup + name);
  fs.Delete(FileFullName);
  return true;
}

std::u16string CFile::GetValidFileName(const std::u16string& sReplaceToChar) const {
  static constexpr std::array<char16_t, 9> kNotInFileNames = {u'\\', u'/', u':', u'*', u'?',
                                                              u'"',  u'<', u'>', u'|'};
  std::u16string name = m_sFileName;
  for (const char16_t c : kNotInFileNames) {
    name = ReplaceAll(name, std::u16string_view(&c, 1), sReplaceToChar);
  }
  return name;
}

}  // namespace norv
