// missivo-cli with the exchange formats: exports and imports of the real
// program on a temporary program folder.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <nlohmann/json.hpp>

#include "cli_runner.h"
#include "store/container.h"
#include "store/data_files.h"
#include "store/list_file.h"
#include "store/message_fields.h"
#include "store/program_lock.h"
#include "support/test_support.h"

namespace missivo {
namespace {

using test::ReadBytes;
using test::W;

const std::string kData = MISSIVO_TEST_DATA;

class CliExchangeTest : public ::testing::Test {
 protected:
  CliExchangeTest() { std::filesystem::create_directories(files.folder); }

  test::CliRun Cli(const std::filesystem::path& folder, std::vector<std::string> args) {
    args.insert(args.begin(), {"--folder", folder.string()});
    return test::RunCli(args, home.path());
  }
  test::CliRun Cli(std::vector<std::string> args) { return Cli(program, std::move(args)); }

  std::vector<Row> Stored(const std::filesystem::path& path) {
    Result<std::vector<Row>> rows = ReadListFile(path);
    return rows.ok() ? std::move(rows).value() : std::vector<Row>{};
  }

  test::TempFolder home;
  std::filesystem::path program = home / "program";
  DataFiles files{program};
};

// A backup brought in, exported again, and brought into another folder: the
// duplicate test keeps the second imports from adding anything.
TEST_F(CliExchangeTest, BackupInAndOut) {
  const test::CliRun in = Cli({"import", "android-xml", kData + "/formats/backup.xml"});
  ASSERT_EQ(in.status, 0) << in.err;
  EXPECT_EQ(in.out,
            "imported 6 messages, 0 already in the archive, 2 MMS attachments skipped (only texts "
            "are kept), 1 MMS without text left out (6 rows in the archive)\n");
  const std::vector<Row> archive = Stored(files.archive);
  ASSERT_EQ(archive.size(), 6u);
  EXPECT_EQ(BestText(archive[0]), "Привет! Как дела? 😀");
  EXPECT_EQ(SubItem(archive[0], kFrom), W("Мама (+79035550101)"));

  const test::CliRun again = Cli({"import", "android-xml", kData + "/formats/backup.xml"});
  ASSERT_EQ(again.status, 0) << again.err;
  EXPECT_TRUE(again.out.starts_with("imported 0 messages, 6 already in the archive")) << again.out;

  const std::string out = (home / "out.xml").string();
  const test::CliRun exported = Cli({"export", "archive", "--format", "xml", "--output", out});
  ASSERT_EQ(exported.status, 0) << exported.err;
  EXPECT_EQ(exported.out, "exported 6 messages to " + out + "\n");
  struct stat info {};
  ASSERT_EQ(::stat(out.c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 0777, 0600u);
  ::chmod(out.c_str(), 0644);  // a replaced file others may read does not lend its mode
  ASSERT_EQ(Cli({"export", "archive", "--format", "xml", "--output", out}).status, 0);
  ASSERT_EQ(::stat(out.c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 0777, 0600u);

  const test::CliRun back = Cli({"import", "android-xml", out});
  EXPECT_TRUE(back.out.starts_with("imported 0 messages, 6 already in the archive")) << back.out;
  const std::filesystem::path other = home / "other";
  std::filesystem::create_directories(other);
  const test::CliRun fresh = Cli(other, {"import", "android-xml", out});
  ASSERT_EQ(fresh.status, 0) << fresh.err;
  EXPECT_TRUE(fresh.out.starts_with("imported 6 messages, 0 already")) << fresh.out;
}

// A broken file adds nothing unless asked; then what came before the fault.
TEST_F(CliExchangeTest, BrokenFilesAddNothingUnlessPartial) {
  const std::string truncated = kData + "/formats/broken/truncated.xml";
  const test::CliRun refused = Cli({"import", "android-xml", truncated});
  EXPECT_EQ(refused.status, 1);
  EXPECT_NE(refused.err.find("truncated.xml\", line 5"), std::string::npos) << refused.err;
  EXPECT_NE(refused.err.find("Nothing was added (2 messages could be read before that: --partial "
                             "adds them)."),
            std::string::npos)
      << refused.err;
  EXPECT_FALSE(std::filesystem::exists(files.archive));

  const test::CliRun partial = Cli({"import", "android-xml", truncated, "--partial"});
  ASSERT_EQ(partial.status, 0) << partial.err;
  EXPECT_NE(partial.err.find("Adding the 2 messages read before that."), std::string::npos);
  EXPECT_EQ(Stored(files.archive).size(), 2u);

  const test::CliRun bomb =
      Cli({"import", "android-xml", kData + "/formats/broken/billion-laughs.xml", "--partial"});
  EXPECT_EQ(bomb.status, 1);
  EXPECT_NE(bomb.err.find("entity definitions are refused"), std::string::npos) << bomb.err;
  EXPECT_EQ(Stored(files.archive).size(), 2u);
}

// Contacts from vCard into the phonebook; the archive's senders get names,
// and the phonebook goes out as vCard and CSV.
TEST_F(CliExchangeTest, ContactsInAndOut) {
  ASSERT_TRUE(
      WriteListFile(
          {{W("Привет"), {"+79161234567", "01/05/2024,12:00:00", "6", "1", W("Входящие")}, 2}},
          files.archive)
          .ok());
  const test::CliRun in =
      Cli({"import", "vcard", kData + "/formats/contacts-2.1-quoted-printable.vcf"});
  ASSERT_EQ(in.status, 0) << in.err;
  EXPECT_EQ(in.out,
            "imported 4 contacts, 0 already in the phonebook (4 contacts in the phonebook)\n");
  EXPECT_EQ(SubItem(Stored(files.archive)[0], kFrom), W("Иван Петров (+79161234567)"));

  const test::CliRun vcf = Cli({"export", "phonebook", "--format", "vcf"});
  ASSERT_EQ(vcf.status, 0) << vcf.err;
  EXPECT_TRUE(vcf.out.starts_with("BEGIN:VCARD\r\nVERSION:3.0\r\nFN:Иван Петров\r\n")) << vcf.out;
  const test::CliRun csv = Cli({"export", "phonebook", "--format", "csv"});
  EXPECT_TRUE(csv.out.starts_with("name,number\r\nИван Петров,+79161234567\r\n")) << csv.out;

  const test::CliRun broken = Cli({"import", "vcard", kData + "/formats/broken/invalid-utf8.vcf"});
  EXPECT_EQ(broken.status, 1);
  EXPECT_NE(broken.err.find("invalid-utf8.vcf\", line 8: the FN value is not valid UTF-8."),
            std::string::npos)
      << broken.err;
}

// The archive formats on standard output; a password-locked archive opens
// with the password and stays locked on disk.
TEST_F(CliExchangeTest, ArchiveFormatsOnALockedFolder) {
  ASSERT_TRUE(
      WriteListFile(
          {{W("Привет"), {"+79161234567", "01/05/2024,12:00:00", "6", "1", W("Входящие")}, 2}},
          files.archive)
          .ok());
  ASSERT_TRUE(EncryptInPlaceWith(files.archive, W("пароль")).ok());
  test::WriteBytes(home / "password", "пароль\n");
  const std::string password = (home / "password").string();

  const test::CliRun json =
      Cli({"export", "archive", "--format", "json", "--password-file", password});
  ASSERT_EQ(json.status, 0) << json.err;
  const auto parsed = nlohmann::json::parse(json.out);
  EXPECT_EQ(parsed[0]["text"], "Привет");
  EXPECT_EQ(parsed[0]["number"], "+79161234567");
  const test::CliRun csv =
      Cli({"export", "archive", "--format", "csv", "--password-file", password});
  EXPECT_TRUE(
      csv.out.starts_with("kind,time,number,contact,text,index\r\nincoming,2024-05-01T12:00:00"))
      << csv.out;
  const test::CliRun html =
      Cli({"export", "archive", "--format", "html-utf8", "--password-file", password});
  EXPECT_NE(html.out.find("<meta charset=\"utf-8\">"), std::string::npos);
  EXPECT_NE(html.out.find("Привет"), std::string::npos);
  const Result<bool> locked = CarriesOuterLayer(files.archive);
  ASSERT_TRUE(locked.ok());
  EXPECT_TRUE(locked.value());

  const test::CliRun wrong = Cli({"export", "archive", "--format", "yaml"});
  EXPECT_EQ(wrong.status, 64);
}

// While another Missivo program holds the folder lock, the imports wait for it
// and then give up with 75, writing nothing.
TEST_F(CliExchangeTest, ImportsWaitForTheFolderLock) {
  const int fd =
      ::open((files.folder / "Missivo.lock").c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
  ASSERT_GE(fd, 0);
  ASSERT_EQ(::flock(fd, LOCK_EX), 0);
  const std::vector<std::string> imports[] = {
      {"import", "android-xml", kData + "/formats/backup.xml"},
      {"import", "vcard", kData + "/formats/contacts-2.1-quoted-printable.vcf"},
  };
  for (std::vector<std::string> args : imports) {
    SCOPED_TRACE(args[1]);
    args.insert(args.begin(), {"--lock-wait", "1"});
    const test::CliRun refused = Cli(args);
    EXPECT_EQ(refused.status, 75) << refused.err;
    EXPECT_NE(refused.err.find("locked"), std::string::npos) << refused.err;
    EXPECT_FALSE(std::filesystem::exists(files.archive));
    EXPECT_FALSE(std::filesystem::exists(files.phonebook));
  }
  ::close(fd);
}

}  // namespace
}  // namespace missivo
