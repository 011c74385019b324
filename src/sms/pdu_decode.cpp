// Reading a PDU octet by octet, every length checked against what follows.
#include <utility>

#include "sms/gsm7.h"
#include "sms/octets.h"
#include "sms/sms_pdu.h"
#include "text/hex_escapes.h"
#include "text/utf8.h"

namespace missivo::sms {
namespace {

std::string At(std::size_t position) {
  return " at octet " + std::to_string(position);
}

std::string HexByte(std::uint8_t octet) {
  std::string text = "0x";
  AppendHexByte(text, octet);
  return text;
}

// Semi-octets, low nibble first, after a "+" for an international number; a
// filler 0xF is skipped wherever it stands.
std::string Digits(const std::vector<std::uint8_t>& octets, std::size_t count, bool plus) {
  static constexpr char kDigits[] = "0123456789*#abc";
  std::string digits;
  if (plus) digits.push_back('+');
  for (std::size_t i = 0; i < count; ++i) {
    const int nibble = i % 2 == 0 ? octets[i / 2] & 0x0F : octets[i / 2] >> 4;
    if (nibble != 0xF) digits += kDigits[nibble];
  }
  return digits;
}

Address MakeDecodedAddress(std::uint8_t type, const std::vector<std::uint8_t>& octets,
                           std::size_t semi_octets, bool service_centre = false) {
  Address address{"", type};
  if (address.alphanumeric() && !service_centre) {
    const std::size_t septets = semi_octets * 4 / 7;
    address.text = SeptetsToUtf8(UnpackSeptets(octets.data(), septets, 0));
  } else {
    address.text = Digits(octets, semi_octets, address.international());
  }
  return address;
}

// Service-centre field: length in octets (type included), type, semi-octets.
//   "07 91 9730071111F1" -> "+79037011111"; "00" -> none
Result<Address> ReadServiceCentre(OctetReader& in) {
  const std::size_t start = in.position();
  SMS_TAKE(length, in.Octet("the service-centre length"));
  if (length == 0) return Address{"", 0};
  if (length > 11)  // type and ten octets of digits at most
    return Status::Failure("service-centre field of " + std::to_string(length) +
                           " octets is longer than 11" + At(start));
  SMS_TAKE(type, in.Octet("the service-centre type"));
  SMS_TAKE(octets, in.Octets(length - 1u, "the service-centre number"));
  Address centre = MakeDecodedAddress(type, octets, octets.size() * 2, true);
  if (centre.text.empty() || centre.text == "+") return Address{"", 0};  // no digits: none
  return centre;
}

// Originator, destination or recipient: length in semi-octets, type, semi-octets.
//   "0B 91 6171957291F8" -> "+16175927198"; "14 D0 4937BD2C7797E9D3E614" -> "InternetSMS"
Result<Address> ReadAddress(OctetReader& in, const char* what) {
  const std::size_t start = in.position();
  SMS_TAKE(semi_octets, in.Octet(what));
  if (semi_octets > 20)
    return Status::Failure(std::string(what) + " of " + std::to_string(semi_octets) +
                           " digits is longer than 20" + At(start));
  SMS_TAKE(type, in.Octet(what));
  SMS_TAKE(octets, in.Octets((semi_octets + 1u) / 2, what));
  return MakeDecodedAddress(type, octets, semi_octets);
}

// Seven octets of swapped decimal digits: year, month, day, hour, minute,
// second, zone in quarter hours with its sign in bit 3 of the first digit.
//   "11 20 82 11 05 05 0A" -> 2011-02-28 11:50:50 -05:00
Result<Timestamp> ReadTimestamp(OctetReader& in, const char* what) {
  const std::size_t start = in.position();
  SMS_TAKE(octets, in.Octets(7, what));
  int fields[7] = {};
  for (std::size_t i = 0; i < 7; ++i) {
    const int tens = i == 6 ? octets[i] & 0x07 : octets[i] & 0x0F;
    const int units = octets[i] >> 4;
    if (tens > 9 || units > 9)
      return Status::Failure(std::string(what) + " has the non-decimal digits " +
                             HexByte(octets[i]) + At(start + i));
    fields[i] = tens * 10 + units;
  }
  Timestamp stamp{2000 + fields[0],
                  fields[1],
                  fields[2],
                  fields[3],
                  fields[4],
                  fields[5],
                  (octets[6] & 0x08) ? -fields[6] : fields[6]};
  if (stamp.month < 1 || stamp.month > 12 || stamp.day < 1 || stamp.day > 31 || stamp.hour > 23 ||
      stamp.minute > 59 || stamp.second > 59)
    return Status::Failure(std::string(what) + " " + stamp.Iso8601() + " is not a valid time" +
                           At(start));
  return stamp;
}

Result<Validity> ReadValidity(OctetReader& in, int format) {
  Validity validity;
  switch (format) {
    case 0:
      break;
    case 2: {
      validity.format = Validity::Format::kRelative;
      SMS_TAKE(relative, in.Octet("the validity period"));
      validity.relative = relative;
      break;
    }
    case 1: {
      validity.format = Validity::Format::kEnhanced;
      SMS_TAKE(enhanced, in.Octets(7, "the enhanced validity period"));
      validity.enhanced = std::move(enhanced);
      break;
    }
    default: {
      validity.format = Validity::Format::kAbsolute;
      SMS_TAKE(absolute, ReadTimestamp(in, "the validity period"));
      validity.absolute = absolute;
      break;
    }
  }
  return validity;
}

// User-data header: its length, then elements of id, length and data.
//   "05 00 03 4C 02 01" -> part 1 of 2, reference 0x4C
//   "06 08 04 0010 02 01" -> part 1 of 2, reference 0x0010
Status ReadHeader(const std::vector<std::uint8_t>& header, std::size_t start, UserData& data) {
  for (std::size_t at = 0; at < header.size();) {
    if (at + 2 > header.size())
      return Status::Failure("user-data header ends inside an element" + At(start + at));
    HeaderElement element{header[at], {}};
    const std::size_t length = header[at + 1];
    if (at + 2 + length > header.size())
      return Status::Failure("header element " + HexByte(element.id) + " of " +
                             std::to_string(length) + " octets runs past the header" +
                             At(start + at));
    element.data.assign(header.begin() + static_cast<std::ptrdiff_t>(at + 2),
                        header.begin() + static_cast<std::ptrdiff_t>(at + 2 + length));
    at += 2 + length;
    const bool sixteen = element.id == 0x08;
    if ((element.id == 0x00 || sixteen) && element.data.size() != (sixteen ? 4u : 3u))
      return Status::Failure("concatenation element " + HexByte(element.id) + " has " +
                             std::to_string(length) + " octets, not " + (sixteen ? "4" : "3") +
                             At(start + at - length - 2));
    if ((element.id == 0x00 || sixteen) && !data.concatenation) {
      const auto& d = element.data;
      const Concatenation part{std::uint16_t(sixteen ? d[0] << 8 | d[1] : d[0]), d[sixteen ? 2 : 1],
                               d[sixteen ? 3 : 2], sixteen};
      // A total of 0 or a part past the total: the element is to be ignored.
      if (part.total > 0 && part.sequence > 0 && part.sequence <= part.total) {
        data.concatenation = part;
        continue;
      }
    }
    data.other_elements.push_back(std::move(element));
  }
  return {};
}

// User-data length (septets for 7-bit, else octets), then the user data: an
// optional header, fill bits up to a septet boundary for 7-bit, the text.
Result<UserData> ReadUserData(OctetReader& in, const DataCoding& coding, bool has_header) {
  const std::size_t start = in.position();
  SMS_TAKE(length, in.Octet("the user-data length"));
  const bool septets = coding.alphabet == Alphabet::kGsm7;
  if (length > (septets ? 160 : 140))
    return Status::Failure("user-data length " + std::to_string(length) + " is over " +
                           (septets ? "160 septets" : "140 octets") + At(start));
  const std::size_t octet_count = septets ? (length * 7u + 7) / 8 : length;
  const std::size_t body = in.position();
  SMS_TAKE(octets, in.Octets(octet_count, "the user data"));

  UserData data;
  std::size_t header_octets = 0;
  if (has_header) {
    if (octets.empty())
      return Status::Failure("the user-data header indicator is set but the user data is empty" +
                             At(body));
    header_octets = octets[0] + 1u;
    if (header_octets > octets.size())
      return Status::Failure("user-data header of " + std::to_string(header_octets) +
                             " octets is longer than the user data of " +
                             std::to_string(octets.size()) + At(body));
    const std::vector<std::uint8_t> header(
        octets.begin() + 1, octets.begin() + static_cast<std::ptrdiff_t>(header_octets));
    if (Status read = ReadHeader(header, body + 1, data); !read.ok()) return read;
  }

  if (septets) {
    const std::size_t header_septets = (header_octets * 8 + 6) / 7;
    if (header_septets > length)
      return Status::Failure("user-data header takes " + std::to_string(header_septets) +
                             " septets of the " + std::to_string(length) + At(body));
    const int fill_bits = static_cast<int>(header_septets * 7 - header_octets * 8);
    data.text = SeptetsToUtf8(
        UnpackSeptets(octets.data() + header_octets, length - header_septets, fill_bits));
  } else if (coding.alphabet == Alphabet::kUcs2) {
    // An odd octet at the end cannot be a unit: the whole units are kept.
    for (std::size_t at = header_octets; at + 1 < octets.size(); at += 2)
      data.ucs2 += static_cast<char16_t>(octets[at] << 8 | octets[at + 1]);
    data.text = Utf16ToUtf8(data.ucs2);
  } else {
    data.text = "[binary data]";
    data.data_hex = OctetsToHex(octets.data() + header_octets, octets.size() - header_octets);
  }
  return data;
}

void ReadFlags(std::uint8_t first, Pdu& pdu) {
  pdu.first_octet = first;
  const int indicator = first & 0x03;
  pdu.type = indicator == 1   ? MessageType::kSubmit
             : indicator == 2 ? MessageType::kStatusReport
                              : MessageType::kDeliver;  // 3 is reserved: read as DELIVER
  if (pdu.type == MessageType::kSubmit)
    pdu.reject_duplicates = (first & 0x04) != 0;
  else
    pdu.more_messages = (first & 0x04) == 0;
  pdu.status_report = (first & 0x20) != 0;
  pdu.user_data_header = (first & 0x40) != 0;
  pdu.reply_path = (first & 0x80) != 0;
}

Status ReadProtocolAndCoding(OctetReader& in, Pdu& pdu) {
  SMS_TAKE(protocol, in.Octet("the protocol identifier"));
  SMS_TAKE(coding, in.Octet("the data coding scheme"));
  pdu.protocol_id = protocol;
  pdu.coding = DecodeDataCoding(coding);
  return {};
}

Status ReadStatusReport(OctetReader& in, Pdu& pdu) {
  SMS_TAKE(reference, in.Octet("the message reference"));
  SMS_TAKE(recipient, ReadAddress(in, "the recipient address"));
  SMS_TAKE(sent, ReadTimestamp(in, "the service-centre time stamp"));
  SMS_TAKE(discharge, ReadTimestamp(in, "the discharge time"));
  SMS_TAKE(status, in.Octet("the status"));
  pdu.message_reference = reference;
  pdu.address = std::move(recipient);
  pdu.service_centre_time = sent;
  pdu.discharge_time = discharge;
  pdu.status = status;
  if (in.remaining() == 0) return {};
  // Parameter indicator: bit 0 protocol identifier, bit 1 coding, bit 2 user
  // data; bit 7 says another indicator octet follows.
  SMS_TAKE(indicator, in.Octet("the parameter indicator"));
  for (std::uint8_t more = indicator; more & 0x80;) {
    SMS_TAKE(next, in.Octet("the parameter indicator"));
    more = next;
  }
  if (indicator & 0x01) {
    SMS_TAKE(protocol, in.Octet("the protocol identifier"));
    pdu.protocol_id = protocol;
  }
  if (indicator & 0x02) {
    SMS_TAKE(coding, in.Octet("the data coding scheme"));
    pdu.coding = DecodeDataCoding(coding);
  }
  if (indicator & 0x04) {
    SMS_TAKE(data, ReadUserData(in, pdu.coding, pdu.user_data_header));
    pdu.user_data = std::move(data);
  }
  return {};
}

Result<Pdu> ReadTpdu(OctetReader& in, Pdu pdu) {
  SMS_TAKE(first, in.Octet("the first octet"));
  ReadFlags(first, pdu);
  Status read;
  if (pdu.type == MessageType::kStatusReport) {
    read = ReadStatusReport(in, pdu);
    if (!read.ok()) return read;
    return pdu;
  }
  if (pdu.type == MessageType::kSubmit) {
    SMS_TAKE(reference, in.Octet("the message reference"));
    SMS_TAKE(destination, ReadAddress(in, "the destination address"));
    pdu.message_reference = reference;
    pdu.address = std::move(destination);
    if (read = ReadProtocolAndCoding(in, pdu); !read.ok()) return read;
    SMS_TAKE(validity, ReadValidity(in, (first >> 3) & 0x03));
    pdu.validity = std::move(validity);
  } else {
    SMS_TAKE(originator, ReadAddress(in, "the originator address"));
    pdu.address = std::move(originator);
    if (read = ReadProtocolAndCoding(in, pdu); !read.ok()) return read;
    SMS_TAKE(stamp, ReadTimestamp(in, "the service-centre time stamp"));
    pdu.service_centre_time = stamp;
  }
  SMS_TAKE(data, ReadUserData(in, pdu.coding, pdu.user_data_header));
  pdu.user_data = std::move(data);
  return pdu;
}

}  // namespace

Result<Pdu> DecodePdu(std::string_view hex) {
  SMS_TAKE(octets, HexToOctets(hex));
  OctetReader in(octets);
  SMS_TAKE(centre, ReadServiceCentre(in));
  Pdu pdu;
  pdu.service_centre = std::move(centre);
  return ReadTpdu(in, std::move(pdu));
}

Result<Pdu> DecodeTpdu(std::string_view hex) {
  SMS_TAKE(octets, HexToOctets(hex));
  OctetReader in(octets);
  Pdu pdu;
  pdu.service_centre = Address{"", 0};
  return ReadTpdu(in, std::move(pdu));
}

}  // namespace missivo::sms
