#include "store/message_fields.h"

#include <array>

#include "store/field_block.h"
#include "text/cp1251.h"

namespace missivo {
namespace {

constexpr std::size_t kFirstFieldSubItem = kMessageFieldCount;  // sub-item 5
constexpr std::array<std::string_view, 4> kKindNames = {"incoming", "outgoing", "draft",
                                                        "imported"};

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

std::string JoinParts(const std::vector<std::string>& parts) {
  std::string joined;
  for (const std::string& part : parts) {
    if (!joined.empty()) joined.push_back(',');
    joined += EscapeFieldValue(part);
  }
  return joined;
}

std::vector<std::string> SplitParts(std::string_view value) {
  std::vector<std::string> parts;
  while (!value.empty()) {
    const std::size_t comma = value.find(',');
    parts.push_back(UnescapeFieldValue(value.substr(0, comma)));
    if (comma == std::string_view::npos) break;
    value.remove_prefix(comma + 1);
  }
  return parts;
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
  return HasFieldBlock(row, kFirstFieldSubItem, kMessageFieldsMarker);
}

std::optional<MessageFields> ReadMessageFields(const Row& row) {
  FieldText block;
  if (!ReadFieldText(row, kFirstFieldSubItem, kMessageFieldsMarker, block)) return std::nullopt;
  MessageFields fields;
  for (const auto& [key, raw] : block.lines) {
    if (key == "kind" && KindOfName(raw)) {
      fields.kind = *KindOfName(raw);
    } else if (key == "number") {
      fields.number = UnescapeFieldValue(raw);
    } else if (key == "time") {
      fields.time = UnescapeFieldValue(raw);
    } else if (key == "storage") {
      fields.storage = UnescapeFieldValue(raw);
    } else if (key == "parts") {
      fields.parts = SplitParts(raw);
    } else if (key == "contact") {
      fields.contact = UnescapeFieldValue(raw);
    } else {
      if (key == "kind") fields.kind = RowKind::kImported;  // a kind of a later version
      fields.other.emplace_back(key, UnescapeFieldValue(raw));
    }
  }
  fields.text = block.body ? DecodeText(*block.body) : Cp1251ToUtf8(row.caption);
  return fields;
}

void WriteMessageFields(Row& row, const MessageFields& fields) {
  FieldBlock block;
  bool other_kind = false;
  for (const auto& [key, value] : fields.other)
    other_kind = other_kind || key == "kind";
  if (!other_kind) AddFieldLine(block, "kind", KindName(fields.kind));
  AddFieldLine(block, "number", fields.number);
  AddFieldLine(block, "time", fields.time);
  AddFieldLine(block, "storage", fields.storage);
  if (!fields.parts.empty()) block.lines.emplace_back("parts", JoinParts(fields.parts));
  AddFieldLine(block, "contact", fields.contact);
  for (const auto& [key, value] : fields.other)
    block.lines.emplace_back(key, EscapeFieldValue(value));
  if (Cp1251ToUtf8(row.caption) != fields.text) block.body = EncodeText(fields.text);
  WriteFieldBlock(row, kFirstFieldSubItem, kMessageFieldsMarker, block);
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

std::string LosslessContact(std::string_view name) {
  return LosslessValue(name);
}

std::string BestContact(const Row& row, const std::optional<MessageFields>& fields) {
  return PreferLossless(fields ? fields->contact : std::string_view(),
                        ContactInFrom(SubItem(row, kFrom)));
}

std::string BestContact(const Row& row) {
  if (ContactInFrom(SubItem(row, kFrom)).empty()) return {};  // no need to read the fields
  return BestContact(row, ReadMessageFields(row));
}

std::string BestFrom(const Row& row, const std::optional<MessageFields>& fields) {
  const std::string& from = SubItem(row, kFrom);
  const std::string_view name = ContactInFrom(from);
  if (name.empty() || !fields) return Cp1251ToUtf8(from);
  std::string best = BestContact(row, fields);
  best.append(Cp1251ToUtf8(std::string_view(from).substr(name.size())));
  return best;
}

std::string BestFrom(const Row& row) {
  if (ContactInFrom(SubItem(row, kFrom)).empty()) return Cp1251ToUtf8(SubItem(row, kFrom));
  return BestFrom(row, ReadMessageFields(row));
}

std::string BestNumber(const Row& row, const std::optional<MessageFields>& fields) {
  if (fields && !fields->number.empty()) return fields->number;
  return Cp1251ToUtf8(NumberInFrom(SubItem(row, kFrom)));
}

std::string BestNumber(const Row& row) {
  return BestNumber(row, ReadMessageFields(row));
}

std::optional<RowKind> BestKind(const Row& row) {
  return BestKind(row, ReadMessageFields(row));
}

std::optional<RowKind> BestKind(const Row& row, const std::optional<MessageFields>& fields) {
  if (fields) return fields->kind;
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
