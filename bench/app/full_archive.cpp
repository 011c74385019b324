#include "full_archive.h"

#include <random>
#include <string>

#include "store/data_files.h"
#include "store/list_file.h"

namespace missivo {

std::vector<Row> FullArchive() {
  std::mt19937 random(42);
  std::uniform_int_distribution<int> length(70, 160);
  std::uniform_int_distribution<int> letter(0xE0, 0xFF);  // а..я in Windows-1251
  std::vector<Row> rows;
  rows.reserve(kListFileLimit);
  for (std::size_t i = 0; i < kListFileLimit; ++i) {
    std::string text;
    const int size = length(random);
    for (int c = 0; c < size; ++c)
      text.push_back(static_cast<char>(letter(random)));
    rows.push_back(
        Row{text,
            {"+7900" + std::to_string(1000000 + i % 5000), "05/01/2006,10:00:00",
             std::to_string(size), std::to_string(i + 1), "\xC2\xF5\xEE\xE4\xFF\xF9\xE8\xE5"},
            2});
  }
  return rows;
}

bool WriteFullArchiveFolder(const std::filesystem::path& program_folder) {
  const DataFiles files(program_folder);
  std::error_code error;
  std::filesystem::create_directories(files.folder, error);
  return WriteListFile(FullArchive(), files.archive).ok();
}

}  // namespace missivo
