// CFile: one text file, named by a folder (Path) and a file name (FileName),
// holding at most one open file at a time. ANSI files (the default) are
// Windows-1257 text with CR LF line ends, under a file number from the
// process-wide pool 1..255; Unicode mode writes UTF-16LE with a byte-order mark.
// Paths use "\" as the component writes them; "/" is accepted too.
//
// Nothing here traps errors: platform failures reach the caller as runtime
// errors (53 file not found, 76 path not found, 70 permission denied, 75 path/file
// access, 67 too many files, 61 disk full, 57 device I/O). Lines are buffered:
// a failed write surfaces at the WriteStr that flushes, at Flush or at CloseFile. Teardown
// closes what the object holds; as it cannot raise, a failure of that last close
// goes to ReportError (to standard error on a thread without a host).
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "runtime/date.h"

namespace norv {

class TextStream;    // the Unicode-mode stream (files/text_stream.h)
class BufferedFile;  // the open ANSI file (files/buffered_file.h)

class CFile {
 public:
  CFile();
  ~CFile();
  CFile(const CFile&) = delete;
  CFile& operator=(const CFile&) = delete;

  // The encoding of the next creation or opening: false (the default) ANSI,
  // true Unicode. Changing it does not touch a file already open.
  bool IsUnicode() const { return m_bUnicode; }
  void SetIsUnicode(bool Value) { m_bUnicode = Value; }
  // The file name, stored as given (no test, no normalisation); may be empty.
  const std::u16string& FileName() const { return m_sFileName; }
  void SetFileName(const std::u16string& strName) { m_sFileName = strName; }
  // The folder; the current directory when none was set.
  std::u16string Path() const;
  void SetPath(const std::u16string& strPath) { m_sPath = strPath; }
  // The folder that the host's "PathKey" book keeps for a key; "" when none.
  std::u16string PathByPathKey(const std::u16string& pathKey) const;

  // Path followed directly by FileName. A Path not ending in "\" or "/" first
  // gets a "\", which is stored: an object with no folder of its own keeps the
  // current directory of this moment. With an empty FileName: the folder alone.
  std::u16string CrFullName();
  // Sets Path to PathByPathKey(pathKey) and FileName to `name`, then returns
  // CrFullName(). An unknown key leaves the file in the current directory.
  // Raises what the host's book raises.
  std::u16string CrFullName2(const std::u16string& pathKey, const std::u16string& name);
  // FileName after its last "\" (or, when it has none, its last "/").
  std::u16string GetShortFileName() const;

  // Creates (or truncates) the file CrFullName() for writing, closing what the
  // object held first. Returns true; a failure raises (70, 75, 76, 67) and
  // leaves the object holding a file number without a file, so FileIsOpen is
  // true until CloseFile.
  bool CrFile();
  // Opens for reading; an empty FullName is filled with CrFullName(). A given
  // FullName neither uses nor changes Path and FileName. Returns true; a file
  // that is missing raises 53 and leaves the object as CrFile does after an
  // error. In Unicode mode FullName is not read: the file is CrFullName().
  bool OpenFile(std::u16string& FullName);
  bool OpenFile();
  // As OpenFile, but for writing after the file's end (created when missing).
  bool OpenFileForAppend(std::u16string& FullName);
  bool OpenFileForAppend();

  // Write the session lines "--- New sesion ----- [date time] ---..." and
  // "--- End sesion ----- [...] ---...", in the thread's regional date and time
  // forms, through WriteStr (so a log on a fresh object starts a new file).
  void StartLog();
  void EndLog();
  // Closes the file and renames it to its full name plus ".bak", replacing an
  // older backup; FileName then names the backup. Returns false, touching no
  // file, when FileName is empty or when the opening under the number held was
  // refused with 70 (the file of that name is another's: another program may
  // hold it). A failed rename raises, with the file already closed and
  // FileName unchanged.
  bool SaveFileAsBackup();
  // Writes one line; the first line on an object without an open file creates it.
  // Returns true whenever it returns: a failure raises (61 disk full, 57 I/O).
  bool WriteStr(const std::u16string& strMsg);
  // Writes "date time  :  strMsg" through WriteStr and returns its result.
  bool WriteStrLog(const std::u16string& strMsg);
  // Reads the next line without its end (CR, CR LF or LF); false at the end.
  bool ReadStr(std::u16string& strTarget);
  // True while the object holds a file (number or Unicode stream), including a
  // number left by a creation or opening that failed.
  bool FileIsOpen() const;
  // Hands the lines still buffered for a file being written to the disk, so
  // that a failed write surfaces now rather than at CloseFile; the file stays
  // open. Does nothing when no file is open or the file is being read.
  void Flush();
  // Closes what the object holds; harmless when nothing is open. The next
  // WriteStr creates the file anew. A failure of the final write raises after
  // the object is already unbound.
  void CloseFile();

  // The named file's modification time; 0 (never raises) when it cannot be read.
  Date FileDateTimeAttr(const std::u16string& FileName);
  // The named file's length in bytes; 0 (never raises) when it cannot be read.
  double FileLenAttr(const std::u16string& FileName);
  // Copies Source over Target unless Target already has length `srclen` and
  // time `srcdatetime`. A failure is reported through the host's ErrorContext
  // and the call returns normally; only that report's own errors raise.
  void CopyFile(const std::u16string& Source, Date srcdatetime, int32_t srclen,
                const std::u16string& Target);
  // Moves the file into PathBackup (default: the folder BACKUP beside it,
  // created when missing). Returns false, moving nothing, when FileFullName is
  // empty or the backup folder cannot be made; a failed copy or delete raises.
  bool MoveFileToBackup(std::u16string FileFullName, std::u16string PathBackup = u"");
  // FileName with each of \ / : * ? " < > | replaced by sReplaceToChar (which
  // may be empty or longer); FileName itself is unchanged.
  std::u16string GetValidFileName(const std::u16string& sReplaceToChar = u"_") const;

 private:
  int16_t m_iFile = 0;
  std::unique_ptr<TextStream> m_oStream;
  bool m_bUnicode = false;
  std::u16string m_sFileName;
  std::u16string m_sPath;

  // The ANSI file open under m_iFile; none when the opening failed after the
  // number was taken.
  std::unique_ptr<BufferedFile> m_oAnsiFile;
  // The last ANSI opening was refused with 70: the file is not this object's.
  bool m_bOpeningRefused = false;
  std::string m_sLineBytes;  // reused for encoding each written line

  // Closes the ANSI file and gives m_iFile back; raises a failure of the close
  // after the object is already unbound.
  void CloseFileNumber();
  void CloseStream();
  enum class Opening { kCreate, kRead, kAppend };
  // The openings shared by CrFile, OpenFile and OpenFileForAppend.
  bool OpenAnsi(std::u16string& FullName, Opening opening);
  bool OpenStream(Opening opening);
};

}  // namespace norv
