// The parts of a PDU that stand alone: addresses typed by a user, time stamps,
// the data coding scheme, validity periods, status octets and joined texts.
#include "sms/sms_pdu.h"

#include <cstdio>
#include <cstdlib>

#include "text/utf8.h"

namespace missivo::sms {

Address MakeAddress(std::string_view text) {
  const bool plus = !text.empty() && text.front() == '+';
  const std::string_view digits = plus ? text.substr(1) : text;
  bool number = !digits.empty() && digits.size() <= 20;
  for (char c : digits)
    number = number && ((c >= '0' && c <= '9') || c == '*' || c == '#');
  if (!number) return Address{std::string(text), 0xD0};
  return Address{std::string(text), std::uint8_t(plus ? 0x91 : 0x81)};
}

std::string Timestamp::Iso8601() const {
  const int zone = std::abs(zone_quarters);
  char text[40];
  std::snprintf(text, sizeof text, "%04d-%02d-%02dT%02d:%02d:%02d%c%02d:%02d", year, month, day,
                hour, minute, second, zone_quarters < 0 ? '-' : '+', zone / 4, zone % 4 * 15);
  return text;
}

DataCoding DecodeDataCoding(std::uint8_t octet) {
  DataCoding coding;
  coding.octet = octet;
  const int group = octet >> 4;
  if (group <= 0x7) {  // general data coding, and the same marked for automatic deletion
    coding.auto_delete = (octet & 0x40) != 0;
    coding.compressed = (octet & 0x20) != 0;
    if (octet & 0x10) coding.message_class = octet & 0x03;
    const int alphabet = (octet >> 2) & 0x03;
    coding.alphabet = alphabet == 1   ? Alphabet::kData8
                      : alphabet == 2 ? Alphabet::kUcs2
                                      : Alphabet::kGsm7;
    if (coding.compressed) coding.alphabet = Alphabet::kData8;
  } else if (group >= 0xC && group <= 0xE) {  // message waiting indication
    coding.waiting = DataCoding::Waiting{(octet & 0x08) != 0, octet & 0x03, group == 0xC};
    coding.alphabet = group == 0xE ? Alphabet::kUcs2 : Alphabet::kGsm7;
  } else if (group == 0xF) {  // data coding and message class
    coding.alphabet = (octet & 0x04) ? Alphabet::kData8 : Alphabet::kGsm7;
    coding.message_class = octet & 0x03;
  }
  return coding;
}

int RelativeValidityMinutes(std::uint8_t octet) {
  if (octet <= 143) return (octet + 1) * 5;
  if (octet <= 167) return 12 * 60 + (octet - 143) * 30;
  if (octet <= 196) return (octet - 166) * 24 * 60;
  return (octet - 192) * 7 * 24 * 60;
}

std::uint8_t RelativeValidityOctet(int minutes) {
  const auto up = [](int value, int step) { return (value + step - 1) / step; };
  if (minutes <= 5) return 0;
  if (minutes <= 12 * 60) return std::uint8_t(up(minutes, 5) - 1);
  if (minutes <= 24 * 60) return std::uint8_t(143 + up(minutes - 12 * 60, 30));
  if (minutes <= 30 * 24 * 60) return std::uint8_t(166 + up(minutes, 24 * 60));
  if (minutes >= 63 * 7 * 24 * 60) return 255;
  return std::uint8_t(192 + up(minutes, 7 * 24 * 60));
}

std::string JoinedText(const std::vector<const UserData*>& parts) {
  std::string text;
  std::u16string units;  // UCS2 units of the neighbouring UCS2 parts not written yet
  for (const UserData* part : parts) {
    if (!part->ucs2.empty()) {
      units += part->ucs2;
      continue;
    }
    text += Utf16ToUtf8(units);
    units.clear();
    text += part->text;
  }
  return text + Utf16ToUtf8(units);
}

StatusKind StatusKindOf(std::uint8_t status) {
  if (status <= 0x1F) return StatusKind::kDelivered;
  if (status <= 0x3F) return StatusKind::kPending;
  return StatusKind::kFailed;
}

std::string StatusMeaning(std::uint8_t status) {
  static const char* const kCompleted[] = {
      "Received by the recipient", "Forwarded, delivery not confirmed", "Replaced by the centre"};
  static const char* const kErrors[] = {"Congestion",
                                        "Recipient busy",
                                        "No response from the recipient",
                                        "Service rejected",
                                        "Quality of service not available",
                                        "Error in the recipient"};
  static const char* const kPermanent[] = {"Remote procedure error",
                                           "Incompatible destination",
                                           "Connection rejected by the recipient",
                                           "Not obtainable",
                                           "Quality of service not available",
                                           "No interworking available",
                                           "Validity period expired",
                                           "Deleted by the sender",
                                           "Deleted by the centre",
                                           "Message does not exist"};
  const int low = status & 0x0F;
  const int group = status >> 4;
  switch (group) {
    case 0x0:
      if (low < 3) return kCompleted[low];
      return "Delivered (reserved value)";
    case 0x1:
      return "Delivered (centre-specific value)";
    case 0x2:
    case 0x6:
      if (low < 6)
        return std::string(kErrors[low]) +
               (group == 0x2 ? ", the centre still tries" : ", the centre gave up");
      return group == 0x2 ? "Temporary error (reserved value), the centre still tries"
                          : "Temporary error (reserved value), the centre gave up";
    case 0x3:
      return "Temporary error (centre-specific value), the centre still tries";
    case 0x4:
      if (low < 10) return kPermanent[low];
      return "Permanent error (reserved value)";
    case 0x5:
      return "Permanent error (centre-specific value)";
    case 0x7:
      return "Temporary error (centre-specific value), the centre gave up";
    default:
      return "Reserved status value";
  }
}

}  // namespace missivo::sms
