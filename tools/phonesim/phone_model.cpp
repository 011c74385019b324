#include "phone_model.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <vector>

#include "reply_text.h"

namespace phonesim {

namespace {

const std::string kError = "\r\nERROR\r\n";

std::string CmsError(int code) {
  return "\r\n+CMS ERROR: " + std::to_string(code) + "\r\n";
}

std::string Unquoted(std::string_view text) {
  if (text.size() >= 2 && text.front() == '"' && text.back() == '"') {
    text = text.substr(1, text.size() - 2);
  }
  return std::string(text);
}

bool Starts(const std::string& upper, std::string_view prefix) {
  return upper.compare(0, prefix.size(), prefix) == 0;
}

}  // namespace

std::string Ucs2Hex(std::u16string_view units) {
  static constexpr char kDigits[] = "0123456789ABCDEF";
  std::string out;
  out.reserve(units.size() * 4);
  for (char16_t u : units) {
    for (int shift = 12; shift >= 0; shift -= 4)
      out.push_back(kDigits[(u >> shift) & 0xF]);
  }
  return out;
}

PhoneModel::PhoneModel(Scenario scenario)
    : s_(std::move(scenario)), next_reference_(s_.first_reference) {
  if (s_.profile == "standard") standard_ = std::make_unique<StandardPhone>(s_);
}

// The scenario's unsolicited lines for this command: before the echo, after
// the first line of the answer, or after its final result.
void PhoneModel::AddUnsolicited(const std::string& command, Answer& answer) const {
  for (const auto& u : s_.unsolicited) {
    if (!CommandMatches(u.command, command)) continue;
    const std::string line = "\r\n" + u.line + "\r\n";
    if (u.where == "before") {
      answer.echo = line + answer.echo;
    } else if (u.where == "after") {
      answer.response += line;
    } else {
      const std::size_t first_line_end = answer.response.find("\r\n", 2);
      answer.response.insert(first_line_end == std::string::npos ? 0 : first_line_end, line);
    }
  }
}

Answer PhoneModel::Handle(const std::string& command, int number) {
  Answer answer = HandleWithoutUnsolicited(command, number);
  AddUnsolicited(command, answer);
  return answer;
}

const Fault* PhoneModel::FaultFor(const std::string& line, int number) {
  fault_hits_.resize(s_.faults.size());
  for (std::size_t i = 0; i < s_.faults.size(); ++i) {
    const Fault& fault = s_.faults[i];
    if (!CommandMatches(fault.command, line)) continue;
    if (fault.number != 0 && fault.number != number) continue;
    if (fault.times > 0 && fault_hits_[i] >= fault.times) continue;
    ++fault_hits_[i];
    return &fault;
  }
  return nullptr;
}

bool PhoneModel::AwaitingText() const {
  return standard_ ? standard_->AwaitingText() : send_number_.has_value();
}

Answer PhoneModel::HandleText(const std::string& text, int number) {
  Answer answer;
  if (s_.echo) answer.echo = text;
  if (const Fault* fault = FaultFor(text, number)) {
    // The phone leaves text entry whatever the fault.
    send_number_.reset();
    if (standard_) standard_->CancelText();
    if (fault->action == FaultAction::kError) answer.response = kError;
    if (fault->action == FaultAction::kCmsError) answer.response = CmsError(fault->code);
    if (fault->action == FaultAction::kReply) answer.response = fault->stream;
    return answer;
  }
  answer.response = standard_ ? standard_->SubmitText(text) : SubmitText(text);
  return answer;
}

Answer PhoneModel::CancelText() {
  send_number_.reset();
  if (standard_) standard_->CancelText();
  return {"", kOk, ""};
}

// The family's text: UCS2 hexadecimal, stored as a sent message.
std::string PhoneModel::SubmitText(const std::string& text) {
  const std::string number = send_number_.value_or("");
  send_number_.reset();
  if (text.size() % 4 != 0 ||
      text.find_first_not_of("0123456789ABCDEFabcdef") != std::string::npos) {
    return CmsError(305);
  }
  std::u16string units;
  for (std::size_t at = 0; at < text.size(); at += 4)
    units.push_back(static_cast<char16_t>(std::stoi(text.substr(at, 4), nullptr, 16)));
  Message sent;
  for (const Message& m : s_.messages)
    sent.index = std::max(sent.index, m.index);
  ++sent.index;
  sent.status = "STO SENT";
  sent.sender = number;
  sent.text = missivo::Utf16ToUtf8(units);
  s_.messages.push_back(sent);
  const int reference = next_reference_;
  next_reference_ = (next_reference_ + 1) % 256;
  return WithOk({"+CMGS: " + std::to_string(reference)});
}

Answer PhoneModel::HandleWithoutUnsolicited(const std::string& command, int number) {
  for (const auto& canned : s_.replies) {
    if (CommandMatches(canned.command, command)) return {"", canned.reply, ""};
  }
  Answer answer;
  if (s_.echo) answer.echo = command + "\r";
  if (const Fault* found = FaultFor(command, number)) {
    const Fault& fault = *found;
    switch (fault.action) {
      case FaultAction::kSilent:  // the echo only
        break;
      case FaultAction::kError:
        answer.response = kError;
        break;
      case FaultAction::kCmsError:
        answer.response = CmsError(fault.code);
        break;
      case FaultAction::kReply:
        answer.response = fault.stream;
        break;
      case FaultAction::kEndless:
        answer.endless = fault.stream;
        break;
      case FaultAction::kTrickle:
        answer.endless = fault.stream;
        answer.endless_interval_ms = fault.interval_ms;
        break;
    }
    return answer;
  }
  answer.response = Respond(command);
  return answer;
}

std::string PhoneModel::Respond(const std::string& command) {
  const std::string upper = Upper(command);
  const auto argument = [&](std::size_t prefix) {
    return std::string_view(command).substr(std::min(prefix, command.size()));
  };
  if (upper == "ATE0" || upper == "ATE1") {
    s_.echo = upper == "ATE1";
    return kOk;
  }
  for (const auto& [name, value] :
       {std::pair{"AT+CGMI", &s_.maker}, std::pair{"AT+CGMM", &s_.model},
        std::pair{"AT+CGMR", &s_.revision}}) {
    if (upper == name && !value->empty()) return WithOk({*value});
  }
  if (standard_) return standard_->Respond(command);
  if (upper == "AT") return kOk;
  if (Starts(upper, "AT+CMGF=") || Starts(upper, "AT+CSCS=") || Starts(upper, "AT+CPBS=")) {
    return kOk;
  }
  if (upper == "AT+CMGL") return ListMessages("");
  if (Starts(upper, "AT+CMGL=")) return ListMessages(argument(8));
  if (Starts(upper, "AT+CMGR=")) return ReadMessage(Number(argument(8)));
  if (Starts(upper, "AT+CMGD=")) return DeleteMessage(Number(argument(8)));
  if (Starts(upper, "AT+CMGS=")) {
    const std::string number = Unquoted(argument(8));
    if (number.empty() || number.find('"') != std::string::npos) return CmsError(304);
    send_number_ = number;
    return kPrompt;
  }
  if (upper == "AT+MPBR=?") return WithOk({"+MPBR: " + s_.phonebook_range});
  if (Starts(upper, "AT+MPBR=")) return ReadPhonebook(argument(8));
  return kError;
}

// A header line and the text in hexadecimal, over two lines when it is long.
std::string PhoneModel::MessageLines(const Message& message, std::string_view header) const {
  const std::u16string units = Utf8ToUtf16(message.text);
  std::string out = std::string(header) + "\r\n";
  if (s_.split_length > 0 && units.size() > s_.split_length) {
    const std::u16string_view all(units);
    out += Ucs2Hex(all.substr(0, s_.split_length)) + "\r\n";
    out += Ucs2Hex(all.substr(s_.split_length));
  } else {
    out += Ucs2Hex(units);
  }
  return out;
}

std::string PhoneModel::ListMessages(std::string_view argument) const {
  static const char* const kByNumber[] = {"REC UNREAD", "REC READ", "STO UNSENT", "STO SENT",
                                          "ALL"};
  std::string wanted = Upper(Unquoted(argument));
  if (const int n = Number(wanted); n >= 0 && n <= 4) wanted = kByNumber[n];
  if (wanted.empty()) wanted = "ALL";
  const std::string& sep = s_.separator;
  std::vector<std::string> lines;
  for (const auto& m : s_.messages) {
    if (wanted != "ALL" && Upper(m.status) != wanted) continue;
    std::string header = s_.family + "MGL: " + std::to_string(m.index) + sep + "\"" + m.status +
                         "\"" + sep + "\"" + m.sender + "\"";
    if (!m.date.empty()) header += sep + "\"" + m.date + "\"";
    lines.push_back(MessageLines(m, header));
  }
  return WithOk(lines);
}

std::string PhoneModel::ReadMessage(int index) {
  const auto it = std::find_if(s_.messages.begin(), s_.messages.end(),
                               [&](const Message& m) { return m.index == index; });
  if (it == s_.messages.end()) return CmsError(321);
  const std::string& sep = s_.separator;
  std::string header = s_.family + "MGR: \"" + it->status + "\"" + sep + "\"" + it->sender + "\"";
  if (!it->date.empty()) header += sep + "\"" + it->date + "\"";
  const std::string lines = MessageLines(*it, header);
  if (it->status == "REC UNREAD") it->status = "REC READ";  // as a phone does once it is read
  return WithOk({lines});
}

std::string PhoneModel::DeleteMessage(int index) {
  const auto removed =
      std::erase_if(s_.messages, [&](const Message& m) { return m.index == index; });
  return removed > 0 ? kOk : CmsError(321);
}

std::string PhoneModel::ReadPhonebook(std::string_view argument) const {
  const std::size_t comma = argument.find(',');
  const int first = Number(argument.substr(0, comma));
  const int last = comma == std::string_view::npos ? first : Number(argument.substr(comma + 1));
  if (first < 0 || last < 0) return kError;
  std::vector<std::string> lines;
  for (const auto& c : s_.phonebook) {
    if (c.index < first || c.index > last) continue;
    lines.push_back("+MPBR: " + std::to_string(c.index) + ",\"" + c.number + "\"," +
                    std::to_string(c.type) + "," + Ucs2Hex(Utf8ToUtf16(c.name)) +
                    ",8,0,255,0,1,1,255,255,0,,0,0,,,,,,,,\"\",\"\"");
  }
  return WithOk(lines);
}

}  // namespace phonesim
