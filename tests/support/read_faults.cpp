#include "support/read_faults.h"

#include <algorithm>
#include <utility>

#include "store/list_file.h"
#include "support/phone_scenario.h"
#include "support/standard_phones.h"
#include "support/test_support.h"

namespace missivo::test {
namespace {

using nlohmann::json;

// A sender with the contact name put on it ("Иван (+7916...)") as the bare number.
std::string BareNumber(const std::string& from) {
  const std::size_t open = from.rfind(" (");
  if (open == std::string::npos || !from.ends_with(')')) return from;
  return from.substr(open + 2, from.size() - open - 3);
}

Row WithBareSender(Row row) {
  if (!row.sub_items.empty()) row.sub_items[kFrom] = BareNumber(row.sub_items[kFrom]);
  return row;
}

// The name for people and the one for test names.
std::pair<const char*, const char*> NamesOf(PhoneFault fault) {
  switch (fault) {
    case PhoneFault::kHangUp:
      return {"hang-up", "HangUp"};
    case PhoneFault::kError:
      return {"ERROR", "Error"};
    case PhoneFault::kCmsError:
      return {"+CMS ERROR: 321", "CmsError"};
    case PhoneFault::kSilent:
      return {"no answer", "NoAnswer"};
  }
  return {"?", "Unknown"};
}

bool Contains(const std::vector<Row>& rows, const Row& row) {
  return std::find(rows.begin(), rows.end(), row) != rows.end();
}

}  // namespace

const char* FaultName(PhoneFault fault) {
  return NamesOf(fault).first;
}

const char* FaultIdentifier(PhoneFault fault) {
  return NamesOf(fault).second;
}

bool PortStaysOpen(PhoneFault fault) {
  return fault == PhoneFault::kError || fault == PhoneFault::kCmsError;
}

json FaultPhone() {
  return {{"messages",
           {{{"index", 1},
             {"status", "REC READ"},
             {"sender", "+79161234567"},
             {"date", "24/05/01,12:00:00+12"},
             {"text", "первое"}},
            {{"index", 2},
             {"status", "REC UNREAD"},
             {"sender", "+79160000000"},
             {"date", "24/05/02,13:00:00+12"},
             {"text", "второе"}}}},
          {"phonebook_range", "1-60,40,24"},
          {"phonebook",
           {{{"index", 1}, {"number", "+79161234567"}, {"name", "Иван"}},
            {{"index", 55}, {"number", "+79160000000"}, {"name", "Пётр"}}}}};
}

json WithFault(json phone, PhoneFault fault, int number) {
  switch (fault) {
    case PhoneFault::kHangUp:
      phone["hang_up_after"] = number;
      phone["after_hang_up"] = "replug";
      break;
    case PhoneFault::kError:
      phone["faults"] = {{{"number", number}, {"action", "error"}}};
      break;
    case PhoneFault::kCmsError:
      phone["faults"] = {{{"number", number}, {"action", "cms_error"}, {"code", 321}}};
      break;
    case PhoneFault::kSilent:
      phone["faults"] = {{{"number", number}, {"action", "silent"}}};
      break;
  }
  return phone;
}

std::vector<Row> OldArchive() {
  return {
      {"old", {"+70001112233", "01/01/2020,00:00:00", "3", "7", W("Входящие")}, kImageIncoming}};
}

std::vector<Row> OldPhonebook() {
  return {{W("Старый"), {"+70009998877"}, kImageContact}};
}

void WriteOldDataFiles(const DataFiles& files) {
  std::filesystem::create_directories(files.folder);
  if (!WriteListFile(OldArchive(), files.archive).ok() ||
      !WriteListFile(OldPhonebook(), files.phonebook).ok()) {
    throw std::runtime_error("cannot write the old data files");
  }
}

DataFilesAfter CheckDataFiles(const DataFiles& files, const std::vector<Row>& whole_messages,
                              const std::vector<Row>& whole_contacts) {
  DataFilesAfter after;
  const Result<std::vector<Row>> archive = ReadListFile(files.archive);
  if (!archive.ok()) {
    after.problems.push_back("the archive does not open: " + archive.message());
  } else {
    after.archive = archive.value();
    const std::vector<Row> old = OldArchive();
    std::vector<Row> whole;
    for (const Row& row : whole_messages)
      whole.push_back(WithBareSender(row));
    std::vector<Row> seen;
    for (std::size_t i = 0; i < after.archive.size(); ++i) {
      const Row row = WithBareSender(after.archive[i]);
      if (i < old.size()) {
        if (row != old[i]) after.problems.push_back("an old archive row changed: " + row.caption);
      } else if (!Contains(whole, row)) {
        after.problems.push_back("an archive row that is no whole message: " + row.caption);
      } else if (Contains(seen, row)) {
        after.problems.push_back("a message archived twice: " + row.caption);
      } else {
        seen.push_back(row);
      }
    }
    if (after.archive.size() < old.size()) after.problems.push_back("old archive rows are gone");
    after.new_messages = seen.size();
  }

  const Result<std::vector<Row>> phonebook = ReadListFile(files.phonebook);
  if (!phonebook.ok()) {
    after.problems.push_back("the phonebook does not open: " + phonebook.message());
  } else if (phonebook.value() == OldPhonebook()) {
    after.phonebook = "old";
  } else {
    for (const Row& row : phonebook.value()) {
      if (!Contains(whole_contacts, row)) after.problems.push_back("a contact not on the phone");
    }
    after.phonebook = std::to_string(phonebook.value().size()) + " new";
  }
  return after;
}

json StrayOkBeforeTheListing() {
  return {{"messages",
           {{{"index", 1},
             {"status", "REC UNREAD"},
             {"sender", "+79161234567"},
             {"date", "2024/05/01,12:00:00"},
             {"text", "Ok"}}}},
          {"replies",
           {{{"command", "at+cmgl*"},
             {"reply",
              "\r\nOK\r\nat+cmgl=\"ALL\"\r\r\n+CMGL: 1, \"REC UNREAD\", \"+79161234567\", "
              "\"2024/05/01,12:00:00\"\r\n004F006B\r\n\r\nOK\r\n"}}}}};
}

json UndecodableBesideAMessage() {
  json phone = {{"profile", "standard"},
                {"maker", "Generic"},
                {"model", "Feature phone"},
                {"standard", {{"modes", "pdu"}, {"storages", {"SM"}}}},
                {"messages", {StandardMessage("SM", 2, "REC READ", "+27748577604", "Hello")}}};
  phone["replies"] = {
      {{"command", "AT+CMGL=4"},
       {"reply",
        "\r\n+CMGL: 1,1,,12\r\n0791724801NOTAPDU\r\n+CMGL: 2,0,,35\r\n"
        "07917248014000F3240B917247587706F400003110824115248012C8329BFD06C9C373B8B82C97E741F034"
        "\r\n\r\nOK\r\n"}}};
  return phone;
}

json TextModuleWithoutUcs2(const std::vector<std::string>& texts, bool blank_before_final) {
  json messages = json::array();
  for (std::size_t i = 0; i < texts.size(); ++i) {
    messages.push_back(StandardMessage("SM", static_cast<int>(i) + 1, "REC READ", "+31625044454",
                                       texts[i],
                                       Tag("24/05/0", static_cast<long>(i) + 1) + ",09:00:00+12"));
  }
  return {{"profile", "standard"},
          {"maker", "SIMCOM_Ltd"},
          {"model", "SIMCOM_SIM800"},
          {"standard",
           {{"modes", "text"},
            {"storages", {"SM"}},
            {"ucs2", false},
            {"blank_before_final", blank_before_final}}},
          {"messages", messages}};
}

std::vector<std::string> DeletedOnPhone(const PhoneSim& phone) {
  std::vector<std::string> indexes;
  for (const std::string& command : phone.Commands()) {
    if (command.starts_with("AT+CMGD=")) indexes.push_back(command.substr(8));
  }
  return indexes;
}

bool HoldsIndex(const std::vector<Row>& archive, const std::string& index) {
  return std::any_of(archive.begin(), archive.end(),
                     [&](const Row& row) { return SubItem(row, kIndex) == index; });
}

}  // namespace missivo::test
