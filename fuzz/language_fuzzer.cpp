// Language files: any bytes give lines, and the text of "StrN" is line N
// without its key and "=", or "---" when there is no line N; never a crash.
#include "fuzz_support.h"
#include "text/language.h"
#include "text/lines.h"

namespace missivo {
namespace {

std::string Expected(const std::vector<std::string>& lines, std::size_t number,
                     std::size_t key_size) {
  if (number >= lines.size()) return "---";
  const std::string& line = lines[number];
  return line.size() <= key_size + 1 ? std::string() : line.substr(key_size + 1);
}

void Check(std::string_view bytes) {
  LanguageLines language;
  language.LoadFromBytes(bytes);
  const std::vector<std::string> lines = SplitAnyBreak(UpToNul(bytes));
  fuzz::Require(language.lines() == lines, "the lines of the file up to its first NUL");
  for (std::size_t number = 0; number <= lines.size() + 1; ++number) {
    const std::string key = "Str" + std::to_string(number);
    fuzz::Require(language.LangText(key) == Expected(lines, number, key.size()),
                  "StrN is line N after its key");
  }
  // Keys the program never asks for still give a text.
  for (const char* key :
       {"", "Str", "Str-1", "Str+1", "Str 1", "Str1x", "Str0001", "Str99999999999999999999999"}) {
    (void)language.LangText(key);
  }
  fuzz::Require(language.LangText("Str-1") == "---", "a negative number has no line");
}

}  // namespace
}  // namespace missivo

MISSIVO_FUZZ_TEXT_TARGET(missivo::Check)
