#include "cli_events.h"

#include <unistd.h>

#include "hostkit/console_services.h"
#include "jobs/statement_json.h"
#include "json_values.h"
#include "runtime/com_error.h"
#include "runtime/text.h"

namespace clientbank {

namespace {

using norv::jobs::NoticeKind;
using norv::jobs::ProgressUnit;

constexpr size_t kFlushAt = 1 << 16;
constexpr auto kProgressInterval = std::chrono::milliseconds(200);

}  // namespace

bool ErrorStreamIsTerminal() { return isatty(STDERR_FILENO) == 1; }

CliEvents::CliEvents(std::ostream& out, std::ostream& err, bool show_progress)
    : out_(out), err_(err), show_progress_(show_progress) {
  buffer_.reserve(kFlushAt + 4096);
}

CliEvents::~CliEvents() {
  Flush();
  EndProgressLine();
}

void CliEvents::Flush() {
  if (buffer_.empty()) return;
  out_.write(buffer_.data(), static_cast<std::streamsize>(buffer_.size()));
  out_.flush();
  buffer_.clear();
  // A full disk or a closed pipe ends the job, which then stores nothing.
  if (!out_) {
    out_.clear();
    lines_ended_ = true;  // no error line can follow
    throw norv::ComError(
        norv::kErrDeviceIo, u"clientbank",
        norv::RuntimeErrorDescription(norv::kErrDeviceIo) + u": writing to standard output failed");
  }
}

void CliEvents::Progress(ProgressUnit unit, uint64_t done, uint64_t total) {
  if (!show_progress_) return;
  const auto now = std::chrono::steady_clock::now();
  if (progress_shown_ && now - last_progress_ < kProgressInterval && done != total) return;
  last_progress_ = now;
  progress_shown_ = true;
  std::string line;
  if (unit == ProgressUnit::kLines) {
    line = "import: " + std::to_string(done) + " lines read";
    if (total > 0)
      line += " (" + std::to_string(std::min<uint64_t>(100, done * 100 / total)) + "%)";
  } else {
    line = "export: " + std::to_string(done) + (total > 0 ? " of " + std::to_string(total) : "") +
           " documents written";
  }
  err_ << '\r' << line << "\x1b[K" << std::flush;
}

void CliEvents::EndProgressLine() {
  if (!progress_shown_) return;
  err_ << '\n';
  progress_shown_ = false;
}

void CliEvents::Notice(NoticeKind kind, const std::string& text) {
  EndProgressLine();
  switch (kind) {
    case NoticeKind::kLeftOnDisk:
      err_ << "left on disk: " << text << '\n';
      break;
    case NoticeKind::kNothingImported:
      err_ << "clientbank: nothing imported: " << text << '\n';
      break;
    case NoticeKind::kCancelled:
    case NoticeKind::kOverlappingImport:
    case NoticeKind::kAlreadyImported:
    case NoticeKind::kRatesUndone:
      err_ << "clientbank: " << text << '\n';
      break;
    case NoticeKind::kFileInUse:
      err_ << "file in use: " << text << '\n';
      break;
    case NoticeKind::kFileWritten:  // printed with its kind from the result
    case NoticeKind::kBackupsKept:  // the component's own message names the backup
      break;
  }
}

void CliEvents::EndLines(const norv::ComError& error) {
  if (!lines_begun_ || lines_ended_) return;
  lines_ended_ = true;
  buffer_ += "{\"error\":{\"number\":" + std::to_string(error.number()) +
             ",\"source\":" + Json(norv::U16ToUtf8(error.source())).dump() +
             ",\"description\":" + Json(norv::U16ToUtf8(error.description())).dump() + "}}\n";
  Flush();
}

void CliEvents::Error(const norv::ComError& error) {
  EndProgressLine();
  EndLines(error);
  err_ << norv::hostkit::ErrorLine(error) << '\n';
}

void CliEvents::StatementHeader(const norv::StHead& head) {
  lines_begun_ = true;
  norv::jobs::AppendHeaderJson(head, buffer_);
}

void CliEvents::StatementDocument(const norv::StatementDoc& doc) {
  norv::jobs::AppendStatementDocJson(doc, buffer_);
  if (buffer_.size() >= kFlushAt) Flush();
}

}  // namespace clientbank
