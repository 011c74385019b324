// Standards-following devices for tests and benchmarks: phonesim scenarios of
// profile "standard" (tools/phonesim/README.md), modelled on captured replies.
#pragma once

#include <nlohmann/json.hpp>
#include <string>

namespace missivo::test {

// A message of a standard device; `storage` "SM" or "ME". Dates are
// "yy/mm/dd,hh:mm:ss±zz" with the zone in quarter hours.
nlohmann::json StandardMessage(const std::string& storage, int index, const std::string& status,
                               const std::string& sender, const std::string& text,
                               const std::string& date = "24/05/01,12:00:00+12");

// A USB stick (PDU and text mode, storages SM, ME and MT, a phonebook in SM
// and ME) holding: an incoming Cyrillic message in SM 1; a long message of
// two parts stored out of order across storages (part 2 in SM 2, part 1 in
// ME 7); a status report in SM 3; an outgoing message in ME 8; a draft in ME
// 9; a three-part message with a 16-bit reference of which part 2 has not
// come (SM 4 and SM 6). Contacts: SM 1 Иван, ME 5 Пётр.
nlohmann::json UsbStick();

// The texts of the stick's messages.
std::string StickLongText();    // the two-part message, whole
std::string StickThreeParts();  // the three-part message, whole

// A feature phone that only knows PDU mode (storages SM and ME).
nlohmann::json PduOnlyPhone();

// A module in text mode only that takes UCS2 only with quotes, sends
// numbers of the phonebook in UCS2 too, and answers an empty phonebook batch
// with nothing.
nlohmann::json TextOnlyModule();

}  // namespace missivo::test
