// The two published primitives under the container: SHA-512 and the Blowfish
// block cipher (64-bit block, 16 rounds, big-endian halves), both from nettle,
// and the system's secure random source.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <memory>
#include <span>
#include <string_view>

#include "core/secrets.h"

struct blowfish_ctx;

namespace missivo {

inline constexpr std::size_t kBlowfishBlockSize = 8;
inline constexpr std::size_t kBlowfishMaxKeySize = 56;
inline constexpr std::size_t kSha512DigestSize = 64;

using Sha512Digest = std::array<std::uint8_t, kSha512DigestSize>;

// SHA-512 over the concatenation of `parts`.
Sha512Digest Sha512(std::initializer_list<std::span<const std::uint8_t>> parts);
Sha512Digest Sha512(std::string_view bytes);

// A Blowfish key schedule. Every key of 1 to 56 bytes is accepted, the
// cipher's rare weak keys included: their schedule is as complete as any
// other and a container must open whatever key its salt gives. The schedule
// is wiped when the object goes.
class Blowfish {
 public:
  explicit Blowfish(std::span<const std::uint8_t> key);
  ~Blowfish();
  Blowfish(const Blowfish&) = delete;
  Blowfish& operator=(const Blowfish&) = delete;

  // One or more whole blocks; `out` may be `in`.
  void Encrypt(const std::uint8_t* in, std::uint8_t* out, std::size_t length) const;
  void Decrypt(const std::uint8_t* in, std::uint8_t* out, std::size_t length) const;

 private:
  std::unique_ptr<blowfish_ctx> context_;
};

// The container's chaining on Blowfish: Ci = E(Pi ^ Ci-1) with C0 = IV for the
// full blocks; the last r < 8 bytes are XORed with S = E(Cq), the same in both
// directions, so nothing is padded. The content may come in pieces, every
// piece but the last a whole number of blocks; data is changed in place.
class CipherChain {
 public:
  CipherChain(const Blowfish& cipher, const std::uint8_t* iv);
  ~CipherChain();
  CipherChain(const CipherChain&) = delete;
  CipherChain& operator=(const CipherChain&) = delete;

  void Encrypt(std::uint8_t* data, std::size_t length);
  void Decrypt(std::uint8_t* data, std::size_t length);

 private:
  void Tail(std::uint8_t* data, std::size_t length);

  const Blowfish& cipher_;
  std::uint8_t value_[kBlowfishBlockSize];
};

// Fills `bytes` from the kernel's secure random source (getrandom).
void FillRandom(std::span<std::uint8_t> bytes);

}  // namespace missivo
