// The list file: the plain content of the archive and phonebook files. All
// integers little-endian:
//   "LVF" | N: u16 rows | N x ( M: u16 sub-items | image: i32 | caption | M texts )
//   text = L: u16 | L bytes (Windows-1251; the text ends at the first zero
//   byte, but all L bytes belong to the field)
// Example: one row "abc", image 2, sub-item "12" is
//   4C 56 46 | 01 00 | 01 00 | 02 00 00 00 | 03 00 61 62 63 | 02 00 31 32
// On disk a list file is always sealed under the fixed passphrase
// (store/container.h); it is encoded and sealed in memory and written all or
// nothing, so the plain bytes never rest on disk.
#pragma once

#include <cstddef>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "core/status.h"
#include "core/ui.h"
#include "store/row.h"
#include "store/row_list.h"

namespace missivo {

inline constexpr std::string_view kListFileMagic = "LVF";

// Most rows per file, sub-items per row and bytes per text the format holds.
inline constexpr std::size_t kListFileLimit = 65535;

// The I/O message of a list file that is missing, still locked or damaged.
inline constexpr std::string_view kIoErrorText = "File not found";
inline constexpr std::string_view kIoErrorCaption = "I/O Error";

// Whether `bytes` begin with the list file magic: a plain list file, or a
// container that opened with the right passphrase.
bool StartsWithListFileMagic(std::string_view bytes);

// The plain list file of `rows`; a failure, naming the row, when a count or a
// length is past the format's limits (nothing is cut or wrapped).
Result<std::string> EncodeListFile(const std::vector<Row>& rows);

// The rows of a plain list file; a failure when the magic is wrong or the
// bytes end before the counts are satisfied. Bytes after the last row are
// ignored.
Result<std::vector<Row>> DecodeListFile(std::string_view plain);

// The rows of a plain list file up to the first one that cannot be read
// whole, and what was wrong with the file (success when every row was read).
struct SalvagedRows {
  std::vector<Row> rows;
  Status damage;
};
SalvagedRows SalvageListFile(std::string_view plain);

// Encodes, seals under the fixed passphrase and replaces the file at `path`
// all or nothing. On failure the old file is as it was.
[[nodiscard]] Status WriteListFile(const std::vector<Row>& rows, const std::filesystem::path& path);

// Reads the sealed list file at `path` and decodes it in memory.
Result<std::vector<Row>> ReadListFile(const std::filesystem::path& path);

// A data file that is a plain list file (left by an older version) is sealed
// under the fixed passphrase. True when it was sealed, false when it was not
// plain (or does not exist).
Result<bool> SealIfPlainListFile(const std::filesystem::path& path);

}  // namespace missivo
