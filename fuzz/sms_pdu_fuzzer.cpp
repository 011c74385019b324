// SMS PDUs: every line of the input, and the input's bytes taken as the octets
// of a PDU, decode with and without a service-centre field to fields or to a
// failure with a message; decoded fields write back and decode to the same fields. The input as a
// text to send splits into parts that decode back to it, as many as the compose count says.
#include "fuzz_support.h"
#include "sms/octets.h"
#include "sms/sms_encode.h"
#include "sms/sms_pdu.h"
#include "text/utf8.h"

namespace missivo {
namespace {

void CheckPdu(std::string_view line, bool tpdu) {
  const Result<sms::Pdu> decoded = tpdu ? sms::DecodeTpdu(line) : sms::DecodePdu(line);
  if (!decoded.ok()) {
    fuzz::Require(!decoded.message().empty(), "a failure says what was wrong");
    return;
  }
  const Result<std::string> written =
      tpdu ? sms::EncodeTpdu(decoded.value()) : sms::EncodePdu(decoded.value());
  fuzz::Require(written.ok(), "decoded fields write back");
  const Result<sms::Pdu> again =
      tpdu ? sms::DecodeTpdu(written.value()) : sms::DecodePdu(written.value());
  fuzz::Require(again.ok() && again.value() == decoded.value(),
                "written fields decode to the same fields");
}

void CheckText(std::string_view text) {
  std::size_t bad = 0;
  Utf8ToCodePoints(text, &bad);
  const auto parts = sms::EncodeSubmit("+491701234567", text);
  const sms::TextCount count = sms::CountText(text);
  if (bad != std::string_view::npos) {
    fuzz::Require(!parts.ok(), "text that is not UTF-8 is refused");
    return;
  }
  if (!parts.ok()) {
    fuzz::Require(count.parts > 255, "only a text of over 255 parts is refused");
    return;
  }
  fuzz::Require(parts.value().size() == static_cast<std::size_t>(count.parts),
                "as many parts as the count says");
  std::vector<sms::Pdu> pdus;
  for (const sms::EncodedPart& part : parts.value()) {
    const Result<sms::Pdu> decoded = sms::DecodePdu(part.hex);
    fuzz::Require(decoded.ok(), "every part decodes");
    fuzz::Require(part.tpdu_length * 2 + 2 == static_cast<int>(part.hex.size()),
                  "the TPDU length leaves out the service-centre field");
    pdus.push_back(decoded.value());
  }
  std::vector<const sms::UserData*> texts;
  for (const sms::Pdu& pdu : pdus)
    texts.push_back(&pdu.user_data);
  fuzz::Require(sms::JoinedText(texts) == text, "the parts join to the text");
}

void Check(std::string_view input) {
  for (std::string_view rest = input; !rest.empty();) {
    const std::size_t end = std::min(rest.find('\n'), rest.size());
    std::string_view line = rest.substr(0, end);
    rest.remove_prefix(std::min(end + 1, rest.size()));
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    CheckPdu(line, false);
    CheckPdu(line, true);
  }
  if (input.size() <= 1024) {
    const std::string octets =
        sms::OctetsToHex(reinterpret_cast<const std::uint8_t*>(input.data()), input.size());
    CheckPdu(octets, false);
    CheckPdu(octets, true);
    CheckText(input);
  }
}

}  // namespace
}  // namespace missivo

MISSIVO_FUZZ_TEXT_TARGET(missivo::Check)
