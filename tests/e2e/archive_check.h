// What end-to-end tests check in a program folder after missivo-cli ran.
#pragma once

#include <filesystem>
#include <set>
#include <string>

#include "store/data_files.h"
#include "support/phone_fixture.h"

namespace missivo::test {

// The texts of the archive (UTF-8), opened as a program with `password` would;
// a failure to open it fails the test.
std::multiset<std::string> ArchiveTexts(const DataFiles& files, const std::string& password = {});

// Every message the phone was told to delete is in the archive (the texts of
// test::UniqueMessages: `tag` and the index).
void ExpectDeletedAreArchived(const PhoneSim& phone, const std::string& tag,
                              const std::multiset<std::string>& archive);

// An archive of one row ("start") under the program password `password`
// (Windows-1251) in `program`'s data folder.
void WriteLockedArchive(const std::filesystem::path& program, const std::string& password);

}  // namespace missivo::test
