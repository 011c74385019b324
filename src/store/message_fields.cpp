#include "store/message_fields.h"

#include <array>

#include "text/cp1251.h"
#include "text/hex_escapes.h"

namespace missivo {
namespace {

constexpr std::size_t kFirstFieldSubItem = kMessageFieldCount;  // sub-item 5
constexpr std::size_t kSubItemLimit = 65535;
constexpr std::array<std::string_view, 4> kKindNames = {"incoming", "outgoing", "draft",
                                                        "imported"};

bool NeedsEscape(char c) {
  return c == '%' || c == ',' || c == '\r' || c == '\n' || c == '\0';
}

std::string EscapeValue(std::string_view value) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string out;
  out.reserve(value.size());
  for (char c : value) {
    if (!NeedsEscape(c)) {
      out.push_back(c);
      continue;
    }
    const auto byte = static_cast<unsigned char>(c);
    out += {'%', kHex[byte >> 4], kHex[byte & 0xF]};
  }
  return out;
}

// %XX back to its byte; a '%' without two hexadecimal digits stays as it is.
std::string UnescapeValue(std::string_view value) {
  return DecodeHexEscapes(value, '%');
}

// The message text with U+0000 as C0 80, and back.
std::string EncodeText(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (char c : text) {
    if (c == '\0') {
      out += "\xC0\x80";
    } else {
      out.push_back(c);
    }
  }
  return out;
}

std::string DecodeText(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\xC0' && i + 1 < text.size() && text[i + 1] == '\x80') {
      out.push_back('\0');
      ++i;
    } else {
      out.push_back(text[i]);
    }
  }
  return out;
}

void AddLine(std::string& header, std::string_view key, std::string_view value) {
  if (value.empty()) return;
  header.append(key).append("=").append(EscapeValue(value)).append("\n");
}

std::string JoinParts(const std::vector<std::string>& parts) {
  std::string joined;
  for (const std::string& part : parts) {
    if (!joined.empty()) joined.push_back(',');
    joined += EscapeValue(part);
  }
  return joined;
}

std::vector<std::string> SplitParts(std::string_view value) {
  std::vector<std::string> parts;
  while (!value.empty()) {
    const std::size_t comma = value.find(',');
    parts.push_back(UnescapeValue(value.substr(0, comma)));
    if (comma == std::string_view::npos) break;
    value.remove_prefix(comma + 1);
  }
  return parts;
}

// Cuts `all` into pieces of at most kSubItemLimit bytes, never inside a UTF-8
// sequence, and appends them as sub-items.
void AppendCut(std::vector<std::string>& sub_items, std::string_view all) {
  do {
    std::size_t cut = std::min(all.size(), kSubItemLimit);
    if (cut < all.size()) {
      while (cut > 0 && (static_cast<unsigned char>(all[cut]) & 0xC0) == 0x80)
        --cut;
      if (cut == 0) cut = std::min(all.size(), kSubItemLimit);  // not UTF-8: cut anywhere
    }
    sub_items.emplace_back(all.substr(0, cut));
    all.remove_prefix(cut);
  } while (!all.empty());
}

bool StartsWithMarker(const std::string& first) {
  return first.starts_with(kMessageFieldsMarker) && (first.size() == kMessageFieldsMarker.size() ||
                                                     first[kMessageFieldsMarker.size()] == '\n');
}

// "name (number)" as name resolution writes it: the position of " (", or npos.
std::size_t ResolvedOpening(std::string_view from) {
  if (!from.ends_with(')')) return std::string_view::npos;
  return from.rfind(" (");
}

}  // namespace

std::string_view KindName(RowKind kind) {
  return kKindNames[static_cast<std::size_t>(kind)];
}

std::optional<RowKind> KindOfName(std::string_view name) {
  for (std::size_t i = 0; i < kKindNames.size(); ++i) {
    if (kKindNames[i] == name) return static_cast<RowKind>(i);
  }
  return std::nullopt;
}

bool HasMessageFields(const Row& row) {
  return row.sub_items.size() > kFirstFieldSubItem &&
         StartsWithMarker(row.sub_items[kFirstFieldSubItem]);
}

std::optional<MessageFields> ReadMessageFields(const Row& row) {
  if (!HasMessageFields(row)) return std::nullopt;
  std::string all;
  for (std::size_t i = kFirstFieldSubItem; i < row.sub_items.size(); ++i)
    all += row.sub_items[i];
  std::string_view rest(all);
  rest.remove_prefix(std::min(rest.size(), kMessageFieldsMarker.size() + 1));

  MessageFields fields;
  bool has_text = false;
  while (!rest.empty()) {
    const std::size_t end = rest.find('\n');
    const std::string_view line = rest.substr(0, end);
    rest.remove_prefix(end == std::string_view::npos ? rest.size() : end + 1);
    if (line.empty()) {
      has_text = true;
      break;
    }
    const std::size_t equals = line.find('=');
    const std::string_view key = line.substr(0, equals);
    const std::string_view raw =
        equals == std::string_view::npos ? std::string_view() : line.substr(equals + 1);
    if (key == "kind" && KindOfName(raw)) {
      fields.kind = *KindOfName(raw);
    } else if (key == "number") {
      fields.number = UnescapeValue(raw);
    } else if (key == "time") {
      fields.time = UnescapeValue(raw);
    } else if (key == "storage") {
      fields.storage = UnescapeValue(raw);
    } else if (key == "parts") {
      fields.parts = SplitParts(raw);
    } else {
      fields.other.emplace_back(std::string(key), UnescapeValue(raw));
      if (key == "kind") fields.kind = RowKind::kImported;  // a kind of a later version
    }
  }
  fields.text = has_text ? DecodeText(rest) : Cp1251ToUtf8(row.caption);
  return fields;
}

void WriteMessageFields(Row& row, const MessageFields& fields) {
  row.sub_items.resize(kFirstFieldSubItem);
  std::string all(kMessageFieldsMarker);
  all.push_back('\n');
  bool other_kind = false;
  for (const auto& [key, value] : fields.other)
    other_kind = other_kind || key == "kind";
  if (!other_kind) AddLine(all, "kind", KindName(fields.kind));
  AddLine(all, "number", fields.number);
  AddLine(all, "time", fields.time);
  AddLine(all, "storage", fields.storage);
  if (!fields.parts.empty()) all.append("parts=").append(JoinParts(fields.parts)).append("\n");
  for (const auto& [key, value] : fields.other)
    all.append(key).append("=").append(EscapeValue(value)).append("\n");
  if (Cp1251ToUtf8(row.caption) != fields.text) all.append("\n").append(EncodeText(fields.text));
  AppendCut(row.sub_items, all);
}

std::string BestText(const Row& row) {
  if (HasMessageFields(row)) return ReadMessageFields(row)->text;
  return Cp1251ToUtf8(row.caption);
}

std::string_view NumberInFrom(std::string_view from) {
  const std::size_t open = ResolvedOpening(from);
  if (open == std::string_view::npos) return from;
  return from.substr(open + 2, from.size() - open - 3);
}

std::string_view ContactInFrom(std::string_view from) {
  const std::size_t open = ResolvedOpening(from);
  if (open == std::string_view::npos) return {};
  return from.substr(0, open);
}

std::string BestNumber(const Row& row) {
  if (HasMessageFields(row)) {
    std::string number = ReadMessageFields(row)->number;
    if (!number.empty()) return number;
  }
  return Cp1251ToUtf8(NumberInFrom(SubItem(row, kFrom)));
}

std::optional<RowKind> BestKind(const Row& row) {
  if (HasMessageFields(row)) return ReadMessageFields(row)->kind;
  switch (row.image) {
    case kImageIncoming:
      return RowKind::kIncoming;
    case kImageOutgoing:
      return RowKind::kOutgoing;
    case kImageDraft:
      return RowKind::kDraft;
    case kImageImported:
      return RowKind::kImported;
    default:
      return std::nullopt;
  }
}

std::string OneLine(std::string_view utf8) {
  std::string out;
  out.reserve(utf8.size());
  for (std::size_t i = 0; i < utf8.size(); ++i) {
    const char c = utf8[i];
    if (c == '\r' || c == '\n') {
      if (c == '\r' && i + 1 < utf8.size() && utf8[i + 1] == '\n') ++i;
      out.push_back(' ');
    } else if (static_cast<unsigned char>(c) >= 20) {
      out.push_back(c);
    }
  }
  return out;
}

}  // namespace missivo
