// The template export. Input: the template file's bytes, then NUL-separated
// From, Date/Time, Size, Index, Type and the message text of one row. The
// export must be what the plain steps give (join, replace, split, for each
// placeholder in turn), in both kinds, or a refusal when it would pass its
// limit; never a crash or a runaway allocation.
#include "fuzz_support.h"
#include "text/lines.h"
#include "transfer/export_rows.h"
#include "transfer/replace_all.h"
#include "transfer/templates.h"

namespace missivo {
namespace {

// Far below the program's own, so that refusals come quickly.
constexpr std::size_t kLimit = 1 << 14;

// Every occurrence of `pattern`, found left to right without overlaps.
std::string NaiveReplace(std::string_view text, std::string_view pattern, std::string_view value) {
  if (pattern.empty()) return std::string(text);
  std::string out;
  std::size_t from = 0;
  for (std::size_t at = text.find(pattern); at != std::string_view::npos;
       at = text.find(pattern, from)) {
    out.append(text.substr(from, at - from)).append(value);
    from = at + pattern.size();
  }
  return out.append(text.substr(from));
}

std::string NaiveEscape(std::string_view value) {
  std::string out;
  for (char c : value) {
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
      case '\'':
        out += "&#39;";
        break;
      default:
        out += c;
    }
  }
  return out;
}

// The block by the documented steps.
std::string StepByStep(std::string_view template_buffer, const Row& row, TemplateKind kind) {
  const std::string* const fields[] = {&SubItem(row, kFrom), &SubItem(row, kDateTime),
                                       &SubItem(row, kSize), &SubItem(row, kIndex),
                                       &SubItem(row, kType), &row.caption};
  std::vector<std::string> lines = SplitAnyBreak(template_buffer);
  for (std::size_t i = 0; i < std::size(kPlaceholders); ++i) {
    const std::string value = kind == TemplateKind::kHtml ? NaiveEscape(*fields[i]) : *fields[i];
    lines = SplitAnyBreak(NaiveReplace(JoinCrLf(lines), kPlaceholders[i], value));
  }
  return JoinCrLf(lines);
}

void CheckReplaceAll(std::string_view text, std::string_view value) {
  for (const char* pattern : kPlaceholders) {
    fuzz::Require(ReplaceAll(text, pattern, value) == NaiveReplace(text, pattern, value),
                  "ReplaceAll replaces every occurrence, left to right");
  }
  fuzz::Require(ReplaceAll(text, "", value) == text, "an empty pattern changes nothing");
}

void Check(std::string_view input) {
  const std::vector<std::string_view> parts = fuzz::NulParts(input, 7);
  const std::string template_buffer = TemplateBufferFromBytes(input);
  fuzz::Require(template_buffer.find('\0') == std::string::npos,
                "the template ends at its first NUL");
  Row row;
  row.caption = std::string(parts[6]);
  for (std::size_t i = 1; i <= 5; ++i)
    row.sub_items.emplace_back(parts[i]);
  CheckReplaceAll(template_buffer, parts[1]);

  for (const TemplateKind kind : {TemplateKind::kText, TemplateKind::kHtml}) {
    const Row rows[] = {row, Row{}};
    const Result<std::string> text =
        ExportBytes(rows, RowSelection::All(), template_buffer, kind, {}, kLimit);
    if (!text.ok()) {
      fuzz::Require(!text.message().empty(), "a refused export says why");
      continue;
    }
    // Every pass stayed within the limit, so the plain steps are bounded too.
    fuzz::Require(text.value().size() <= kLimit, "an export stays within its limit");
    fuzz::Require(text.value() == StepByStep(template_buffer, row, kind) + "\r\n" +
                                      StepByStep(template_buffer, Row{}, kind) + "\r\n",
                  "the export is each row's template with each placeholder replaced in turn, "
                  "then CR LF");
  }
}

}  // namespace
}  // namespace missivo

MISSIVO_FUZZ_TEXT_TARGET(missivo::Check)
