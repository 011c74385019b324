#include "text/language.h"

#include <charconv>

#include "text/lines.h"

namespace missivo {

void LanguageLines::LoadFromBytes(std::string_view bytes) {
  lines_ = SplitAnyBreak(UpToNul(bytes));
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

}  // namespace missivo
