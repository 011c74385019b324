#include "standard_phone.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cstdio>
#include <stdexcept>
#include <utility>

#include "phone_model.h"
#include "reply_text.h"
#include "sms/sms_encode.h"

namespace phonesim {
namespace {

std::string Unquoted(std::string_view text) {
  if (text.size() >= 2 && text.front() == '"' && text.back() == '"')
    text = text.substr(1, text.size() - 2);
  return std::string(text);
}

int StatOf(const std::string& status) {
  if (status == "REC UNREAD") return 0;
  if (status == "REC READ") return 1;
  if (status == "STO UNSENT") return 2;
  if (status == "STO SENT") return 3;
  return 1;
}

const char* StatusText(int stat) {
  static const char* const kTexts[] = {"REC UNREAD", "REC READ", "STO UNSENT", "STO SENT"};
  return stat >= 0 && stat <= 3 ? kTexts[stat] : "REC READ";
}

// "yy/mm/dd,hh:mm:ss+zz" (zone in quarter hours) or "yyyy/mm/dd,hh:mm:ss".
missivo::sms::Timestamp ParseStamp(const std::string& date) {
  missivo::sms::Timestamp time;
  int y = 0, mo = 1, d = 1, h = 0, mi = 0, se = 0, zone = 0;
  char sign = '+';
  const int read =
      std::sscanf(date.c_str(), "%d/%d/%d,%d:%d:%d%c%d", &y, &mo, &d, &h, &mi, &se, &sign, &zone);
  if (read < 6) return time;
  time.year = y < 100 ? 2000 + y : y;
  time.month = mo;
  time.day = d;
  time.hour = h;
  time.minute = mi;
  time.second = se;
  if (read == 8) time.zone_quarters = sign == '-' ? -zone : zone;
  return time;
}

// A status report: the message of `reference` to `recipient` delivered at `time`.
missivo::Result<std::string> ReportPdu(int reference, const std::string& recipient,
                                       const missivo::sms::Timestamp& time) {
  namespace sms = missivo::sms;
  sms::Pdu report;
  report.type = sms::MessageType::kStatusReport;
  report.message_reference = static_cast<std::uint8_t>(reference);
  report.address = sms::MakeAddress(recipient);
  report.service_centre_time = time;
  report.discharge_time = time;
  return sms::EncodePdu(report);
}

int TpduLength(const std::string& pdu) {
  const int sca_octets = std::stoi(pdu.substr(0, 2), nullptr, 16) + 1;
  return static_cast<int>(pdu.size() / 2) - sca_octets;
}

template <typename T>
T Take(missivo::Result<T> result, const Message& message) {
  if (!result.ok()) {
    throw std::runtime_error("scenario: message " + std::to_string(message.index) +
                             " cannot be encoded: " + result.message());
  }
  return std::move(result).value();
}

}  // namespace

StandardPhone::StandardPhone(const Scenario& scenario)
    : device_(scenario.standard),
      next_reference_(scenario.first_reference),
      phonebook_(scenario.phonebook) {
  pdu_mode_ = device_.modes != "text";
  if (!device_.storages.empty()) storage_ = device_.storages.front();
  for (const Message& message : scenario.messages)
    Store(message);
  // A storage holds one PDU per location: two parts on one would be listed
  // twice under one index, which no device does.
  std::vector<std::pair<std::string, int>> places;
  for (const Stored& stored : stored_)
    places.emplace_back(stored.storage, stored.index);
  std::sort(places.begin(), places.end());
  const auto twice = std::adjacent_find(places.begin(), places.end());
  if (twice != places.end()) {
    throw std::runtime_error("scenario: two messages or parts in " + twice->first + " " +
                             std::to_string(twice->second));
  }
}

// The PDUs and part texts of a message, placed where the scenario says.
void StandardPhone::Store(const Message& message) {
  namespace sms = missivo::sms;
  const int stat = StatOf(message.status);
  const int reference = message.reference >= 0 ? message.reference : message.index;
  std::vector<std::string> pdus;
  std::vector<std::string> texts;
  if (message.status_report) {
    pdus.push_back(Take(ReportPdu(reference, message.sender, ParseStamp(message.date)), message));
    texts.emplace_back();
  } else {
    texts = Take(sms::SplitText(message.text), message);
    if (stat <= 1) {
      sms::DeliverMessage deliver;
      deliver.service_centre = "+79037011111";
      deliver.sender = message.sender;
      deliver.time = ParseStamp(message.date);
      deliver.text = message.text;
      deliver.reference = static_cast<std::uint16_t>(reference);
      pdus = Take(sms::EncodeDeliver(deliver), message);
    } else {
      sms::SubmitOptions options;
      options.reference = static_cast<std::uint16_t>(reference);
      for (auto& part : Take(sms::EncodeSubmit(message.sender, message.text, options), message))
        pdus.push_back(part.hex);
    }
  }
  std::vector<PartPlace> places = message.parts;
  if (places.empty()) {
    for (std::size_t k = 0; k < pdus.size(); ++k)
      places.push_back(
          {static_cast<int>(k) + 1, message.storage, message.index + static_cast<int>(k)});
  }
  for (const PartPlace& place : places) {
    const auto k = static_cast<std::size_t>(place.sequence - 1);
    if (k >= pdus.size()) continue;
    Stored stored;
    stored.storage = place.storage;
    stored.index = place.index;
    stored.stat = stat;
    stored.pdu = pdus[k];
    stored.tpdu_length = TpduLength(pdus[k]);
    stored.address = message.sender;
    stored.stamp = stat <= 1 ? message.date : std::string();
    stored.text = k < texts.size() ? texts[k] : std::string();
    stored.status_report = message.status_report;
    stored_.push_back(std::move(stored));
  }
}

std::string StandardPhone::Lines(const std::vector<std::string>& lines) const {
  return WithOk(lines, device_.blank_before_final);
}

std::string StandardPhone::Error() const {
  return "\r\n" + device_.error_word + "\r\n";
}

std::string StandardPhone::Hex(const std::string& utf8) const {
  return ucs2_ ? Ucs2Hex(Utf8ToUtf16(utf8)) : utf8;
}

bool StandardPhone::InCurrentStorage(const Stored& stored) const {
  return stored.storage == storage_ ||
         (storage_ == "MT" && (stored.storage == "SM" || stored.storage == "ME"));
}

std::string StandardPhone::Respond(const std::string& command) {
  const std::string upper = Upper(command);
  const auto argument = [&](std::size_t prefix) {
    return command.substr(std::min(prefix, command.size()));
  };
  const StandardDevice& d = device_;
  if (upper == "AT") return kOk;
  // What programs send to set a modem up, answered as modems do (AT^CURC
  // switches a USB stick's periodic status reports, AT^PORTSEL the port they go to).
  for (const char* setup : {"ATZ", "AT&F", "AT+CMEE=", "AT+CSDH=", "AT+CNMI=", "ATV1", "ATQ0",
                            "AT+CFUN=", "AT^CURC=", "AT^PORTSEL="}) {
    if (upper.starts_with(setup)) return kOk;
  }
  if (upper == "AT+CPIN?") return Lines({"+CPIN: READY"});
  if (upper == "AT+CGSN") return Lines({"356938035643809"});
  if (upper == "AT+CSQ") return Lines({"+CSQ: 17,99"});
  if (upper == "AT+CSCA?") return Lines({"+CSCA: \"+79037011111\",145"});
  if (upper == "AT+CMGF=?") {
    return Lines({std::string("+CMGF: ") + (d.modes == "pdu"    ? "(0)"
                                            : d.modes == "text" ? "(1)"
                                                                : "(0,1)")});
  }
  if (upper == "AT+CMGF?") return Lines({std::string("+CMGF: ") + (pdu_mode_ ? "0" : "1")});
  if (upper == "AT+CMGF=0" || upper == "AT+CMGF=1") {
    const bool pdu = upper.back() == '0';
    if ((pdu && d.modes == "text") || (!pdu && d.modes == "pdu")) return Error();
    pdu_mode_ = pdu;
    return kOk;
  }
  if (upper == "AT+CSCS=?") {
    return Lines({d.ucs2 ? "+CSCS: (\"IRA\",\"GSM\",\"UCS2\")" : "+CSCS: (\"IRA\",\"GSM\")"});
  }
  if (upper == "AT+CSCS?") return Lines({ucs2_ ? "+CSCS: \"UCS2\"" : "+CSCS: \"GSM\""});
  if (upper.starts_with("AT+CSCS=")) {
    const std::string value = argument(8);
    if (value == "UCS2" && !d.unquoted_ucs2) return Error();
    const std::string name = Upper(Unquoted(value));
    if ((name != "UCS2" || !d.ucs2) && name != "GSM" && name != "IRA") return Error();
    ucs2_ = name == "UCS2";
    return kOk;
  }
  if (upper == "AT+CPMS=?") {
    std::string list = "(";
    for (std::size_t i = 0; i < d.storages.size(); ++i)
      list += (i ? ",\"" : "\"") + d.storages[i] + "\"";
    list += ")";
    return Lines({"+CPMS: " + list + "," + list + "," + list});
  }
  if (upper.starts_with("AT+CPMS=")) return SelectStorage(argument(8));
  if (upper == "AT+CPMS?") {
    const std::string current = "\"" + storage_ + "\"," + UsedAndTotal();
    return Lines({"+CPMS: " + current + "," + current + "," + current});
  }
  if (upper == "AT+CMGL") return ListMessages(pdu_mode_ ? "4" : "\"ALL\"");
  if (upper.starts_with("AT+CMGL=")) return ListMessages(argument(8));
  if (upper.starts_with("AT+CMGR=")) return ReadMessage(Number(argument(8)));
  if (upper.starts_with("AT+CMGD=")) return DeleteMessage(Number(argument(8)));
  if (upper.starts_with("AT+CMGS=")) return StartSend(argument(8));
  if (upper == "AT+CPBS=?") {
    std::string list = "(";
    for (std::size_t i = 0; i < d.phonebook_storages.size(); ++i)
      list += (i ? ",\"" : "\"") + d.phonebook_storages[i] + "\"";
    return Lines({"+CPBS: " + list + ")"});
  }
  if (upper.starts_with("AT+CPBS=")) {
    const std::string name = Unquoted(argument(8));
    if (std::find(d.phonebook_storages.begin(), d.phonebook_storages.end(), name) ==
        d.phonebook_storages.end()) {
      return "\r\n+CME ERROR: 3\r\n";
    }
    phonebook_storage_ = name;
    return kOk;
  }
  if (upper == "AT+CPBR=?") {
    return Lines({"+CPBR: (1-" + std::to_string(d.phonebook_size) + "),40,18"});
  }
  if (upper.starts_with("AT+CPBR=")) return ReadPhonebook(argument(8));
  return Error();
}

// The index after the highest in the selected storage.
int StandardPhone::NextIndex() const {
  int highest = 0;
  for (const Stored& m : stored_) {
    if (m.storage == storage_) highest = std::max(highest, m.index);
  }
  return highest + 1;
}

// AT+CMGS=<length> in PDU mode, AT+CMGS="<number>" in text mode: the prompt.
std::string StandardPhone::StartSend(const std::string& argument) {
  PendingSend send;
  if (pdu_mode_) {
    send.length = Number(argument);
    if (send.length < 7 || send.length > 164) return "\r\n+CMS ERROR: 304\r\n";
  } else {
    send.number = Unquoted(argument.substr(0, argument.find(',')));
    if (send.number.empty()) return "\r\n+CMS ERROR: 305\r\n";
  }
  send_ = send;
  return kPrompt;
}

std::string StandardPhone::SubmitText(const std::string& text) {
  namespace sms = missivo::sms;
  const PendingSend send = send_.value_or(PendingSend{});
  send_.reset();
  Stored stored;
  stored.storage = storage_;
  stored.stat = 3;
  if (pdu_mode_) {
    const auto pdu = sms::DecodePdu(text);
    if (!pdu.ok() || pdu.value().type != sms::MessageType::kSubmit) {
      return "\r\n+CMS ERROR: 304\r\n";
    }
    stored.pdu = Upper(text);
    stored.tpdu_length = TpduLength(stored.pdu);
    if (stored.tpdu_length != send.length) return "\r\n+CMS ERROR: 304\r\n";
    stored.address = pdu.value().address.text;
    stored.text = pdu.value().user_data.text;
  } else {
    stored.address = send.number;
    stored.text = text;
    sms::SubmitOptions options;
    const auto parts = sms::EncodeSubmit(send.number, text, options);
    if (!parts.ok() || parts.value().size() != 1) return "\r\n+CMS ERROR: 305\r\n";
    stored.pdu = parts.value().front().hex;
    stored.tpdu_length = parts.value().front().tpdu_length;
  }
  stored.index = NextIndex();
  const bool report_asked = pdu_mode_ && sms::DecodePdu(stored.pdu).value().status_report;
  const std::string address = stored.address;
  stored_.push_back(std::move(stored));
  const int reference = next_reference_;
  next_reference_ = (next_reference_ + 1) % 256;
  // Asked for, the network's report of delivery arrives at once.
  if (report_asked) {
    const auto report = ReportPdu(reference, address, ParseStamp("26/12/10,18:00:00+12"));
    Stored arrived;
    arrived.storage = storage_;
    arrived.stat = 0;
    arrived.pdu = report.value();
    arrived.tpdu_length = TpduLength(arrived.pdu);
    arrived.address = address;
    arrived.status_report = true;
    arrived.index = NextIndex();
    stored_.push_back(std::move(arrived));
  }
  return Lines({"+CMGS: " + std::to_string(reference)});
}

std::string StandardPhone::SelectStorage(const std::string& argument) {
  const std::string name = Unquoted(argument.substr(0, argument.find(',')));
  const auto& storages = device_.storages;
  if (std::find(storages.begin(), storages.end(), name) == storages.end()) {
    return "\r\n+CMS ERROR: 302\r\n";
  }
  storage_ = name;
  const std::string pair = UsedAndTotal();
  return Lines({"+CPMS: " + pair + "," + pair + "," + pair});
}

// "used,total" of the selected storage.
std::string StandardPhone::UsedAndTotal() const {
  const auto used = std::count_if(stored_.begin(), stored_.end(),
                                  [&](const Stored& m) { return InCurrentStorage(m); });
  return std::to_string(used) + "," + std::to_string(device_.storage_size);
}

// The header's fields after the index (PDU: stat, empty name, length; text:
// status, address, empty name, stamp) and the PDU or text line.
std::string StandardPhone::EntryLines(const Stored& m, const std::string& header) const {
  if (pdu_mode_) {
    return header + std::to_string(m.stat) + ",," + std::to_string(m.tpdu_length) + "\r\n" + m.pdu;
  }
  if (m.status_report) {
    return header + "\"" + StatusText(m.stat) + "\",6," + "1,\"" + m.address + "\",129,\"" +
           m.stamp + "\",\"" + m.stamp + "\",0";
  }
  std::string line = header + "\"" + StatusText(m.stat) + "\",\"" + Hex(m.address) + "\",,";
  if (!m.stamp.empty()) line += "\"" + m.stamp + "\"";
  return line + "\r\n" + Hex(m.text);
}

std::string StandardPhone::ListMessages(const std::string& argument) {
  int wanted = -1;  // all
  if (pdu_mode_) {
    wanted = Number(argument);
    if (wanted < 0 || wanted > 4) return "\r\n+CMS ERROR: 302\r\n";
  } else {
    const std::string name = Upper(Unquoted(argument));
    if (argument.empty() || argument.front() != '"') return "\r\n+CMS ERROR: 302\r\n";
    if (name != "ALL") wanted = StatOf(name);
  }
  if (wanted == 4) wanted = -1;
  std::vector<const Stored*> listed;
  for (const Stored& m : stored_) {
    if (InCurrentStorage(m) && (wanted < 0 || m.stat == wanted)) listed.push_back(&m);
  }
  std::sort(listed.begin(), listed.end(),
            [](const Stored* a, const Stored* b) { return a->index < b->index; });
  std::vector<std::string> lines;
  for (const Stored* m : listed)
    lines.push_back(EntryLines(*m, "+CMGL: " + std::to_string(m->index) + ","));
  for (Stored& m : stored_) {
    if (InCurrentStorage(m) && m.stat == 0 && (wanted < 0 || wanted == 0)) m.stat = 1;
  }
  return Lines(lines);
}

std::string StandardPhone::ReadMessage(int index) {
  for (Stored& m : stored_) {
    if (!InCurrentStorage(m) || m.index != index) continue;
    const std::string lines = EntryLines(m, "+CMGR: ");
    if (m.stat == 0) m.stat = 1;
    return Lines({lines});
  }
  return "\r\n+CMS ERROR: 321\r\n";
}

std::string StandardPhone::DeleteMessage(int index) {
  const auto removed = std::erase_if(
      stored_, [&](const Stored& m) { return InCurrentStorage(m) && m.index == index; });
  return removed > 0 ? kOk : "\r\n+CMS ERROR: 321\r\n";
}

std::string StandardPhone::ReadPhonebook(const std::string& argument) const {
  const std::size_t comma = argument.find(',');
  const int first = Number(argument.substr(0, comma));
  const int last = comma == std::string::npos ? first : Number(argument.substr(comma + 1));
  if (first < 1 || last < first || last > device_.phonebook_size) return "\r\n+CME ERROR: 21\r\n";
  std::vector<std::string> lines;
  for (const Contact& c : phonebook_) {
    if (c.storage != phonebook_storage_ || c.index < first || c.index > last) continue;
    const std::string number = ucs2_ && device_.ucs2_numbers ? Hex(c.number) : c.number;
    lines.push_back("+CPBR: " + std::to_string(c.index) + ",\"" + number + "\"," +
                    std::to_string(c.type) + ",\"" + Hex(c.name) + "\"");
  }
  if (lines.empty() && device_.empty_slot_error) return "\r\n+CME ERROR: 22\r\n";
  return Lines(lines);
}

}  // namespace phonesim
