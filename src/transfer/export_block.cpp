#include "transfer/export_block.h"

#include <algorithm>

#include "transfer/line_breaks.h"
#include "transfer/replace_all.h"

namespace missivo {
namespace {

// The apostrophe too, for a template that puts a field in a single-quoted attribute.
constexpr std::string_view kHtmlSpecial = "&<>\"'";

const char* Entity(char c) {
  switch (c) {
    case '&':
      return "&amp;";
    case '<':
      return "&lt;";
    case '>':
      return "&gt;";
    case '\'':
      return "&#39;";
    default:
      return "&quot;";
  }
}

}  // namespace

std::string EscapeHtml(std::string_view value) {
  std::string out;
  out.reserve(value.size());
  std::size_t start = 0;
  for (std::size_t at = value.find_first_of(kHtmlSpecial); at != std::string_view::npos;
       at = value.find_first_of(kHtmlSpecial, start)) {
    out.append(value.substr(start, at - start));
    out += Entity(value[at]);
    start = at + 1;
  }
  out.append(value.substr(start));
  return out;
}

std::string PrepareTemplateLines(std::string_view template_buffer) {
  return BreaksToCrLf(template_buffer, /*end_with_break=*/true);
}

std::string FillBlock(std::string block, const Row& row, TemplateKind kind) {
  return *FillBlockWithin(std::move(block), row, kind, std::string::npos);
}

std::optional<std::string> FillBlockWithin(std::string block, const Row& row, TemplateKind kind,
                                           std::size_t limit) {
  const std::string* const fields[] = {&SubItem(row, kFrom), &SubItem(row, kDateTime),
                                       &SubItem(row, kSize), &SubItem(row, kIndex),
                                       &SubItem(row, kType), &row.caption};
  std::string escaped;
  for (std::size_t i = 0; i < std::size(kPlaceholders); ++i) {
    std::string_view value = *fields[i];
    if (kind == TemplateKind::kHtml && value.find_first_of(kHtmlSpecial) != std::string_view::npos)
      value = escaped = EscapeHtml(value);
    std::optional<std::string> replaced = ReplaceAllWithin(block, kPlaceholders[i], value, limit);
    if (!replaced) return std::nullopt;
    block = std::move(*replaced);
    // The lines split and joined again: only a value with a break can change
    // them, and a lone CR or LF grows by one byte.
    if (HasLineBreak(value)) {
      const std::size_t before = block.size();
      block = BreaksToCrLf(block, /*end_with_break=*/true);
      if (block.size() > std::max(limit, before)) return std::nullopt;
    }
  }
  return block;
}

std::string BuildBlock(std::string_view template_buffer, const Row& row, TemplateKind kind) {
  return FillBlock(PrepareTemplateLines(template_buffer), row, kind);
}

}  // namespace missivo
