#include "transfer/export_block.h"

#include "transfer/line_breaks.h"
#include "transfer/replace_all.h"

namespace missivo {

std::string EscapeHtml(std::string_view value) {
  std::string out;
  out.reserve(value.size());
  for (const char c : value) {
    switch (c) {
      case '&':
        out += "&amp;";
        break;
      case '<':
        out += "&lt;";
        break;
      case '>':
        out += "&gt;";
        break;
      case '"':
        out += "&quot;";
        break;
      default:
        out += c;
    }
  }
  return out;
}

std::string BuildBlock(std::string_view template_buffer, const Row& row, TemplateKind kind) {
  const std::string* const fields[] = {&SubItem(row, kFrom), &SubItem(row, kDateTime),
                                       &SubItem(row, kSize), &SubItem(row, kIndex),
                                       &SubItem(row, kType), &row.caption};
  // Splitting into lines and joining them with CR LF is the same as writing
  // every break as CR LF and ending the last line; a value without breaks keeps
  // the text in that form, so only such values need the pass again.
  std::string block = BreaksToCrLf(template_buffer, /*end_with_break=*/true);
  for (std::size_t i = 0; i < std::size(kPlaceholders); ++i) {
    std::string escaped;
    std::string_view value = *fields[i];
    if (kind == TemplateKind::kHtml) value = escaped = EscapeHtml(value);
    block = ReplaceAll(block, kPlaceholders[i], value);
    if (HasLineBreak(value)) block = BreaksToCrLf(block, /*end_with_break=*/true);
  }
  return block;
}

}  // namespace missivo
