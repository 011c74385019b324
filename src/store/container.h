// The encrypted container in which every data file rests:
//   offset 0, 8 bytes: salt; offset 8, 8 bytes: IV; offset 16: ciphertext, as
//   long as the content (no magic, no padding, no checksum).
// Key: the first 56 bytes of SHA-512(salt || passphrase bytes). Cipher:
// Blowfish, chained block by block (Ci = E(Pi ^ Ci-1), C0 = IV); the last
// r < 8 bytes are XORed with S = E(Cq), Cq being the last full ciphertext block
// (the IV when there is none).
//
// A container never says whether the passphrase was right: a wrong one gives
// content of the right length and wrong bytes, which the reader recognises by
// its missing list file magic.
//
// Data files are sealed and unsealed in memory (WriteSealedFile, UnsealFile)
// and every file is written all or nothing (core/atomic_file.h): the file
// operations stream through a temporary file that replaces the target only
// when complete, so no data file is ever left half-written. Only DecryptFile,
// DecryptToSibling and DecryptInPlace produce plain files, as their callers
// ask; data files are never opened that way.
//
// Salt and IV come from the kernel's secure random source, new for every
// container; a salt beginning with "LVF" is drawn again, so a container can
// never be taken for a plain list file.
#pragma once

#include <cstddef>
#include <filesystem>
#include <string>
#include <string_view>

#include "core/status.h"

namespace missivo {

// The passphrase under which every data file is sealed.
inline constexpr std::string_view kFixedPassphrase = "3861209";

inline constexpr std::size_t kContainerHeaderSize = 16;

// Size of the pieces in which the file operations stream their content.
inline constexpr std::size_t kContainerPieceSize = 8192;

// The container of `plain` under `passphrase` (Windows-1251 bytes), with a new
// random salt and IV. The buffer of `plain` is reused for the result.
std::string SealBytes(std::string plain, std::string_view passphrase);

// The content of `container` under `passphrase`; a failure when the container
// is shorter than its 16-byte header. The buffer is reused for the result.
Result<std::string> UnsealBytes(std::string container, std::string_view passphrase);

// Writes the container of `plain` under `passphrase` to `path`, all or
// nothing. The content is enciphered in its own buffer, without a copy.
[[nodiscard]] Status WriteSealedFile(const std::filesystem::path& path, std::string plain,
                                     std::string_view passphrase);

// Reads the container at `path` and unseals it in memory.
Result<std::string> UnsealFile(const std::filesystem::path& path, std::string_view passphrase);

// Writes the container of the whole file `source` to `target`.
[[nodiscard]] Status EncryptFile(const std::filesystem::path& source,
                                 const std::filesystem::path& target, std::string_view passphrase);

// Writes the content of the container `source` to `target`. The target is a
// plain file: meant for export and tools, not for data files.
[[nodiscard]] Status DecryptFile(const std::filesystem::path& source,
                                 const std::filesystem::path& target, std::string_view passphrase);

// DecryptFile(path, path + "tmp"); gives the sibling path. The caller deletes
// the sibling, which is plain. Data file checks use UnsealFile instead.
Result<std::filesystem::path> DecryptToSibling(const std::filesystem::path& path,
                                               std::string_view passphrase);

// The file at `path` replaced, all or nothing, by its container under the
// fixed passphrase (EncryptInPlace) or under `password` (EncryptInPlaceWith).
[[nodiscard]] Status EncryptInPlace(const std::filesystem::path& path);
[[nodiscard]] Status EncryptInPlaceWith(const std::filesystem::path& path,
                                        std::string_view password);

// The container at `path` replaced, all or nothing, by its content: the outer
// layer removed under `password` (DecryptInPlaceWith), or the content under
// the fixed passphrase left plain on disk (DecryptInPlace; loading a list
// file needs no such step, see LoadListFile).
[[nodiscard]] Status DecryptInPlace(const std::filesystem::path& path);
[[nodiscard]] Status DecryptInPlaceWith(const std::filesystem::path& path,
                                        std::string_view password);

// The sibling file's name: the full name with "tmp" appended.
std::filesystem::path SiblingPath(const std::filesystem::path& path);

}  // namespace missivo
