// What search and conversations read of a message row: its whole text, the
// correspondent's number and name, the kind and the date. Each reads the
// lossless sub-items first where a row has them and falls back to the five;
// this is the one place that knows where a row keeps them.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "store/message_fields.h"
#include "store/row.h"

namespace missivo {

// The message text in UTF-8 with its line breaks: the lossless text where the
// row has it, else the caption. The kind is BestKind (message_fields.h).
std::string RowText(const Row& row);

// The correspondent's number as written ("+79035550101"): the lossless number
// where the row has one, else the one in From; empty when that is no number
// (a sender that is a name only).
std::string RowNumber(const Row& row);

// The From field in UTF-8 as the list shows it ("Мама (+79035550101)"), with
// the contact's whole name where the row keeps it.
std::string RowFrom(const Row& row);

// The contact name in UTF-8 (whole, where the row keeps it): "Мама" of
// "Мама (+79035550101)", the whole From
// when it is no number ("Info"); empty when the From is a bare number.
std::string RowName(const Row& row);

// The row's date as "yyyy/mm/dd" and its time as "yyyy/mm/ddhh:mm:ss", both
// read from the Date/Time field (dd/mm/yyyy,hh:mm:ss); empty when the field
// has no valid date.
std::string RowDay(const Row& row);
std::string RowTime(const Row& row);

// A day the user wrote ("2006-01-05", "05.01.2006" or "05/01/2006") as
// "yyyy/mm/dd", or nothing when it is no valid date.
std::optional<std::string> ParseDay(std::string_view text);

// Whether `text` is written as a phone number: at least three digits and
// nothing but digits, a leading "+", blanks, "-", "(" and ")".
bool LooksLikeNumber(std::string_view text);

// The digits of a number without the Russian trunk or country prefix, so that
// "+7 903 555-01-01", "89035550101" and "9035550101" are the same: an 11-digit
// number starting with 7 or 8, and a "+7" start, lose that first digit.
std::string NationalDigits(std::string_view number);

// The grouping key of a row's correspondent: the national digits of its
// number, or the folded From for a sender without a number.
std::string CorrespondentKey(const Row& row);

}  // namespace missivo
