// Every kind of save against a full disk, a read-only folder and a directory
// where its file should be: the save fails with a message that names the file,
// the old file stays as it was, no temporary file is left, and once the fault
// is gone the file opens and the next save works.
//
// The full disk is a small tmpfs and the read-only folder a read-only bind
// mount, both in a mount namespace of the test's own (root needs no more; any
// other user gets a user namespace). Where neither can be had, the full disk
// falls back to a file size limit, and the read-only folder to its mode for a
// user other than root (root writes through a mode); otherwise that case is
// skipped.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/atomic_file.h"
#include "phone/terminal_log.h"
#include "store/container.h"
#include "store/list_file.h"
#include "store/program_lock.h"
#include "store_test_rows.h"
#include "support/file_limit.h"
#include "support/private_mounts.h"
#include "support/test_support.h"
#include "transfer/export_rows.h"

namespace missivo {
namespace {

using test::ContactRow;
using test::MessageRow;

const std::vector<Row> kOldMessages = {MessageRow("old message", "+70001112233", "1")};
const std::vector<Row> kNewMessages = {MessageRow("old message", "+70001112233", "1"),
                                       MessageRow("new message", "+70004445566", "2")};
const std::vector<Row> kOldContacts = {ContactRow("Old", "+70001112233")};
const std::vector<Row> kNewContacts = {ContactRow("Old", "+70001112233"),
                                       ContactRow("New", "+70004445566")};
const PasswordDialogFields kOldPassword = {"", "first", "first", "question?", "answer"};
const PasswordDialogFields kNewPassword = {"first", "second", "second", "question?", "reply"};

// A program folder and what a save needs.
struct Folder {
  explicit Folder(std::filesystem::path folder) : program(std::move(folder)), files(program) {
    std::filesystem::create_directories(files.folder);
  }
  std::filesystem::path program;
  DataFiles files;
  test::ScriptedUserInterface ui;
  LanguageLines language = test::RussianLanguage();
};

// One kind of save: its file, the file before, the save, and whether the file
// holds the content from before (`fresh` false) or from the save (true).
struct SaveKind {
  const char* name;
  std::function<std::filesystem::path(const Folder&)> file;
  std::function<void(Folder&)> write_old;
  std::function<Status(Folder&)> save;
  std::function<bool(const Folder&, bool fresh)> holds;
};

bool ListFileHolds(const std::filesystem::path& path, const std::vector<Row>& rows) {
  const Result<std::vector<Row>> stored = ReadListFile(path);
  return stored.ok() && stored.value() == rows;
}

std::vector<SaveKind> SaveKinds() {
  return {
      {"archive", [](const Folder& f) { return f.files.archive; },
       [](Folder& f) { ASSERT_TRUE(WriteListFile(kOldMessages, f.files.archive).ok()); },
       [](Folder& f) {
         RowList list = MakeMessageList();
         list.rows = kNewMessages;
         return test::ReplaceListFile(list, f.files.archive, f.ui);
       },
       [](const Folder& f, bool fresh) {
         return ListFileHolds(f.files.archive, fresh ? kNewMessages : kOldMessages);
       }},
      {"phonebook", [](const Folder& f) { return f.files.phonebook; },
       [](Folder& f) { ASSERT_TRUE(WriteListFile(kOldContacts, f.files.phonebook).ok()); },
       [](Folder& f) {
         RowList list = MakeContactList();
         list.rows = kNewContacts;
         return test::ReplaceListFile(list, f.files.phonebook, f.ui);
       },
       [](const Folder& f, bool fresh) {
         return ListFileHolds(f.files.phonebook, fresh ? kNewContacts : kOldContacts);
       }},
      {"password record", [](const Folder& f) { return f.files.password; },
       [](Folder& f) { ASSERT_TRUE(WritePasswordRecord(f.files.password, kOldPassword).ok()); },
       [](Folder& f) {
         LockState state;
         state.password = "first";
         state.locked = true;
         EXPECT_EQ(PasswordDialogOk(state, kNewPassword, f.files.password, f.language, f.ui),
                   PasswordDialogResult::kSet);
         // The dialog shows its own message first; a failed write comes after it.
         return f.ui.messages.size() > 1 ? Status::Failure(f.ui.messages.back().text) : Status();
       },
       [](const Folder& f, bool fresh) {
         const PasswordDialogFields& fields = fresh ? kNewPassword : kOldPassword;
         const Result<std::string> text = UnsealFile(f.files.password, fields.answer);
         return text.ok() && text.value() == PasswordRecordText(fields);
       }},
      {"lock at exit", [](const Folder& f) { return f.files.archive; },
       [](Folder& f) { ASSERT_TRUE(WriteListFile(kOldMessages, f.files.archive).ok()); },
       [](Folder& f) {
         LockState state;
         state.password = "secret";
         state.locked = true;
         return LockAtExit(state, f.files, f.ui);
       },
       [](const Folder& f, bool fresh) {
         if (!fresh) return ListFileHolds(f.files.archive, kOldMessages);
         const Result<std::string> inner = UnsealFile(f.files.archive, "secret");
         return inner.ok() &&
                DecodeListFile(UnsealBytes(inner.value(), kFixedPassphrase).value()).value() ==
                    kOldMessages;
       }},
      {"terminal log", [](const Folder& f) { return f.program / kTerminalLogName; },
       [](Folder& f) {
         ASSERT_TRUE(WriteFileAtomically(f.program / kTerminalLogName, "AT\r\nOK\r\n").ok());
       },
       [](Folder& f) {
         TerminalLog log(f.program / kTerminalLogName);
         return log.Rewrite({"AT", "OK", "AT+CMGF=1", "OK"});
       },
       [](const Folder& f, bool fresh) {
         return test::ReadBytes(f.program / kTerminalLogName) ==
                (fresh ? "AT\r\nOK\r\nAT+CMGF=1\r\nOK\r\n" : "AT\r\nOK\r\n");
       }},
      {"export", [](const Folder& f) { return f.program / "export.txt"; },
       [](Folder& f) {
         ASSERT_TRUE(WriteFileAtomically(f.program / "export.txt", "old export\r\n").ok());
       },
       [](Folder& f) {
         const ExportResult result =
             ExportRows(kNewMessages, RowSelection::All(), TemplateKind::kText, f.files.folder,
                        f.program / "export.txt", f.language, f.ui);
         return result.ok() ? Status() : Status::Failure(result.error);
       },
       [](const Folder& f, bool fresh) {
         const std::string bytes = test::ReadBytes(f.program / "export.txt");
         return fresh ? bytes.find("new message") != std::string::npos : bytes == "old export\r\n";
       }},
  };
}

// The file name as messages show it, without the quotes.
std::string ShownName(const std::filesystem::path& path) {
  const std::string quoted = QuotedFileName(path);
  return quoted.substr(1, quoted.size() - 2);
}

// No temporary file of an atomic write is left in `folder`.
void ExpectNoTemporaryFiles(const std::filesystem::path& folder) {
  for (const auto& entry : std::filesystem::directory_iterator(folder))
    EXPECT_EQ(entry.path().filename().string().find(".tmp-"), std::string::npos) << entry.path();
}

// The save fails and says so, naming its file; the old file is whole.
void ExpectFailedSaveKeepsTheOldFile(const SaveKind& kind, Folder& folder) {
  const Status status = kind.save(folder);
  const std::filesystem::path file = kind.file(folder);
  ASSERT_FALSE(status.ok());
  EXPECT_NE(status.message().find(ShownName(file)), std::string::npos) << status.message();
  if (kind.name != std::string("terminal log")) {  // the window shows the log's failure
    ASSERT_FALSE(folder.ui.messages.empty());
    EXPECT_EQ(folder.ui.messages.back().kind, MessageKind::kError);
    EXPECT_NE(folder.ui.messages.back().text.find(ShownName(file)), std::string::npos);
  }
  EXPECT_TRUE(kind.holds(folder, /*fresh=*/false));
  ExpectNoTemporaryFiles(file.parent_path());
}

// With the fault gone the file still opens and the next save works.
void ExpectRecovery(const SaveKind& kind, Folder& folder) {
  EXPECT_TRUE(kind.holds(folder, /*fresh=*/false));
  folder.ui.messages.clear();
  const Status again = kind.save(folder);
  EXPECT_TRUE(again.ok()) << again.message();
  EXPECT_TRUE(kind.holds(folder, /*fresh=*/true));
}

class DiskFaultTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { mounts_unavailable_ = test::EnterPrivateMounts(); }
  static std::optional<std::string> mounts_unavailable_;
};

std::optional<std::string> DiskFaultTest::mounts_unavailable_;

TEST_F(DiskFaultTest, FullDisk) {
  RecordProperty("full_disk", mounts_unavailable_ ? "file size limit" : "tmpfs");
  for (const SaveKind& kind : SaveKinds()) {
    SCOPED_TRACE(kind.name);
    test::TempFolder temp;
    std::optional<test::ScopedMount> disk;
    if (!mounts_unavailable_) disk.emplace(test::MountTmpfs(temp / "program", 256 * 1024));
    Folder folder(temp / "program");
    kind.write_old(folder);
    {
      std::optional<test::FileSizeLimit> limit;
      std::optional<std::filesystem::path> filler;
      if (disk) {
        filler = test::FillUp(folder.program, "filler");
      } else {
        limit.emplace(1);  // no file can grow past one byte
      }
      ExpectFailedSaveKeepsTheOldFile(kind, folder);
      if (filler) std::filesystem::remove(*filler);
    }
    ExpectRecovery(kind, folder);
  }
}

TEST_F(DiskFaultTest, ReadOnlyFolder) {
  if (mounts_unavailable_ && ::geteuid() == 0) {
    GTEST_SKIP() << "root writes through a folder's mode, and no mount can be made: "
                 << *mounts_unavailable_;
  }
  for (const SaveKind& kind : SaveKinds()) {
    SCOPED_TRACE(kind.name);
    test::TempFolder temp;
    Folder folder(temp / "program");
    kind.write_old(folder);
    const std::filesystem::path where = kind.file(folder).parent_path();
    {
      std::optional<test::ScopedMount> read_only;
      if (!mounts_unavailable_) {
        read_only.emplace(test::BindReadOnly(where));
      } else {
        std::filesystem::permissions(where, std::filesystem::perms::owner_write,
                                     std::filesystem::perm_options::remove);
      }
      ExpectFailedSaveKeepsTheOldFile(kind, folder);
    }
    std::filesystem::permissions(where, std::filesystem::perms::owner_write,
                                 std::filesystem::perm_options::add);
    ExpectRecovery(kind, folder);
  }
}

TEST_F(DiskFaultTest, DirectoryWhereTheFileShouldBe) {
  for (const SaveKind& kind : SaveKinds()) {
    SCOPED_TRACE(kind.name);
    test::TempFolder temp;
    Folder folder(temp / "program");
    const std::filesystem::path file = kind.file(folder);
    std::filesystem::create_directories(file);
    test::WriteBytes(file / "inside", "kept");
    ASSERT_FALSE(kind.save(folder).ok());
    EXPECT_EQ(test::ReadBytes(file / "inside"), "kept");
    ExpectNoTemporaryFiles(file.parent_path());
  }
}

}  // namespace
}  // namespace missivo
