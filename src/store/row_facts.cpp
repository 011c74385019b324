#include "store/row_facts.h"

#include "store/row_list.h"
#include "text/cp1251.h"
#include "text/search_fold.h"

namespace missivo {
namespace {

bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

bool TwoDigits(std::string_view text, std::size_t at, int minimum, int maximum) {
  if (at + 2 > text.size() || !IsDigit(text[at]) || !IsDigit(text[at + 1])) return false;
  const int value = (text[at] - '0') * 10 + (text[at + 1] - '0');
  return value >= minimum && value <= maximum;
}

bool Digits(std::string_view text, std::size_t at, std::size_t count) {
  if (at + count > text.size()) return false;
  for (std::size_t i = at; i < at + count; ++i)
    if (!IsDigit(text[i])) return false;
  return true;
}

}  // namespace

std::string RowText(const Row& row) {
  return BestText(row);
}

std::string RowFrom(const Row& row) {
  return BestFrom(row);
}

std::string RowFrom(const Row& row, const std::optional<MessageFields>& fields) {
  return BestFrom(row, fields);
}

std::string RowNumber(const Row& row, const std::optional<MessageFields>& fields) {
  std::string number = BestNumber(row, fields);
  return LooksLikeNumber(number) ? number : std::string();
}

std::string RowNumber(const Row& row) {
  std::string number = BestNumber(row);
  return LooksLikeNumber(number) ? number : std::string();
}

std::string RowName(const Row& row, const std::optional<MessageFields>& fields) {
  const std::string& from = SubItem(row, kFrom);
  if (!LooksLikeNumber(NumberInFrom(from))) return Cp1251ToUtf8(from);
  return BestContact(row, fields);
}

std::string RowName(const Row& row) {
  const std::string& from = SubItem(row, kFrom);
  if (!LooksLikeNumber(NumberInFrom(from))) return Cp1251ToUtf8(from);
  return BestContact(row);
}

std::string RowTime(const Row& row) {
  const std::string& date_time = SubItem(row, kDateTime);
  // dd/mm/yyyy,hh:mm:ss
  if (!TwoDigits(date_time, 0, 1, 31) || !TwoDigits(date_time, 3, 1, 12) ||
      !Digits(date_time, 6, 4))
    return {};
  return DateSortKey(date_time);
}

std::string RowDay(const Row& row) {
  std::string time = RowTime(row);
  if (time.size() > 10) time.resize(10);
  return time;
}

std::optional<std::string> ParseDay(std::string_view text) {
  std::string_view year, month, day;
  if (text.size() == 10 && Digits(text, 0, 4) && text[4] == '-' && text[7] == '-') {
    year = text.substr(0, 4);
    month = text.substr(5, 2);
    day = text.substr(8, 2);
  } else if (text.size() == 10 && Digits(text, 6, 4) && (text[2] == '.' || text[2] == '/') &&
             text[5] == text[2]) {
    day = text.substr(0, 2);
    month = text.substr(3, 2);
    year = text.substr(6, 4);
  } else {
    return std::nullopt;
  }
  if (!TwoDigits(month, 0, 1, 12) || !TwoDigits(day, 0, 1, 31)) return std::nullopt;
  std::string parsed;
  parsed.reserve(10);
  parsed.append(year).append(1, '/').append(month).append(1, '/').append(day);
  return parsed;
}

bool LooksLikeNumber(std::string_view text) {
  std::size_t digits = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (IsDigit(c)) {
      ++digits;
    } else if (!(c == ' ' || c == '-' || c == '(' || c == ')' || (c == '+' && i == 0))) {
      return false;
    }
  }
  return digits >= 3;
}

std::string NationalDigits(std::string_view number) {
  std::string digits;
  for (const char c : number)
    if (IsDigit(c)) digits.push_back(c);
  const bool plus_seven = number.starts_with("+7");
  if (plus_seven || (digits.size() == 11 && (digits[0] == '7' || digits[0] == '8')))
    digits.erase(0, 1);
  return digits;
}

std::string CorrespondentKey(const Row& row, const std::optional<MessageFields>& fields) {
  const std::string number = RowNumber(row, fields);
  if (!number.empty()) return NationalDigits(number);
  std::string key(1, '~');
  key.append(FoldForSearch(RowFrom(row, fields)));
  return key;
}

std::string CorrespondentKey(const Row& row) {
  return CorrespondentKey(row, ReadMessageFields(row));
}

}  // namespace missivo
