// Time stamps of phones and of the program's own files in ISO 8601.
#pragma once

#include <string>
#include <string_view>

namespace missivo {

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

}  // namespace missivo
