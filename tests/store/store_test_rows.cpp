#include "store_test_rows.h"

#include <stdexcept>

#include "text/default_language.h"

namespace missivo::test {

Row MessageRow(std::string text, std::string from, std::string index, std::string date_time,
               std::int32_t image) {
  const std::string size = std::to_string(text.size());
  return Row{std::move(text),
             {std::move(from), std::move(date_time), size, std::move(index),
              "\xC2\xF5\xEE\xE4\xFF\xF9\xE8\xE5"},  // "Входящие"
             image};
}

Row ContactRow(std::string name, std::string number) {
  return Row{std::move(name), {std::move(number)}, kImageContact};
}

std::string Hex(std::string_view digits) {
  std::string bytes;
  int high = -1;
  for (const char c : digits) {
    if (c == ' ' || c == '|') continue;
    int value = 0;
    if (c >= '0' && c <= '9') {
      value = c - '0';
    } else if (c >= 'a' && c <= 'f') {
      value = c - 'a' + 10;
    } else if (c >= 'A' && c <= 'F') {
      value = c - 'A' + 10;
    } else {
      throw std::invalid_argument("not a hex digit");
    }
    if (high < 0) {
      high = value;
    } else {
      bytes.push_back(static_cast<char>(high * 16 + value));
      high = -1;
    }
  }
  return bytes;
}

std::string ToHex(std::string_view bytes) {
  static constexpr char kDigits[] = "0123456789ABCDEF";
  std::string digits;
  for (const char c : bytes) {
    const auto b = static_cast<unsigned char>(c);
    digits.push_back(kDigits[b >> 4]);
    digits.push_back(kDigits[b & 15]);
  }
  return digits;
}

LanguageLines RussianLanguage() {
  LanguageLines language;
  language.LoadFromBytes(DefaultRussianFileBytes());
  return language;
}

}  // namespace missivo::test
