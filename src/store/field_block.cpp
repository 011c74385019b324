#include "store/field_block.h"

#include <algorithm>

#include "text/cp1251.h"
#include "text/hex_escapes.h"

namespace missivo {
namespace {

constexpr std::size_t kSubItemLimit = 65535;

bool NeedsEscape(char c) {
  return c == '%' || c == ',' || c == '\r' || c == '\n' || c == '\0';
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

}  // namespace

std::string EscapeFieldValue(std::string_view value) {
  std::string out;
  out.reserve(value.size());
  for (char c : value) {
    if (!NeedsEscape(c)) {
      out.push_back(c);
      continue;
    }
    out.push_back('%');
    AppendHexByte(out, static_cast<unsigned char>(c));
  }
  return out;
}

std::string LosslessValue(std::string_view utf8) {
  return Cp1251ToUtf8(Utf8ToCp1251(utf8)) == utf8 ? std::string() : std::string(utf8);
}

std::string PreferLossless(std::string_view lossless, std::string_view held) {
  if (!lossless.empty() && Utf8ToCp1251(lossless) == held) return std::string(lossless);
  return Cp1251ToUtf8(held);
}

std::string UnescapeFieldValue(std::string_view value) {
  return DecodeHexEscapes(value, '%');
}

bool HasFieldBlock(const Row& row, std::size_t first, std::string_view marker) {
  if (row.sub_items.size() <= first) return false;
  const std::string& start = row.sub_items[first];
  return start.starts_with(marker) &&
         (start.size() == marker.size() || start[marker.size()] == '\n');
}

bool ReadFieldText(const Row& row, std::size_t first, std::string_view marker, FieldText& text) {
  if (!HasFieldBlock(row, first, marker)) return false;
  std::string_view rest = row.sub_items[first];
  if (row.sub_items.size() > first + 1) {
    for (std::size_t i = first; i < row.sub_items.size(); ++i)
      text.joined += row.sub_items[i];
    rest = text.joined;
  }
  rest.remove_prefix(std::min(rest.size(), marker.size() + 1));
  while (!rest.empty()) {
    const std::size_t end = rest.find('\n');
    const std::string_view line = rest.substr(0, end);
    rest.remove_prefix(end == std::string_view::npos ? rest.size() : end + 1);
    if (line.empty()) {
      text.body = rest;
      break;
    }
    const std::size_t equals = line.find('=');
    text.lines.emplace_back(line.substr(0, equals), equals == std::string_view::npos
                                                        ? std::string_view()
                                                        : line.substr(equals + 1));
  }
  return true;
}

void WriteFieldBlock(Row& row, std::size_t first, std::string_view marker,
                     const FieldBlock& block) {
  row.sub_items.resize(first);
  std::string all(marker);
  all.push_back('\n');
  for (const auto& [key, value] : block.lines)
    all.append(key).append("=").append(value).append("\n");
  if (block.body) all.append("\n").append(*block.body);
  AppendCut(row.sub_items, all);
}

void AddFieldLine(FieldBlock& block, std::string_view key, std::string_view value) {
  if (value.empty()) return;
  block.lines.emplace_back(key, EscapeFieldValue(value));
}

}  // namespace missivo
