// Data files as they rest on disk: any bytes unseal to content of the right
// length or to an error, and the list decode behind it gives rows or an error.
// The input also serves as salt, IV and plain content of a container sealed
// here, which must unseal to that content and load from a real file as the
// plain list file decodes.
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <system_error>

#include "core/ui.h"
#include "fuzz_support.h"
#include "store/container.h"
#include "store/crypto.h"
#include "store/list_file.h"
#include "store/stored_list.h"

namespace missivo {
namespace {

const std::uint8_t* Bytes(std::string_view text) {
  return reinterpret_cast<const std::uint8_t*>(text.data());
}

// The container of `plain` under the fixed passphrase with the given 16-byte
// salt and IV: the key is the first 56 bytes of SHA-512(salt || passphrase).
std::string SealWithHeader(std::string_view header, std::string plain) {
  Sha512Digest digest = Sha512(
      {std::span(Bytes(header), 8), std::span(Bytes(kFixedPassphrase), kFixedPassphrase.size())});
  const Blowfish cipher(std::span<const std::uint8_t>(digest.data(), kBlowfishMaxKeySize));
  CipherChain chain(cipher, Bytes(header) + 8);
  chain.Encrypt(reinterpret_cast<std::uint8_t*>(plain.data()), plain.size());
  return std::string(header) + plain;
}

// A folder of the run's own for the data file, removed at exit. In memory when
// the system has /dev/shm: a disk file truncated and written again at every
// run is flushed at every close, which made this target wait on the disk.
class DataFolder {
 public:
  DataFolder() {
    std::error_code error;
    const std::filesystem::path base = std::filesystem::is_directory("/dev/shm", error)
                                           ? std::filesystem::path("/dev/shm")
                                           : std::filesystem::temp_directory_path();
    std::string folder = (base / "missivo-fuzz-XXXXXX").string();
    if (::mkdtemp(folder.data()) == nullptr) std::abort();
    folder_ = folder;
  }
  ~DataFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(folder_, ignored);
  }
  DataFolder(const DataFolder&) = delete;
  DataFolder& operator=(const DataFolder&) = delete;

  std::filesystem::path File() const { return folder_ / "Messages.sms"; }

 private:
  std::filesystem::path folder_;
};

const std::filesystem::path& DataFile() {
  static const DataFolder folder;
  static const std::filesystem::path path = folder.File();
  return path;
}

// Any bytes as the container.
void CheckUnseal(std::string_view bytes) {
  const Result<std::string> plain = UnsealBytes(std::string(bytes), kFixedPassphrase);
  fuzz::Require(plain.ok() == (bytes.size() >= kContainerHeaderSize),
                "a container unseals exactly when it holds its header");
  if (!plain.ok()) return;
  fuzz::Require(plain.value().size() == bytes.size() - kContainerHeaderSize,
                "the content is as long as the ciphertext");
  (void)DecodeListFile(plain.value());
}

// The input as salt, IV and plain content.
void CheckSealed(std::string_view input) {
  if (input.size() < kContainerHeaderSize) return;
  const std::string_view plain = input.substr(kContainerHeaderSize);
  const std::string container =
      SealWithHeader(input.substr(0, kContainerHeaderSize), std::string(plain));
  const Result<std::string> opened = UnsealBytes(container, kFixedPassphrase);
  fuzz::Require(opened.ok() && opened.value() == plain, "a container unseals to its content");

  {
    std::ofstream out(DataFile(), std::ios::binary | std::ios::trunc);
    out.write(container.data(), static_cast<std::streamsize>(container.size()));
    if (!out) std::abort();
  }
  const Result<std::vector<Row>> expected = DecodeListFile(plain);
  const Row kept{"kept", {"1"}, 0};
  RowList list = MakeMessageList();
  list.rows = {kept};
  SilentUserInterface ui;
  LockState lock;
  FolderLock folder_lock(DataFile().parent_path());
  StoredList stored(DataFile(), folder_lock, lock, DamagePolicy::kRefuse);
  const Status status = LoadListFile(list, stored, ui);
  fuzz::Require(status.ok() == expected.ok(), "the file loads exactly when its content decodes");
  if (status.ok()) {
    fuzz::Require(list.rows == expected.value(), "the file loads the rows of its content");
  } else {
    fuzz::Require(list.rows == std::vector<Row>{kept}, "a file that fails leaves the rows");
  }
}

void Check(std::string_view input) {
  CheckUnseal(input);
  CheckSealed(input);
}

}  // namespace
}  // namespace missivo

MISSIVO_FUZZ_TEXT_TARGET(missivo::Check)
