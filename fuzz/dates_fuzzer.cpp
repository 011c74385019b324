// Time stamps from the phone and from import files: any text normalises to a
// line ended by CR LF, and a well-formed stamp to its exact program form.
#include <cctype>

#include "fuzz_support.h"
#include "phone/dates.h"

namespace missivo {
namespace {

// Whether `stamp` is "yyyy/mm/dd,hh:mm:ss" with digits where the letters stand.
bool IsWellFormed(std::string_view stamp) {
  constexpr std::string_view kForm = "dddd/dd/dd,dd:dd:dd";
  if (stamp.size() != kForm.size()) return false;
  for (std::size_t i = 0; i < kForm.size(); ++i) {
    const bool digit = std::isdigit(static_cast<unsigned char>(stamp[i])) != 0;
    if (kForm[i] == 'd' ? !digit : stamp[i] != kForm[i]) return false;
  }
  return true;
}

void Check(std::string_view stamp) {
  const std::string normal = NormalizeDate(stamp);
  fuzz::Require(normal.ends_with("\r\n"), "the stamp ends with CR LF");
  // Every piece is a piece of the stamp, some with a "0" or "20" added.
  fuzz::Require(normal.size() <= 2 * stamp.size() + 32, "the stamp grows by a few characters");
  if (IsWellFormed(stamp)) {
    const std::string expected =
        std::string(stamp.substr(8, 2)) + "/" + std::string(stamp.substr(5, 2)) + "/" +
        std::string(stamp.substr(0, 4)) + std::string(stamp.substr(10)) + "\r\n";
    fuzz::Require(normal == expected, "a well-formed stamp becomes dd/mm/yyyy,hh:mm:ss");
  }
}

}  // namespace
}  // namespace missivo

MISSIVO_FUZZ_TEXT_TARGET(missivo::Check)
