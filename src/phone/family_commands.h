// The commands of the phone family's conversation, as the family's profile
// sends them: the set-up and listing commands end with CR LF of their own
// (the exchange adds LF CR), the delete command with none.
#pragma once

#include <string>
#include <string_view>

namespace missivo::family {

inline constexpr const char* kSetUpCommands[] = {
    "AT+CMGF=1\r\n",       // text mode
    "AT+CSCS=UCS2\r\n",    // UCS2 character set
    "AT+CPBS=\"MT\"\r\n",  // the phone's memory
};
inline constexpr const char* kListCommand = "at+cmgl=\"ALL\"\r\n";
inline std::string ReadCommand(const std::string& index) {
  return "AT+CMGR=" + index + "\r\n";
}
inline std::string DeleteCommand(const std::string& index) {
  return "AT+CMGD=" + index;
}
// A send: text mode and UCS2 as for a read, then per message AT+CMGS with the
// number, ended by CR alone (the phone takes what follows as the text).
inline constexpr const char* kSendSetUpCommands[] = {"AT+CMGF=1\r\n", "AT+CSCS=UCS2\r\n"};
inline std::string SendCommand(std::string_view number) {
  return "AT+CMGS=\"" + std::string(number) + "\"\r";
}

// The phonebook: its character set and storage, the vendor's range and entry commands.
inline constexpr const char* kPhonebookSetUpCommands[] = {"AT+CSCS=UCS2\r\n", "AT+CPBS=\"MT\"\r\n"};
inline constexpr const char* kPhonebookRangeCommand = "AT+MPBR=?\r\n";
inline std::string PhonebookBatchCommand(int first, int last) {
  return "AT+MPBR=" + std::to_string(first) + "," + std::to_string(last) + "\r\n";
}

}  // namespace missivo::family
