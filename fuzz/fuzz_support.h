// What every fuzz target shares: the input as text, its NUL-separated parts,
// the built-in language, and the check of a target's rule.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "store/contact_fields.h"
#include "store/message_fields.h"
#include "store/row.h"
#include "text/cp1251.h"
#include "text/default_language.h"
#include "text/language.h"

namespace missivo::fuzz {

// The input bytes as a text (Windows-1251 bytes inside the core).
inline std::string_view AsText(const std::uint8_t* data, std::size_t size) {
  return {reinterpret_cast<const char*>(data), size};
}

// The input cut at its NUL bytes into at most `count` parts; the last part
// keeps the rest, NULs included. Missing parts are empty.
inline std::vector<std::string_view> NulParts(std::string_view input, std::size_t count) {
  std::vector<std::string_view> parts;
  while (parts.size() + 1 < count) {
    const std::size_t nul = input.find('\0');
    if (nul == std::string_view::npos) break;
    parts.push_back(input.substr(0, nul));
    input.remove_prefix(nul + 1);
  }
  parts.push_back(input);
  parts.resize(count);
  return parts;
}

// The built-in Russian language, loaded once.
inline const LanguageLines& DefaultLanguage() {
  static const LanguageLines language = [] {
    LanguageLines lines;
    lines.LoadFromBytes(DefaultRussianFileBytes());
    return lines;
  }();
  return language;
}

// A target's rule: when it does not hold, the input is a finding. libFuzzer
// keeps the input that aborted and prints the stack.
inline void Require(bool holds, const char* rule) {
  if (holds) return;
  std::fprintf(stderr, "Rule broken: %s\n", rule);
  std::abort();
}

// The rules every imported archive row keeps: five sub-items, and Size the
// length of the text.
inline void RequireImportedRow(const Row& row) {
  Require(row.sub_items.size() > kMessageFieldCount,
          "an archive row has five sub-items and then its lossless fields");
  Require(row.sub_items[kSize] == std::to_string(row.caption.size()),
          "Size is the length of the text");
  const std::optional<MessageFields> fields = ReadMessageFields(row);
  Require(fields && fields->kind == RowKind::kImported && fields->text == Cp1251ToUtf8(row.caption),
          "the lossless fields of an imported row read back, its text the caption's");
}

// The rules every contact row of a phonebook read keeps: its number, then
// lossless fields only when the caption or the number cannot hold the whole
// name or number, which read back as their Windows-1251 forms.
inline void RequireContactRow(const Row& row) {
  Require(row.image == kImageContact, "a contact row has the contact's image");
  Require(row.sub_items.size() == (HasContactFields(row) ? 2u : 1u),
          "a contact row has its number and, when needed, its lossless fields");
  const std::string name = ContactName(row);
  const std::string number = ContactNumber(row);
  Require(Utf8ToCp1251(name) == row.caption && Utf8ToCp1251(number) == row.sub_items[kNumber],
          "the whole name and number are what the caption and the number hold");
  Require(HasContactFields(row) ==
              (Cp1251ToUtf8(row.caption) != name || Cp1251ToUtf8(row.sub_items[kNumber]) != number),
          "lossless fields exactly when the caption or the number cannot hold the value");
}

}  // namespace missivo::fuzz

// The entry point of a target whose check takes the input as one text.
#define MISSIVO_FUZZ_TEXT_TARGET(check)                                               \
  extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) { \
    check(::missivo::fuzz::AsText(data, size));                                       \
    return 0;                                                                         \
  }
