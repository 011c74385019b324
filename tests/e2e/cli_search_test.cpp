// missivo-cli list archive with a filter, and missivo-cli conversations: the
// real program on a temporary program folder with a small archive.
#include <gtest/gtest.h>

#include <filesystem>
#include <nlohmann/json.hpp>

#include "cli_runner.h"
#include "store/data_files.h"
#include "store/list_file.h"
#include "support/test_support.h"

namespace missivo {
namespace {

using nlohmann::json;
using test::W;

class CliSearchTest : public ::testing::Test {
 protected:
  CliSearchTest() {
    std::filesystem::create_directories(files.folder);
    const std::vector<Row> archive = {
        {W("Купи хлеба\r\nи молока"),
         {W("Мама (+79035550101)"), "01/01/2006,10:00:00", "6", "1", W("Входящие")},
         2},
        {W("Позвони мне"), {"89035550101", "02/01/2006,10:00:00", "5", "2", W("Исходящие")}, 28},
        {W("ХЛЕБ купил"), {"+79161234567", "03/01/2006,10:00:00", "5", "3", W("Входящие")}, 2},
        {W("Ёлка"), {"Info", "31/12/2005,23:00:00", "4", "4", W("Черновые")}, 1}};
    EXPECT_TRUE(WriteListFile(archive, files.archive).ok());
  }

  test::CliRun Cli(std::vector<std::string> args) {
    args.insert(args.begin(), {"--folder", program.string()});
    return test::RunCli(args, home.path());
  }

  // The captions `list archive --json` prints with `options`.
  std::vector<std::string> Found(std::vector<std::string> options) {
    options.insert(options.begin(), {"list", "archive", "--json"});
    const test::CliRun run = Cli(options);
    EXPECT_EQ(run.status, 0) << run.err;
    std::vector<std::string> captions;
    for (const json& row : json::parse(run.out))
      captions.push_back(row["caption"]);
    return captions;
  }

  test::TempFolder home;
  std::filesystem::path program = home / "program";
  DataFiles files{program};
};

TEST_F(CliSearchTest, ListArchiveWithTheWindowsMatchingRules) {
  const struct {
    std::vector<std::string> options;
    std::vector<std::string> captions;
  } cases[] = {
      {{"--search", "хлеб"}, {"Купи хлеба\r\nи молока", "ХЛЕБ купил"}},
      {{"--search", "\"хлеба и молока\""}, {"Купи хлеба\r\nи молока"}},
      {{"--search", "елка"}, {"Ёлка"}},
      {{"--search", "+7 903 555 01 01"}, {"Купи хлеба\r\nи молока", "Позвони мне"}},
      {{"--from", "мама"}, {"Купи хлеба\r\nи молока"}},
      {{"--from", "+79035550101"}, {"Купи хлеба\r\nи молока", "Позвони мне"}},
      {{"--since", "2006-01-02", "--until", "03.01.2006"}, {"Позвони мне", "ХЛЕБ купил"}},
      {{"--kind", "draft"}, {"Ёлка"}},
      {{"--kind", "outgoing", "--search", "позвони"}, {"Позвони мне"}},
      {{"--search", "нет такого"}, {}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.options.front() + " " + c.options[1]);
    EXPECT_EQ(Found(c.options), c.captions);
  }
  // Text output: the rows found, one a line.
  const test::CliRun text = Cli({"list", "archive", "--search", "купил"});
  EXPECT_EQ(text.status, 0);
  EXPECT_EQ(text.out, "ХЛЕБ купил\t+79161234567\t03/01/2006,10:00:00\t5\t3\tВходящие\n");
}

TEST_F(CliSearchTest, UnusableFilterOptionsAreUsageErrors) {
  const struct {
    std::vector<std::string> args;
    const char* message;
  } cases[] = {
      {{"list", "archive", "--since", "2006-02-30x"}, "--since wants a date"},
      {{"list", "archive", "--until", "tomorrow"}, "--until wants a date"},
      {{"list", "archive", "--kind", "spam"}, "--kind wants incoming, outgoing, draft or imported"},
      {{"list", "phonebook", "--search", "x"}, "choose archive rows"},
      {{"conversations", "extra"}, "takes no operand"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.message);
    const test::CliRun run = Cli(c.args);
    EXPECT_EQ(run.status, 64);
    EXPECT_NE(run.err.find(c.message), std::string::npos) << run.err;
    EXPECT_TRUE(run.out.empty());
  }
}

TEST_F(CliSearchTest, ConversationsByNumberNewestFirst) {
  const test::CliRun text = Cli({"conversations"});
  EXPECT_EQ(text.status, 0) << text.err;
  EXPECT_EQ(text.out,
            "+79161234567\t+79161234567\t1\t03/01/2006,10:00:00\n"
            "Мама\t89035550101\t2\t02/01/2006,10:00:00\n"
            "Info\t\t1\t31/12/2005,23:00:00\n");
  const test::CliRun run = Cli({"conversations", "--json"});
  EXPECT_EQ(run.status, 0) << run.err;
  const json expected = json::parse(R"([
    {"name": "+79161234567", "number": "+79161234567", "messages": 1, "last": "03/01/2006,10:00:00"},
    {"name": "Мама", "number": "89035550101", "messages": 2, "last": "02/01/2006,10:00:00"},
    {"name": "Info", "number": "", "messages": 1, "last": "31/12/2005,23:00:00"}])");
  EXPECT_EQ(json::parse(run.out), expected);
}

}  // namespace
}  // namespace missivo
