#include "phone/standard/standard_replies.h"

#include <algorithm>
#include <charconv>

#include "phone/at_exchange.h"
#include "text/lines.h"

namespace missivo {
namespace {

std::optional<int> Number(std::string_view text) {
  text = TrimBlanks(text);
  int value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size()) return std::nullopt;
  return value;
}

// The first line of the reply that starts with `prefix`, after it.
std::optional<std::string> FirstAfter(std::string_view reply, std::string_view prefix) {
  for (const std::string& line : SplitAnyBreak(reply)) {
    if (const auto rest = AfterPrefix(line, prefix)) return std::string(*rest);
  }
  return std::nullopt;
}

// The lists in parentheses of `text`, each without its parentheses.
std::vector<std::string_view> ParenthesisedLists(std::string_view text) {
  std::vector<std::string_view> lists;
  std::size_t at = 0;
  bool quoted = false;
  int depth = 0;
  std::size_t start = 0;
  for (; at < text.size(); ++at) {
    const char c = text[at];
    if (c == '"') quoted = !quoted;
    if (quoted) continue;
    if (c == '(') {
      if (depth++ == 0) start = at + 1;
    } else if (c == ')' && depth > 0) {
      if (--depth == 0) lists.push_back(text.substr(start, at - start));
    }
  }
  return lists;
}

}  // namespace

std::string_view TrimBlanks(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t'))
    text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t'))
    text.remove_suffix(1);
  return text;
}

std::vector<std::string> SplitFields(std::string_view fields) {
  std::vector<std::string> out;
  bool quoted = false;
  std::size_t start = 0;
  for (std::size_t i = 0; i <= fields.size(); ++i) {
    if (i < fields.size() && fields[i] == '"') quoted = !quoted;
    if (i == fields.size() || (fields[i] == ',' && !quoted)) {
      out.emplace_back(TrimBlanks(fields.substr(start, i - start)));
      start = i + 1;
    }
  }
  return out;
}

std::string Unquote(std::string_view field) {
  field = TrimBlanks(field);
  if (field.size() >= 2 && field.front() == '"' && field.back() == '"') {
    field = field.substr(1, field.size() - 2);
  }
  return std::string(field);
}

std::optional<std::string_view> AfterPrefix(std::string_view line, std::string_view prefix) {
  if (!line.starts_with(prefix)) return std::nullopt;
  line.remove_prefix(prefix.size());
  while (!line.empty() && line.front() == ' ')
    line.remove_prefix(1);
  return line;
}

std::string ParseIdentityReply(std::string_view reply, std::string_view command) {
  if (IsErrorReply(reply)) return {};
  while (!command.empty() && (command.back() == '\r' || command.back() == '\n'))
    command.remove_suffix(1);
  std::string_view name = command;
  if (name.size() > 2) name.remove_prefix(2);  // "+CGMI" of "AT+CGMI"
  std::string text;
  for (const std::string& raw : SplitAnyBreak(reply)) {
    std::string_view line = TrimBlanks(raw);
    if (line.empty() || IsFinalResultLine(line) || line == command) continue;
    if (!name.empty() && line.starts_with(name) && line.size() > name.size() &&
        line[name.size()] == ':') {
      line = TrimBlanks(line.substr(name.size() + 1));
    }
    if (!text.empty()) text += ' ';
    text += Unquote(line);
  }
  return text;
}

MessageModes ParseMessageModes(std::string_view reply) {
  MessageModes modes;
  const auto rest = FirstAfter(reply, "+CMGF:");
  if (!rest) return modes;
  modes.known = true;
  std::string_view list = *rest;
  if (const auto lists = ParenthesisedLists(list); !lists.empty()) list = lists.front();
  // "0,1", "0-1", "0", "1"
  for (std::size_t i = 0; i < list.size(); ++i) {
    if (list[i] == '0') modes.pdu = true;
    if (list[i] == '1') modes.text = true;
    if (list[i] == '-' && i > 0 && list[i - 1] == '0') modes.text = true;
  }
  return modes;
}

std::vector<std::string> ParseNameList(std::string_view list) {
  std::vector<std::string> names;
  for (const std::string& field : SplitFields(list)) {
    std::string name = Unquote(field);
    if (!name.empty()) names.push_back(std::move(name));
  }
  return names;
}

std::vector<std::vector<std::string>> ParseStorageGroups(std::string_view reply) {
  std::vector<std::vector<std::string>> groups;
  const auto rest = FirstAfter(reply, "+CPMS:");
  if (!rest) return groups;
  for (std::string_view list : ParenthesisedLists(*rest))
    groups.push_back(ParseNameList(list));
  return groups;
}

std::vector<std::string> ParsePhonebookStorages(std::string_view reply) {
  const auto rest = FirstAfter(reply, "+CPBS:");
  if (!rest) return {};
  const auto lists = ParenthesisedLists(*rest);
  return lists.empty() ? ParseNameList(*rest) : ParseNameList(lists.front());
}

std::optional<StorageCount> ParseStorageCount(std::string_view reply) {
  const auto rest = FirstAfter(reply, "+CPMS:");
  if (!rest) return std::nullopt;
  std::vector<std::string> fields = SplitFields(*rest);
  std::size_t at = 0;
  if (!fields.empty() && fields[0].starts_with('"')) at = 1;  // the query form names the storage
  if (fields.size() < at + 2) return std::nullopt;
  const auto used = Number(fields[at]);
  const auto total = Number(fields[at + 1]);
  if (!used || !total || *used < 0 || *total < 0) return std::nullopt;
  return StorageCount{*used, *total};
}

std::optional<PhonebookRange> ParsePhonebookRangeReply(std::string_view reply) {
  const auto rest = FirstAfter(reply, "+CPBR:");
  if (!rest) return std::nullopt;
  const auto lists = ParenthesisedLists(*rest);
  std::string_view range = lists.empty() ? std::string_view(*rest) : lists.front();
  if (lists.empty()) range = range.substr(0, range.find(','));
  const std::size_t dash = range.find('-');
  PhonebookRange result;
  const auto first = Number(range.substr(0, dash));
  const auto last = dash == std::string_view::npos ? first : Number(range.substr(dash + 1));
  if (!first || !last || *first < 0 || *last < *first) return std::nullopt;
  result.first = *first;
  result.last = *last;
  // The lengths follow the range.
  const std::size_t close = rest->find(')');
  const std::string_view after =
      close == std::string::npos ? std::string_view() : std::string_view(*rest).substr(close + 1);
  const std::vector<std::string> lengths = SplitFields(after);
  if (lengths.size() >= 2) result.number_length = Number(lengths[1]).value_or(0);
  if (lengths.size() >= 3) result.name_length = Number(lengths[2]).value_or(0);
  return result;
}

}  // namespace missivo
