// The language line list and the positional lookup of interface texts.
#pragma once

#include <initializer_list>
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

  // Adds the lines of `shipped` past this list's last line, after dropping
  // empty lines at its end: a language file written by an older version keeps
  // its own texts and takes the texts of keys added since from the copy
  // shipped with the program, instead of showing "---" for them.
  void CompleteFrom(const LanguageLines& shipped);

  const std::vector<std::string>& lines() const { return lines_; }
  bool empty() const { return lines_.empty(); }

 private:
  std::vector<std::string> lines_;
};

// A language text with its places filled: "%1" takes the first value, "%2" the
// second, each at its first place. A value whose place the text lacks (a
// language file that left it out) follows at the end after a blank, so it is
// never lost.
std::string FillIn(std::string text, std::initializer_list<std::string_view> values);

}  // namespace missivo
