#include "sms/octets.h"

#include "text/hex_escapes.h"

namespace missivo::sms {

Result<std::vector<std::uint8_t>> HexToOctets(std::string_view hex) {
  std::vector<std::uint8_t> octets;
  octets.reserve(hex.size() / 2);
  for (std::size_t at = 0; at < hex.size(); at += 2) {
    const int high = HexDigitValue(hex[at]);
    const int low = at + 1 < hex.size() ? HexDigitValue(hex[at + 1]) : 0;
    if (high < 0 || low < 0) {
      const std::size_t bad = high < 0 ? at : at + 1;
      return Status::Failure("character " + std::to_string(bad + 1) + " of the PDU (octet " +
                             std::to_string(at / 2 + 1) + ") is not a hex digit");
    }
    if (at + 1 == hex.size())
      return Status::Failure("the PDU has an odd number of hex digits (" +
                             std::to_string(hex.size()) + ")");
    octets.push_back(static_cast<std::uint8_t>(high << 4 | low));
  }
  return octets;
}

std::string OctetsToHex(const std::uint8_t* octets, std::size_t count) {
  std::string hex;
  hex.reserve(count * 2);
  for (std::size_t i = 0; i < count; ++i)
    AppendHexByte(hex, octets[i]);
  return hex;
}

Result<std::uint8_t> OctetReader::Octet(const char* what) {
  if (remaining() == 0)
    return Status::Failure(std::string("the PDU ends before ") + what + " at octet " +
                           std::to_string(position()));
  return octets_[at_++];
}

Result<std::vector<std::uint8_t>> OctetReader::Octets(std::size_t count, const char* what) {
  if (remaining() < count)
    return Status::Failure(std::string(what) + " needs " + std::to_string(count) +
                           " octets at octet " + std::to_string(position()) + ", " +
                           std::to_string(remaining()) + " follow");
  std::vector<std::uint8_t> taken(octets_.begin() + static_cast<std::ptrdiff_t>(at_),
                                  octets_.begin() + static_cast<std::ptrdiff_t>(at_ + count));
  at_ += count;
  return taken;
}

}  // namespace missivo::sms
