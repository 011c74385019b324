// The simulated phone's answers, as the program's exchange receives them.
#include <gtest/gtest.h>

#include "support/phone_link.h"

namespace missivo {
namespace {

using test::PhoneLink;

TEST(PhonesimTest, AnswersFromItsScenario) {
  const struct {
    const char* name;
    const char* scenario;
    std::vector<std::pair<std::string, std::string>> exchanges;  // command, reply
  } cases[] = {
      {"+M family, bare separator, a text over two lines splitting a surrogate pair",
       R"({"family": "+M", "separator": ",", "echo": false, "split_length": 3,
           "messages": [{"index": 7, "status": "REC UNREAD", "sender": "+1555",
                         "date": "2024/05/01,12:00:00", "text": "Hi😀"}]})",
       {{"at+cmgl=\"ALL\"\r\n",
         "\r\n+MMGL: 7,\"REC UNREAD\",\"+1555\",\"2024/05/01,12:00:00\"\r\n00480069D83D\r\n"
         "DE00\r\n\r\nOK\r"},
        {"AT+CMGR=7\r\n",
         "\r\n+MMGR: \"REC UNREAD\",\"+1555\",\"2024/05/01,12:00:00\"\r\n00480069D83D\r\n"
         "DE00\r\n\r\nOK\r"},
        {"AT+CMGL=\"REC READ\"",
         "\r\n+MMGL: 7,\"REC READ\",\"+1555\",\"2024/05/01,12:00:00\"\r\n"
         "00480069D83D\r\nDE00\r\n\r\nOK\r"}}},
      {"a draft without time stamp, deleted for good",
       R"({"messages": [{"index": 2, "status": "STO UNSENT", "sender": "+7916", "text": "Ё"}]})",
       {{"AT+CMGR=2", "AT+CMGR=2\r\r\n+CMGR: \"STO UNSENT\", \"+7916\"\r\n0401\r\n\r\nOK\r"},
        {"AT+CMGD=2", "AT+CMGD=2\r\r\nOK\r"},
        {"AT+CMGR=2", "AT+CMGR=2\r\r\n+CMS ERROR: 321\r"},
        {"AT+CMGL", "AT+CMGL\r\r\nOK\r"}}},
      {"echo switched off and on",
       "{}",
       {{"ATE0", "ATE0\r\r\nOK\r"},
        {"AT", "\r\nOK\r"},
        {"ATE1", "\r\nOK\r"},
        {"AT", "AT\r\r\nOK\r"}}},
      {"phonebook range and entries",
       R"({"echo": false, "phonebook_range": "(1-1000),40,24",
           "phonebook": [{"index": 1, "number": "+79161234567", "name": "Иван"},
                         {"index": 2, "number": "9161234567", "name": "Ivan"},
                         {"index": 3, "number": "112", "name": "A"}]})",
       {{"AT+MPBR=?\r\n", "\r\n+MPBR: (1-1000),40,24\r\n\r\nOK\r"},
        {"AT+MPBR=2,50\r\n",
         "\r\n+MPBR: 2,\"9161234567\",129,004900760061006E,8,0,255,0,1,1,255,255,0,,0,0,,,,,,,,"
         "\"\",\"\"\r\n+MPBR: 3,\"112\",129,0041,8,0,255,0,1,1,255,255,0,,0,0,,,,,,,,\"\",\"\"\r\n"
         "\r\nOK\r"},
        {"AT+MPBR=1",
         "\r\n+MPBR: 1,\"+79161234567\",145,041804320430043D,8,0,255,0,1,1,255,255,"
         "0,,0,0,,,,,,,,\"\",\"\"\r\n\r\nOK\r"},
        {"AT+MPBR=4,9", "\r\nOK\r"}}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    PhoneLink link(c.scenario);
    for (const auto& [command, reply] : c.exchanges)
      EXPECT_EQ(link.Exchange(command), reply);
  }
}

TEST(PhonesimTest, ComesBackOnANewDeviceAfterAHangUpWhenAskedTo) {
  PhoneLink link(R"({"hang_up_after": 1, "after_hang_up": "replug"})");
  EXPECT_THROW(link.Exchange("AT+CMGF=1"), EComError);
  EXPECT_FALSE(link.port.Active());
  // The new device may get the old number back, once the port has let it go.
  link.port.SetDeviceName(link.phone.WaitForNextDevice(std::chrono::seconds(5)));
  link.port.Open();
  EXPECT_EQ(link.Exchange("AT"), "AT\r\r\nOK\r");
  EXPECT_EQ(link.phone.Commands(), (std::vector<std::string>{"AT+CMGF=1", "AT"}));
}

// A long message takes a location per part: a scenario whose next message
// lands on its second part's location is refused, not listed twice under one index.
TEST(PhonesimTest, RefusesTwoMessagesAtOneLocation) {
  const std::string long_text(200, 'a');  // two parts
  const auto stick = [&](int next_index) {
    return std::string(R"({"profile": "standard", "messages": [)") +
           R"({"storage": "SM", "index": 1, "sender": "+7916", "text": ")" + long_text + R"("},)" +
           R"({"storage": "SM", "index": )" + std::to_string(next_index) +
           R"(, "sender": "+7916", "text": "short"}]})";
  };
  EXPECT_THROW(test::PhoneSim{stick(2)}, std::runtime_error);
  PhoneLink link(stick(3));
  EXPECT_EQ(link.Exchange("AT+CPMS=\"SM\""),
            "AT+CPMS=\"SM\"\r\r\n+CPMS: 3,50,3,50,3,50\r\n\r\nOK\r");
}

}  // namespace
}  // namespace missivo
