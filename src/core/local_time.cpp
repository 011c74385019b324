#include "core/local_time.h"

#include <ctime>

namespace missivo {

std::string LocalTimeText(TimeForm form) {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  ::localtime_r(&now, &local);
  char text[32];
  const std::size_t length = form == TimeForm::kFileStamp
                                 ? std::strftime(text, sizeof text, "%Y%m%d-%H%M%S", &local)
                                 : std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", &local);
  return std::string(text, length);
}

}  // namespace missivo
