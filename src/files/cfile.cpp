#include "files/cfile.h"

#include <optional>

#include "files/ansi_codec.h"
#include "files/buffered_file.h"
#include "files/file_numbers.h"
#include "files/file_system.h"
#include "files/teardown_report.h"
#include "files/text_stream.h"
#include "host/host_library.h"
#include "runtime/com_error.h"
#include "runtime/text.h"

namespace norv {
namespace {

bool EndsWithSeparator(const std::u16string& path) {
  return !path.empty() && (path.back() == u'\\' || path.back() == u'/');
}

}  // namespace

CFile::CFile() = default;

CFile::~CFile() {
  try {
    CloseStream();
  } catch (const ComError& error) {
    ReportTeardownError(error);
  }
  try {
    CloseFileNumber();
  } catch (const ComError& error) {
    ReportTeardownError(error);
  }
}

std::u16string CFile::Path() const {
  if (!m_sPath.empty()) return m_sPath;
  return FileSystem::Default().CurrentDirectory();
}

std::u16string CFile::PathByPathKey(const std::u16string& pathKey) const {
  if (pathKey.empty()) return u"";
  std::shared_ptr<host::Book> book =
      host::HostLibrary::Current().Books().OpenBook(u"PathKey", nullptr);
  if (!book) RaiseRuntime(kErrObjectNotSet);
  if (book->FindByKey({Variant(pathKey)})) return book->EntryPath();
  return u"";
}

std::u16string CFile::CrFullName() {
  const std::u16string folder = Path();
  // Storing the folder pins an unset Path to the current directory of now.
  if (!folder.empty() && !EndsWithSeparator(folder)) SetPath(folder + u"\\");
  return Path() + m_sFileName;
}

std::u16string CFile::CrFullName2(const std::u16string& pathKey, const std::u16string& name) {
  SetPath(PathByPathKey(pathKey));
  SetFileName(name);
  return CrFullName();
}

std::u16string CFile::GetShortFileName() const {
  if (m_sFileName.empty()) return u"";
  size_t pos = InStrRev(m_sFileName, u"\\");
  if (pos == 0) pos = InStrRev(m_sFileName, u"/");
  return m_sFileName.substr(pos);
}

bool CFile::CrFile() {
  if (m_bUnicode) return OpenStream(Opening::kCreate);
  std::u16string name;
  return OpenAnsi(name, Opening::kCreate);
}

bool CFile::OpenFile(std::u16string& FullName) {
  if (m_bUnicode) return OpenStream(Opening::kRead);
  return OpenAnsi(FullName, Opening::kRead);
}

bool CFile::OpenFile() {
  std::u16string name;
  return OpenFile(name);
}

bool CFile::OpenFileForAppend(std::u16string& FullName) {
  if (m_bUnicode) return OpenStream(Opening::kAppend);
  return OpenAnsi(FullName, Opening::kAppend);
}

bool CFile::OpenFileForAppend() {
  std::u16string name;
  return OpenFileForAppend(name);
}

bool CFile::OpenAnsi(std::u16string& FullName, Opening opening) {
  CloseFileNumber();
  // The number is taken before the opening and stays taken if the opening
  // fails; FileIsOpen answers true until CloseFile gives it back.
  m_iFile = FileNumbers::Take();
  if (opening == Opening::kCreate || FullName.empty()) FullName = CrFullName();
  if (FullName.empty()) return false;
  BufferedFile::Mode mode = BufferedFile::Mode::kWrite;
  if (opening == Opening::kRead) mode = BufferedFile::Mode::kRead;
  if (opening == Opening::kAppend) mode = BufferedFile::Mode::kAppend;
  try {
    m_oAnsiFile = std::make_unique<BufferedFile>(FullName, mode);
  } catch (const ComError& error) {
    m_bOpeningRefused = error.number() == kErrPermissionDenied;
    throw;
  }
  return true;
}

bool CFile::OpenStream(Opening opening) {
  CloseStream();
  TextStream::Mode mode = TextStream::Mode::kCreate;
  if (opening == Opening::kRead) mode = TextStream::Mode::kRead;
  if (opening == Opening::kAppend) mode = TextStream::Mode::kAppend;
  m_oStream = std::make_unique<TextStream>(CrFullName(), mode);
  return true;
}

bool CFile::WriteStr(const std::u16string& strMsg) {
  if (m_bUnicode) {
    if (!m_oStream) CrFile();
    m_oStream->WriteLine(strMsg);
    return true;
  }
  if (m_iFile == 0) CrFile();
  if (m_iFile == 0) return false;
  if (!m_oAnsiFile) RaiseRuntime(kErrBadFileNameOrNumber);
  m_sLineBytes.clear();
  ansi::EncodeAppend(strMsg, m_sLineBytes);
  m_sLineBytes += "\r\n";
  m_oAnsiFile->Write(m_sLineBytes);
  return true;
}

bool CFile::ReadStr(std::u16string& strTarget) {
  if (m_bUnicode) return m_oStream && m_oStream->ReadLine(strTarget);
  if (m_iFile == 0) return false;
  if (!m_oAnsiFile) RaiseRuntime(kErrBadFileNameOrNumber);
  std::string_view line;
  if (!m_oAnsiFile->ReadLine(line)) return false;
  ansi::DecodeInto(line, strTarget);
  return true;
}

bool CFile::FileIsOpen() const { return m_iFile != 0 || m_oStream != nullptr; }

void CFile::Flush() {
  if (m_oAnsiFile && m_oAnsiFile->is_open() && m_oAnsiFile->mode() != BufferedFile::Mode::kRead) {
    m_oAnsiFile->Flush();
  }
  if (m_oStream) m_oStream->Flush();
}

void CFile::CloseFile() {
  std::optional<ComError> first;
  try {
    CloseFileNumber();
  } catch (const ComError& error) {
    first = error;
  }
  try {
    CloseStream();
  } catch (const ComError& error) {
    // Only one error can be raised; the other still reaches the user.
    if (first) ReportTeardownError(error);
    if (!first) first = error;
  }
  if (first) throw *first;
}

void CFile::CloseFileNumber() {
  if (m_iFile == 0) return;
  std::unique_ptr<BufferedFile> file = std::move(m_oAnsiFile);
  FileNumbers::Release(m_iFile);
  m_iFile = 0;
  m_bOpeningRefused = false;
  if (file) file->Close();
}

void CFile::CloseStream() {
  if (!m_oStream) return;
  std::unique_ptr<TextStream> stream = std::move(m_oStream);
  stream->Close();
}

}  // namespace norv
