#include "text/search_fold.h"

#include <array>

#include "text/cp1251.h"

namespace missivo {
namespace {

bool IsSpace(char32_t c) {
  return c == U' ' || c == U'\t' || c == U'\n' || c == U'\r' || c == U'\v' || c == U'\f' ||
         c == 0xA0 || c == 0x2028 || c == 0x2029;
}

// Folds `text` into `out`; `origin`, when given, takes the source offset of
// every byte written and of the end.
void Fold(std::string_view text, std::string& out, std::vector<std::uint32_t>* origin) {
  out.reserve(text.size());
  if (origin != nullptr) origin->reserve(text.size() + 1);
  bool after_space = false;
  for (std::size_t at = 0; at < text.size();) {
    const Utf8Step step = DecodeUtf8(text, at);
    const char32_t folded = FoldCodePoint(step.code_point);
    const bool space = folded == U' ';
    if (!(space && after_space)) {
      if (folded < 0x80) {
        out.push_back(static_cast<char>(folded));
      } else {
        AppendUtf8(out, folded);
      }
      if (origin != nullptr) origin->resize(out.size(), static_cast<std::uint32_t>(at));
    }
    after_space = space;
    at += step.length;
  }
  if (origin != nullptr) origin->push_back(static_cast<std::uint32_t>(text.size()));
}

}  // namespace

char32_t FoldCodePoint(char32_t c) {
  if (c >= U'A' && c <= U'Z') return c + 0x20;
  if (IsSpace(c)) return U' ';
  if (c < 0x400) return c;
  if (c == 0x401 || c == 0x451) return 0x435;     // Ё, ё -> е
  if (c >= 0x410 && c <= 0x42F) return c + 0x20;  // А-Я
  if (c >= 0x400 && c <= 0x40F) return c + 0x50;  // Ѐ-Џ (Є, І, Ї, Ў ...)
  if (c == 0x490) return 0x491;                   // Ґ
  return c;
}

std::string FoldForSearch(std::string_view text) {
  std::string out;
  Fold(text, out, nullptr);
  return out;
}

void AppendFolded(std::string& out, std::string_view text) {
  Fold(text, out, nullptr);
}

void AppendFoldedCp1251(std::string& out, std::string_view cp1251) {
  // Each byte's folded UTF-8 (at most three bytes), made once.
  struct Folded {
    std::array<char, 3> bytes{};
    std::uint8_t size = 0;
    bool space = false;
  };
  static const std::array<Folded, 256> kTable = [] {
    std::array<Folded, 256> table;
    for (unsigned byte = 0; byte < 256; ++byte) {
      const char32_t folded = FoldCodePoint(Cp1251ToUnicode(static_cast<unsigned char>(byte)));
      std::string utf8;
      AppendUtf8(utf8, folded);
      table[byte].size = static_cast<std::uint8_t>(utf8.copy(table[byte].bytes.data(), 3));
      table[byte].space = folded == U' ';
    }
    return table;
  }();
  out.reserve(out.size() + cp1251.size() * 2);
  bool after_space = false;
  for (const char c : cp1251) {
    const Folded& folded = kTable[static_cast<unsigned char>(c)];
    if (!(folded.space && after_space)) out.append(folded.bytes.data(), folded.size);
    after_space = folded.space;
  }
}

FoldedText FoldWithOrigins(std::string_view text) {
  FoldedText folded;
  Fold(text, folded.text, &folded.origin);
  return folded;
}

}  // namespace missivo
