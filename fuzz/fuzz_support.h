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

}  // namespace missivo::fuzz

// The entry point of a target whose check takes the input as one text.
#define MISSIVO_FUZZ_TEXT_TARGET(check)                                               \
  extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) { \
    check(::missivo::fuzz::AsText(data, size));                                       \
    return 0;                                                                         \
  }
