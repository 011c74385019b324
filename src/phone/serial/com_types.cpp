#include "phone/serial/com_types.h"

#include <iterator>

namespace missivo {

std::int32_t BaudRateValue(TBaudRate rate) {
  static constexpr std::int32_t kRates[] = {
      0,    50,   75,    110,   150,   300,   600,   1200,  1800,  2000,  2400,   3600,   4800,
      7200, 9600, 10400, 14400, 15625, 19200, 28800, 38400, 56000, 57600, 115200, 128000, 256000,
  };
  const auto index = static_cast<std::size_t>(rate);
  return index < std::size(kRates) ? kRates[index] : 0;
}

}  // namespace missivo
