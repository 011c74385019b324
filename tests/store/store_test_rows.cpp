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

std::vector<Row> ReadAsTheFormatSays(const std::string& plain) {
  std::size_t at = 3;
  const auto u16 = [&] {
    const auto value = static_cast<std::size_t>(static_cast<unsigned char>(plain[at]) |
                                                static_cast<unsigned char>(plain[at + 1]) << 8);
    at += 2;
    return value;
  };
  const auto text = [&] {
    const std::size_t length = u16();
    std::string field = plain.substr(at, length);
    at += length;
    return field.substr(0, field.find('\0'));
  };
  std::vector<Row> rows(u16());
  for (Row& row : rows) {
    row.sub_items.resize(u16());
    std::uint32_t image = 0;
    for (int k = 0; k < 4; ++k)
      image |= static_cast<std::uint32_t>(static_cast<unsigned char>(plain[at++])) << (8 * k);
    row.image = static_cast<std::int32_t>(image);
    row.caption = text();
    for (std::string& sub_item : row.sub_items)
      sub_item = text();
  }
  return rows;
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
