// Imports in the exchange formats: the messages of an SMS backup into the
// archive, and the contacts of a vCard file into the phonebook copy, each
// without adding what is already there.
#pragma once

#include <cstddef>
#include <filesystem>
#include <string>
#include <unordered_map>
#include <vector>

#include "core/ui.h"
#include "store/row.h"
#include "text/language.h"
#include "transfer/android_xml.h"
#include "transfer/vcard.h"

namespace missivo {

// The archive rows of a backup's messages (RowOfRecord), and what the read
// found; when the read broke, `rows` are the messages before the fault.
struct BackupRows {
  std::vector<Row> rows;
  AndroidXmlRead read;
};
[[nodiscard]] BackupRows ReadBackupRows(const std::filesystem::path& path,
                                        const LanguageLines& language);

// Whether a message from a file is already in a list: a row with the same
// text (lossless where both have it), the same sender number and the same
// time to the second. A file's messages carry no phone index, so the time
// stands in for it: two equal texts from one sender at different times are
// two messages, and a file exported from this archive matches its rows.
class ImportedMessageIndex {
 public:
  explicit ImportedMessageIndex(const std::vector<Row>& rows);
  void Add(std::size_t position);
  [[nodiscard]] bool Contains(const Row& row) const;

 private:
  const std::vector<Row>& rows_;
  std::unordered_multimap<std::size_t, std::size_t> positions_;
};

struct ImportCount {
  std::size_t added = 0;
  std::size_t already = 0;  // in the list before, or earlier in the same file
};

// Appends each of `rows` that ImportedMessageIndex does not find (rows added
// earlier in the call count), with the gauge over the rows and Str70 shown.
// Does not save.
ImportCount AppendNewMessages(std::vector<Row>& archive, std::vector<Row> rows,
                              const LanguageLines& language, UserInterface& ui);

// Appends each contact whose name and number are not yet in the phonebook.
ImportCount AppendNewContacts(std::vector<Row>& phonebook,
                              const std::vector<ContactRecord>& contacts);

}  // namespace missivo
