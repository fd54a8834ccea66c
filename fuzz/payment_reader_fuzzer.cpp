// Fuzzes the streaming payment reader (jobs/payment_reader.h) with arbitrary
// bytes as a payments file, against nlohmann's own parse of the whole input:
//   - the reader ends normally or by one ComError of 5, 6 or 13 whose
//     description names the file and the document it stopped at (its 0-based
//     index, which is the number of documents handed over before it);
//   - indexes are handed over in order from 0, and the counts add up;
//   - an array the whole-input parser rejects is never read to its end, and an
//     array the reader reads to its end holds exactly the documents read.
#include <string>

#include <nlohmann/json.hpp>

#include "fuzz_support.h"
#include "jobs/payment_reader.h"

void FuzzOne(norv::fuzz::FuzzInput& in) {
  using norv::fuzz::Require;
  const std::string input = in.Rest();
  int64_t handed = 0;
  norv::jobs::PaymentCounts counts;
  const auto error = norv::fuzz::ErrorOf(
      [&] {
        counts = norv::jobs::ReadPaymentsFromMemory(
            input, "fuzz.json", [&handed](int64_t index, norv::jobs::PaymentEntry&) {
              Require(index == handed++, "documents handed over out of order");
            });
      },
      {5, 6, 13});
  if (error) {
    const std::string description = norv::U16ToUtf8(error->description());
    if (description.find("fuzz.json: document " + std::to_string(handed)) == std::string::npos) {
      norv::fuzz::Broken("the error does not name the document: " + description);
    }
    return;
  }
  Require(counts.local + counts.foreign == handed, "the counts do not add up");
  const size_t first = input.find_first_not_of(" \t\r\n");
  if (first == std::string::npos || input[first] != '[') return;
  const nlohmann::json whole = nlohmann::json::parse(input, nullptr, false);
  Require(!whole.is_discarded(), "an array nlohmann rejects was read to its end");
  Require(whole.is_array() && static_cast<int64_t>(whole.size()) == handed,
          "the array holds another number of documents than were read");
}
