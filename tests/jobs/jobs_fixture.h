// A job's world for tests: the default host on a database in a temporary
// folder, installed for the thread with the lt-LT preset, the component
// created in-process, and events recorded as they come.
#pragma once

#include <gtest/gtest.h>

#include <fstream>
#include <memory>
#include <nlohmann/json.hpp>
#include <sstream>
#include <string>
#include <vector>

#include "component/cbankcl_vb.h"
#include "hostkit/default_host.h"
#include "hostkit/statement_store.h"
#include "jobs/job_context.h"
#include "jobs/job_events.h"
#include "runtime/regional.h"
#include "runtime/text.h"
#include "support/bank_files.h"
#include "support/data_files.h"
#include "support/recording_host.h"

namespace norv::testing {

// The cases of tests/data/<kind>/cases.jsonl, one JSON object a line.
inline std::vector<nlohmann::json> Cases(const std::string& kind) {
  std::ifstream in(DataPath(kind, "cases.jsonl"));
  std::vector<nlohmann::json> lines;
  for (std::string line; std::getline(in, line);) {
    if (!line.empty()) lines.push_back(nlohmann::json::parse(line));
  }
  EXPECT_GE(lines.size(), 10u) << kind;
  return lines;
}

// Everything a job told, in order.
class RecordedEvents : public jobs::JobEvents {
 public:
  bool WantsProgress() override { return true; }
  void Progress(jobs::ProgressUnit, uint64_t done, uint64_t total) override {
    progress.emplace_back(done, total);
  }
  void Notice(jobs::NoticeKind kind, const std::string& text) override {
    notices.emplace_back(kind, text);
  }
  void Error(const ComError& error) override { errors.push_back(error); }
  void StatementHeader(const StHead& head) override { headers.push_back(head); }
  void StatementDocument(const StatementDoc& doc) override {
    // A sink that fails on the way, as a full disk would.
    if (static_cast<int>(documents.size()) == fail_at) {
      throw ComError(kErrDiskFull, u"test", u"Disk full");
    }
    documents.push_back(doc);
  }
  void PaymentProblem(const jobs::PaymentProblem& problem) override { problems.push_back(problem); }
  bool CancelRequested() override { return cancel_after >= 0 && ++cancel_polls > cancel_after; }

  // The texts of the notices of `kind`.
  std::vector<std::string> NoticesOf(jobs::NoticeKind kind) const {
    std::vector<std::string> texts;
    for (const auto& [k, text] : notices) {
      if (k == kind) texts.push_back(text);
    }
    return texts;
  }

  std::vector<jobs::PaymentProblem> problems;
  std::vector<std::pair<uint64_t, uint64_t>> progress;
  std::vector<std::pair<jobs::NoticeKind, std::string>> notices;
  std::vector<ComError> errors;
  std::vector<StHead> headers;
  std::vector<StatementDoc> documents;
  int cancel_after = -1;  // >= 0: CancelRequested answers true after that many polls
  int cancel_polls = 0;
  int fail_at = -1;  // >= 0: the document of this index raises error 61
};

class JobTest : public ::testing::Test {
 protected:
  JobTest() {
    hostkit::DefaultHost::Options options;
    options.database_path = folder.File("jobs.db");
    options.out = &out;
    options.err = &err;
    host = std::make_shared<hostkit::DefaultHost>(options);
    RegionalSettings::SetCurrent(RegionalSettings::Preset(u"lt-LT"));
    host::HostLibrary::Install(host);
  }
  ~JobTest() override { host::HostLibrary::Install(nullptr); }

  jobs::JobContext Context() {
    return {*host,
            [] { return std::static_pointer_cast<IClientBank>(std::make_shared<CBankCl_VB>()); }};
  }
  std::vector<hostkit::StoredStatementDoc> Stored() {
    return hostkit::StatementStore(host->database()).List();
  }
  std::string WriteFile(const std::string& name, const std::string& bytes) {
    folder.WriteBytes(name, bytes);
    return folder.File(name);
  }
  // `path` as the component names files: "\" between the parts.
  static std::u16string ComponentPath(const std::string& path) {
    std::u16string text = Utf8ToU16(path);
    for (char16_t& c : text) {
      if (c == u'/') c = u'\\';
    }
    return text;
  }

  TempFolder folder;
  std::ostringstream out, err;
  std::shared_ptr<hostkit::DefaultHost> host;
  RecordedEvents events;
};

}  // namespace norv::testing
