#include "text/language.h"

#include <charconv>

#include "text/lines.h"

namespace missivo {

void LanguageLines::LoadFromBytes(std::string_view bytes) {
  lines_ = SplitAnyBreak(UpToNul(bytes));
}

void LanguageLines::CompleteFrom(const LanguageLines& shipped) {
  while (!lines_.empty() && lines_.back().empty())
    lines_.pop_back();
  for (std::size_t i = lines_.size(); i < shipped.lines_.size(); ++i)
    lines_.push_back(shipped.lines_[i]);
}

std::string LanguageLines::LangText(std::string_view key) const {
  static const std::string kMissing = "---";
  if (key.size() < 4) return kMissing;
  std::size_t number = 0;
  const char* first = key.data() + 3;
  const char* last = key.data() + key.size();
  const auto [end, error] = std::from_chars(first, last, number);
  if (error != std::errc() || end != last || number >= lines_.size()) return kMissing;
  const std::string& line = lines_[number];
  const std::size_t cut = key.size() + 1;
  return line.size() <= cut ? std::string() : line.substr(cut);
}

std::string FillIn(std::string text, std::initializer_list<std::string_view> values) {
  int number = 0;
  for (const std::string_view value : values) {
    // Appended rather than "%" + to_string(): GCC 12 reports a false -Wrestrict
    // on that sum at -O2.
    std::string place = "%";
    place += std::to_string(++number);
    if (const std::size_t at = text.find(place); at != std::string::npos) {
      text.replace(at, place.size(), value);
    } else {
      text += ' ';
      text += value;
    }
  }
  return text;
}

}  // namespace missivo
