// What a device's error reply says: in words for the user, and whether trying
// again soon may help.
#pragma once

#include <string>
#include <string_view>

namespace missivo {

// The error result line of `reply` with the meaning of a common +CMS ERROR
// code: "+CMS ERROR: 314 (SIM busy)", "ERROR"; empty when the reply ends with
// no error.
std::string ErrorReplyText(std::string_view reply);

// Whether an error reply says that the SIM or the phone is busy for a moment:
// "+CMS ERROR: 314" (SIM busy), "+CME ERROR: 14" (SIM busy), code 515 ("please
// wait, initialisation or command processing in progress"), or those words in
// a device's verbose form ("+CME ERROR: SIM busy").
bool IsBusyReply(std::string_view reply);

}  // namespace missivo
