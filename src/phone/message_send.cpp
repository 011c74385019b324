#include "phone/message_send.h"

#include <cctype>
#include <charconv>
#include <ctime>
#include <random>

#include "phone/at_exchange.h"
#include "phone/com_error.h"
#include "phone/delivery_reports.h"
#include "phone/device_profile.h"
#include "phone/error_replies.h"
#include "phone/family_commands.h"
#include "phone/message_read.h"
#include "phone/message_rows.h"
#include "phone/name_resolution.h"
#include "phone/standard/standard_commands.h"
#include "phone/standard/standard_replies.h"
#include "sms/sms_encode.h"
#include "store/contact_fields.h"
#include "store/message_fields.h"
#include "text/cp1251.h"
#include "text/lines.h"
#include "text/search_fold.h"
#include "text/utf8.h"

namespace missivo {
namespace {

constexpr std::string_view kCmgsPrefix = "+CMGS:";

std::string Ucs2Hex(std::string_view utf8) {
  static constexpr char kDigits[] = "0123456789ABCDEF";
  std::string out;
  for (char16_t unit : CodePointsToUtf16(Utf8ToCodePoints(utf8))) {
    for (int shift = 12; shift >= 0; shift -= 4)
      out.push_back(kDigits[(unit >> shift) & 0xF]);
  }
  return out;
}

// The number at the start of `text` (after blanks), or nothing.
std::optional<int> LeadingNumber(std::string_view text) {
  text = TrimBlanks(text);
  int value = -1;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end == text.data()) return std::nullopt;
  return value;
}

// The last line of a reply that is not empty.
std::string LastLine(std::string_view reply) {
  std::string last;
  for (const std::string& line : SplitAnyBreak(reply)) {
    if (!TrimBlanks(line).empty()) last = line;
  }
  return last;
}

// Why a reply is no confirmation, in words.
std::string ReplyReason(std::string_view reply) {
  const std::string last = LastLine(reply);
  if (last.empty()) return "the phone gave no answer";
  const std::string error = ErrorReplyText(reply);
  return "the phone answered " + (error.empty() ? last : error);
}

std::string ReferenceList(const std::vector<int>& references) {
  std::string text;
  for (int reference : references)
    text += (text.empty() ? "" : ", ") + std::to_string(reference);
  return text;
}

std::string PartRange(int first, int last) {
  return first == last ? "part " + std::to_string(first)
                       : "parts " + std::to_string(first) + "-" + std::to_string(last);
}

}  // namespace

Result<std::vector<std::string>> FamilySendPieces(std::string_view text) {
  sms::SplitOptions split;
  split.force_ucs2 = true;
  return sms::SplitText(text, split);
}

Result<SendPlan> FamilySendPlan(std::string_view number, std::string_view text) {
  if (CleanNumber(number) != number) return Status::Failure("the recipient is not a number");
  Result<std::vector<std::string>> parts = FamilySendPieces(text);
  if (!parts.ok()) return parts.status();
  SendPlan plan;
  plan.set_up.assign(std::begin(family::kSendSetUpCommands), std::end(family::kSendSetUpCommands));
  for (const std::string& part : parts.value())
    plan.parts.push_back({family::SendCommand(number), Ucs2Hex(part)});
  return plan;
}

Result<SendPlan> PduSendPlan(std::string_view number, std::string_view text,
                             std::uint16_t reference, bool status_report) {
  sms::SubmitOptions options;
  options.reference = reference;
  options.status_report = status_report;
  Result<std::vector<sms::EncodedPart>> parts = sms::EncodeSubmit(number, text, options);
  if (!parts.ok()) return parts.status();
  SendPlan plan;
  plan.set_up = {standard::kPduModeCommand};
  for (const sms::EncodedPart& part : parts.value())
    plan.parts.push_back({standard::SendCommand(part.tpdu_length), part.hex});
  if (plan.parts.size() > 1) plan.concatenation = reference;
  return plan;
}

// +CMGS: 183        +CMGS: 7,"26/12/10,17:50:02+12"
std::optional<int> ParseMessageReference(std::string_view reply) {
  for (const std::string& line : SplitAnyBreak(reply)) {
    const std::string_view rest = TrimBlanks(line);
    if (!rest.starts_with(kCmgsPrefix)) continue;
    const std::optional<int> reference = LeadingNumber(rest.substr(kCmgsPrefix.size()));
    if (reference && *reference >= 0 && *reference <= 255) return reference;
  }
  return std::nullopt;
}

// +CMS ERROR: 38     +CME ERROR: 10
std::optional<int> ParseErrorCode(std::string_view reply) {
  const std::string last = LastLine(reply);
  for (std::string_view prefix : {"+CMS ERROR:", "+CME ERROR:"}) {
    if (last.starts_with(prefix))
      return LeadingNumber(std::string_view(last).substr(prefix.size()));
  }
  return std::nullopt;
}

std::string_view CmsErrorMeaning(int code) {
  static constexpr std::pair<int, std::string_view> kMeanings[] = {
      {1, "unassigned number"},
      {8, "operator determined barring"},
      {10, "call barred"},
      {21, "message rejected by the network"},
      {27, "destination out of service"},
      {28, "unidentified subscriber"},
      {29, "facility rejected"},
      {30, "unknown subscriber"},
      {38, "network out of order"},
      {41, "temporary failure"},
      {42, "network congestion"},
      {47, "network resources unavailable"},
      {50, "requested facility not subscribed"},
      {69, "requested facility not implemented"},
      {96, "invalid message"},
      {111, "protocol error"},
      {300, "phone failure"},
      {301, "SMS service of the phone reserved"},
      {302, "operation not allowed"},
      {303, "operation not supported"},
      {304, "invalid PDU mode parameter"},
      {305, "invalid text mode parameter"},
      {310, "SIM not inserted"},
      {311, "SIM PIN required"},
      {313, "SIM failure"},
      {314, "SIM busy"},
      {316, "SIM PUK required"},
      {322, "memory full"},
      {330, "service centre address unknown"},
      {331, "no network service"},
      {332, "network timeout"},
      {500, "unknown error"},
  };
  for (const auto& [known, meaning] : kMeanings) {
    if (known == code) return meaning;
  }
  return {};
}

std::string SendReport::Summary() const {
  const int confirmed = static_cast<int>(references.size());
  if (AllConfirmed()) {
    if (parts == 1) return "sent, reference " + ReferenceList(references);
    return "sent in " + std::to_string(parts) + " parts, references " + ReferenceList(references);
  }
  if (confirmed == 0 && !uncertain) return "not sent: " + reason;
  const std::string of = parts > 1 ? " of " + std::to_string(parts) : std::string();
  std::string text;
  if (confirmed > 0) {
    text = PartRange(1, confirmed) + of + " confirmed (" +
           (confirmed == 1 ? "reference " : "references ") + ReferenceList(references) + "); ";
  }
  // Only the part after the confirmed ones was handed over; none after it.
  int next = confirmed + 1;
  if (uncertain) {
    text +=
        PartRange(next, next) + (confirmed == 0 ? of : std::string()) + " may or may not have gone";
    ++next;
    if (next <= parts) text += "; ";
  }
  if (next <= parts) text += PartRange(next, parts) + " not sent";
  return text + ": " + reason;
}

SendReport SendMessage(AtChannel& channel, const DeviceProfile& profile, std::string_view number,
                       std::string_view text, const SendOptions& options) {
  SendReport report;
  const std::uint16_t reference =
      options.reference.value_or(static_cast<std::uint16_t>(std::random_device{}() & 0xFF));
  Result<SendPlan> plan = profile.PlanSend(number, text, reference, options.status_report);
  if (!plan.ok()) {
    report.reason = plan.message();
    return report;
  }
  report.parts = static_cast<int>(plan.value().parts.size());
  report.concatenation = plan.value().concatenation;
  if (!channel.IsOpen()) {
    report.reason = "the phone is not connected";
    return report;
  }
  std::string reply;
  bool handing_over = false;  // a part's prompt exchange is under way
  try {
    for (const std::string& command : plan.value().set_up) {
      channel.ExchangeQuietly(command, reply);
      if (IsErrorReply(reply)) {
        report.reason = "the phone refused " + LastLine(command) + ": " + ReplyReason(reply);
        return report;
      }
    }
    for (const SendPart& part : plan.value().parts) {
      handing_over = true;
      const bool handed = channel.ExchangeWithPrompt(part.command, part.text, reply);
      handing_over = false;
      const std::optional<int> given = handed ? ParseMessageReference(reply) : std::nullopt;
      // A part is sent when the phone gave its reference and ended with OK.
      if (given && !IsErrorReply(reply)) {
        report.references.push_back(*given);
        continue;
      }
      report.reason = ReplyReason(reply);
      if (given) {
        report.reason = "the phone gave the reference " + std::to_string(*given) +
                        ", then answered " + ErrorReplyText(reply);
      }
      // An answer without an error, or an error after a reference, leaves it open.
      report.uncertain = handed && (given || !IsErrorReply(reply));
      return report;
    }
  } catch (const EComError& error) {
    report.reason = std::string("the line failed: ") + error.what();
    report.uncertain = handing_over && channel.TextHandedOver();
  } catch (const ESilentAbort&) {
    report.reason = "the line failed";
    report.uncertain = handing_over && channel.TextHandedOver();
  }
  return report;
}

std::optional<std::string> CleanNumber(std::string_view typed) {
  std::string number;
  for (const char c : typed) {
    if (c == ' ' || c == '-' || c == '(' || c == ')' || c == '\t') continue;
    if (c == '+' && number.empty()) {
      number.push_back(c);
    } else if (c >= '0' && c <= '9') {
      number.push_back(c);
    } else {
      return std::nullopt;
    }
  }
  const std::size_t digits = number.size() - (number.starts_with('+') ? 1 : 0);
  if (digits < 1 || digits > 20) return std::nullopt;
  return number;
}

Result<std::string> RecipientNumber(std::string_view who, const std::vector<Row>& contacts) {
  if (std::optional<std::string> number = CleanNumber(who)) return *number;
  const std::string wanted = FoldForSearch(TrimBlanks(who));
  if (wanted.empty()) return Status::Failure("no recipient given");
  const Row* found = nullptr;
  for (const Row& contact : contacts) {
    if (FoldForSearch(ContactName(contact)) != wanted) continue;
    if (found != nullptr && ContactNumber(*found) != ContactNumber(contact)) {
      return Status::Failure("several contacts of the phonebook copy have that name");
    }
    found = &contact;
  }
  if (found == nullptr) {
    return Status::Failure("not a number, and no contact of the phonebook copy has that name");
  }
  std::optional<std::string> number = CleanNumber(ContactNumber(*found));
  if (!number) return Status::Failure("the contact of that name has no usable number");
  return *number;
}

Row MakeSentRow(std::string_view number, std::string_view text, const SendReport& report,
                const std::vector<Row>& contacts, const LanguageLines& language,
                std::string_view send_moment, std::string_view iso_time) {
  MessageRecord record;
  record.status = "STO SENT";
  record.sender = Utf8ToCp1251(number);
  record.text = Utf8ToCp1251(text);
  record.whole_text = std::string(text);
  Row row = MakeMessageRow(record, "", language, send_moment);
  std::vector<Row> one{std::move(row)};
  ResolveNames(one, contacts);
  row = std::move(one.front());
  MessageFields fields = ReadMessageFields(row).value_or(MessageFields{});
  fields.kind = RowKind::kOutgoing;
  fields.text = std::string(text);
  fields.number = std::string(number);
  fields.time = std::string(iso_time);
  fields.parts.clear();
  std::string references;
  // Appended piece by piece: GCC 12 at -O2 warns falsely (-Wrestrict) on a
  // literal + std::to_string.
  for (int reference : report.references) {
    if (!references.empty()) references.push_back(',');
    references.append(std::to_string(reference));
  }
  fields.other.emplace_back(kReferencesKey, references);
  if (report.concatenation) {
    fields.other.emplace_back(kConcatenationKey, std::to_string(*report.concatenation));
  }
  WriteMessageFields(row, fields);
  return row;
}

std::string IsoTimeNow() {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  ::localtime_r(&now, &local);
  char text[40];
  const std::size_t length = std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%S%z", &local);
  // "+0300" -> "+03:00"
  const std::string_view written(text, length);
  if (written.size() < 5) return std::string(written);
  std::string iso(written.substr(0, written.size() - 2));
  iso.push_back(':');
  iso.append(written.substr(written.size() - 2));
  return iso;
}

}  // namespace missivo
