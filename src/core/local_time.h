// The local time as text.
#pragma once

#include <string>

namespace missivo {

enum class TimeForm {
  kFileStamp,  // "20240501-120000", for file names
  kLogLine,    // "2024-05-01 12:00:00", for log lines
};

// Now in the local time zone, in `form`.
std::string LocalTimeText(TimeForm form);

}  // namespace missivo
