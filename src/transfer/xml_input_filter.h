// What the XML of SMS backups needs before a conforming parser sees it.
//
// Backup apps write a character outside the Basic Multilingual Plane as two
// numeric references to the halves of its UTF-16 surrogate pair
// ("&#55357;&#56832;" for U+1F600). XML forbids references to surrogates, so
// such a pair becomes one reference to the character itself, padded with
// leading zeros to the same length ("&#0000000128512;") so that the parser's
// line and column numbers still point into the file as it is. A half without
// its partner becomes a reference to U+FFFD of its own length.
//
// Backups declare no document type. A declaration ("<!DOCTYPE", "<!ENTITY") is
// refused before the parser sees it: entity definitions are how an XML bomb
// expands a few bytes into gigabytes, and how a file reaches outside itself.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace missivo {

class XmlInputFilter {
 public:
  // Appends the filtered form of the next piece of the file to `out`; `end`
  // marks the last piece. Pieces may cut a reference anywhere. Returns false
  // once a declaration was found (see error(), line(), column()); nothing
  // after it is passed on.
  [[nodiscard]] bool Filter(std::string_view in, bool end, std::string& out);

  // Where the refused declaration starts (from 1) and what it is.
  std::size_t line() const { return error_line_; }
  std::size_t column() const { return error_column_; }
  const std::string& error() const { return error_; }

  // How many surrogate halves without a partner became U+FFFD.
  std::size_t lone_surrogates() const { return lone_surrogates_; }

 private:
  void Byte(char c, std::string& out);
  void Plain(std::string_view bytes, std::string& out);
  void Reference(std::string& out);
  void FlushPending(std::string& out);
  void FlushHeld(std::string& out);
  void Track(char c);

  std::string pending_;  // the start of what may be a numeric reference
  std::string held_;     // a reference to a high surrogate, waiting for its partner
  char32_t held_value_ = 0;
  std::size_t matched_[2] = {0, 0};  // bytes of each declaration matched so far
  std::size_t line_ = 1;
  std::size_t column_ = 0;
  std::size_t error_line_ = 0;
  std::size_t error_column_ = 0;
  std::string error_;
  std::size_t lone_surrogates_ = 0;
};

}  // namespace missivo
