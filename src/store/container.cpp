#include "store/container.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <system_error>
#include <vector>

#include "core/atomic_file.h"
#include "store/crypto.h"

namespace missivo {
namespace {

constexpr std::size_t kSaltSize = 8;
constexpr std::size_t kBlock = kBlowfishBlockSize;

static_assert(kContainerPieceSize % kBlock == 0, "pieces must not split a block");

using ContainerHeader = std::array<std::uint8_t, kContainerHeaderSize>;

std::uint8_t* Bytes(std::string& text, std::size_t offset = 0) {
  return reinterpret_cast<std::uint8_t*>(text.data()) + offset;
}

// Salt and IV, new for every container. A salt that began with "LVF" would
// make the container look like a plain list file to the check at start, so
// such a salt is drawn again.
ContainerHeader NewHeader() {
  ContainerHeader header;
  do {
    FillRandom(header);
  } while (std::memcmp(header.data(), "LVF", 3) == 0);
  return header;
}

// Blowfish keyed with the first 56 bytes of SHA-512(salt || passphrase).
class ContainerCipher {
 public:
  ContainerCipher(const std::uint8_t* salt, std::string_view passphrase)
      : cipher_(DeriveKey(salt, passphrase)) {}

  const Blowfish& get() const { return cipher_; }

 private:
  struct Key {
    std::array<std::uint8_t, kBlowfishMaxKeySize> bytes;
    ~Key() { WipeBytes(bytes.data(), bytes.size()); }
    operator std::span<const std::uint8_t>() const { return bytes; }
  };

  static Key DeriveKey(const std::uint8_t* salt, std::string_view passphrase) {
    Sha512Digest digest = Sha512(
        {std::span(salt, kSaltSize),
         std::span(reinterpret_cast<const std::uint8_t*>(passphrase.data()), passphrase.size())});
    Key key;
    std::copy_n(digest.begin(), key.bytes.size(), key.bytes.begin());
    WipeBytes(digest.data(), digest.size());
    return key;
  }

  Blowfish cipher_;
};

std::string ErrorText(int error_number) {
  return std::generic_category().message(error_number);
}

std::string TooShortMessage(const std::filesystem::path& path, std::size_t size) {
  return QuotedFileName(path) + " is " + std::to_string(size) +
         " bytes long, too short for an encrypted file (16 bytes at least). It was left as it was.";
}

// A file opened for reading, with its size at the moment of opening.
class SourceFile {
 public:
  explicit SourceFile(const std::filesystem::path& path) : path_(path) {
    fd_ = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd_ < 0) {
      status_ =
          Status::Failure("Cannot open " + QuotedFileName(path) + ": " + ErrorText(errno) + ".");
      return;
    }
    struct stat info {};
    if (::fstat(fd_, &info) != 0) {
      status_ =
          Status::Failure("Cannot read " + QuotedFileName(path) + ": " + ErrorText(errno) + ".");
      return;
    }
    size_ = static_cast<std::size_t>(info.st_size);
  }
  ~SourceFile() {
    if (fd_ >= 0) ::close(fd_);
  }
  SourceFile(const SourceFile&) = delete;
  SourceFile& operator=(const SourceFile&) = delete;

  const Status& status() const { return status_; }
  std::size_t size() const { return size_; }

  // Exactly `length` bytes, or a failure (also when the file ends sooner).
  bool ReadExactly(std::uint8_t* data, std::size_t length) {
    while (status_.ok() && length > 0) {
      const ssize_t got = ::read(fd_, data, length);
      if (got < 0 && errno == EINTR) continue;
      if (got <= 0) {
        status_ = Status::Failure("Cannot read " + QuotedFileName(path_) + ": " +
                                  (got < 0 ? ErrorText(errno) : "it ended early") + ".");
        break;
      }
      data += got;
      length -= static_cast<std::size_t>(got);
    }
    return status_.ok();
  }

 private:
  std::filesystem::path path_;
  int fd_ = -1;
  std::size_t size_ = 0;
  Status status_;
};

enum class Direction { kEncrypt, kDecrypt };

// Streams `length` bytes of `source` through the chain into `target`.
bool StreamPieces(SourceFile& source, std::size_t length, CipherChain& chain, Direction direction,
                  AtomicFileWriter& target) {
  std::vector<std::uint8_t> piece(kContainerPieceSize);
  while (length > 0) {
    const std::size_t size = std::min(length, piece.size());
    if (!source.ReadExactly(piece.data(), size)) break;
    if (direction == Direction::kEncrypt) {
      chain.Encrypt(piece.data(), size);
    } else {
      chain.Decrypt(piece.data(), size);
    }
    target.Write(std::string_view(reinterpret_cast<const char*>(piece.data()), size));
    length -= size;
  }
  WipeBytes(piece.data(), piece.size());
  return source.status().ok();
}

// Enciphers `data` in its own buffer and gives the header that goes before it.
ContainerHeader SealInPlace(std::string& data, std::string_view passphrase) {
  const ContainerHeader header = NewHeader();
  const ContainerCipher cipher(header.data(), passphrase);
  CipherChain chain(cipher.get(), header.data() + kSaltSize);
  chain.Encrypt(Bytes(data), data.size());
  return header;
}

std::string_view View(const ContainerHeader& header) {
  return {reinterpret_cast<const char*>(header.data()), header.size()};
}

}  // namespace

std::string SealBytes(std::string plain, std::string_view passphrase) {
  const ContainerHeader header = SealInPlace(plain, passphrase);
  plain.insert(0, View(header));
  return plain;
}

// Enciphers and writes in steps, so the disk works while the chain runs.
Status WriteSealedFile(const std::filesystem::path& path, std::string plain,
                       std::string_view passphrase) {
  constexpr std::size_t kStep = 1 << 20;
  static_assert(kStep % kBlowfishBlockSize == 0, "steps must not split a block");
  const ContainerHeader header = NewHeader();
  const ContainerCipher cipher(header.data(), passphrase);
  CipherChain chain(cipher.get(), header.data() + kSaltSize);
  AtomicFileWriter out(path);
  out.Write(View(header));
  for (std::size_t offset = 0; offset < plain.size(); offset += kStep) {
    const std::size_t size = std::min(kStep, plain.size() - offset);
    chain.Encrypt(Bytes(plain, offset), size);
    out.Write(std::string_view(plain).substr(offset, size));
  }
  return out.Commit();
}

Result<std::string> UnsealBytes(std::string container, std::string_view passphrase) {
  if (container.size() < kContainerHeaderSize) {
    return Status::Failure(
        "The data is " + std::to_string(container.size()) +
        " bytes long, too short for an encrypted container (16 bytes at least).");
  }
  {
    const ContainerCipher cipher(Bytes(container), passphrase);
    CipherChain chain(cipher.get(), Bytes(container, kSaltSize));
    chain.Decrypt(Bytes(container, kContainerHeaderSize), container.size() - kContainerHeaderSize);
  }
  container.erase(0, kContainerHeaderSize);
  return container;
}

Result<std::string> UnsealFile(const std::filesystem::path& path, std::string_view passphrase) {
  Result<std::string> bytes = ReadWholeFile(path);
  if (!bytes.ok()) return bytes.status();
  if (bytes.value().size() < kContainerHeaderSize) {
    return Status::Failure(TooShortMessage(path, bytes.value().size()));
  }
  return UnsealBytes(std::move(bytes).value(), passphrase);
}

Status EncryptFile(const std::filesystem::path& source, const std::filesystem::path& target,
                   std::string_view passphrase) {
  SourceFile in(source);
  if (!in.status().ok()) return in.status();
  AtomicFileWriter out(target);
  const ContainerHeader header = NewHeader();
  out.Write(View(header));
  const ContainerCipher cipher(header.data(), passphrase);
  CipherChain chain(cipher.get(), header.data() + kSaltSize);
  if (!StreamPieces(in, in.size(), chain, Direction::kEncrypt, out)) return in.status();
  return out.Commit();
}

Status DecryptFile(const std::filesystem::path& source, const std::filesystem::path& target,
                   std::string_view passphrase) {
  SourceFile in(source);
  if (!in.status().ok()) return in.status();
  if (in.size() < kContainerHeaderSize) return Status::Failure(TooShortMessage(source, in.size()));
  ContainerHeader header;
  if (!in.ReadExactly(header.data(), header.size())) return in.status();
  AtomicFileWriter out(target);
  const ContainerCipher cipher(header.data(), passphrase);
  CipherChain chain(cipher.get(), header.data() + kSaltSize);
  if (!StreamPieces(in, in.size() - kContainerHeaderSize, chain, Direction::kDecrypt, out)) {
    return in.status();
  }
  return out.Commit();
}

std::filesystem::path SiblingPath(const std::filesystem::path& path) {
  std::filesystem::path sibling = path;
  sibling += "tmp";
  return sibling;
}

Result<std::filesystem::path> DecryptToSibling(const std::filesystem::path& path,
                                               std::string_view passphrase) {
  const std::filesystem::path sibling = SiblingPath(path);
  if (Status status = DecryptFile(path, sibling, passphrase); !status.ok()) return status;
  return sibling;
}

// The in-place forms stream the file into a new version of itself: the
// temporary file replaces the original only when it is complete.
Status EncryptInPlace(const std::filesystem::path& path) {
  return EncryptFile(path, path, kFixedPassphrase);
}

Status EncryptInPlaceWith(const std::filesystem::path& path, std::string_view password) {
  return EncryptFile(path, path, password);
}

Status DecryptInPlace(const std::filesystem::path& path) {
  return DecryptFile(path, path, kFixedPassphrase);
}

Status DecryptInPlaceWith(const std::filesystem::path& path, std::string_view password) {
  return DecryptFile(path, path, password);
}

}  // namespace missivo
