// The language line list and the positional lookup of interface texts.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace missivo {

// Line N of a language file holds the text of the key "StrN" as "StrN=text".
// The lookup is positional: the key written in a line is never compared.
class LanguageLines {
 public:
  // Replaces the lines with those of a language file's bytes (any line break;
  // the text ends at its first NUL).
  void LoadFromBytes(std::string_view bytes);

  // The text of "Str" + N: line N without its first L + 1 characters, where L
  // is the length of the key; "---" when there is no line N.
  std::string LangText(std::string_view key) const;

  const std::vector<std::string>& lines() const { return lines_; }
  bool empty() const { return lines_.empty(); }

 private:
  std::vector<std::string> lines_;
};

}  // namespace missivo
