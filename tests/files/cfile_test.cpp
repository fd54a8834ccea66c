// CFile as scripts of steps in tests/data/file_steps: names, writing, reading,
// the code page and Unicode byte for byte, openings and their errors, logs,
// attributes, copies, backups, moves, sharing, the pool of file numbers and each
// failure of the file system. And the pool taken on many threads at once.
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cctype>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "core/resource_ids.h"
#include "files/browse_path.h"
#include "files/cfile.h"
#include "files/file_numbers.h"
#include "forms/control.h"
#include "forms/form.h"
#include "hostkit/lock_holders.h"
#include "runtime/error_matchers.h"
#include "runtime/regional.h"
#include "runtime/text.h"
#include "support/data_files.h"
#include "support/fault_injecting_file_system.h"
#include "support/recording_host.h"

namespace norv::testing {
namespace {

// Makes a folder the current directory for the life of the object.
class ScopedCurrentDirectory {
 public:
  explicit ScopedCurrentDirectory(const std::string& folder) {
    char buffer[4096];
    if (::getcwd(buffer, sizeof buffer) != nullptr) previous_ = buffer;
    EXPECT_EQ(::chdir(folder.c_str()), 0) << folder;
  }
  ~ScopedCurrentDirectory() { EXPECT_EQ(::chdir(previous_.c_str()), 0); }

 private:
  std::string previous_;
};

// "{N*c}" stands for N times the character c; with `bytes` also "\r\n" for CR LF
// and "\xNN" for that byte.
std::string Expand(std::string text, bool bytes) {
  for (size_t at = 0; (at = text.find('{', at)) != std::string::npos; ++at) {
    const size_t star = text.find('*', at), end = text.find('}', at);
    if (star < end && end == star + 2 && isdigit(text[at + 1])) {
      text.replace(at, end + 1 - at, std::stoul(text.substr(at + 1)), text[star + 1]);
    }
  }
  if (!bytes) return text;
  for (size_t at; (at = text.find("\\r\\n")) != std::string::npos;) text.replace(at, 4, "\r\n");
  return Unescape(text);
}

// A path box and its button.
class PathForm : public forms::Form {
 public:
  PathForm()
      : forms::Form(u"PathTestDlg", u"Path"),
        edPath(AddControl<forms::TextBox>(u"edPath")),
        btSelect(AddControl<forms::CommandButton>(u"btSelect", u"...")) {}

  forms::TextBox& edPath;
  forms::CommandButton& btSelect;
};

// One script: a host, a folder ({T}) and a fault-injecting file system of its own.
class Script {
 public:
  ~Script() { RegionalSettings::SetCurrent(regional_); }

  // Runs one step and gives what it answered ("!N": it raised runtime error N).
  std::string Run(const Row& c) {
    std::string arg = Unescape(Expand(c[3], false));
    for (size_t at; (at = arg.find("{T}")) != std::string::npos;) arg.replace(at, 3, temp.path());
    try {
      return Step(c[1], c[2], Utf8ToU16(arg));
    } catch (const ComError& error) {
      return "!" + std::to_string(error.number());
    }
  }

 private:
  static std::string Flag(bool value) { return value ? "1" : "0"; }
  std::string Shown(std::u16string text) const {
    for (size_t at; (at = text.find(temp.u16path())) != std::u16string::npos;) {
      text.replace(at, temp.u16path().size(), u"{T}");
    }
    return U16ToUtf8(text);
  }
  static FileOp Op(const std::string& name) {
    const char* names[] = {"openwrite", "openread", "openappend", "write", "read",
                           "close",     "rename",   "delete",     "copy",  "mkdir",
                           "exists",    "time",     "length",     "cwd"};
    for (int i = 0; i < kFileOpCount; ++i) {
      if (name == names[i]) return static_cast<FileOp>(i);
    }
    ADD_FAILURE() << "no file operation " << name;
    return FileOp::kCurrentDirectory;
  }
  // The text of a date: "0" for none, "mtime" for the modification time of `file`.
  static std::string When(Date date, const std::string& file) {
    struct stat st;
    struct tm t;
    if (date == Date(0.0)) return "0";
    if (::stat(file.c_str(), &st) != 0 || !localtime_r(&st.st_mtime, &t)) return "?";
    const Date mtime =
        Date::FromCivil(t.tm_year + 1900, t.tm_mon + 1, t.tm_mday, t.tm_hour, t.tm_min, t.tm_sec);
    return date == mtime ? "mtime" : std::to_string(date.serial());
  }
  // "mine" for this form's window with the title of the resource texts.
  std::u16string Mine(intptr_t owner, bool usual_title) const {
    return std::u16string(owner == form.WindowHandle() ? u"mine" : u"other") +
           (usual_title ? u"" : u" (title)");
  }
  // Each stamp of the log's moments as "{S}".
  std::string Stamped(std::string text) const {
    for (Date when : {log_start_, log_end_}) {
      const RegionalSettings& r = RegionalSettings::Current();
      const std::string s = U16ToUtf8(r.FormatShortDate(when) + u" " + r.FormatLongTime(when));
      for (size_t at; (at = text.find(s)) != std::string::npos;) text.replace(at, s.size(), "{S}");
    }
    return text;
  }

  std::string Step(const std::string& object, const std::string& op, const std::u16string& arg) {
    const size_t bar = arg.find(u'|');
    const std::u16string first = arg.substr(0, bar);
    const std::u16string second = bar == arg.npos ? u"" : arg.substr(bar + 1);
    const std::string text = U16ToUtf8(arg), one = U16ToUtf8(first);
    FileSystem& fs = FileSystem::Default();
    if (object == "-") {   // the script's surroundings
      if (op == "fail") {  // operation, the call that fails (0: every call), errno
        const int nth = std::stoi(text.substr(text.find(' '))),
                  err = std::stoi(text.substr(text.rfind(' ')));
        const FileOp what = Op(text.substr(0, text.find(' ')));
        nth == 0 ? faults.FailAlways(what, err) : faults.FailNth(what, nth, err);
      }
      if (op == "calls") return std::to_string(faults.Calls(Op(text)));
      if (op == "inuse") return std::to_string(FileNumbers::InUse());
      if (op == "take") return std::to_string(FileNumbers::Take());
      if (op == "release") FileNumbers::Release(static_cast<int16_t>(std::stoi(text)));
      if (op == "errors") {  // number:source of each error reported
        std::u16string all;
        for (const ReportedError& e : host->Errors())
          all += IntToText(e.number) + u":" + e.source + u" ";
        return all.empty() ? "none" : U16ToUtf8(all.substr(0, all.size() - 1));
      }
      if (op == "keep") host->FormValues()[{u"PathTestDlg", u"edPath"}] = Variant(arg);
      if (op == "forget") host->FormValues().clear();
      if (op == "kept") {
        auto& kept = host->FormValues();
        return kept.empty() ? "(none)" : Shown(VariantToText(kept.begin()->second));
      }
      if (op == "choose")
        host->QueueFileChoice(text == "(cancel)" ? std::nullopt : std::optional(arg));
      if (op == "filedialogs") {  // what each file dialog was given; NULs as "@"
        std::u16string all;
        for (const host::OpenFileRequest& r : host->FileDialogRequests()) {
          std::u16string buffer = r.file_buffer;
          std::replace(buffer.begin(), buffer.end(), u'\0', u'@');
          all += r.initial_dir + u";" +
                 Mine(r.owner_window, r.title == host->Text(res::kFileDialogTitle)) + u";" +
                 (r.filter_description == host->Text(res::kAllFilesFilter) ? u"all files"
                                                                           : r.filter_description) +
                 u";" + r.filter_pattern + u";" + buffer + u"|";
        }
        return U16ToUtf8(all);
      }
      if (op == "folderdialogs") {
        std::u16string all;
        for (const FolderRequest& r : host->FolderRequests()) {
          all += Mine(r.owner, r.title == host->Text(res::kFolderChoiceTitle)) + u"|";
        }
        return U16ToUtf8(all);
      }
      if (op == "contexts") {
        std::u16string all;
        for (const std::u16string& report : host->ErrorContextReports()) all += report + u"|";
        return Shown(all);
      }
      if (op == "bookcalls") {
        std::u16string all;
        for (const BookCall& call : host->BookCalls()) {
          all += call.book + u"." + call.op;
          for (const Variant& a : call.args) all += u" " + VariantToText(a);
          all += u"|";
        }
        return U16ToUtf8(all);
      }
      if (op == "cd") cwd.emplace(text.empty() ? temp.path() : text);
      if (op == "preset") RegionalSettings::SetCurrent(RegionalSettings::Preset(arg));
      if (op == "pathkey") host->SetPathKey(first, second);
      if (op == "failnext") host->FailNext(first, second, ComError(3021, u"Book", u"No record"));
      if (op == "holders")
        return Flag(hostkit::ProcessesLockingFile(ToPosixPath(arg)) ==
                    std::vector<long>{static_cast<long>(getpid())});
      if (op == "rename") fs.Rename(first, second);
      if (op == "delete") fs.Delete(first);
      if (op == "copy") fs.Copy(first, second);
      if (op == "many") {  // N more open files; -N closes the N-th; 0 drops them all
        const int n = std::stoi(text);
        if (n < 0) many[-n]->CloseFile();
        if (n == 0) many.clear();
        for (int i = 0; i < n; ++i) {
          many.push_back(std::make_unique<CFile>());
          many.back()->SetPath(temp.u16path());
          many.back()->SetFileName(u"f" + IntToText(i) + u".txt");
          many.back()->CrFile();
        }
        for (int i = 0; n > 0 && i < 300; ++i) many[0]->CrFile();  // keeps its one number
      }
    } else if (object == "B") {  // a CBrowsePath on the path box of a form
      if (op == "bind") {        // File or Catalog, the start (none: nothing), full name, filter
        std::vector<std::u16string> a = {u"", u"", u"", u""};
        for (size_t i = 0, at = 0; at <= arg.size() && i < 4; ++i, at = arg.find(u'|', at) + 1) {
          a[i] = arg.substr(at, arg.find(u'|', at) - at);
          if (arg.find(u'|', at) == arg.npos) break;
        }
        int32_t select = a[0] == u"File" ? File : Catalog;
        Variant start = a[1] == u"(none)" ? Variant() : Variant(a[1]);
        browse = std::make_unique<CBrowsePath>();
        const bool bound =
            browse->Init(form.edPath, form.btSelect, select, start, a[2] == u"1", a[3]);
        const std::string given = U16ToUtf8(VariantToText(start));
        return Flag(bound) + (given.empty() ? "" : " " + given);
      }
      if (op == "new") browse = std::make_unique<CBrowsePath>();
      if (op == "release") browse.reset();
      if (op == "click") form.btSelect.Click();
      if (op == "type") form.edPath.SetText(arg);
      if (op == "box") return U16ToUtf8(form.edPath.Text());
      if (op == "split")
        return U16ToUtf8(browse->FullFileName() + u"|" + browse->FileName() + u"|" +
                         browse->FPath());
    } else if (object.size() > 1) {  // a file in the folder
      if (op == "put") temp.WriteBytes(object, Expand(c3_, true));
      if (op == "bytes") return temp.Exists(object) ? temp.ReadBytes(object) : "(none)";
      if (op == "size") return std::to_string(temp.ReadBytes(object).size());
      if (op == "exists") return Flag(temp.Exists(object));
      if (op == "stamped") return Stamped(temp.ReadBytes(object));
      if (op == "mkdir") return Flag(::mkdir(temp.File(object).c_str(), 0777) == 0);
      if (op == "lines") {  // what ReadStr gives, joined by "|"; the end leaves the target
        CFile file;
        std::u16string name = temp.u16path() + u"\\" + Utf8ToU16(object);
        EXPECT_TRUE(file.OpenFile(name));
        std::string lines;
        std::u16string line = u"untouched", last = line;
        for (int n = 0; file.ReadStr(line); last = line)
          lines += (n++ ? "|" : "") + U16ToUtf8(line);
        EXPECT_EQ(line, last);
        return lines;
      }
    } else {  // a CFile
      std::unique_ptr<CFile>& slot = files[object];
      if (!slot) slot = std::make_unique<CFile>();
      CFile& f = *slot;
      std::u16string name = arg, line = u"kept";
      if (op == "name") f.SetPath(temp.u16path()), f.SetFileName(arg);
      if (op == "path") f.SetPath(arg);
      if (op == "file") f.SetFileName(arg);
      if (op == "unicode") f.SetIsUnicode(arg == u"1");
      if (op == "write") return Flag(f.WriteStr(arg));
      if (op == "repeat") {  // the count of lines written before a failure, and its number
        int n = 0;
        try {
          for (; n < std::stoi(one); ++n) f.WriteStr(second);
        } catch (const ComError& e) {
          return std::to_string(n) + " !" + std::to_string(e.number());
        }
        return std::to_string(n);
      }
      if (op == "cr") return Flag(f.CrFile());
      if (op == "close") f.CloseFile();
      if (op == "flush") f.Flush();
      if (op == "backup") return Flag(f.SaveFileAsBackup());
      if (op == "isopen") return Flag(f.FileIsOpen());
      if (op == "filename") return Shown(f.FileName());
      if (op == "pathis") return Shown(f.Path());
      if (op == "fullname") return Shown(f.CrFullName());
      if (op == "short") return U16ToUtf8(f.GetShortFileName());
      if (op == "valid") return U16ToUtf8(f.GetValidFileName(arg));
      if (op == "bykey") return Shown(f.PathByPathKey(arg));
      if (op == "full2") return Shown(f.CrFullName2(first, second));
      if (op == "move")
        return Flag(bar == arg.npos ? f.MoveFileToBackup(arg) : f.MoveFileToBackup(first, second));
      if (op == "len") return std::to_string(static_cast<int64_t>(f.FileLenAttr(arg)));
      if (op == "time") return When(f.FileDateTimeAttr(arg), ToPosixPath(arg));
      if (op == "sametime") return Flag(f.FileDateTimeAttr(first) == f.FileDateTimeAttr(second));
      if (op == "copyfile") {  // source|target|length|now, same (as the target) or older
        const std::u16string target = second.substr(0, second.find(u'|'));
        const std::string rest = U16ToUtf8(second.substr(second.find(u'|') + 1));
        Date when = rest.find("now") != rest.npos ? Date::Now() : f.FileDateTimeAttr(target);
        if (rest.find("older") != rest.npos) when = Date(when.serial() - 1.0);
        f.CopyFile(first, when, std::stoi(rest), target);
      }
      if (op == "startlog") log_start_ = Date::Now(), f.StartLog();
      if (op == "log") return Flag(f.WriteStrLog(arg));
      if (op == "endlog") f.EndLog(), log_end_ = Date::Now();
      if (op == "drop") files.erase(object);
      if (op == "read") {  // a failed read leaves the target as it was
        bool read = false;
        try {
          read = f.ReadStr(line);
        } catch (const ComError&) {
          EXPECT_EQ(line, u"kept");
          throw;
        }
        return (read ? "+" : "-") + U16ToUtf8(line);
      }
      if ((op == "open" || op == "append") && text == "*") {  // the object's own name
        return Flag(op == "open" ? f.OpenFile() : f.OpenFileForAppend());
      }
      if (op == "open" || op == "append") {
        const bool opened = op == "open" ? f.OpenFile(name) : f.OpenFileForAppend(name);
        return Flag(opened) + " " + Shown(name);
      }
    }
    return "";
  }

 public:
  std::string c3_;  // the step's argument as written, for "put"
  ScopedRecordingHost host;
  TempFolder temp;
  FaultInjectingFileSystem faults;
  ScopedFileSystem installed{faults};
  RegionalSettings regional_ = RegionalSettings::Current();
  Date log_start_, log_end_;
  std::optional<ScopedCurrentDirectory> cwd;
  std::vector<std::unique_ptr<CFile>> many;
  std::map<std::string, std::unique_ptr<CFile>> files;
  PathForm form;
  std::unique_ptr<CBrowsePath> browse = std::make_unique<CBrowsePath>();
};

// scenario (on its first step), object (a CFile: one letter; a file of the
// folder; "-": the surroundings), step, argument, what the step answers (empty:
// not checked, but nothing may be raised; "": nothing).
TEST(FileStepsTest, ScriptsFromData) {
  std::unique_ptr<Script> script;
  std::string scenario;
  int scenarios = 0;
  for (const Row& c : Manifest("file_steps", 5)) {
    if (!c[0].empty()) {
      script.reset();
      ASSERT_EQ(FileNumbers::InUse(), 0) << "a number left taken before " << c[0];
      script = std::make_unique<Script>();
      scenario = c[0];
      ++scenarios;
    }
    SCOPED_TRACE(scenario + ": " + c[1] + " " + c[2] + " " + c[3]);
    script->c3_ = c[3];
    const std::string answer = script->Run(c);
    if (c[4].empty()) {
      EXPECT_NE(answer.substr(0, 1), "!") << answer;
    } else {
      EXPECT_EQ(answer, c[4] == "\"\"" ? "" : Expand(c[4], true));
    }
  }
  EXPECT_GT(scenarios, 40);
}

TEST(FileNumbersTest, ObjectsOnManyThreadsNeverShareANumber) {
  std::vector<std::thread> threads;
  std::atomic<bool> clash{false};
  std::vector<std::atomic<int>> owners(256);
  for (int t = 0; t < 4; ++t) {
    threads.emplace_back([&, t] {
      for (int r = 0; r < 500; ++r) {
        const int16_t n = FileNumbers::Take();
        if (owners[n].exchange(t + 1) != 0) clash = true;
        owners[n].store(0);
        FileNumbers::Release(n);
      }
    });
  }
  for (auto& thread : threads) thread.join();
  EXPECT_FALSE(clash.load());
  EXPECT_EQ(FileNumbers::InUse(), 0);
}

}  // namespace
}  // namespace norv::testing
