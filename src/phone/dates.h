// Time stamps of messages in the program's form dd/mm/yyyy,hh:mm:ss.
#pragma once

#include <ctime>
#include <string>
#include <string_view>

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

// The phone's stamp "yyyy/mm/dd,hh:mm:ss[±zz]" (also "yy/..", where the year is
// 20yy, and one-digit fields) in ISO 8601, the zone written in hours and
// minutes: zz counts quarters of an hour, as in text-mode replies. Empty when
// the stamp is not of that form or names no real date and time.
//   "2006/05/17,14:03:59"     -> "2006-05-17T14:03:59"
//   "26/08/25,20:29:40+12"    -> "2026-08-25T20:29:40+03:00"
//   "2024/1/2,3:04:05-22"     -> "2024-01-02T03:04:05-05:30"
std::string IsoTimeOfStamp(std::string_view stamp);

// The program's own form "dd/mm/yyyy,hh:mm:ss" (as files of version 1.x hold
// it) in ISO 8601, or, failing that, IsoTimeOfStamp of the text.
//   "17/05/2006,14:03:59"     -> "2006-05-17T14:03:59"
std::string IsoTimeOfDateTime(std::string_view date_time);

// A local date and time in the form of NormalizeDate, CR LF included.
std::string MakeDate(const std::tm& local);

// The current local date and time in the form of NormalizeDate, CR LF included.
std::string MakeDate();

}  // namespace missivo
