// Hexadecimal text and the octets it stands for, read with their positions so
// that every failure can name the octet it concerns.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "core/status.h"

// Takes the value of a Result into `name`, or returns its failure.
#define SMS_TAKE(name, expression)                      \
  auto name##_taken = (expression);                     \
  if (!name##_taken.ok()) return name##_taken.status(); \
  auto name = std::move(name##_taken).value()

namespace missivo::sms {

// Hex digits (either case) as octets; fails on an odd count or a non-hex character.
[[nodiscard]] Result<std::vector<std::uint8_t>> HexToOctets(std::string_view hex);

// Octets as upper-case hex.
std::string OctetsToHex(const std::uint8_t* octets, std::size_t count);
inline std::string OctetsToHex(const std::vector<std::uint8_t>& octets) {
  return OctetsToHex(octets.data(), octets.size());
}

// Reads octets in turn and never past the end. Positions are counted from 1
// for the messages, from `first` on (so a TPDU after a service-centre field
// keeps the positions of the whole PDU).
class OctetReader {
 public:
  OctetReader(const std::vector<std::uint8_t>& octets, std::size_t first = 0)
      : octets_(octets), at_(first) {}

  std::size_t position() const { return at_ + 1; }  // of the next octet, from 1
  std::size_t remaining() const { return octets_.size() - at_; }
  const std::uint8_t* here() const { return octets_.data() + at_; }

  // The next octet; a failure naming `what` when none is left.
  [[nodiscard]] Result<std::uint8_t> Octet(const char* what);
  // `count` octets; a failure naming `what`, the count and what is left.
  [[nodiscard]] Result<std::vector<std::uint8_t>> Octets(std::size_t count, const char* what);

 private:
  const std::vector<std::uint8_t>& octets_;
  std::size_t at_;
};

}  // namespace missivo::sms
