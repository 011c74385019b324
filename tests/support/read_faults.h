// The phone faults a read command must survive, for the fault tables of the
// core and window tests: a phone (phonesim scenario) and a program folder with
// data files, a fault put on one command line of the conversation, and the
// check of what the data files hold afterwards.
#pragma once

#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "store/data_files.h"
#include "store/row.h"
#include "support/phone_fixture.h"

namespace missivo::test {

enum class PhoneFault {
  kHangUp,    // half the answer, then the line goes dead
  kError,     // "ERROR"
  kCmsError,  // "+CMS ERROR: 321"
  kSilent,    // the echo, then nothing
};

inline constexpr PhoneFault kPhoneFaults[] = {PhoneFault::kHangUp, PhoneFault::kError,
                                              PhoneFault::kCmsError, PhoneFault::kSilent};

const char* FaultName(PhoneFault fault);
// The fault's name as a test name: "HangUp", "Error", "CmsError", "NoAnswer".
const char* FaultIdentifier(PhoneFault fault);

// Whether the port is open after the fault: a phone that answers, even with an
// error, keeps the connection; a hang-up and a silence past the limit close it.
bool PortStaysOpen(PhoneFault fault);

// Two incoming messages and a phonebook range of 60 numbers (two batches) with
// a contact in each batch.
nlohmann::json FaultPhone();

// `phone` with `fault` on command line number `number` (counted from 1).
nlohmann::json WithFault(nlohmann::json phone, PhoneFault fault, int number);

// The data files before a run: an archive of one old message and a phonebook
// of one old contact; their numbers match nothing on the phone.
std::vector<Row> OldArchive();
std::vector<Row> OldPhonebook();
void WriteOldDataFiles(const DataFiles& files);

// The data files after a run, checked against the old rows and the rows a run
// without faults makes: both files open; the archive holds the old rows and
// then only whole messages of the phone, each once; the phonebook holds the
// old contacts or only contacts of the phone. Senders count with or without
// the contact name put on them.
struct DataFilesAfter {
  std::vector<std::string> problems;  // empty when all holds
  std::size_t new_messages = 0;
  std::string phonebook;  // "old" or "N new"
  std::vector<Row> archive;
};
DataFilesAfter CheckDataFiles(const DataFiles& files, const std::vector<Row>& whole_messages,
                              const std::vector<Row>& whole_contacts);

// Phones whose replies are easy to misread, as real devices send them:
// a family phone with "Ok" from +79161234567 in slot 1 (2024/05/01,12:00:00)
// whose listing comes after a stray "OK" left over from the command before;
nlohmann::json StrayOkBeforeTheListing();
// a phone in PDU mode whose SIM lists an entry at 1 that is no PDU beside a
// message at 2 (a captured PDU: "Hello raspberry pi");
nlohmann::json UndecodableBesideAMessage();
// a module in text mode without UCS2, `texts` as read messages in SM 1, 2, ...
// (sent as they are, line breaks and all), the final result after an empty
// line or right after the last text.
nlohmann::json TextModuleWithoutUcs2(const std::vector<std::string>& texts,
                                     bool blank_before_final);

// The indexes of the "AT+CMGD=" commands phonesim received, in order.
std::vector<std::string> DeletedOnPhone(const PhoneSim& phone);

// Whether the archive rows hold a message of that index.
bool HoldsIndex(const std::vector<Row>& archive, const std::string& index);

}  // namespace missivo::test
