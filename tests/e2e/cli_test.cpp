// missivo-cli end to end: the real program in a temporary program folder, on
// the simulated phone over a real pseudo-terminal.
#include <gtest/gtest.h>
#include <linux/capability.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <nlohmann/json.hpp>

#include "cli_runner.h"
#include "core/version.h"
#include "phone/serial/com_port.h"
#include "store/container.h"
#include "store/data_files.h"
#include "store/list_file.h"
#include "store/program_lock.h"
#include "support/phone_fixture.h"
#include "support/phone_scenario.h"
#include "support/standard_phones.h"
#include "support/test_support.h"
#include "text/cp1251.h"

namespace missivo {
namespace {

using nlohmann::json;
using test::FiveOf;
using test::ReadBytes;
using test::RunCli;
using test::SimMessage;
using test::W;
using test::WriteBytes;

json Phone() {
  return {{"messages",
           {SimMessage(1, "REC READ", "+79161234567", "Привет <b>"),
            SimMessage(2, "REC UNREAD", "+79160000000", "Второе"),
            SimMessage(5, "STO SENT", "+79161234567", "Ответ")}},
          {"phonebook_range", "1-100,40,24"},
          {"phonebook", {{{"index", 1}, {"number", "+79161234567"}, {"name", "Иван"}}}}};
}

std::vector<Row> StoredRows(const std::filesystem::path& path) {
  Result<std::vector<Row>> rows = ReadListFile(path);
  EXPECT_TRUE(rows.ok()) << rows.message();
  return rows.ok() ? std::move(rows).value() : std::vector<Row>{};
}

// A temporary home (settings under config/) with a program folder in it.
class CliTest : public ::testing::Test {
 protected:
  CliTest() { std::filesystem::create_directories(program); }

  test::CliRun Cli(std::vector<std::string> args, std::optional<std::string> typed = {}) {
    args.insert(args.begin(), {"--folder", program.string()});
    return RunCli(args, home.path(), std::move(typed));
  }

  // Archive and phonebook files of three and one rows.
  void WriteDataFiles() {
    std::filesystem::create_directories(files.folder);
    ASSERT_TRUE(WriteListFile(kArchive, files.archive).ok());
    ASSERT_TRUE(WriteListFile(kPhonebook, files.phonebook).ok());
  }

  const std::vector<Row> kArchive = {
      {W("Привет"), {"+79161234567", "01/05/2024,12:00:00", "6", "1", W("Входящие")}, 2},
      {"<script>", {"+7000", "02/05/2024,12:00:00", "8", "2", W("Входящие")}, 2},
      {W("Ответ"), {"+79161234567", "03/05/2024,12:00:00", "5", "5", W("Исходящие")}, 28}};
  const std::vector<Row> kPhonebook = {{W("Иван"), {"+79161234567"}, kImageContact}};

  test::TempFolder home;
  std::filesystem::path program = home / "program";
  DataFiles files{program};
};

TEST_F(CliTest, ReadThenListExportOnAFreshFolder) {
  test::PhoneSim phone(Phone().dump());
  const test::CliRun read = Cli({"read", "--device", phone.Device(), "--phonebook", "--delete"});
  ASSERT_EQ(read.status, 0) << read.err;
  EXPECT_EQ(read.out,
            "read 3 messages, 3 new in the archive (3 rows), 3 deleted on the phone, phonebook 1 "
            "contact\n");
  EXPECT_EQ(read.err, "");
  // The folder's language was written, as the window does.
  EXPECT_TRUE(std::filesystem::exists(program / "Language" / "Russian.lng"));
  const std::vector<std::string> commands = phone.Commands();
  const auto first_delete = std::find(commands.begin(), commands.end(), "AT+CMGD=1");
  ASSERT_NE(first_delete, commands.end());
  EXPECT_EQ(std::find(first_delete, commands.end(), "AT+CMGR=5"), commands.end());

  const std::vector<Row> archive = StoredRows(files.archive);
  ASSERT_EQ(archive.size(), 3u);
  EXPECT_EQ(FiveOf(archive[0]),
            (Row{W("Привет <b>"),
                 {W("Иван (+79161234567)"), "01/05/2024,12:00:00", "10", "1", W("Входящие")},
                 kImageIncoming}));

  const test::CliRun listed = Cli({"list", "archive", "--json"});
  ASSERT_EQ(listed.status, 0) << listed.err;
  const json rows = json::parse(listed.out);
  ASSERT_EQ(rows.size(), 3u);
  EXPECT_EQ(rows[0]["caption"], "Привет <b>");
  EXPECT_EQ(rows[0]["sub_items"],
            json::array({"Иван (+79161234567)", "01/05/2024,12:00:00", "10", "1", "Входящие"}));
  EXPECT_EQ(rows[0]["image"], kImageIncoming);
  EXPECT_EQ(rows[2]["sub_items"][4], "Исходящие");

  const test::CliRun contacts = Cli({"list", "phonebook"});
  EXPECT_EQ(contacts.status, 0);
  EXPECT_EQ(contacts.out, "Иван\t+79161234567\n");

  // The same bytes on standard output as in the file; field values escaped in HTML only.
  for (const char* format : {"html", "txt"}) {
    SCOPED_TRACE(format);
    const auto output = home / (std::string("out.") + format);
    const test::CliRun to_file =
        Cli({"export", "archive", "--format", format, "--output", output.string()});
    ASSERT_EQ(to_file.status, 0) << to_file.err;
    EXPECT_EQ(to_file.out, "exported 3 messages to " + output.string() + "\n");
    const test::CliRun to_stdout = Cli({"export", "archive", "--format", format});
    ASSERT_EQ(to_stdout.status, 0) << to_stdout.err;
    EXPECT_EQ(to_stdout.out, ReadBytes(output));
    const bool html = std::string(format) == "html";
    EXPECT_NE(to_stdout.out.find(html ? W("Привет &lt;b&gt;") : W("Привет <b>")),
              std::string::npos);
    EXPECT_NE(to_stdout.out.find(W("Номер:")), std::string::npos);
  }
}

// Each standard device read end to end: messages (long ones joined),
// contacts from every contact storage, names on the senders; then identify.
TEST_F(CliTest, StandardDevicesReadWithTheirPhonebooks) {
  const struct {
    const char* name;
    json scenario;
    const char* summary;
    std::string first_from;
  } devices[] = {
      {"USB stick", test::UsbStick(),
       "read 5 messages, 5 new in the archive (5 rows), 5 deleted on the phone, phonebook 2 "
       "contacts\n",
       W("Иван (+79161234567)")},
      {"PDU-only phone", test::PduOnlyPhone(),
       "read 2 messages, 2 new in the archive (2 rows), 2 deleted on the phone, phonebook 1 "
       "contact\n",
       "InternetSMS"},
      {"text-only module", test::TextOnlyModule(),
       "read 3 messages, 3 new in the archive (3 rows), 3 deleted on the phone, phonebook 1 "
       "contact\n",
       W("Jan (+31625044454)")},
  };
  for (const auto& device : devices) {
    SCOPED_TRACE(device.name);
    std::filesystem::remove_all(files.folder);
    test::PhoneSim phone(device.scenario.dump());
    const test::CliRun read = Cli({"read", "--device", phone.Device(), "--phonebook", "--delete"});
    ASSERT_EQ(read.status, 0) << read.err;
    EXPECT_EQ(read.out, device.summary);
    const std::vector<Row> archive = StoredRows(files.archive);
    ASSERT_FALSE(archive.empty());
    EXPECT_EQ(SubItem(archive[0], kFrom), device.first_from);
  }

  test::PhoneSim stick(test::UsbStick().dump());
  const test::CliRun identify = Cli({"identify", "--device", stick.Device()});
  ASSERT_EQ(identify.status, 0) << identify.err;
  EXPECT_EQ(identify.out,
            "maker: huawei\nmodel: E3372\nrevision: 21.180.01.00.00\n"
            "profile: standard (chosen from the device's answers)\n"
            "message modes: PDU, text\n"
            "message storages: SM 5 of 50, ME 3 of 50, MT 8 of 50\n"
            "phonebook storages: SM, DC, FD, LD, MC, ME, RC, ON\n"
            "phonebook SM: 1-250\nphonebook ME: 1-250\nvendor phonebook command: no\n");
  const test::CliRun forced = Cli({"identify", "--device", stick.Device(), "--kind", "family"});
  EXPECT_NE(forced.out.find("profile: family (forced)"), std::string::npos) << forced.out;
  const test::CliRun wrong = Cli({"identify", "--device", stick.Device(), "--kind", "nokia"});
  EXPECT_EQ(wrong.status, 64);
}

TEST_F(CliTest, TypeWordsComeFromTheFolderLanguage) {
  std::filesystem::create_directories(program / "Language");
  std::filesystem::copy_file(
      std::filesystem::path(MISSIVO_SOURCE_DIR) / "resources" / "languages" / "English.lng",
      program / "Language" / "English.lng");
  std::filesystem::create_directories(home / "config" / "Missivo");
  WriteBytes(home / "config" / "Missivo" / "Missivo.conf", "[Missivo]\nLngName=English\n");
  test::PhoneSim phone(Phone().dump());
  const test::CliRun read = Cli({"read", "--device", phone.Device(), "--skip-outgoing"});
  ASSERT_EQ(read.status, 0) << read.err;
  EXPECT_EQ(read.out, "read 2 messages, 2 new in the archive (2 rows)\n");
  for (const Row& row : StoredRows(files.archive))
    EXPECT_EQ(SubItem(row, kType), "Incoming");
}

TEST_F(CliTest, ImportsBothFormatsWithNames) {
  std::filesystem::create_directories(files.folder);
  ASSERT_TRUE(WriteListFile(kPhonebook, files.phonebook).ok());
  const std::string data = MISSIVO_TEST_DATA;
  const test::CliRun p2k = Cli({"import", "p2ktools", data + "/import/p2ktools.txt"});
  ASSERT_EQ(p2k.status, 0) << p2k.err;
  const std::vector<Row> after_p2k = StoredRows(files.archive);
  ASSERT_FALSE(after_p2k.empty());
  EXPECT_EQ(p2k.out, "imported " + std::to_string(after_p2k.size()) +
                         " messages, 0 already in the archive (" +
                         std::to_string(after_p2k.size()) + " rows)\n");
  EXPECT_EQ(SubItem(after_p2k[0], kFrom), W("Иван (+79161234567)"));
  EXPECT_EQ(SubItem(after_p2k[0], kIndex), "0000");

  const test::CliRun v1 = Cli({"import", "v1", data + "/import/inbox.msg"});
  ASSERT_EQ(v1.status, 0) << v1.err;
  const std::vector<Row> after_v1 = StoredRows(files.archive);
  ASSERT_GT(after_v1.size(), after_p2k.size());
  EXPECT_EQ(SubItem(after_v1[after_p2k.size()], kFrom), W("Иван (+79161234567)"));

  // The archive's duplicate test: the same file again adds nothing.
  const test::CliRun again = Cli({"import", "v1", data + "/import/inbox.msg"});
  ASSERT_EQ(again.status, 0) << again.err;
  EXPECT_EQ(StoredRows(files.archive), after_v1);
  EXPECT_EQ(again.out,
            "imported 0 messages, " + std::to_string(after_v1.size() - after_p2k.size()) +
                " already in the archive (" + std::to_string(after_v1.size()) + " rows)\n");

  const test::CliRun missing = Cli({"import", "v1", data + "/import/none.msg"});
  EXPECT_EQ(missing.status, 1);
  EXPECT_NE(missing.err.find("cannot import"), std::string::npos) << missing.err;
}

TEST_F(CliTest, LockedDataFilesOpenWithThePasswordAndAreLockedAgain) {
  WriteDataFiles();
  const std::string password = W("пароль");
  for (const auto* path : {&files.archive, &files.phonebook})
    ASSERT_TRUE(EncryptInPlaceWith(*path, password).ok());
  WriteBytes(home / "right", "пароль\n");
  WriteBytes(home / "wrong", "парол\n");
  const std::string archive_before = ReadBytes(files.archive);
  const std::string phonebook_before = ReadBytes(files.phonebook);

  // Wrong or missing password: exit status 2, the files as they were.
  for (const auto& args : std::vector<std::vector<std::string>>{
           {"list", "archive", "--password-file", (home / "wrong").string()},
           {"list", "archive", "--password-file", (home / "no-such-file").string()},
           {"--password-file", (home / "wrong").string(), "import", "v1",
            std::string(MISSIVO_TEST_DATA) + "/import/inbox.msg"},
           {"list", "archive"}}) {
    SCOPED_TRACE(args.back());
    const test::CliRun refused = Cli(args);
    EXPECT_EQ(refused.status, 2) << refused.err;
    EXPECT_EQ(refused.out, "");
    EXPECT_EQ(ReadBytes(files.archive), archive_before);
    EXPECT_EQ(ReadBytes(files.phonebook), phonebook_before);
  }

  // A password file that others may read is used, with a warning, as ssh does
  // for keys; one readable by the user only is used quietly.
  ::chmod((home / "right").c_str(), 0644);
  const test::CliRun shared =
      Cli({"list", "archive", "--password-file", (home / "right").string()});
  EXPECT_EQ(shared.status, 0) << shared.err;
  EXPECT_NE(shared.err.find("can be read by others (mode 0644)"), std::string::npos) << shared.err;
  ::chmod((home / "right").c_str(), 0600);
  const test::CliRun listed =
      Cli({"list", "archive", "--password-file", (home / "right").string()});
  ASSERT_EQ(listed.status, 0) << listed.err;
  EXPECT_EQ(listed.err, "");
  EXPECT_EQ(listed.out,
            "Привет\t+79161234567\t01/05/2024,12:00:00\t6\t1\tВходящие\n"
            "<script>\t+7000\t02/05/2024,12:00:00\t8\t2\tВходящие\n"
            "Ответ\t+79161234567\t03/05/2024,12:00:00\t5\t5\tИсходящие\n");

  // A read appends to the locked archive; both files carry the layer again.
  test::PhoneSim phone(Phone().dump());
  const test::CliRun read =
      Cli({"read", "--device", phone.Device(), "--password-file", (home / "right").string()});
  ASSERT_EQ(read.status, 0) << read.err;
  EXPECT_EQ(read.out, "read 3 messages, 2 new in the archive (5 rows)\n");
  for (const auto* path : {&files.archive, &files.phonebook}) {
    const Result<bool> locked = CarriesOuterLayer(*path);
    ASSERT_TRUE(locked.ok());
    EXPECT_TRUE(locked.value()) << *path;
  }
  const Result<std::string> inner = UnsealFile(files.archive, password);
  ASSERT_TRUE(inner.ok());
  const Result<std::string> plain = UnsealBytes(inner.value(), kFixedPassphrase);
  ASSERT_TRUE(plain.ok());
  const Result<std::vector<Row>> rows = DecodeListFile(plain.value());
  ASSERT_TRUE(rows.ok());
  EXPECT_EQ(rows.value().size(), 5u);
}

TEST_F(CliTest, PasswordTypedOnTheTerminalIsNotEchoed) {
  WriteDataFiles();
  ASSERT_TRUE(EncryptInPlaceWith(files.archive, W("пароль")).ok());
  const std::string locked = ReadBytes(files.archive);

  const test::CliRun wrong = Cli({"list", "archive"}, "парол");
  EXPECT_EQ(wrong.status, 2) << wrong.err;
  EXPECT_EQ(ReadBytes(files.archive), locked);

  const test::CliRun right = Cli({"list", "archive"}, "пароль");
  ASSERT_EQ(right.status, 0) << right.err;
  EXPECT_EQ(std::count(right.out.begin(), right.out.end(), '\n'), 3);
  // The prompt shows the unlock caption; what was typed does not appear.
  EXPECT_NE(right.terminal.find("Программа заблокирована"), std::string::npos) << right.terminal;
  EXPECT_EQ(right.terminal.find("пароль"), std::string::npos) << right.terminal;
  // The password is in force for the run: every data file is locked at its end,
  // as the window's exit does.
  for (const auto* path : {&files.archive, &files.phonebook}) {
    const Result<bool> carries = CarriesOuterLayer(*path);
    ASSERT_TRUE(carries.ok());
    EXPECT_TRUE(carries.value()) << *path;
  }
}

TEST_F(CliTest, FailuresGoToStderrWithAStatus) {
  WriteDataFiles();
  test::PhoneSim phone(Phone().dump());
  const struct {
    const char* name;
    std::vector<std::string> args;
    int status;
    const char* err;
  } cases[] = {
      {"no such device",
       {"read", "--device", (home / "no-such-tty").string()},
       1,
       "no such device"},
      {"not a program folder",
       {"--folder", (home / "none").string(), "list", "archive"},
       1,
       "does not exist"},
      {"unknown option", {"read", "--device", phone.Device(), "--fast"}, 64, "unknown option"},
      {"no device", {"read"}, 64, "--device"},
      {"bad format", {"export", "archive", "--format", "pdf"}, 64, "--format"},
      {"bad speed", {"read", "--device", phone.Device(), "--speed", "fast"}, 64, "--speed"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const test::CliRun run = Cli(c.args);
    EXPECT_EQ(run.status, c.status);
    EXPECT_NE(run.err.find(c.err), std::string::npos) << run.err;
  }
  EXPECT_TRUE(phone.Commands().empty());
}

TEST_F(CliTest, DeviceBusyAndTimeOut) {
  WriteDataFiles();
  json scenario = Phone();
  scenario["faults"] = {{{"command", "AT+CMGR=2"}, {"action", "silent"}}};
  test::PhoneSim phone(scenario.dump());
  {
    TComPort holder;
    holder.SetDeviceName(phone.Device());
    holder.Open();
    const test::CliRun busy = Cli({"read", "--device", phone.Device()});
    EXPECT_EQ(busy.status, 1);
    EXPECT_NE(busy.err.find("device busy"), std::string::npos) << busy.err;
  }
  const test::CliRun late = Cli({"read", "--device", phone.Device(), "--timeout", "1", "--delete"});
  EXPECT_EQ(late.status, 1);
  EXPECT_NE(late.err.find("time-out"), std::string::npos) << late.err;
  // The message read before the silence is kept, and nothing was deleted.
  EXPECT_EQ(StoredRows(files.archive).size(), kArchive.size() + 1);
  for (const std::string& command : phone.Commands())
    EXPECT_FALSE(command.starts_with("AT+CMGD=")) << command;
}

// Ctrl-C or SIGTERM while the phone keeps the program waiting (the phone's
// silence limit is 30 s): the program stops at once, keeps in the archive what
// it read, deletes nothing more on the phone and exits with 130.
TEST_F(CliTest, StopSignalEndsAReadAtOnceKeepingWhatWasRead) {
  const auto sent = [](const test::PhoneSim& phone, const std::string& command) {
    const std::vector<std::string> commands = phone.Commands();
    return std::find(commands.begin(), commands.end(), command) != commands.end();
  };
  const struct {
    const char* name;
    int signal;
    const char* silent;                // the command the phone never answers
    std::size_t rows_kept;             // new archive rows
    std::vector<std::string> deletes;  // the delete commands the phone got
  } cases[] = {
      {"SIGINT while reading the second message", SIGINT, "AT+CMGR=2", 1, {}},
      {"SIGTERM while deleting the second message",
       SIGTERM,
       "AT+CMGD=2",
       3,
       {"AT+CMGD=1", "AT+CMGD=2"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    test::TempFolder case_home;
    const std::filesystem::path folder = case_home / "program";
    std::filesystem::create_directories(folder);
    json scenario = Phone();
    scenario["faults"] = {{{"command", c.silent}, {"action", "silent"}}};
    test::PhoneSim phone(scenario.dump());
    const test::CliRun run = RunCli(
        {"--folder", folder.string(), "read", "--device", phone.Device(), "--delete"},
        case_home.path(), std::nullopt, std::chrono::seconds(60),
        test::CliSignal{c.signal, [&](const test::CliRun&) { return sent(phone, c.silent); }});
    EXPECT_EQ(run.status, 130) << run.err;
    EXPECT_NE(run.err.find("stopped by a signal"), std::string::npos) << run.err;
    EXPECT_LT(run.after_signal, std::chrono::seconds(10));  // not the 30 s of silence
    EXPECT_EQ(StoredRows(DataFiles(folder).archive).size(), c.rows_kept);
    std::vector<std::string> deletes;
    for (const std::string& command : phone.Commands())
      if (command.starts_with("AT+CMGD=")) deletes.push_back(command);
    EXPECT_EQ(deletes, c.deletes);
  }
}

TEST_F(CliTest, DamagedDataFileIsReportedAndLeftAlone) {
  WriteDataFiles();
  test::PhoneSim phone(Phone().dump());
  const struct {
    const char* name;
    std::string bytes;
  } damages[] = {
      {"too short for a container", std::string(10, '\x5A')},
      {"a list file that ends inside its rows", SealBytes("LVF\x05\x00", kFixedPassphrase)},
  };
  for (const auto& damage : damages) {
    WriteBytes(files.archive, damage.bytes);
    for (const auto& args : std::vector<std::vector<std::string>>{
             {"list", "archive"}, {"read", "--device", phone.Device(), "--delete"}}) {
      SCOPED_TRACE(std::string(damage.name) + ", " + args.front());
      const test::CliRun run = Cli(args);
      EXPECT_EQ(run.status, 1);
      EXPECT_NE(run.err.find("damaged data file"), std::string::npos) << run.err;
      EXPECT_EQ(ReadBytes(files.archive), damage.bytes);
    }
  }
  EXPECT_TRUE(phone.Commands().empty());
}

// Control characters from the phone or a data file reach the user's terminal
// only as \xNN: an escape sequence must not retitle the window or worse.
TEST_F(CliTest, ControlCharactersReachNoTerminalRaw) {
  std::filesystem::create_directories(files.folder);
  ASSERT_TRUE(WriteListFile({{"a\x1B]0;owned\x07"
                              "b\x98",
                              {"+7\x1B[2J", "", "1", "1", ""},
                              2}},
                            files.archive)
                  .ok());
  const test::CliRun text = Cli({"list", "archive"});
  ASSERT_EQ(text.status, 0) << text.err;
  EXPECT_EQ(text.out, "a\\x1B]0;owned\\x07b\\x98\t+7\\x1B[2J\t\t1\t1\t\n");
  const test::CliRun listed = Cli({"list", "archive", "--json"});
  ASSERT_EQ(listed.status, 0) << listed.err;
  EXPECT_NE(listed.out.find("a\\u001b]0;owned\\u0007b\\u0098"), std::string::npos) << listed.out;

  json scenario = {
      {"replies", {{{"command", "AT+CMGF=1"}, {"reply", "\r\n\x1B]0;owned\x07\r\nERROR\r\n"}}}}};
  test::PhoneSim phone(scenario.dump());
  const test::CliRun read = Cli({"read", "--device", phone.Device()});
  EXPECT_NE(read.err.find("AT Command Error:\n\\x1B]0;owned\\x07\nERROR"), std::string::npos)
      << read.err;
  for (const std::string* out : {&text.out, &listed.out, &read.out, &read.err})
    EXPECT_EQ(out->find_first_of("\x1B\x07"), std::string::npos) << *out;
}

TEST_F(CliTest, PermissionDeniedNamesTheGroup) {
  const auto device = home / "tty";
  WriteBytes(device, "");
  ::chmod(device.c_str(), 0);
  const auto check = [&] {
    const test::CliRun run = Cli({"read", "--device", device.string()});
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err.find("usermod -aG"), std::string::npos) << run.err;
  };
  if (::geteuid() != 0) return check();

  // Root opens any device: a child without the capabilities that override file
  // modes runs the program as any other user would.
  constexpr int kCannotDrop = 77;
  const pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    for (const int capability : {CAP_DAC_OVERRIDE, CAP_DAC_READ_SEARCH}) {
      if (::prctl(PR_CAPBSET_DROP, capability, 0, 0, 0) != 0) ::_exit(kCannotDrop);
    }
    check();
    ::_exit(::testing::Test::HasFailure() ? 1 : 0);
  }
  int status = 0;
  ASSERT_EQ(::waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status));
  if (WEXITSTATUS(status) == kCannotDrop) GTEST_SKIP() << "capabilities cannot be dropped here";
  EXPECT_EQ(WEXITSTATUS(status), 0) << "the child's failures are printed above";
}

TEST_F(CliTest, HelpForEachCommand) {
  for (const char* command : {"read", "list", "conversations", "export", "import"}) {
    SCOPED_TRACE(command);
    const test::CliRun help = Cli({command, "--help"});
    EXPECT_EQ(help.status, 0);
    EXPECT_TRUE(help.out.starts_with(std::string("Usage: missivo-cli [--folder DIR] ") + command))
        << help.out;
  }
  const test::CliRun help = RunCli({"--help"}, home.path());
  EXPECT_EQ(help.status, 0);
  EXPECT_NE(help.out.find("--password-file FILE"), std::string::npos);
}

TEST_F(CliTest, VersionComesAloneOrBesideACommand) {
  for (const std::vector<std::string>& args :
       {std::vector<std::string>{"--version"}, std::vector<std::string>{"list", "--version"}}) {
    const test::CliRun run = RunCli(args, home.path());
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out, "missivo-cli " MISSIVO_VERSION "\n");
  }
}

}  // namespace
}  // namespace missivo
