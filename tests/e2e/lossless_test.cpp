// Lossless rows end to end: messages read by missivo-cli from the simulated
// phone over a real pseudo-terminal, saved, loaded again and listed, against
// what the phone held; an archive of an older version next to new rows.
#include <gtest/gtest.h>

#include <filesystem>
#include <nlohmann/json.hpp>

#include "cli_runner.h"
#include "store/data_files.h"
#include "store/list_file.h"
#include "store/message_fields.h"
#include "support/phone_fixture.h"
#include "support/phone_scenario.h"
#include "support/test_support.h"

namespace missivo {
namespace {

using nlohmann::json;
using test::SimMessage;
using test::W;

// Texts longer than this many UTF-16 units come on two hex lines.
constexpr int kSplit = 70;

std::string Repeat(std::string_view piece, int times) {
  std::string out;
  for (int i = 0; i < times; ++i)
    out += piece;
  return out;
}

struct Held {
  const char* name;
  std::string status;
  std::string text;
  std::string date;  // as the phone's header gives it; empty: none
  const char* time;  // the ISO 8601 time expected, or null
  const char* kind;
};

const std::vector<Held>& PhoneMessages() {
  static const std::vector<Held> held = {
      {"Cyrillic with Ё", "REC READ", "Ёлка, ёж и Щука: съешь ещё", "24/05/01,12:00:00+12",
       "2024-05-01T12:00:00+03:00", "incoming"},
      {"Ukrainian", "REC UNREAD", "Ґанок, єнот, їжак, і все", "2024/05/02,08:30:00",
       "2024-05-02T08:30:00", "incoming"},
      {"surrogate pair split over the two hex lines", "REC READ",
       std::string(kSplit - 1, 'a') + "😀b", "24/05/03,09:00:00-20", "2024-05-03T09:00:00-05:00",
       "incoming"},
      {"zero-width joiner sequence", "STO SENT", "Семья: 👨‍👩‍👧‍👦!",
       "24/05/04,10:00:00+00", "2024-05-04T10:00:00+00:00", "outgoing"},
      {"CR LF breaks", "REC READ", "Первая строка\r\nВторая строка\r\n", "24/05/05,11:00:00+12",
       "2024-05-05T11:00:00+03:00", "incoming"},
      {"LF breaks", "STO UNSENT", "one\ntwo\n\nthree", "", nullptr, "draft"},
      {"over 32,768 characters", "REC READ", Repeat("Жизнь ", 5500) + "👋", "24/05/06,12:00:00+12",
       "2024-05-06T12:00:00+03:00", "incoming"},
      {"empty", "STO SENT", "", "", nullptr, "outgoing"},
  };
  return held;
}

json Scenario() {
  json messages = json::array();
  int index = 1;
  for (const Held& m : PhoneMessages())
    messages.push_back(SimMessage(index++, m.status, "+79161234567", m.text, m.date));
  return {{"split_length", kSplit},
          {"messages", messages},
          {"phonebook_range", "1-100,40,24"},
          {"phonebook", {{{"index", 1}, {"number", "9161234567"}, {"name", "Иван"}}}}};
}

class LosslessTest : public ::testing::Test {
 protected:
  LosslessTest() { std::filesystem::create_directories(program); }

  test::CliRun Cli(std::vector<std::string> args) {
    args.insert(args.begin(), {"--folder", program.string()});
    return test::RunCli(args, home.path());
  }

  json ListJson() {
    const test::CliRun listed = Cli({"list", "archive", "--json"});
    EXPECT_EQ(listed.status, 0) << listed.err;
    return json::parse(listed.out);
  }

  test::TempFolder home;
  std::filesystem::path program = home / "program";
  DataFiles files{program};
};

TEST_F(LosslessTest, WhatThePhoneHeldComesBackByteForByte) {
  test::PhoneSim phone(Scenario().dump());
  const test::CliRun read = Cli({"read", "--device", phone.Device(), "--phonebook"});
  ASSERT_EQ(read.status, 0) << read.err;

  const std::vector<Held>& held = PhoneMessages();
  const std::vector<Row> stored = ReadListFile(files.archive).value();
  const json listed = ListJson();
  ASSERT_EQ(stored.size(), held.size());
  ASSERT_EQ(listed.size(), held.size());
  for (std::size_t i = 0; i < held.size(); ++i) {
    SCOPED_TRACE(held[i].name);
    const std::optional<MessageFields> fields = ReadMessageFields(stored[i]);
    ASSERT_TRUE(fields.has_value());
    EXPECT_EQ(fields->text, held[i].text);
    EXPECT_EQ(listed[i]["text"], held[i].text);
    // Name resolution changed the From, not the number the phone gave.
    EXPECT_EQ(listed[i]["from"], "Иван (9161234567)");
    EXPECT_EQ(listed[i]["number"], "+79161234567");
    EXPECT_EQ(listed[i]["contact"], "Иван");
    EXPECT_EQ(listed[i]["time"], held[i].time ? json(held[i].time) : json());
    EXPECT_EQ(listed[i]["kind"], held[i].kind);
    EXPECT_EQ(listed[i]["index"], std::to_string(i + 1));
    EXPECT_EQ(listed[i]["parts"], json::array({std::to_string(i + 1)}));
    // The five sub-items as the description makes them, and only those.
    EXPECT_EQ(listed[i]["sub_items"].size(), 5u);
    EXPECT_EQ(listed[i]["sub_items"][3], std::to_string(i + 1));
  }
  // Sizes in characters of the whole text; the Size sub-item keeps the cut text's.
  EXPECT_EQ(listed[2]["size"], kSplit + 1);
  EXPECT_EQ(listed[6]["size"], 5500 * 6 + 1);
  EXPECT_EQ(listed[6]["sub_items"][2], std::to_string(kSplit + 1024));
  EXPECT_EQ(listed[7]["size"], 0);
  // The caption has no line breaks, and "?" for what Windows-1251 cannot hold.
  EXPECT_EQ(stored[4].caption, W("Первая строкаВторая строка"));
  EXPECT_EQ(listed[3]["caption"],
            "Семья: ???????"
            "!");
  // Drafts and outgoing rows without a stamp carry the read's moment as Date.
  EXPECT_EQ(listed[5]["sub_items"][1].get<std::string>().size(), 19u);

  // Without --json: the whole text, line breaks written as \n.
  const test::CliRun text = Cli({"list", "archive"});
  ASSERT_EQ(text.status, 0) << text.err;
  EXPECT_NE(text.out.find("one\\ntwo\\n\\nthree\tИван (9161234567)\t"), std::string::npos);
  EXPECT_NE(text.out.find("Первая строка\\r\\nВторая строка\\r\\n\t"), std::string::npos);
  EXPECT_EQ(text.out.find("missivo-fields"), std::string::npos);

  // Read again: every message is already archived.
  const test::CliRun again = Cli({"read", "--device", phone.Device()});
  ASSERT_EQ(again.status, 0) << again.err;
  EXPECT_EQ(ReadListFile(files.archive).value().size(), held.size());
}

// An archive of an older version: its rows keep their bytes and show as
// before, with nothing made up, next to new rows with their fields.
TEST_F(LosslessTest, OlderArchiveTakesNewRows) {
  const std::vector<Row> old_rows = {
      {W("Старое"), {W("Иван (9161234567)"), "01/05/2006,12:00:00", "6", "1", W("Входящие")}, 2},
      {"Hi", {"+7000", "02/05/2006,12:00:00", "2", "9", W("Импорт")}, 0}};
  std::filesystem::create_directories(files.folder);
  ASSERT_TRUE(WriteListFile(old_rows, files.archive).ok());

  test::PhoneSim phone(
      json({{"messages", {SimMessage(1, "REC READ", "+79161234567", "Новое\nдве строки")}}})
          .dump());
  const test::CliRun read = Cli({"read", "--device", phone.Device()});
  ASSERT_EQ(read.status, 0) << read.err;
  const std::vector<Row> stored = ReadListFile(files.archive).value();
  ASSERT_EQ(stored.size(), 3u);
  EXPECT_EQ(stored[0], old_rows[0]);
  EXPECT_EQ(stored[1], old_rows[1]);

  const json listed = ListJson();
  EXPECT_EQ(listed[0]["text"], "Старое");
  EXPECT_EQ(listed[0]["number"], "9161234567");
  EXPECT_EQ(listed[0]["contact"], "Иван");
  EXPECT_EQ(listed[0]["time"], json());
  EXPECT_EQ(listed[0]["parts"], json());
  EXPECT_EQ(listed[0]["size"], 6);
  EXPECT_EQ(listed[1]["kind"], "imported");
  EXPECT_EQ(listed[2]["text"], "Новое\nдве строки");

  // Exports work on the five sub-items, old rows and new alike.
  const test::CliRun exported = Cli({"export", "archive", "--format", "txt"});
  ASSERT_EQ(exported.status, 0) << exported.err;
  for (const char* text : {"Старое", "Hi", "Новоедве строки"})
    EXPECT_NE(exported.out.find(W(text)), std::string::npos) << text;
  EXPECT_EQ(exported.out.find("missivo-fields"), std::string::npos);
}

}  // namespace
}  // namespace missivo
