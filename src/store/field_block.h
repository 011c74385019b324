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

// What a lossless field keeps of a UTF-8 value: the value when Windows-1251
// cannot hold it exactly, else nothing (the five, or caption and number, hold it).
std::string LosslessValue(std::string_view utf8);

// The value to show of a field the row also holds in Windows-1251 (`held`):
// the lossless value when its Windows-1251 form is still what the row holds,
// else `held` converted. A program that knows only the Windows-1251 form may
// have changed that since the lossless value was written.
std::string PreferLossless(std::string_view lossless, std::string_view held);

// A field text to write: its header lines (key and value as written: escape
// the values first) and its body, when it has one.
struct FieldBlock {
  std::vector<std::pair<std::string, std::string>> lines;
  std::optional<std::string> body;
};

// A field text as read: views of its header lines (key and value still
// escaped) and of its body, when it has one, into the row's sub-item or, when
// the text spans several, into `joined`. It stays where it was made (the
// views point into it) and is valid while the row is unchanged.
struct FieldText {
  std::vector<std::pair<std::string_view, std::string_view>> lines;
  std::optional<std::string_view> body;
  std::string joined;

  FieldText() = default;
  FieldText(const FieldText&) = delete;
  FieldText& operator=(const FieldText&) = delete;
};

// Whether sub-item `first` of the row starts with the marker line.
bool HasFieldBlock(const Row& row, std::size_t first, std::string_view marker);

// Reads the field text from sub-item `first` on into `text`; false when that
// sub-item does not start with the marker line.
[[nodiscard]] bool ReadFieldText(const Row& row, std::size_t first, std::string_view marker,
                                 FieldText& text);

// Writes the marker, the lines (values as given: escape them first) and the
// body, when there is one, into sub-items `first` on, replacing whatever stood
// from there; a row with fewer sub-items gets empty ones up to `first`.
void WriteFieldBlock(Row& row, std::size_t first, std::string_view marker, const FieldBlock& block);

// Adds the line of `key` with the escaped value, when the value is not empty.
void AddFieldLine(FieldBlock& block, std::string_view key, std::string_view value);

}  // namespace missivo
