// Time stamps of messages in the program's form dd/mm/yyyy,hh:mm:ss.
#pragma once

#include <ctime>
#include <string>
#include <string_view>

#include "text/iso_time.h"

namespace missivo {

// The phone's stamp "yyyy/mm/dd,hh:mm:ss[zone]" or "yy/mm/dd,hh:mm:ss[zone]" as
// "dd/mm/yyyy,hh:mm:ss[zone]" followed by CR LF; callers keep the first 19
// characters. Separators are looked for in turn (first "/", next "/", the "," after
// it, the first ":" after that, the last ":" after that); the pieces between them
// get a leading "0" when one character long or empty. A year of two digits (the
// first "/" at position 3) is 20yy; otherwise the year is the four characters
// before the first "/". A stamp with one colon only keeps its minute digits.
//   "2006/5/7,9:3:5"        -> "07/05/2006,09:03:05\r\n"
//   "26/08/25,20:29:40+12"  -> "25/08/2026,20:29:40+12\r\n"
std::string NormalizeDate(std::string_view stamp);

// A local date and time in the form of NormalizeDate, CR LF included.
std::string MakeDate(const std::tm& local);

// The current local date and time in the form of NormalizeDate, CR LF included.
std::string MakeDate();

}  // namespace missivo
