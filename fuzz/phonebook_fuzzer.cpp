// The phonebook replies: the range reply gives a highest entry number or
// nothing, the entry replies give one contact per entry line; never a crash.
#include <algorithm>

#include "fuzz_support.h"
#include "phone/phonebook_read.h"
#include "text/lines.h"

namespace missivo {
namespace {

// The batches cover 1 to `max` in order, without gaps or overlaps, 50 at most each.
void CheckBatches(int max) {
  const std::vector<PhonebookBatch> batches = PhonebookBatches(max);
  fuzz::Require(batches.empty() == (max < 1), "batches exactly for a positive range");
  int next = 1;
  for (const PhonebookBatch& batch : batches) {
    fuzz::Require(batch.first == next, "batches follow each other");
    fuzz::Require(batch.first <= batch.last && batch.last - batch.first < 50,
                  "a batch spans 1 to 50 entries");
    next = batch.last + 1;
  }
  if (!batches.empty()) fuzz::Require(batches.back().last == max, "the last batch ends at max");
}

void CheckRange(const std::string& reply) {
  const std::optional<int> max = ParsePhonebookRange(reply);
  if (!max) return;
  fuzz::Require(*max >= 0, "the highest entry number is not negative");
  // A range of millions of entries takes the batch list megabytes; the batch
  // arithmetic is the same for every size, so large ones are left out here.
  if (*max <= 100000) CheckBatches(*max);
}

void CheckEntries(const std::string& reply) {
  const std::vector<std::string> lines = SplitCrLf(reply);
  const std::size_t entry_lines = static_cast<std::size_t>(std::count_if(
      lines.begin(), lines.end(), [](const auto& line) { return line.starts_with("+MPBR:"); }));
  const std::vector<Row> contacts = ParsePhonebookReplies({reply});
  fuzz::Require(contacts.size() == entry_lines, "one contact per entry line");
  for (const Row& contact : contacts) {
    fuzz::RequireContactRow(contact);
    fuzz::Require(contact.caption.size() <= 4096 / 4, "a name of at most 1024 characters");
  }
  for (const std::string& line : lines) {
    fuzz::Require(ParsePhonebookEntry(line).has_value() == line.starts_with("+MPBR:"),
                  "an entry exactly for an entry line");
  }
}

}  // namespace
}  // namespace missivo

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string reply(missivo::fuzz::AsText(data, size));
  missivo::CheckRange(reply);
  missivo::CheckEntries(reply);
  return 0;
}
