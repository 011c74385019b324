// One message row written through the template buffer.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "store/row.h"
#include "transfer/templates.h"

namespace missivo {

// `value` with &, <, >, " and ' written as the entities &amp; &lt; &gt; &quot;
// &#39;.
std::string EscapeHtml(std::string_view value);

// The block of one row: the template's lines, each ended by CR LF, with the
// placeholders replaced in this order, each pass working on the result of the
// one before: "$Number" by From, "$Date" by Date/Time, "$Size" by Size,
// "$Index" by Index, "$Type" by Type and "$Message" by the caption. After every
// pass the line breaks are written as CR LF again, so a break inside a field
// becomes CR LF. A missing sub-item counts as empty. For the HTML kind the
// field values are escaped first; the template's own text stays as it is.
// No limit applies here: callers with outside fields use FillBlockWithin.
std::string BuildBlock(std::string_view template_buffer, const Row& row, TemplateKind kind);

// The two halves of BuildBlock, so that an export prepares the template once:
// the template's lines, each ended by CR LF; then that text with the fields
// of one row filled in.
std::string PrepareTemplateLines(std::string_view template_buffer);
std::string FillBlock(std::string template_lines, const Row& row, TemplateKind kind);

// The most one block of an export may grow to. A field holding placeholders
// is filled in again by the later passes, so a template or a row of many
// placeholders multiplies its size (an imported From of 8,000 "$Message" with
// a text of 64 KB each would make half a gigabyte); such a block is refused.
inline constexpr std::size_t kMaxExportBlock = std::size_t{16} << 20;

// FillBlock, or nothing when a pass would make the block longer than `limit`
// bytes. Since each pass also replaces the placeholders that earlier values
// brought in, a few kilobytes of fields can multiply into terabytes; the
// limit stops that before the memory is asked for.
std::optional<std::string> FillBlockWithin(std::string template_lines, const Row& row,
                                           TemplateKind kind, std::size_t limit);

}  // namespace missivo
