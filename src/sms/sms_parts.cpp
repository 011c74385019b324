// A text cut into the parts it is sent in, and those parts as SMS-SUBMIT or
// SMS-DELIVER PDUs.
#include <utility>

#include "sms/gsm7.h"
#include "sms/octets.h"
#include "sms/sms_encode.h"
#include "text/utf8.h"

namespace missivo::sms {
namespace {

struct Split {
  TextCount count;
  std::vector<std::u32string> parts;
};

// The units each character takes: septets (two for an extension character) or
// UTF-16 units (two for a point past U+FFFF).
Split SplitPoints(const std::u32string& points, const SplitOptions& options) {
  Split split;
  std::vector<int> sizes;
  sizes.reserve(points.size());
  bool gsm7 = !options.force_ucs2;
  for (std::size_t i = 0; gsm7 && i < points.size(); ++i) {
    const int septets = SeptetsOf(points[i]).count;
    if (septets > 0)
      sizes.push_back(septets);
    else
      gsm7 = false;
  }
  if (!gsm7) {
    sizes.clear();
    for (char32_t point : points)
      sizes.push_back(point > 0xFFFF ? 2 : 1);
  }
  TextCount& count = split.count;
  count.alphabet = gsm7 ? Alphabet::kGsm7 : Alphabet::kUcs2;
  for (int size : sizes)
    count.used += size;
  const int single = gsm7 ? 160 : 70;
  if (count.used <= single) {
    count.per_part = single;
    split.parts.push_back(points);
    return split;
  }
  // Each part carries a concatenation header of 6 octets (7 with a 16-bit reference).
  const int header = options.sixteen_bit_reference ? 7 : 6;
  count.per_part = gsm7 ? (140 - header) * 8 / 7 : (140 - header) / 2;
  int in_part = 0;
  split.parts.emplace_back();
  for (std::size_t i = 0; i < points.size(); ++i) {
    if (in_part + sizes[i] > count.per_part) {
      split.parts.emplace_back();
      in_part = 0;
    }
    split.parts.back() += points[i];
    in_part += sizes[i];
  }
  count.parts = static_cast<int>(split.parts.size());
  return split;
}

Result<Split> SplitChecked(std::string_view text, const SplitOptions& options) {
  std::size_t bad = 0;
  const std::u32string points = Utf8ToCodePoints(text, &bad);
  if (bad != std::string_view::npos)
    return Status::Failure("the text is not UTF-8 at byte " + std::to_string(bad + 1));
  Split split = SplitPoints(points, options);
  if (split.count.parts > 255)
    return Status::Failure("the text needs " + std::to_string(split.count.parts) +
                           " parts, more than 255");
  return split;
}

// The PDUs of every part: `base` with each part's text and, for more than one
// part, its concatenation element.
std::vector<Pdu> PartPdus(const Split& split, Pdu base, std::uint16_t reference,
                          const SplitOptions& options) {
  base.coding = DecodeDataCoding(split.count.alphabet == Alphabet::kGsm7 ? 0x00 : 0x08);
  std::vector<Pdu> pdus;
  const int total = static_cast<int>(split.parts.size());
  for (int i = 0; i < total; ++i) {
    Pdu pdu = base;
    pdu.user_data.text = CodePointsToUtf8(split.parts[static_cast<std::size_t>(i)]);
    if (total > 1) {
      const std::uint16_t shared = options.sixteen_bit_reference ? reference : reference & 0xFF;
      pdu.user_data.concatenation =
          Concatenation{shared, total, i + 1, options.sixteen_bit_reference};
      pdu.user_data_header = true;
    }
    pdus.push_back(std::move(pdu));
  }
  return pdus;
}

}  // namespace

std::string TextCount::Caption() const {
  return std::to_string(used) + " / " + std::to_string(per_part * parts) + ", " +
         std::to_string(parts) + (parts == 1 ? " part" : " parts");
}

TextCount CountText(std::string_view text, const SplitOptions& options) {
  return SplitPoints(Utf8ToCodePoints(text), options).count;
}

Result<std::vector<std::string>> SplitText(std::string_view text, const SplitOptions& options) {
  SMS_TAKE(split, SplitChecked(text, options));
  std::vector<std::string> parts;
  for (const std::u32string& part : split.parts)
    parts.push_back(CodePointsToUtf8(part));
  return parts;
}

Result<std::vector<EncodedPart>> EncodeSubmit(std::string_view recipient, std::string_view text,
                                              const SubmitOptions& options) {
  const Address address = MakeAddress(recipient);
  if (address.alphanumeric())
    return Status::Failure("the recipient \"" + std::string(recipient) +
                           "\" is not a phone number");
  SMS_TAKE(split, SplitChecked(text, options.split));
  Pdu base;
  base.type = MessageType::kSubmit;
  base.service_centre = Address{"", 0};
  base.status_report = options.status_report;
  base.message_reference = options.message_reference;
  base.address = address;
  if (options.validity_minutes) {
    base.validity.format = Validity::Format::kRelative;
    base.validity.relative = RelativeValidityOctet(*options.validity_minutes);
  }
  const std::vector<Pdu> pdus = PartPdus(split, std::move(base), options.reference, options.split);
  std::vector<EncodedPart> parts;
  for (const Pdu& pdu : pdus) {
    SMS_TAKE(tpdu, EncodeTpdu(pdu));
    parts.push_back(EncodedPart{"00" + tpdu, static_cast<int>(tpdu.size() / 2)});
  }
  return parts;
}

Result<std::vector<std::string>> EncodeDeliver(const DeliverMessage& message) {
  SMS_TAKE(split, SplitChecked(message.text, message.split));
  Pdu base;
  base.type = MessageType::kDeliver;
  base.service_centre =
      message.service_centre.empty() ? Address{"", 0} : MakeAddress(message.service_centre);
  base.status_report = message.status_report_indication;
  base.address = MakeAddress(message.sender);
  base.service_centre_time = message.time;
  const std::vector<Pdu> pdus = PartPdus(split, std::move(base), message.reference, message.split);
  std::vector<std::string> parts;
  for (const Pdu& pdu : pdus) {
    SMS_TAKE(hex, EncodePdu(pdu));
    parts.push_back(std::move(hex));
  }
  return parts;
}

}  // namespace missivo::sms
