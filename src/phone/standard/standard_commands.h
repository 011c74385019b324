// The commands a standard device is asked (TS 27.005 and TS 27.007). Each ends
// with the CR that ends a command line; the exchange's own line end after it
// is an empty line the device ignores.
#pragma once

#include <string>
#include <string_view>

namespace missivo::standard {

inline constexpr const char* kMakerCommand = "AT+CGMI\r";
inline constexpr const char* kModelCommand = "AT+CGMM\r";
inline constexpr const char* kRevisionCommand = "AT+CGMR\r";
inline constexpr const char* kMessageModesCommand = "AT+CMGF=?\r";
inline constexpr const char* kStoragesCommand = "AT+CPMS=?\r";
inline constexpr const char* kPhonebookStoragesCommand = "AT+CPBS=?\r";
// The family's phonebook command, asked to tell the family from standard devices.
inline constexpr const char* kVendorPhonebookCommand = "AT+MPBR=?\r";

inline constexpr const char* kPduModeCommand = "AT+CMGF=0\r";
inline constexpr const char* kTextModeCommand = "AT+CMGF=1\r";
inline constexpr const char* kUcs2Command = "AT+CSCS=\"UCS2\"\r";
inline constexpr const char* kUcs2UnquotedCommand = "AT+CSCS=UCS2\r";
inline constexpr const char* kPduListCommand = "AT+CMGL=4\r";
inline constexpr const char* kTextListCommand = "AT+CMGL=\"ALL\"\r";
inline constexpr const char* kPhonebookRangeCommand = "AT+CPBR=?\r";

inline std::string SelectStorageCommand(std::string_view storage) {
  return "AT+CPMS=\"" + std::string(storage) + "\"\r";
}
inline std::string DeleteCommand(std::string_view index) {
  return "AT+CMGD=" + std::string(index) + "\r";
}
// A send in PDU mode: the TPDU's length in octets; the PDU follows the prompt.
inline std::string SendCommand(int tpdu_length) {
  return "AT+CMGS=" + std::to_string(tpdu_length) + "\r";
}
inline std::string SelectPhonebookCommand(std::string_view storage) {
  return "AT+CPBS=\"" + std::string(storage) + "\"\r";
}
inline std::string PhonebookBatchCommand(int first, int last) {
  return "AT+CPBR=" + std::to_string(first) + "," + std::to_string(last) + "\r";
}

}  // namespace missivo::standard
