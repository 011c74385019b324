// Writing a PDU's fields back into octets: the inverse of the decoder.
#include <utility>

#include "sms/gsm7.h"
#include "sms/octets.h"
#include "sms/sms_encode.h"
#include "text/utf8.h"

namespace missivo::sms {
namespace {

using Octets = std::vector<std::uint8_t>;

void Append(Octets& out, const Octets& more) {
  out.insert(out.end(), more.begin(), more.end());
}

// The semi-octets of a number (a leading "+" left out), or a failure naming `what`.
Result<Octets> NumberSemiOctets(std::string_view text, const char* what) {
  static constexpr std::string_view kDigits = "0123456789*#abc";
  const std::string_view digits = !text.empty() && text[0] == '+' ? text.substr(1) : text;
  if (digits.size() > 20)
    return Status::Failure(std::string(what) + " \"" + std::string(text) +
                           "\" has more than 20 digits");
  Octets semi;
  for (char digit : digits) {
    const std::size_t value = kDigits.find(digit);
    if (value == std::string_view::npos)
      return Status::Failure(std::string(what) + " \"" + std::string(text) +
                             "\" is not a phone number");
    semi.push_back(static_cast<std::uint8_t>(value));
  }
  return semi;
}

Octets PackSemiOctets(const Octets& semi) {
  Octets octets((semi.size() + 1) / 2, 0xFF);
  for (std::size_t i = 0; i < semi.size(); ++i) {
    std::uint8_t& octet = octets[i / 2];
    octet = i % 2 == 0 ? std::uint8_t((octet & 0xF0) | semi[i])
                       : std::uint8_t((octet & 0x0F) | semi[i] << 4);
  }
  return octets;
}

// Length in semi-octets (service centre: in octets with the type), type, number.
Result<Octets> WriteAddress(const Address& address, bool service_centre, const char* what) {
  if (service_centre && address.text.empty()) return Octets{0x00};
  Octets field;
  std::size_t semi_octets = 0;
  Octets body;
  if (address.alphanumeric() && !service_centre) {
    const auto septets = ToSeptets(Utf8ToCodePoints(address.text));
    if (!septets || septets->size() > 11)
      return Status::Failure(std::string(what) + " \"" + address.text +
                             "\" is not a name of up to 11 characters of the 7-bit alphabet");
    semi_octets = (septets->size() * 7 + 3) / 4;
    body = PackSeptets(*septets, 0);
  } else {
    SMS_TAKE(semi, NumberSemiOctets(address.text, what));
    semi_octets = semi.size();
    body = PackSemiOctets(semi);
  }
  field.push_back(static_cast<std::uint8_t>(service_centre ? body.size() + 1 : semi_octets));
  field.push_back(address.type);
  Append(field, body);
  return field;
}

Result<Octets> WriteTimestamp(const Timestamp& stamp, const char* what) {
  const int zone = stamp.zone_quarters < 0 ? -stamp.zone_quarters : stamp.zone_quarters;
  const int fields[7] = {stamp.year - 2000, stamp.month,  stamp.day, stamp.hour,
                         stamp.minute,      stamp.second, zone};
  const bool valid = fields[0] >= 0 && fields[0] <= 99 && stamp.month >= 1 && stamp.month <= 12 &&
                     stamp.day >= 1 && stamp.day <= 31 && stamp.hour >= 0 && stamp.hour <= 23 &&
                     stamp.minute >= 0 && stamp.minute <= 59 && stamp.second >= 0 &&
                     stamp.second <= 59 && zone <= 79;
  if (!valid)
    return Status::Failure(std::string(what) + " " + stamp.Iso8601() + " cannot be written");
  Octets octets;
  for (int field : fields)
    octets.push_back(static_cast<std::uint8_t>((field % 10) << 4 | field / 10));
  if (stamp.zone_quarters < 0) octets[6] |= 0x08;
  return octets;
}

Result<Octets> WriteValidity(const Validity& validity) {
  switch (validity.format) {
    case Validity::Format::kNone:
      return Octets{};
    case Validity::Format::kRelative:
      return Octets{validity.relative};
    case Validity::Format::kEnhanced:
      if (validity.enhanced.size() != 7)
        return Status::Failure("an enhanced validity period has 7 octets, not " +
                               std::to_string(validity.enhanced.size()));
      return validity.enhanced;
    case Validity::Format::kAbsolute:
      return WriteTimestamp(validity.absolute, "the validity period");
  }
  return Octets{};
}

int ValidityBits(Validity::Format format) {
  switch (format) {
    case Validity::Format::kNone:
      return 0;
    case Validity::Format::kEnhanced:
      return 1;
    case Validity::Format::kRelative:
      return 2;
    case Validity::Format::kAbsolute:
      return 3;
  }
  return 0;
}

// The user-data header without its length octet: concatenation first, then the other elements.
Result<Octets> WriteHeaderElements(const UserData& data) {
  Octets header;
  if (const auto& part = data.concatenation) {
    if (part->total < 1 || part->total > 255 || part->sequence < 1 || part->sequence > part->total)
      return Status::Failure("part " + std::to_string(part->sequence) + " of " +
                             std::to_string(part->total) + " cannot be written");
    if (part->sixteen_bit)
      header = {0x08, 0x04, std::uint8_t(part->reference >> 8), std::uint8_t(part->reference)};
    else
      header = {0x00, 0x03, std::uint8_t(part->reference)};
    header.push_back(static_cast<std::uint8_t>(part->total));
    header.push_back(static_cast<std::uint8_t>(part->sequence));
  }
  for (const HeaderElement& element : data.other_elements) {
    if (element.data.size() > 255)
      return Status::Failure("a header element has more than 255 octets");
    header.push_back(element.id);
    header.push_back(static_cast<std::uint8_t>(element.data.size()));
    Append(header, element.data);
  }
  if (header.size() > 139) return Status::Failure("the user-data header is over 140 octets");
  return header;
}

// The user-data length octet and the user data, in the alphabet `coding` names.
Result<Octets> WriteUserData(const UserData& data, const DataCoding& coding, bool with_header) {
  Octets header;
  if (with_header) {
    SMS_TAKE(elements, WriteHeaderElements(data));
    header.push_back(static_cast<std::uint8_t>(elements.size()));
    Append(header, elements);
  }
  Octets out;
  if (coding.alphabet == Alphabet::kGsm7) {
    const auto septets = ToSeptets(Utf8ToCodePoints(data.text));
    if (!septets) return Status::Failure("the text holds a character outside the 7-bit alphabet");
    const std::size_t header_septets = (header.size() * 8 + 6) / 7;
    const std::size_t length = header_septets + septets->size();
    if (length > 160)
      return Status::Failure("the text takes " + std::to_string(length) +
                             " septets, over the 160 of one PDU");
    out.push_back(static_cast<std::uint8_t>(length));
    Append(out, header);
    Append(out, PackSeptets(*septets, static_cast<int>(header_septets * 7 - header.size() * 8)));
    return out;
  }
  Octets body = header;
  if (coding.alphabet == Alphabet::kUcs2) {
    const std::u16string units =
        data.ucs2.empty() ? CodePointsToUtf16(Utf8ToCodePoints(data.text)) : data.ucs2;
    for (char16_t unit : units) {
      body.push_back(static_cast<std::uint8_t>(unit >> 8));
      body.push_back(static_cast<std::uint8_t>(unit & 0xFF));
    }
  } else {
    SMS_TAKE(octets, HexToOctets(data.data_hex));
    Append(body, octets);
  }
  if (body.size() > 140)
    return Status::Failure("the user data takes " + std::to_string(body.size()) +
                           " octets, over the 140 of one PDU");
  out.push_back(static_cast<std::uint8_t>(body.size()));
  Append(out, body);
  return out;
}

bool HasUserData(const Pdu& pdu) {
  const UserData& data = pdu.user_data;
  return pdu.user_data_header || !data.text.empty() || !data.ucs2.empty() ||
         !data.data_hex.empty() || data.concatenation || !data.other_elements.empty();
}

// The first octet: the flags from the fields, the other bits as given.
std::uint8_t FirstOctet(const Pdu& pdu, bool with_header) {
  int first = pdu.first_octet & 0x18;
  switch (pdu.type) {
    case MessageType::kDeliver:
      if ((pdu.first_octet & 0x03) == 0x03) first |= 0x03;  // the reserved 3, read as DELIVER
      if (!pdu.more_messages) first |= 0x04;
      break;
    case MessageType::kSubmit:
      first = 0x01 | ValidityBits(pdu.validity.format) << 3;
      if (pdu.reject_duplicates) first |= 0x04;
      break;
    case MessageType::kStatusReport:
      first |= 0x02;
      if (!pdu.more_messages) first |= 0x04;
      break;
  }
  if (pdu.status_report) first |= 0x20;
  if (with_header) first |= 0x40;
  if (pdu.reply_path) first |= 0x80;
  return static_cast<std::uint8_t>(first);
}

Result<Octets> WriteStatusReport(const Pdu& pdu, Octets out) {
  SMS_TAKE(recipient, WriteAddress(pdu.address, false, "the recipient"));
  SMS_TAKE(sent, WriteTimestamp(pdu.service_centre_time, "the service-centre time stamp"));
  SMS_TAKE(discharge, WriteTimestamp(pdu.discharge_time, "the discharge time"));
  out.push_back(pdu.message_reference);
  Append(out, recipient);
  Append(out, sent);
  Append(out, discharge);
  out.push_back(pdu.status);
  const bool with_data = HasUserData(pdu);
  if (!with_data && pdu.protocol_id == 0 && pdu.coding.octet == 0) return out;
  out.push_back(with_data ? 0x07 : 0x03);
  out.push_back(pdu.protocol_id);
  out.push_back(pdu.coding.octet);
  if (!with_data) return out;
  SMS_TAKE(data,
           WriteUserData(pdu.user_data, DecodeDataCoding(pdu.coding.octet), (out[0] & 0x40) != 0));
  Append(out, data);
  return out;
}

Result<Octets> WriteTpdu(const Pdu& pdu) {
  const bool with_header =
      pdu.user_data_header || pdu.user_data.concatenation || !pdu.user_data.other_elements.empty();
  Octets out{FirstOctet(pdu, with_header)};
  if (pdu.type == MessageType::kStatusReport) return WriteStatusReport(pdu, std::move(out));
  const bool submit = pdu.type == MessageType::kSubmit;
  if (submit) out.push_back(pdu.message_reference);
  SMS_TAKE(address, WriteAddress(pdu.address, false, submit ? "the recipient" : "the sender"));
  Append(out, address);
  out.push_back(pdu.protocol_id);
  out.push_back(pdu.coding.octet);
  if (submit) {
    SMS_TAKE(validity, WriteValidity(pdu.validity));
    Append(out, validity);
  } else {
    SMS_TAKE(stamp, WriteTimestamp(pdu.service_centre_time, "the service-centre time stamp"));
    Append(out, stamp);
  }
  SMS_TAKE(data, WriteUserData(pdu.user_data, DecodeDataCoding(pdu.coding.octet), with_header));
  Append(out, data);
  return out;
}

}  // namespace

Result<std::string> EncodeTpdu(const Pdu& pdu) {
  SMS_TAKE(octets, WriteTpdu(pdu));
  return OctetsToHex(octets);
}

Result<std::string> EncodePdu(const Pdu& pdu) {
  SMS_TAKE(centre, WriteAddress(pdu.service_centre, true, "the service centre"));
  SMS_TAKE(tpdu, WriteTpdu(pdu));
  return OctetsToHex(centre) + OctetsToHex(tpdu);
}

}  // namespace missivo::sms
