// missivo-cli read --delete end to end, on the simulated phones over real
// pseudo-terminals: a message leaves the phone only when the saved archive
// holds that very message, and the result line and the exit status say what
// was read and saved.
#include <gtest/gtest.h>

#include <filesystem>
#include <nlohmann/json.hpp>
#include <set>
#include <string>
#include <vector>

#include "archive_check.h"
#include "cli_runner.h"
#include "store/data_files.h"
#include "support/phone_fixture.h"
#include "support/phone_scenario.h"
#include "support/private_mounts.h"
#include "support/read_faults.h"
#include "support/standard_phones.h"

namespace missivo {
namespace {

using nlohmann::json;
using test::ArchiveTexts;
using test::SimMessage;
using test::StandardMessage;

class CliReadTest : public ::testing::Test {
 protected:
  CliReadTest() { std::filesystem::create_directories(program); }

  test::CliRun Read(const test::PhoneSim& phone, std::vector<std::string> args = {}) const {
    args.insert(args.begin(), {"--folder", program.string(), "read", "--device", phone.Device(),
                               "--delete", "--timeout", "5"});
    return test::RunCli(args, home.path());
  }

  test::TempFolder home;
  std::filesystem::path program = home / "program";
  DataFiles files{program};
};

// A phone reuses a freed slot: the same text from the same sender in the same
// slot a month later, or on three days, is a new message each time.
TEST_F(CliReadTest, AReusedSlotLosesNoMessage) {
  const struct {
    const char* name;
    std::vector<json> phones;
    std::string text;
  } cases[] = {
      {"family phone: \"Ok\" in slot 1 a month later",
       {json{{"messages",
              {SimMessage(1, "REC UNREAD", "+79161234567", "Ok", "2024/05/01,12:00:00")}}},
        json{{"messages",
              {SimMessage(1, "REC UNREAD", "+79161234567", "Ok", "2024/06/01,12:00:00")}}}},
       "Ok"},
      {"USB stick: \"Перезвони\" in SM 0 on three days",
       {json{{"profile", "standard"},
             {"messages",
              {StandardMessage("SM", 0, "REC UNREAD", "+79161234567", "Перезвони",
                               "24/05/01,09:00:00+12")}}},
        json{{"profile", "standard"},
             {"messages",
              {StandardMessage("SM", 0, "REC UNREAD", "+79161234567", "Перезвони",
                               "24/05/08,09:00:00+12")}}},
        json{{"profile", "standard"},
             {"messages",
              {StandardMessage("SM", 0, "REC UNREAD", "+79161234567", "Перезвони",
                               "24/06/01,18:30:00+12")}}}},
       "Перезвони"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    std::filesystem::remove_all(files.folder);
    for (std::size_t k = 0; k < c.phones.size(); ++k) {
      test::PhoneSim phone(c.phones[k].dump());
      const test::CliRun run = Read(phone);
      ASSERT_EQ(run.status, 0) << run.err;
      EXPECT_EQ(run.out, "read 1 message, 1 new in the archive (" + std::to_string(k + 1) +
                             (k == 0 ? " row" : " rows") + "), 1 deleted on the phone\n");
    }
    const std::vector<std::string> texts(c.phones.size(), c.text);
    EXPECT_EQ(ArchiveTexts(files), std::multiset<std::string>(texts.begin(), texts.end()));
  }
}

// A module in text mode without UCS2: texts that are a line "OK" or begin with
// "ERROR" are read whole, archived and only then deleted.
TEST_F(CliReadTest, TextsThatReadLikeResultsAreArchivedWhole) {
  test::PhoneSim phone(
      test::TextModuleWithoutUcs2(
          {"OK", "Are you coming?\nOK", "ERROR 404 at the gate", "ERROR", "See you\nOK\nBye"},
          /*blank_before_final=*/false)
          .dump());
  const test::CliRun run = Read(phone);
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.out, "read 5 messages, 5 new in the archive (5 rows), 5 deleted on the phone\n");
  // The captions run the lines of a text together.
  EXPECT_EQ(ArchiveTexts(files),
            (std::multiset<std::string>{"OK", "Are you coming?OK", "ERROR 404 at the gate", "ERROR",
                                        "See youOKBye"}));
}

// A phone that will not list its messages is no empty phone: the read fails
// (and says why); a message that cannot be decoded is named and stays.
TEST_F(CliReadTest, WhatCouldNotBeReadIsSaid) {
  const json family = {
      {"messages", {SimMessage(1, "REC UNREAD", "+79161234567", "Ok", "2024/05/01,12:00:00")}}};
  json busy = family;
  busy["faults"] = {{{"command", "at+cmgl*"}, {"action", "cms_error"}, {"code", 314}}};
  json refused = family;
  refused["faults"] = {{{"command", "at+cmgl*"}, {"action", "error"}}};
  const json stray_ok = test::StrayOkBeforeTheListing();
  const json undecodable = test::UndecodableBesideAMessage();
  const struct {
    const char* name;
    json phone;
    int status;
    std::string out;
    std::string err;  // a part of standard error
  } cases[] = {
      {"the SIM is busy", busy, 1,
       "read 0 messages, 0 new in the archive (0 rows), 0 deleted on the phone\n",
       "the phone refused to list its messages: +CMS ERROR: 314 (SIM busy)"},
      {"ERROR to the listing", refused, 1,
       "read 0 messages, 0 new in the archive (0 rows), 0 deleted on the phone\n",
       "the phone refused to list its messages: ERROR"},
      {"a stray OK before the listing", stray_ok, 0,
       "read 1 message, 1 new in the archive (1 row), 1 deleted on the phone\n", ""},
      {"a PDU that cannot be decoded", undecodable, 0,
       "read 1 message, 1 new in the archive (1 row), 1 deleted on the phone, 1 message could not "
       "be read and stays on the phone\n",
       ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    std::filesystem::remove_all(files.folder);
    test::PhoneSim phone(c.phone.dump());
    const test::CliRun run = Read(phone);
    EXPECT_EQ(run.status, c.status) << run.err;
    EXPECT_EQ(run.out, c.out);
    EXPECT_NE(run.err.find(c.err), std::string::npos) << run.err;
  }
}

// A save that fails (a full disk): the result line says that nothing new is in
// the archive, the read fails, and nothing is deleted on the phone.
TEST_F(CliReadTest, AFailedSaveIsNotReportedAsArchived) {
  if (const auto why = test::EnterPrivateMounts()) GTEST_SKIP() << "no private mounts: " << *why;
  const test::ScopedMount data = test::MountTmpfs(files.folder, 64 * 1024);
  (void)test::FillUp(files.folder, "filler");
  test::PhoneSim phone(json{{"messages", test::UniqueMessages("F", 2)}}.dump());
  const test::CliRun run = Read(phone);
  EXPECT_EQ(run.status, 1) << run.err;
  EXPECT_EQ(run.out, "read 2 messages, none saved in the archive, 0 deleted on the phone\n");
  EXPECT_NE(run.err.find("could not be saved"), std::string::npos) << run.err;
  EXPECT_TRUE(test::DeletedIndexes(phone.Commands()).empty());
}

}  // namespace
}  // namespace missivo
