#include "support/standard_phones.h"

namespace missivo::test {

using nlohmann::json;

json StandardMessage(const std::string& storage, int index, const std::string& status,
                     const std::string& sender, const std::string& text, const std::string& date) {
  return {{"storage", storage}, {"index", index}, {"status", status},
          {"sender", sender},   {"text", text},   {"date", date}};
}

std::string StickLongText() {
  std::string text;
  for (int i = 1; i <= 25; ++i)
    text += "Part of a long message, line " + std::to_string(i) + ". ";
  return text.substr(0, 200);
}

std::string StickThreeParts() {
  std::string text;  // 170 characters: parts of 67, 67 and 36 in UCS2
  for (int i = 0; i < 5; ++i)
    text += "Длинное сообщение из трёх частей. ";
  return text;
}

json UsbStick() {
  json long_message =
      StandardMessage("SM", 0, "REC READ", "+79161234567", StickLongText(), "24/05/02,08:30:00-20");
  long_message["reference"] = 77;
  long_message["parts"] = {{{"sequence", 2}, {"storage", "SM"}, {"index", 2}},
                           {{"sequence", 1}, {"storage", "ME"}, {"index", 7}}};
  json three = StandardMessage("SM", 0, "REC UNREAD", "+79160000000", StickThreeParts(),
                               "24/05/03,23:59:59+23");
  three["reference"] = 300;
  three["parts"] = {{{"sequence", 1}, {"storage", "SM"}, {"index", 4}},
                    {{"sequence", 3}, {"storage", "SM"}, {"index", 6}}};
  json report = StandardMessage("SM", 3, "REC READ", "+79161234567", "", "24/05/02,08:31:00+12");
  report["kind"] = "status_report";
  report["reference"] = 12;
  return {{"profile", "standard"},
          {"maker", "huawei"},
          {"model", "E3372"},
          {"revision", "21.180.01.00.00"},
          {"echo", true},
          {"standard", {{"storages", {"SM", "ME", "MT"}}}},
          {"messages",
           {StandardMessage("SM", 1, "REC READ", "+79161234567", "Привет из SIM"), long_message,
            report, StandardMessage("ME", 8, "STO SENT", "+79161234567", "Ответ 😀"),
            StandardMessage("ME", 9, "STO UNSENT", "+79160000000", "Черновик"), three}},
          {"phonebook",
           {{{"storage", "SM"}, {"index", 1}, {"number", "+79161234567"}, {"name", "Иван"}},
            {{"storage", "ME"}, {"index", 5}, {"number", "+79160000000"}, {"name", "Пётр"}}}}};
}

json PduOnlyPhone() {
  return {{"profile", "standard"},
          {"maker", "Generic"},
          {"model", "Feature phone"},
          {"echo", false},
          {"standard", {{"modes", "pdu"}, {"storages", {"SM", "ME"}}, {"phonebook_size", 100}}},
          {"messages",
           {StandardMessage("SM", 2, "REC UNREAD", "InternetSMS", "тест", "11/03/29,19:20:04+16"),
            StandardMessage("ME", 1, "REC READ", "+12404492164",
                            "Here's [{with some extended characters}] €", "11/02/28,11:50:50-20")}},
          {"phonebook",
           {{{"storage", "ME"}, {"index", 100}, {"number", "+12404492164"}, {"name", "Bob"}}}}};
}

json TextOnlyModule() {
  return {{"profile", "standard"},
          {"maker", "SIMCOM_Ltd"},
          {"model", "SIMCOM_SIM800"},
          {"revision", "Revision:1418B04SIM800C24"},
          {"standard",
           {{"modes", "text"},
            {"storages", {"SM", "ME", "MT"}},
            {"unquoted_ucs2", false},
            {"ucs2_numbers", true},
            {"empty_slot_error", false},
            {"phonebook_storages", {"SM", "ME", "ON", "FD"}},
            {"phonebook_size", 60},
            {"error_word", "COMMAND NOT SUPPORT"}}},
          {"messages",
           {StandardMessage("SM", 1, "REC READ", "+31625044454", "Test message 2",
                            "07/07/05,09:56:03+08"),
            StandardMessage("ME", 3, "REC UNREAD", "+79161234567", "Ёлка\nи ёж",
                            "24/12/31,23:00:00+12"),
            StandardMessage("ME", 4, "STO SENT", "+79161234567", "Sent text")}},
          {"phonebook",
           {{{"storage", "SM"}, {"index", 55}, {"number", "+31625044454"}, {"name", "Jan"}},
            {{"storage", "ON"}, {"index", 1}, {"number", "+70000000000"}, {"name", "Own"}}}}};
}

}  // namespace missivo::test
