// The text that carries a row's lossless fields in the sub-items after those
// a reader of the list file format knows: a marker line naming the form and
// its version, header lines "key=value" ended by LF, and, for forms that have
// one, an empty line and a body to the end. The text is cut at character
// boundaries into as many sub-items as it needs (at most 65,535 bytes each,
// the list file's limit). Message rows (message_fields.h) and contact rows
// (contact_fields.h) each write their own form with it.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "store/row.h"

namespace missivo {

// Header values write '%', ',', CR, LF and NUL as %25, %2C, %0D, %0A and %00;
// unescaping turns %XX back into its byte (a '%' without two hexadecimal
// digits stays as it is).
std::string EscapeFieldValue(std::string_view value);
std::string UnescapeFieldValue(std::string_view value);

// What a field text holds: its header lines (key and value as written, still
// escaped) and its body, when it has one.
struct FieldBlock {
  std::vector<std::pair<std::string, std::string>> lines;
  std::optional<std::string> body;
};

// Whether sub-item `first` of the row starts with the marker line.
bool HasFieldBlock(const Row& row, std::size_t first, std::string_view marker);

// The header lines and body of the field text from sub-item `first` on;
// nullopt when that sub-item does not start with the marker line.
std::optional<FieldBlock> ReadFieldBlock(const Row& row, std::size_t first,
                                         std::string_view marker);

// Writes the marker, the lines (values as given: escape them first) and the
// body, when there is one, into sub-items `first` on, replacing whatever stood
// from there; a row with fewer sub-items gets empty ones up to `first`.
void WriteFieldBlock(Row& row, std::size_t first, std::string_view marker, const FieldBlock& block);

// Adds the line of `key` with the escaped value, when the value is not empty.
void AddFieldLine(FieldBlock& block, std::string_view key, std::string_view value);

}  // namespace missivo
