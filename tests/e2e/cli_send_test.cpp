// missivo-cli send end to end: the real program on phonesim over a real
// pseudo-terminal, the archive on disk afterwards.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <nlohmann/json.hpp>

#include "cli_runner.h"
#include "phone/delivery_reports.h"
#include "store/data_files.h"
#include "store/list_file.h"
#include "store/message_fields.h"
#include "support/phone_fixture.h"
#include "support/test_support.h"

namespace missivo {
namespace {

using nlohmann::json;
using test::W;

const std::string kThreeParts = [] {
  std::string text;
  for (int k = 0; k < 15; ++k)
    text += "Long message, part by part. ";
  return text;
}();

class CliSendTest : public ::testing::Test {
 protected:
  CliSendTest() {
    std::filesystem::create_directories(files.folder);
    EXPECT_TRUE(
        WriteListFile({{W("Иван"), {"+79161234567"}, kImageContact}}, files.phonebook).ok());
  }

  test::CliRun Send(const test::PhoneSim& phone, std::vector<std::string> args) {
    args.insert(args.begin(), {"--folder", program.string(), "send", "--device", phone.Device(),
                               "--timeout", "2"});
    return test::RunCli(args, home.path());
  }

  std::vector<Row> Archive() const {
    if (!std::filesystem::exists(files.archive)) return {};
    Result<std::vector<Row>> rows = ReadListFile(files.archive);
    EXPECT_TRUE(rows.ok()) << rows.message();
    return rows.ok() ? std::move(rows).value() : std::vector<Row>{};
  }

  test::TempFolder home;
  std::filesystem::path program = home / "program";
  DataFiles files{program};
};

TEST_F(CliSendTest, SentToAContactAndArchived) {
  test::PhoneSim phone(R"({"profile": "standard", "first_reference": 20})");
  const test::CliRun run =
      Send(phone, {"--to", "иван", "--kind", "standard", "--text", kThreeParts});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.out, "sent in 3 parts, references 20, 21, 22\n");
  const auto commands = phone.Commands();
  EXPECT_EQ(std::count_if(commands.begin(), commands.end(),
                          [](const std::string& c) { return c.starts_with("AT+CMGS=153"); }),
            2);
  EXPECT_EQ(std::count_if(commands.begin(), commands.end(),
                          [](const std::string& c) { return c.ends_with("^Z"); }),
            3);
  const std::vector<Row> archive = Archive();
  ASSERT_EQ(archive.size(), 1u);
  EXPECT_EQ(SubItem(archive[0], kFrom), W("Иван (+79161234567)"));
  EXPECT_EQ(archive[0].image, kImageOutgoing);
  const auto fields = ReadMessageFields(archive[0]);
  ASSERT_TRUE(fields.has_value());
  EXPECT_EQ(fields->kind, RowKind::kOutgoing);
  EXPECT_EQ(fields->number, "+79161234567");
  EXPECT_EQ(BestText(archive[0]), kThreeParts);
  EXPECT_FALSE(fields->time.empty());

  // The family, the text from a file (its last line end not sent), no archive.
  test::PhoneSim family(R"({"first_reference": 7})");
  const std::filesystem::path file = home / "text.txt";
  test::WriteBytes(file, "Привет!\n");
  const test::CliRun second = Send(family, {"--to", "+7 916 000-00-00", "--kind", "family",
                                            "--text-file", file.string(), "--no-archive"});
  ASSERT_EQ(second.status, 0) << second.err;
  EXPECT_EQ(second.out, "sent, reference 7\n");
  EXPECT_EQ(family.Commands().back(), "041F044004380432043504420021^Z");
  EXPECT_EQ(Archive().size(), 1u);

  // Asked for, the reports come with the next read, which marks the row delivered.
  test::PhoneSim reporting(R"({"profile": "standard"})");
  ASSERT_EQ(Send(reporting,
                 {"--to", "+79160000000", "--kind", "standard", "--report", "--text", "report it"})
                .status,
            0);
  const test::CliRun read = test::RunCli(
      {"--folder", program.string(), "read", "--device", reporting.Device(), "--kind", "standard"},
      home.path());
  ASSERT_EQ(read.status, 0) << read.err;
  const std::vector<Row> after = Archive();
  const auto delivered = std::find_if(after.begin(), after.end(), [](const Row& row) {
    return BestText(row) == "report it" && BestKind(row) == RowKind::kOutgoing &&
           DeliveredTime(row).has_value();
  });
  EXPECT_NE(delivered, after.end());
}

// A message sent is archived at once with its send time; the next read of a
// device that keeps what it sends completes that row with the copy's place
// instead of adding a second one, and deletes the copy as archived.
TEST_F(CliSendTest, TheNextReadKnowsTheMessageSent) {
  test::PhoneSim phone(R"({"profile": "standard"})");
  ASSERT_EQ(
      Send(phone, {"--to", "+79161234567", "--kind", "standard", "--text", kThreeParts}).status, 0);
  const std::string sent_time = ReadMessageFields(Archive().at(0))->time;
  const test::CliRun read = test::RunCli({"--folder", program.string(), "read", "--device",
                                          phone.Device(), "--kind", "standard", "--delete"},
                                         home.path());
  ASSERT_EQ(read.status, 0) << read.err;
  EXPECT_EQ(read.out, "read 1 message, 0 new in the archive (1 row), 3 deleted on the phone\n");
  const std::vector<Row> archive = Archive();
  ASSERT_EQ(archive.size(), 1u);
  const auto fields = ReadMessageFields(archive[0]);
  ASSERT_TRUE(fields.has_value());
  EXPECT_EQ(fields->time, sent_time);
  EXPECT_EQ(fields->storage, "SM");
  EXPECT_EQ(fields->parts, (std::vector<std::string>{"1", "2", "3"}));
  EXPECT_EQ(SubItem(archive[0], kIndex), "1");
}

TEST_F(CliSendTest, FailuresSayWhatWentAndArchiveNothing) {
  // Where the first send command stands once the device was identified.
  std::size_t first = 0;
  {
    test::PhoneSim probe(R"({"profile": "standard"})");
    ASSERT_EQ(Send(probe, {"--to", "+79161234567", "--no-archive", "--text", "x"}).status, 0);
    const auto commands = probe.Commands();
    first = static_cast<std::size_t>(std::find(commands.begin(), commands.end(), "AT+CMGF=0") -
                                     commands.begin() + 1);
  }
  const int pdu1 = static_cast<int>(first) + 2;
  const int pdu2 = pdu1 + 2;
  const struct {
    const char* name;
    json scenario;
    std::vector<std::string> args;
    int status;
    const char* err;
    bool phone_asked;
  } cases[] = {
      {"the network refuses",
       {{"profile", "standard"},
        {"faults", {{{"number", pdu1}, {"action", "cms_error"}, {"code", 38}}}}},
       {"--to", "+79161234567", "--text", "hi"},
       1,
       "not sent: the phone answered +CMS ERROR: 38 (network out of order)",
       true},
      {"hang-up while the second of three parts is answered",
       {{"profile", "standard"}, {"hang_up_after", pdu2}},
       {"--to", "+79161234567", "--text", kThreeParts},
       1,
       "part 1 of 3 confirmed (reference 1); part 2 may or may not have gone; part 3 not sent: "
       "the line failed",
       true},
      {"hang-up before the prompt of the second part",
       {{"profile", "standard"}, {"hang_up_after", pdu2 - 1}},
       {"--to", "+79161234567", "--text", kThreeParts},
       1,
       "part 1 of 3 confirmed (reference 1); parts 2-3 not sent: the line failed",
       true},
      {"silence after the first of three parts",
       {{"profile", "standard"}, {"faults", {{{"number", pdu1}, {"action", "silent"}}}}},
       {"--to", "+79161234567", "--text", kThreeParts},
       1,
       "part 1 of 3 may or may not have gone; parts 2-3 not sent: the line failed",
       true},
      {"a reference, then ERROR",
       {{"profile", "standard"},
        {"faults",
         {{{"number", pdu1}, {"action", "reply"}, {"reply", "\r\n+CMGS: 1\r\n\r\nERROR\r\n"}}}}},
       {"--to", "+79161234567", "--text", "hi"},
       1,
       "part 1 may or may not have gone: the phone gave the reference 1, then answered ERROR",
       true},
      {"no such contact",
       {{"profile", "standard"}},
       {"--to", "Пётр", "--text", "hi"},
       64,
       "--to: not a number, and no contact",
       false},
      {"both texts",
       {{"profile", "standard"}},
       {"--to", "1", "--text", "a", "--text-file", "b"},
       64,
       "not both",
       false},
      {"empty text (standard input empty)",
       {{"profile", "standard"}},
       {"--to", "1"},
       64,
       "the text is empty",
       false},
      {"no recipient", {{"profile", "standard"}}, {"--text", "a"}, 64, "--to", false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    test::PhoneSim phone(c.scenario.dump());
    std::vector<std::string> args = c.args;
    args.insert(args.end(), {"--kind", "standard"});
    const test::CliRun run = Send(phone, args);
    EXPECT_EQ(run.status, c.status);
    EXPECT_NE(run.err.find(c.err), std::string::npos) << run.err;
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(!phone.Commands().empty(), c.phone_asked);
    EXPECT_TRUE(Archive().empty());
  }
}

}  // namespace
}  // namespace missivo
