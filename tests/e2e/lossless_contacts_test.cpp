// Contact names in any script end to end: a phonebook read by missivo-cli from
// the simulated phone of each kind over a real pseudo-terminal, saved, loaded
// again and listed; names resolved into the archive; vCard and backup files in
// and out; a phonebook of an older version kept byte for byte.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>

#include "cli_runner.h"
#include "store/data_files.h"
#include "store/list_file.h"
#include "support/phone_fixture.h"
#include "support/phone_scenario.h"
#include "support/standard_phones.h"
#include "support/test_support.h"

namespace missivo {
namespace {

using nlohmann::json;
using test::W;

struct Held {
  std::string name, number;
};

const std::vector<Held>& PhoneContacts() {
  static const std::vector<Held> held = {
      {"王小明", "+8613812345678"},
      {"Νίκος Παπαδόπουλος", "+302101234567"},
      {"Ёжик Ґанна", "+380441234567"},
      {"Léa 😀 👨‍👩‍👧", "+33612345678"},
  };
  return held;
}

constexpr const char* kChineseNumber = "+8613812345678";

json Phonebook() {
  json phonebook = json::array();
  int index = 1;
  for (const Held& c : PhoneContacts())
    phonebook.push_back(
        {{"storage", "SM"}, {"index", index++}, {"number", c.number}, {"name", c.name}});
  return phonebook;
}

json FamilyPhone() {
  return {{"messages", {test::SimMessage(1, "REC READ", kChineseNumber, "你好")}},
          {"phonebook_range", "1-100,40,24"},
          {"phonebook", Phonebook()}};
}

json StandardPhone() {
  return {{"profile", "standard"},
          {"echo", true},
          {"standard", {{"storages", {"SM"}}}},
          {"messages", {test::StandardMessage("SM", 1, "REC READ", kChineseNumber, "你好")}},
          {"phonebook", Phonebook()}};
}

class LosslessContactsTest : public ::testing::Test {
 protected:
  LosslessContactsTest() { std::filesystem::create_directories(files.folder); }

  test::CliRun Cli(std::vector<std::string> args) {
    args.insert(args.begin(), {"--folder", program.string()});
    return test::RunCli(args, home.path());
  }

  json ListJson(const std::string& what) {
    const test::CliRun listed = Cli({"list", what, "--json"});
    EXPECT_EQ(listed.status, 0) << listed.err;
    return json::parse(listed.out);
  }

  std::string WriteFile(const std::string& name, const std::string& bytes) {
    const std::filesystem::path path = home / name;
    std::ofstream(path, std::ios::binary) << bytes;
    return path.string();
  }

  test::TempFolder home;
  std::filesystem::path program = home / "program";
  DataFiles files{program};
};

TEST_F(LosslessContactsTest, PhonebookOfEveryScriptComesBackWhole) {
  const struct {
    const char* name;
    json scenario;
    const char* kind;
  } phones[] = {{"family", FamilyPhone(), "family"}, {"standard", StandardPhone(), "standard"}};
  for (const auto& phone_case : phones) {
    SCOPED_TRACE(phone_case.name);
    std::filesystem::remove_all(program);
    std::filesystem::create_directories(files.folder);
    test::PhoneSim phone(phone_case.scenario.dump());
    const test::CliRun read =
        Cli({"read", "--device", phone.Device(), "--phonebook", "--kind", phone_case.kind});
    ASSERT_EQ(read.status, 0) << read.err;

    const json phonebook = ListJson("phonebook");
    const std::vector<Held>& held = PhoneContacts();
    ASSERT_EQ(phonebook.size(), held.size());
    for (std::size_t i = 0; i < held.size(); ++i) {
      SCOPED_TRACE(held[i].name);
      EXPECT_EQ(phonebook[i]["name"], held[i].name);
      EXPECT_EQ(phonebook[i]["number"], held[i].number);
      EXPECT_EQ(phonebook[i]["sub_items"], json::array({held[i].number}));
    }
    // A reader that knows only the caption: "?" for what the code page cannot hold.
    const std::vector<Row> stored = ReadListFile(files.phonebook).value();
    EXPECT_EQ(stored[0].caption, "???");
    EXPECT_EQ(stored[2], (Row{W("Ёжик Ґанна"), {"+380441234567"}, kImageContact}));

    // The message from the Chinese contact carries the whole name.
    const json archive = ListJson("archive");
    ASSERT_EQ(archive.size(), 1u);
    EXPECT_EQ(archive[0]["contact"], "王小明");
    EXPECT_EQ(archive[0]["from"], "王小明 (+8613812345678)");
    EXPECT_EQ(archive[0]["number"], kChineseNumber);
    EXPECT_EQ(archive[0]["sub_items"][0], "??? (+8613812345678)");
    const test::CliRun text = Cli({"list", "phonebook"});
    EXPECT_NE(text.out.find("王小明\t+8613812345678\n"), std::string::npos) << text.out;
  }
}

// vCard in and out, the archive's sender named by it, and the backup's
// contact name kept on the way in and out.
TEST_F(LosslessContactsTest, VCardAndBackupCarryTheWholeName) {
  ASSERT_TRUE(WriteListFile({{W("Привет"),
                              {"+8613812345678", "01/05/2024,12:00:00", "6", "1", W("Входящие")},
                              kImageIncoming}},
                            files.archive)
                  .ok());
  // Rows of an older archive have no fields for the name: they keep "???".
  const std::string vcf = WriteFile("in.vcf",
                                    "BEGIN:VCARD\r\nVERSION:3.0\r\nFN:王小明\r\n"
                                    "TEL:+8613812345678\r\nEND:VCARD\r\n"
                                    "BEGIN:VCARD\r\nVERSION:3.0\r\nFN:李四\r\n"
                                    "TEL:+8613800000000\r\nEND:VCARD\r\n");
  const test::CliRun in = Cli({"import", "vcard", vcf});
  ASSERT_EQ(in.status, 0) << in.err;
  // Both are "??" or "???" in the caption; neither is taken for the other.
  EXPECT_EQ(in.out,
            "imported 2 contacts, 0 already in the phonebook (2 contacts in the phonebook)\n");
  const test::CliRun out = Cli({"export", "phonebook", "--format", "vcf"});
  EXPECT_NE(out.out.find("FN:王小明\r\n"), std::string::npos) << out.out;
  EXPECT_NE(out.out.find("FN:李四\r\n"), std::string::npos) << out.out;
  const test::CliRun csv = Cli({"export", "phonebook", "--format", "csv"});
  EXPECT_NE(csv.out.find("王小明,+8613812345678\r\n"), std::string::npos) << csv.out;

  const std::string backup =
      WriteFile("backup.xml",
                "<?xml version='1.0' encoding='UTF-8' standalone='yes' ?>\n<smses count=\"1\">"
                "<sms protocol=\"0\" address=\"+8613800000000\" date=\"1714550400000\" type=\"1\" "
                "body=\"在吗\" read=\"1\" contact_name=\"李四\" /></smses>\n");
  const test::CliRun imported = Cli({"import", "android-xml", backup});
  ASSERT_EQ(imported.status, 0) << imported.err;
  const json archive = ListJson("archive");
  ASSERT_EQ(archive.size(), 2u);
  EXPECT_EQ(archive[0]["contact"], "???");
  EXPECT_EQ(archive[1]["contact"], "李四");
  EXPECT_EQ(archive[1]["from"], "李四 (+8613800000000)");
  const test::CliRun xml = Cli({"export", "archive", "--format", "xml"});
  EXPECT_NE(xml.out.find("contact_name=\"李四\""), std::string::npos) << xml.out;
  for (const char* format : {"csv", "json", "html-utf8"}) {
    const test::CliRun exported = Cli({"export", "archive", "--format", format});
    EXPECT_NE(exported.out.find("李四"), std::string::npos) << format;
  }
}

// A phonebook of an older version: every row read and written back as it was
// when the phonebook takes new contacts.
TEST_F(LosslessContactsTest, OlderPhonebookKeepsItsBytes) {
  const std::vector<Row> old_rows = {{W("Иван"), {"+79161234567"}, kImageContact},
                                     {"???", {"+8613812345678"}, kImageContact},
                                     {W("Мама"), {"8 (916) 000-00-00", "extra"}, kImageContact}};
  ASSERT_TRUE(WriteListFile(old_rows, files.phonebook).ok());
  const std::string vcf = WriteFile(
      "in.vcf", "BEGIN:VCARD\r\nVERSION:3.0\r\nFN:王小明\r\nTEL:+8613812345678\r\nEND:VCARD\r\n");
  const test::CliRun in = Cli({"import", "vcard", vcf});
  ASSERT_EQ(in.status, 0) << in.err;
  std::vector<Row> expected = old_rows;
  expected.push_back(
      {"???", {"+8613812345678", "missivo-contact/1\nname=王小明\n"}, kImageContact});
  EXPECT_EQ(ReadListFile(files.phonebook).value(), expected);
  const json listed = ListJson("phonebook");
  EXPECT_EQ(listed[1]["name"], "???");
  EXPECT_EQ(listed[2]["sub_items"], json::array({"8 (916) 000-00-00", "extra"}));
  EXPECT_EQ(listed[3]["name"], "王小明");
}

}  // namespace
}  // namespace missivo
