#include "store/crypto.h"

#include <fcntl.h>
#include <nettle/blowfish.h>
#include <nettle/sha2.h>
#include <sys/random.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <thread>

namespace missivo {

Sha512Digest Sha512(std::initializer_list<std::span<const std::uint8_t>> parts) {
  sha512_ctx context;
  sha512_init(&context);
  for (const auto part : parts)
    sha512_update(&context, part.size(), part.data());
  Sha512Digest digest;
  sha512_digest(&context, digest.size(), digest.data());
  WipeBytes(&context, sizeof context);
  return digest;
}

Sha512Digest Sha512(std::string_view bytes) {
  return Sha512({std::span(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size())});
}

Blowfish::Blowfish(std::span<const std::uint8_t> key) : context_(new blowfish_ctx) {
  // nettle finishes the whole key schedule before it looks for weak keys, so
  // its "weak" answer is information only and the schedule is used as it is.
  static_cast<void>(blowfish_set_key(context_.get(), key.size(), key.data()));
}

Blowfish::~Blowfish() {
  WipeBytes(context_.get(), sizeof(blowfish_ctx));
}

void Blowfish::Encrypt(const std::uint8_t* in, std::uint8_t* out, std::size_t length) const {
  blowfish_encrypt(context_.get(), length, out, in);
}

void Blowfish::Decrypt(const std::uint8_t* in, std::uint8_t* out, std::size_t length) const {
  blowfish_decrypt(context_.get(), length, out, in);
}

namespace {

constexpr std::size_t kBlock = kBlowfishBlockSize;

void XorBytes(std::uint8_t* target, const std::uint8_t* other, std::size_t length) {
  for (std::size_t i = 0; i < length; ++i)
    target[i] ^= other[i];
}

// One block XORed as a 64-bit word: the chain's hot path.
void XorBlock(std::uint8_t* target, const std::uint8_t* other) {
  std::uint64_t a;
  std::uint64_t b;
  std::memcpy(&a, target, kBlock);
  std::memcpy(&b, other, kBlock);
  a ^= b;
  std::memcpy(target, &a, kBlock);
}

}  // namespace

CipherChain::CipherChain(const Blowfish& cipher, const std::uint8_t* iv) : cipher_(cipher) {
  std::memcpy(value_, iv, kBlock);
}

CipherChain::~CipherChain() {
  WipeBytes(value_, sizeof value_);
}

void CipherChain::Encrypt(std::uint8_t* data, std::size_t length) {
  const std::size_t full = length - length % kBlock;
  for (std::size_t offset = 0; offset < full; offset += kBlock) {
    std::uint8_t* block = data + offset;
    XorBlock(block, value_);
    cipher_.Encrypt(block, block, kBlock);
    std::memcpy(value_, block, kBlock);
  }
  Tail(data + full, length - full);
}

namespace {

// Undoes the chain over the whole blocks of data[0, length) in place; `before`
// is the ciphertext block that precedes them (the chain value). Works from
// the last block back, so each block's predecessor is still ciphertext when
// it is needed, and decrypts a piece of blocks with one call into a buffer.
void UndoChain(const Blowfish& cipher, std::uint8_t* data, std::size_t length,
               const std::uint8_t* before) {
  constexpr std::size_t kPiece = 4096;
  std::uint8_t plain[kPiece];
  for (std::size_t end = length; end > 0;) {
    const std::size_t start = end > kPiece ? end - kPiece : 0;
    cipher.Decrypt(data + start, plain, end - start);
    for (std::size_t block = end - kBlock;; block -= kBlock) {
      XorBlock(plain + (block - start), block == 0 ? before : data + block - kBlock);
      std::memcpy(data + block, plain + (block - start), kBlock);
      if (block == start) break;
    }
    end = start;
  }
  WipeBytes(plain, sizeof plain);
}

}  // namespace

// Each block needs only its own and the preceding ciphertext, so a large run
// is undone in two halves at once: the second half's chain value is copied
// before the first half's work overwrites it.
void CipherChain::Decrypt(std::uint8_t* data, std::size_t length) {
  constexpr std::size_t kSplitFrom = std::size_t{1} << 20;
  const std::size_t full = length - length % kBlock;
  if (full > 0) {
    std::uint8_t last[kBlock];
    std::memcpy(last, data + full - kBlock, kBlock);
    if (full >= kSplitFrom) {
      const std::size_t middle = full / 2 - (full / 2) % kBlock;
      std::uint8_t middle_before[kBlock];
      std::memcpy(middle_before, data + middle - kBlock, kBlock);
      std::thread second(UndoChain, std::cref(cipher_), data + middle, full - middle,
                         middle_before);
      UndoChain(cipher_, data, middle, value_);
      second.join();
    } else {
      UndoChain(cipher_, data, full, value_);
    }
    std::memcpy(value_, last, kBlock);
  }
  Tail(data + full, length - full);
}

void CipherChain::Tail(std::uint8_t* data, std::size_t length) {
  if (length == 0) return;
  std::uint8_t stream[kBlock];
  cipher_.Encrypt(value_, stream, kBlock);
  XorBytes(data, stream, length);
  WipeBytes(stream, sizeof stream);
}

void FillRandom(std::span<std::uint8_t> bytes) {
  while (!bytes.empty()) {
    const ssize_t got = ::getrandom(bytes.data(), bytes.size(), 0);
    if (got < 0) {
      if (errno == EINTR) continue;
      // A kernel without getrandom: its random device gives the same bytes.
      const int fd = ::open("/dev/urandom", O_RDONLY | O_CLOEXEC);
      const ssize_t read_bytes = fd < 0 ? -1 : ::read(fd, bytes.data(), bytes.size());
      if (fd >= 0) ::close(fd);
      if (read_bytes <= 0) {
        // Without secure random bytes no container may be made.
        std::fputs("missivo: no secure random source is available\n", stderr);
        std::abort();
      }
      bytes = bytes.subspan(static_cast<std::size_t>(read_bytes));
      continue;
    }
    bytes = bytes.subspan(static_cast<std::size_t>(got));
  }
}

}  // namespace missivo
