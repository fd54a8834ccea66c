// CliEvents: what a job tells, as the command line shows it. Statement records
// go to standard output as JSON Lines through a buffer written out in large
// pieces; errors and notices go to standard error; progress goes to standard
// error only when it is a terminal (and not --quiet), on one line rewritten in
// place at most a few times a second. An import that fails after its first
// line ends its output with one line {"error":{"number":..,"source":..,
// "description":..}}, so a reader of the output alone knows the lines before
// it were not stored.
#pragma once

#include <chrono>
#include <ostream>
#include <string>

#include "jobs/job_events.h"

namespace clientbank {

class CliEvents : public norv::jobs::JobEvents {
 public:
  CliEvents(std::ostream& out, std::ostream& err, bool show_progress);
  CliEvents(CliEvents&&) = default;
  ~CliEvents() override;

  bool WantsProgress() override { return show_progress_; }
  void Progress(norv::jobs::ProgressUnit unit, uint64_t done, uint64_t total) override;
  void Notice(norv::jobs::NoticeKind kind, const std::string& text) override;
  void Error(const norv::ComError& error) override;
  void StatementHeader(const norv::StHead& head) override;
  void StatementDocument(const norv::StatementDoc& doc) override;
  void StatementEnd() override { Flush(); }

  // Writes out what the buffer holds.
  void Flush();
  // Ends JSON Lines already begun with the error line (an error the host
  // reported, which its console has printed already).
  void EndLines(const norv::ComError& error);

 private:
  void EndProgressLine();

  std::ostream& out_;
  std::ostream& err_;
  const bool show_progress_;
  bool progress_shown_ = false;
  std::chrono::steady_clock::time_point last_progress_{};
  bool lines_begun_ = false;
  bool lines_ended_ = false;
  std::string buffer_;
};

// Whether standard error is a terminal that progress may be shown on.
bool ErrorStreamIsTerminal();

}  // namespace clientbank
