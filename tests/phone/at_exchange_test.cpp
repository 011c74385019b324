#include "phone/at_exchange.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <nlohmann/json.hpp>

#include "support/phone_link.h"

namespace missivo {
namespace {

using test::PhoneLink;
using test::W;

TEST(AtExchangeTest, RepliesEndAfterTheirFinalResultLine) {
  const struct {
    const char* name;
    const char* scenario;
    const char* command;
    std::string reply;
    bool error_box;
  } cases[] = {
      {"echo, then OK", "{}", "AT", "AT\r\r\nOK\r", false},
      {"echo off", R"({"echo": false})", "AT", "\r\nOK\r", false},
      {"a reply of just OK", R"({"replies": [{"command": "AT", "reply": "OK"}]})", "AT", "OK",
       false},
      {"OK and ERROR inside senders",
       R"({"messages": [{"index": 1, "status": "REC READ", "sender": "OK", "text": "a"},
                        {"index": 2, "status": "REC READ", "sender": "ERROR", "text": "b"}]})",
       "at+cmgl=\"ALL\"\r\n",
       "at+cmgl=\"ALL\"\r\r\n+CMGL: 1, \"REC READ\", \"OK\"\r\n0061\r\n"
       "+CMGL: 2, \"REC READ\", \"ERROR\"\r\n0062\r\n\r\nOK\r",
       false},
      {"OK inside the echo", "{}", "AT+CPBS=\"OK\"", "AT+CPBS=\"OK\"\r\r\nOK\r", false},
      {"plain ERROR", "{}", "AT+UNKNOWN", "AT+UNKNOWN\r\r\nERROR\r", true},
      {"extended error",
       R"({"faults": [{"command": "AT+CMGR=*", "action": "cms_error", "code": 321}]})",
       "AT+CMGR=5\r\n", "AT+CMGR=5\r\r\n+CMS ERROR: 321\r", true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    PhoneLink link(c.scenario);
    EXPECT_EQ(link.Exchange(c.command), c.reply);
    EXPECT_EQ(link.terminal.lines, (std::vector<std::string>{c.reply, ""}));
    if (c.error_box) {
      ASSERT_EQ(link.ui.messages.size(), 1u);
      EXPECT_EQ(link.ui.messages[0].text, "AT Command Error:" + c.reply);
      EXPECT_EQ(link.ui.messages[0].kind, MessageKind::kPlain);
    } else {
      EXPECT_TRUE(link.ui.messages.empty());
    }
    EXPECT_TRUE(link.port.Active());
  }
}

TEST(AtExchangeTest, ClosedPortGivesTheNoConnectionLineAndAnEmptyReply) {
  PhoneLink link("{}");
  link.port.Close();
  EXPECT_EQ(link.Exchange("AT"), "");
  EXPECT_EQ(link.Exchange("AT"), "");
  EXPECT_EQ(link.terminal.lines, (std::vector<std::string>{W("Нет связи"), W("Нет связи")}));
  // An empty command does nothing at all.
  EXPECT_EQ(link.Exchange(""), "unchanged");
  EXPECT_EQ(link.terminal.lines.size(), 2u);
}

TEST(AtExchangeTest, SendsTheCommandFollowedByLfCr) {
  PhoneLink link("{}");
  link.Exchange("AT+CMGF=1\r\n");
  link.Exchange("AT+CMGD=3");
  link.Exchange("AT");  // by its answer phonesim has read everything before it
  EXPECT_TRUE(link.phone.Received().starts_with("AT+CMGF=1\r\n\n\rAT+CMGD=3\n\rAT\n"))
      << link.phone.Received();
  EXPECT_EQ(link.phone.Commands(), (std::vector<std::string>{"AT+CMGF=1", "AT+CMGD=3", "AT"}));
}

TEST(AtExchangeTest, TheRestOfThePreviousReplyIsThrownAway) {
  PhoneLink link(R"({"replies": [{"command": "AT+NOISY", "reply": "\r\nOK\r\nstray bytes"}]})");
  EXPECT_EQ(link.Exchange("AT+NOISY"), "\r\nOK\r");
  EXPECT_EQ(link.Exchange("AT"), "AT\r\r\nOK\r");
}

TEST(AtExchangeTest, SilentPhoneEndsWithTheTimeoutError) {
  PhoneLink link(R"({"faults": [{"command": "AT+CMGL*", "action": "silent"}]})");
  link.exchange.SetSilenceLimit(std::chrono::milliseconds(200));
  std::string reply = "unchanged";
  try {
    link.exchange.ExchangeCommand("AT+CMGL=\"ALL\"", reply);
    FAIL() << "no time-out";
  } catch (const EComError& e) {
    EXPECT_EQ(e.ErrorCode(), 0);
    EXPECT_STREQ(e.what(), "Timeout");
  }
  EXPECT_EQ(reply, "");
  EXPECT_TRUE(link.terminal.lines.empty());
  EXPECT_EQ(link.events, (std::vector<std::string>{"open", "error 0", "close"}));
}

// A phone that never ends its reply, fast or as a trickle, makes the exchange
// keep at most ReplyLimit() bytes: then the port fails and the handlers close it.
TEST(AtExchangeTest, AReplyPastTheLimitEndsWithAnErrorAndAClosedPort) {
  const struct {
    const char* name;
    const char* scenario;
    std::size_t limit;
  } cases[] = {
      {"a flood at full speed", R"({"faults": [{"command": "AT+CMGL*", "action": "endless"}]})",
       256 * 1024},
      {"a trickle of one line after another",
       R"({"line_speed": 38400, "faults": [{"command": "AT+CMGL*", "action": "endless",
           "stream": "+CMGL: 1,\"REC READ\",\"+7916\"\r\n0041\r\n"}]})",
       2000},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    PhoneLink link(c.scenario);
    EXPECT_EQ(link.exchange.ReplyLimit(), AtExchange::kDefaultReplyLimit);
    link.exchange.SetReplyLimit(c.limit);
    // The reply limit ends the stream; a loaded machine must not make a gap
    // in the trickle count as the phone's silence first.
    link.exchange.SetSilenceLimit(std::chrono::seconds(30));
    std::string reply = "unchanged";
    try {
      link.exchange.ExchangeCommand("AT+CMGL=\"ALL\"", reply);
      FAIL() << "the reply had no end and no limit";
    } catch (const EComError& e) {
      EXPECT_EQ(e.ErrorCode(), 0);
      EXPECT_TRUE(std::string(e.what()).starts_with(kReplyTooLongMessage)) << e.what();
    }
    EXPECT_EQ(reply, "");
    EXPECT_TRUE(link.terminal.lines.empty());
    EXPECT_EQ(link.events, (std::vector<std::string>{"open", "error 0", "close"}));

    // Connected again, the next command stops the stream and is answered.
    link.port.Open();
    EXPECT_TRUE(link.Exchange("AT").ends_with("\r\nOK\r"));
  }
}

// A phone that sends a byte now and then never falls silent for the silence
// limit; the command's overall limit ends its reply with the port's time-out.
TEST(AtExchangeTest, AReplyThatNeverEndsStopsAtTheCommandLimit) {
  PhoneLink trickle(R"({"faults": [{"command": "AT+MPBR=1,100", "action": "trickle",
                         "stream": "+MPBR: 1,", "interval_ms": 40}]})");
  EXPECT_EQ(trickle.exchange.CommandLimit(), AtExchange::kDefaultCommandLimit);
  trickle.exchange.SetSilenceLimit(std::chrono::milliseconds(400));
  trickle.exchange.SetCommandLimit(std::chrono::milliseconds(1200));
  std::string reply = "unchanged";
  try {
    trickle.exchange.ExchangeCommand("AT+MPBR=1,100\r\n", reply);
    FAIL() << "the trickle was taken as a reply";
  } catch (const EComError& e) {
    EXPECT_EQ(e.ErrorCode(), 0);
    EXPECT_STREQ(e.what(), kTimeoutMessage);
  }
  EXPECT_TRUE(trickle.exchange.CommandLimitReached());
  EXPECT_EQ(reply, "");
  EXPECT_EQ(trickle.events, (std::vector<std::string>{"open", "error 0", "close"}));

  // The silence still counts on its own when it comes first.
  PhoneLink silent(R"({"faults": [{"command": "AT+CMGL*", "action": "silent"}]})");
  silent.exchange.SetSilenceLimit(std::chrono::milliseconds(200));
  silent.exchange.SetCommandLimit(std::chrono::seconds(20));
  EXPECT_THROW(silent.Exchange("AT+CMGL"), EComError);
  EXPECT_FALSE(silent.exchange.CommandLimitReached());
}

TEST(AtExchangeTest, AReplyAsLongAsTheLimitIsWhole) {
  const std::string answer = "\r\n" + std::string(100, 'x') + "\r\n\r\nOK\r\n";
  nlohmann::json scenario = {{"replies", {{{"command", "AT+LONG"}, {"reply", answer}}}}};
  PhoneLink link(scenario.dump());
  const std::string whole = answer.substr(0, answer.size() - 1);  // up to the CR after OK
  link.exchange.SetReplyLimit(whole.size());
  EXPECT_EQ(link.Exchange("AT+LONG"), whole);
  link.exchange.SetReplyLimit(whole.size() - 1);
  EXPECT_THROW(link.Exchange("AT+LONG"), EComError);
  EXPECT_FALSE(link.port.Active());
}

TEST(AtExchangeTest, HangUpInTheMiddleOfAReplyClosesThePortThroughLineBreak) {
  nlohmann::json scenario = {{"hang_up_after", 2}, {"messages", nlohmann::json::array()}};
  for (int i = 1; i <= 40; ++i) {
    scenario["messages"].push_back(
        {{"index", i}, {"status", "REC READ"}, {"sender", "+79161234567"}, {"text", "Hello"}});
  }
  PhoneLink link(scenario.dump());
  EXPECT_EQ(link.Exchange("AT"), "AT\r\r\nOK\r");
  std::string reply = "unchanged";
  try {
    link.exchange.ExchangeCommand("at+cmgl=\"ALL\"\r\n", reply);
    FAIL() << "the hang-up went unnoticed";
  } catch (const EComError& e) {
    EXPECT_EQ(e.ErrorCode(), 31);
  }
  EXPECT_EQ(reply, "");
  EXPECT_FALSE(link.port.Active());
  // leBreak is bit 0 of the line errors.
  EXPECT_EQ(link.events, (std::vector<std::string>{"open", "line errors 1", "close", "error 31"}));
  EXPECT_EQ(link.terminal.lines.size(), 2u);
}

// The command a captured reply answers, by its file's name: listings and
// reads as such, so that their framing is what counts.
std::string CommandFor(const std::filesystem::path& file, std::size_t number) {
  const std::string name = file.filename().string();
  const std::string prefix = name.starts_with("cmgl")   ? "AT+CMGL=\"ALL\" "
                             : name.starts_with("cmgr") ? "AT+CMGR="
                                                        : "AT+F";
  return prefix + std::to_string(number);
}

// Each captured reply of a phone or a modem, served as the answer to its kind
// of command, comes back whole: the terminal shows it up to the CR after its
// final result line.
TEST(AtExchangeTest, CapturedRepliesAreCollectedWhole) {
  std::vector<std::string> served;
  std::vector<std::string> commands;
  nlohmann::json scenario = {{"replies", nlohmann::json::array()}};
  for (const char* folder : {"replies", "standard-replies"}) {
    for (const auto& entry :
         std::filesystem::directory_iterator(std::filesystem::path(MISSIVO_TEST_DATA) / folder)) {
      if (entry.path().extension() != ".txt") continue;
      // The phones sent CR LF where a capture kept only LF; a capture cut before
      // its final result line gets one.
      std::string lines;
      for (char c : test::ReadBytes(entry.path())) {
        if (c == '\n' && (lines.empty() || lines.back() != '\r')) lines += '\r';
        lines += c;
      }
      lines.erase(lines.find_last_not_of("\r\n") + 1);
      if (!IsFinalResultLine(lines.substr(lines.find_last_of('\n') + 1))) lines += "\r\n\r\nOK";
      commands.push_back(CommandFor(entry.path(), served.size()));
      scenario["replies"].push_back({{"command", commands.back()}, {"reply", lines + "\r\n"}});
      served.push_back(lines);
    }
  }
  ASSERT_EQ(served.size(), 42u);
  PhoneLink link(scenario.dump());
  for (std::size_t i = 0; i < served.size(); ++i) {
    SCOPED_TRACE(served[i]);
    (void)link.Exchange(commands[i]);
    // The reply ends at the CR after its final line; the LF stays behind.
    ASSERT_EQ(link.terminal.lines.size(), 2 * i + 2);
    EXPECT_EQ(link.terminal.lines[2 * i], served[i] + "\r");
  }
}

// A final result line ends a reply only where it can stand: a line "OK" or
// "ERROR ..." in the text of a message is text, as the real end of the reply
// (after which the device falls quiet) shows. Replies as devices in text mode
// without UCS2 send them: with and without the empty line before the final
// result, the text's own line breaks as lone LF or CR LF.
TEST(AtExchangeTest, AFinalResultEndsAReplyOnlyWhereItCanStand) {
  const std::string header1 =
      "+CMGL: 1,\"REC READ\",\"+31625044454\",,\"07/07/05,09:56:03+08\"\r\n";
  const std::string header2 =
      "+CMGL: 2,\"REC UNREAD\",\"+31625044454\",,\"07/07/05,09:58:12+08\"\r\n";
  const struct {
    const char* name;
    const char* command;
    std::string answer;  // sent at once; the reply is this up to the CR after the last OK
  } cases[] = {
      {"a message that reads OK, and another after it", "AT+CMGL=\"ALL\"",
       "\r\n" + header1 + "OK\r\n" + header2 + "Fine\r\nOK\r\n"},
      {"a text whose second line is OK (lone LF)", "AT+CMGL=\"ALL\"",
       "\r\n" + header1 + "Are you coming?\nOK\r\n" + header2 + "Yes\r\n\r\nOK\r\n"},
      {"a text whose second line is OK (CR LF), last in the listing", "AT+CMGL=\"ALL\"",
       "\r\n" + header1 + "Are you coming?\r\nOK\r\n\r\nOK\r\n"},
      {"texts that begin with ERROR", "AT+CMGL=\"ALL\"",
       "\r\n" + header1 + "ERROR 404 at the gate\r\n" + header2 + "ERROR\r\n+CMS ERROR: 500\r\n" +
           "OK\r\n"},
      {"a read whose text is OK", "AT+CMGR=1",
       "\r\n+CMGR: \"REC READ\",\"+31625044454\",,\"07/07/05,09:56:03+08\"\r\nOK\r\nOK\r\n"},
      {"the family's headers", "AT+MMGR=3",
       "\r\n+MMGR: \"REC READ\", \"+4123456789132\", \"2009/8/18,19:11:45\"\r\nOK\r\n\r\nOK\r\n"},
      {"a stray OK before the listing", "at+cmgl=\"ALL\"\r\n",
       "\r\nOK\r\nat+cmgl=\"ALL\"\r\r\n+CMGL: 1, \"REC READ\", \"+79161234567\"\r\n"
       "041F04400438043204350442\r\n\r\nOK\r\n"},
      {"a status report of text mode has no body", "AT+CMGL=\"ALL\"",
       "\r\n+CMGL: 3,\"REC READ\",6,183,\"+27829200000\",129,\"13/07/17,15:58:09+08\","
       "\"13/07/17,15:58:14+08\",0\r\n\r\nOK\r\n"},
      {"a refused listing", "AT+CMGL=\"ALL\"", "\r\n+CMS ERROR: 314\r\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    nlohmann::json scenario = {
        {"replies",
         {{{"command", std::string(c.command).substr(0, 9) + "*"}, {"reply", c.answer}}}}};
    PhoneLink link(scenario.dump());
    EXPECT_EQ(link.Exchange(c.command), c.answer.substr(0, c.answer.size() - 1));
  }
}

// Codes the device sends on its own after the end of a reply whose end waits
// for the quiet are taken into the reply (and left out of what the caller
// gets); text after them shows that the end was text.
TEST(AtExchangeTest, UnsolicitedCodesDoNotKeepAReplyOpen) {
  const std::string listing =
      "\r\n+CMGL: 1,\"REC READ\",\"+31625044454\",,\"07/07/05,09:56:03+08\"\r\nFine\r\nOK\r\n";
  nlohmann::json scenario = {
      {"replies",
       {{{"command", "AT+CMGL*"}, {"reply", listing + "\r\n+CMTI: \"SM\",3\r\nRING\r\n"}}}}};
  PhoneLink link(scenario.dump());
  EXPECT_EQ(link.Exchange("AT+CMGL=\"ALL\""), listing.substr(0, listing.size() - 1));
  EXPECT_EQ(link.terminal.lines.front(), listing + "\r\n+CMTI: \"SM\",3\r\nRING\r\n");
}

TEST(AtExchangeTest, ErrorReplies) {
  const struct {
    const char* reply;
    bool error;
  } cases[] = {
      {"AT\r\r\nOK\r", false},
      {"OK", false},
      {"AT\r\r\nERROR\r", true},
      {"ERROR", true},
      {"AT+CMGR=5\r\r\n+CMS ERROR: 321\r", true},
      {"AT+CPIN?\r\r\n+CME ERROR: 10\r\n", true},
      {"+CMGL: 1, \"REC READ\", \"ERROR\"\r\n\r\nOK\r", false},
      {"ERRORS\r", false},
      {"", false},
  };
  for (const auto& c : cases)
    EXPECT_EQ(IsErrorReply(c.reply), c.error) << c.reply;
}

}  // namespace
}  // namespace missivo
