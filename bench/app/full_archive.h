// The archive the window benchmarks load: 65,535 message rows (the list
// file's limit) with texts of 70 to 160 Cyrillic letters.
#pragma once

#include <filesystem>
#include <vector>

#include "store/row.h"

namespace missivo {

std::vector<Row> FullArchive();

// A program folder whose Data folder holds FullArchive as "Messages.sms";
// false when it cannot be written.
bool WriteFullArchiveFolder(const std::filesystem::path& program_folder);

}  // namespace missivo
