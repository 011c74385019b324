// Where the data files live: the "Data" folder of the program folder.
#pragma once

#include <filesystem>
#include <string_view>

namespace missivo {

inline constexpr std::string_view kDataFolderName = "Data";
inline constexpr std::string_view kArchiveFileName = "Messages.sms";
inline constexpr std::string_view kPhonebookFileName = "Phonebook.pbk";
inline constexpr std::string_view kPasswordFileName = "Password.pwd";

// The full paths of the data files under `program_folder`.
struct DataFiles {
  explicit DataFiles(const std::filesystem::path& program_folder)
      : folder(program_folder / kDataFolderName),
        archive(folder / kArchiveFileName),
        phonebook(folder / kPhonebookFileName),
        password(folder / kPasswordFileName) {}

  std::filesystem::path folder;
  std::filesystem::path archive;    // the archive List4
  std::filesystem::path phonebook;  // the phonebook copy List2
  std::filesystem::path password;   // the password record
};

}  // namespace missivo
