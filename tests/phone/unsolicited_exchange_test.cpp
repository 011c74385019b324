// Replies of standard devices through the exchange: unsolicited result codes
// before, inside and between the lines of a reply, a modem's own error word,
// extended errors and an echo that changes mid-session. The replies are
// captured ones (tests/data/standard-replies) served by phonesim.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "phone/at_exchange.h"
#include "phone/unsolicited.h"
#include "phone_test_data.h"
#include "support/phone_link.h"

namespace missivo {
namespace {

using test::PhoneLink;
using test::StandardReplyFixture;

// The captured reply cut after the CR of its final line, as the exchange ends it.
std::string UpToFinalCr(const std::string& reply) {
  return reply.substr(0, reply.rfind('\r') + 1);
}

TEST(UnsolicitedExchangeTest, CodesAreShownInTheTerminalAndLeftOutOfTheReply) {
  const struct {
    const char* name;
    const char* command;
    std::string served;  // what the device sends
    std::string reply;   // what the caller gets
    bool error;
  } cases[] = {
      {"+CMTI before the echo (captured)", "AT+CPMS=\"SM\",\"SM\"",
       StandardReplyFixture("unsolicited-cmti-before-cpms-echo.txt"),
       "AT+CPMS=\"SM\",\"SM\"\r\r\n+CPMS: 1,20,1,20,1,20\r\n\r\nOK\r", false},
      {"^BOOT between the command and its OK (captured)", "AT^SYSCFG=2,2,3FFFFFFF,2,4",
       StandardReplyFixture("unsolicited-boot-amid-reply.txt"), "\r\n\r\nOK\r", false},
      {"RING and ^RSSI between information lines", "AT+CPMS?",
       "\r\n+CPMS: \"SM\",1,20,\r\nRING\r\n\"ME\",0,50\r\n^RSSI:17\r\n\r\nOK\r\n",
       "\r\n+CPMS: \"SM\",1,20,\r\n\"ME\",0,50\r\n\r\nOK\r", false},
      {"+CMT carries a PDU line that goes with it", "AT+CMGL=4",
       "\r\n+CMT: ,24\r\n07917248014000F506B70AA180920200003170715185908031\r\n+CMGL: 1,1,,5\r\n"
       "0011\r\n\r\nOK\r\n",
       "\r\n+CMGL: 1,1,,5\r\n0011\r\n\r\nOK\r", false},
      {"+CREG is the answer to AT+CREG?", "AT+CREG?", "\r\n+CREG: 0,1\r\n\r\nOK\r\n",
       "\r\n+CREG: 0,1\r\n\r\nOK\r", false},
      {"+CREG after another command is unsolicited", "AT+CGMI",
       "\r\n+CREG: 1,\"00C3\",\"0001\"\r\nhuawei\r\n\r\nOK\r\n", "\r\nhuawei\r\n\r\nOK\r", false},
      {"COMMAND NOT SUPPORT ends the reply as a failure (captured)", "AT+WIND?",
       StandardReplyFixture("command-not-support.txt"), "COMMAND NOT SUPPORT\r", true},
      {"+CME ERROR for an empty phonebook slot (captured)", "AT+CPBR=1",
       StandardReplyFixture("cpbr-empty-slot-cme-error.txt"), "AT+CPBR=1\r\r\n+CME ERROR: 22\r",
       true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    nlohmann::json scenario = {{"replies", {{{"command", c.command}, {"reply", c.served}}}}};
    PhoneLink link(scenario.dump());
    EXPECT_EQ(link.Exchange(c.command), c.reply);
    EXPECT_EQ(IsErrorReply(c.reply), c.error);
    // The terminal shows every byte up to the end of the reply, codes included.
    EXPECT_EQ(link.terminal.lines.at(0), UpToFinalCr(c.served));
    EXPECT_EQ(link.ui.messages.size(), c.error ? 1u : 0u);
    // The next command is answered as usual.
    EXPECT_TRUE(link.Exchange("AT").ends_with("OK\r"));
  }
}

TEST(UnsolicitedExchangeTest, QuietExchangeShowsNoErrorBox) {
  PhoneLink link(R"({"echo": false})");
  std::string reply;
  link.exchange.ExchangeQuietly("AT+CGMI", reply);
  EXPECT_EQ(reply, "\r\nERROR\r");
  EXPECT_TRUE(link.ui.messages.empty());
  EXPECT_EQ(link.terminal.lines, (std::vector<std::string>{"\r\nERROR\r", ""}));
  link.exchange.ExchangeCommand("AT+CGMI", reply);
  EXPECT_EQ(link.ui.messages.size(), 1u);
}

TEST(UnsolicitedExchangeTest, EchoSwitchedOffAndOnMidSession) {
  PhoneLink link("{}");
  EXPECT_EQ(link.Exchange("ATE0"), "ATE0\r\r\nOK\r");
  EXPECT_EQ(link.Exchange("AT+CMGF=0"), "\r\nOK\r");
  EXPECT_EQ(link.Exchange("ATE1"), "\r\nOK\r");
  EXPECT_EQ(link.Exchange("AT+CMGF=0"), "AT+CMGF=0\r\r\nOK\r");
}

TEST(UnsolicitedLineTest, WhichLinesAreUnsolicited) {
  const struct {
    const char* line;
    const char* command;
    bool unsolicited;
  } cases[] = {
      {"+CMTI: \"SM\",3", "AT+CMGL=4", true},
      {"+CDSI: \"SR\",1", "AT", true},
      {"RING", "AT+CPBR=1,50", true},
      {"^RSSI:17", "AT+CMGR=1", true},
      {"^RSSI:17", "AT^RSSI?", false},
      {"+CMTI: \"SM\",3", "at+cmti?", false},
      {"+CMT: ,24", "AT+CMGL=4", true},
      {"+CMT: ,24", "AT+CMTI", true},  // the command names another code
      {"+CMGL: 1,1,,24", "AT+CMGL=4", false},
      {"RINGING", "AT", false},
      {"OK", "AT", false},
  };
  for (const auto& c : cases)
    EXPECT_EQ(IsUnsolicitedLine(c.line, c.command), c.unsolicited) << c.line << " / " << c.command;
}

}  // namespace
}  // namespace missivo
