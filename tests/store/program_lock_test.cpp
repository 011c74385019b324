#include "store/program_lock.h"

#include <gtest/gtest.h>

#include <deque>
#include <filesystem>
#include <optional>
#include <string>

#include "store/container.h"
#include "store/list_file.h"
#include "store_test_rows.h"
#include "support/test_support.h"
#include "text/lines.h"

namespace missivo {
namespace {

using test::MessageRow;
using test::ReadBytes;
using test::ScriptedUserInterface;
using test::W;

// An unlock dialog that answers from a script and remembers its captions.
class ScriptedPrompt : public PasswordPrompt {
 public:
  std::optional<std::string> AskPassword(const std::string& caption) override {
    captions.push_back(caption);
    return answer;
  }
  std::optional<std::string> answer;
  std::vector<std::string> captions;
};

class ProgramLockTest : public ::testing::Test {
 protected:
  void SetUp() override { std::filesystem::create_directory(files_.folder); }

  void WriteDataFile(const std::filesystem::path& path, const std::vector<Row>& rows) {
    ASSERT_TRUE(WriteListFile(rows, path).ok());
  }

  // The password dialog's OK; the result and the texts shown.
  PasswordDialogResult Ok(const PasswordDialogFields& fields) {
    ui_.messages.clear();
    return PasswordDialogOk(state_, fields, files_.password, language_, ui_);
  }

  // UnlockAtStart with the archive flagged (and the phonebook when asked),
  // the user typing `typed` (nothing: Cancel).
  UnlockResult Unlock(LockState& state, std::optional<std::string> typed, bool phonebook = false) {
    state.archive_needs_password = true;
    state.phonebook_needs_password = phonebook;
    prompt_.answer = std::move(typed);
    return UnlockAtStart(state, files_, prompt_, language_, ui_);
  }

  std::string LastMessage() const {
    return ui_.messages.empty() ? std::string() : ui_.messages.back().text;
  }

  test::TempFolder program_folder_;
  DataFiles files_{program_folder_.path()};
  LanguageLines language_ = test::RussianLanguage();
  ScriptedUserInterface ui_;
  ScriptedPrompt prompt_;
  LockState state_;
};

TEST_F(ProgramLockTest, SetChangeAndRemoveThePassword) {
  // A first password: the old password field is empty, as is the current password.
  EXPECT_EQ(Ok({"", "one", "one", W("Кличка кота?"), W("Барсик")}), PasswordDialogResult::kSet);
  EXPECT_EQ(LastMessage(), W("Пароль успешно установлен!"));
  EXPECT_EQ(ui_.messages.back().kind, MessageKind::kInformation);
  EXPECT_TRUE(state_.locked);
  EXPECT_EQ(state_.password, "one");

  // Changing needs the exact current password.
  EXPECT_EQ(Ok({"One", "two", "two", "", ""}), PasswordDialogResult::kWrongOldPassword);
  EXPECT_EQ(LastMessage(), W("Старый пароль неверный"));
  EXPECT_EQ(ui_.messages.back().kind, MessageKind::kError);
  EXPECT_EQ(state_.password, "one");

  EXPECT_EQ(Ok({"one", "two", "twO", "", ""}), PasswordDialogResult::kMismatch);
  EXPECT_EQ(LastMessage(), W("Пароли не совпадают"));
  EXPECT_EQ(state_.password, "one");

  EXPECT_EQ(Ok({"one", "two", "two", "q", "a"}), PasswordDialogResult::kSet);
  EXPECT_EQ(state_.password, "two");

  // Removing: the right old password and an empty new one.
  EXPECT_EQ(Ok({"two", "", "two", "", ""}), PasswordDialogResult::kRemoved);
  EXPECT_EQ(LastMessage(), W("Пароль удален!"));
  EXPECT_EQ(ui_.messages.back().kind, MessageKind::kInformation);
  EXPECT_FALSE(state_.locked);
  EXPECT_EQ(state_.password, "");
  EXPECT_FALSE(std::filesystem::exists(files_.password));

  // With no password in force, nothing is locked at exit.
  WriteDataFile(files_.archive, {MessageRow("a", "+1")});
  const std::string sealed = ReadBytes(files_.archive);
  EXPECT_TRUE(LockAtExit(state_, files_, ui_).ok());
  EXPECT_EQ(ReadBytes(files_.archive), sealed);
}

TEST_F(ProgramLockTest, PasswordRecordIsSealedUnderTheAnswer) {
  const PasswordDialogFields fields{"", W("Секрет"), W("Секрет"), W("Кличка кота?"), W("Барсик")};
  ASSERT_EQ(Ok(fields), PasswordDialogResult::kSet);
  const std::string on_disk = ReadBytes(files_.password);
  const std::string expected =
      JoinCrLf({"", W("Секрет"), W("Секрет"), W("Барсик"), W("Кличка кота?")});
  EXPECT_EQ(on_disk.size(), expected.size() + 16);
  EXPECT_EQ(UnsealBytes(on_disk, W("Барсик")).value(), expected);
  // The passphrase every copy of the program knows does not reveal it.
  EXPECT_EQ(UnsealBytes(on_disk, kFixedPassphrase).value().find(W("Секрет")), std::string::npos);

  // With an empty answer the three password lines are written empty.
  EXPECT_EQ(PasswordRecordText({"old", "new", "new", "question", ""}),
            JoinCrLf({"", "", "", "", "question"}));
  ASSERT_TRUE(WritePasswordRecord(files_.password, {"old", "new", "new", "question", ""}).ok());
  EXPECT_EQ(UnsealBytes(ReadBytes(files_.password), "").value(), "\r\n\r\n\r\n\r\nquestion\r\n");
}

TEST_F(ProgramLockTest, LockAtExitThenUnlockWithTheRightPassword) {
  WriteDataFile(files_.archive, {MessageRow("a", "+1"), MessageRow("b", "+2")});
  WriteDataFile(files_.phonebook, {test::ContactRow("A", "+1")});
  const std::string archive_sealed = ReadBytes(files_.archive);
  state_ = LockState{"pw", true};
  ASSERT_TRUE(LockAtExit(state_, files_, ui_).ok());
  EXPECT_EQ(ReadBytes(files_.archive).size(), archive_sealed.size() + 16);
  EXPECT_TRUE(CarriesOuterLayer(files_.archive).value());
  EXPECT_TRUE(CarriesOuterLayer(files_.phonebook).value());
  const std::string archive_locked = ReadBytes(files_.archive);
  const std::string phonebook_locked = ReadBytes(files_.phonebook);

  // The next start: the probe sets the flags, the right password opens both;
  // the layer comes off in memory only, the files stay locked.
  LockState next;
  EXPECT_EQ(Unlock(next, "pw", /*phonebook=*/true), UnlockResult::kUnlocked);
  EXPECT_EQ(prompt_.captions, std::vector<std::string>{W("Программа заблокирована")});
  EXPECT_TRUE(next.locked);
  EXPECT_FALSE(next.terminate);
  EXPECT_EQ(next.password, "pw");
  EXPECT_EQ(ReadBytes(files_.archive), archive_locked);
  EXPECT_EQ(ReadBytes(files_.phonebook), phonebook_locked);
  EXPECT_TRUE(ui_.messages.empty());

  // That run ends locked, with nothing left to do at its exit.
  ASSERT_TRUE(LockAtExit(next, files_, ui_).ok());
  EXPECT_EQ(ReadBytes(files_.archive), archive_locked);
}

TEST_F(ProgramLockTest, WrongPasswordOrCancelEndsTheStartAndChangesNothing) {
  WriteDataFile(files_.archive, {MessageRow("a", "+1")});
  WriteDataFile(files_.phonebook, {test::ContactRow("A", "+1")});
  ASSERT_TRUE(LockAtExit(LockState{"pw", true}, files_, ui_).ok());
  const std::string archive_locked = ReadBytes(files_.archive);
  const std::string phonebook_locked = ReadBytes(files_.phonebook);

  for (const std::optional<std::string>& answer :
       {std::optional<std::string>("PW"), std::optional<std::string>()}) {
    LockState state;
    ui_.messages.clear();
    const UnlockResult result = Unlock(state, answer, /*phonebook=*/true);
    EXPECT_TRUE(state.terminate);
    EXPECT_FALSE(state.locked);
    if (answer) {
      EXPECT_EQ(result, UnlockResult::kWrongPassword);
      EXPECT_EQ(LastMessage(), W("Пароль неверный!"));
      EXPECT_EQ(ui_.messages.back().kind, MessageKind::kError);
    } else {
      EXPECT_EQ(result, UnlockResult::kCancelled);
      EXPECT_TRUE(ui_.messages.empty());
    }
    EXPECT_EQ(ReadBytes(files_.archive), archive_locked);
    EXPECT_EQ(ReadBytes(files_.phonebook), phonebook_locked);
  }
}

TEST_F(ProgramLockTest, APasswordThatOpensOnlyOneFileOpensNone) {
  WriteDataFile(files_.archive, {MessageRow("a", "+1")});
  WriteDataFile(files_.phonebook, {test::ContactRow("A", "+1")});
  ASSERT_TRUE(EncryptInPlaceWith(files_.archive, "first").ok());
  ASSERT_TRUE(EncryptInPlaceWith(files_.phonebook, "second").ok());
  const std::string archive_locked = ReadBytes(files_.archive);
  LockState state;
  EXPECT_EQ(Unlock(state, "first", /*phonebook=*/true), UnlockResult::kWrongPassword);
  EXPECT_TRUE(state.terminate);
  EXPECT_EQ(ReadBytes(files_.archive), archive_locked);
}

TEST_F(ProgramLockTest, OnlyTheArchivePresent) {
  WriteDataFile(files_.archive, {MessageRow("a", "+1")});
  ASSERT_TRUE(LockAtExit(LockState{"pw", true}, files_, ui_).ok());
  EXPECT_FALSE(std::filesystem::exists(files_.phonebook));
  EXPECT_TRUE(CarriesOuterLayer(files_.archive).value());
  EXPECT_FALSE(CarriesOuterLayer(files_.phonebook).value());

  LockState state;
  EXPECT_EQ(Unlock(state, "pw"), UnlockResult::kUnlocked);
  EXPECT_TRUE(CarriesOuterLayer(files_.archive).value());
  test::StandaloneFile stored(files_.archive);
  stored.lock_state = state;
  RowList archive = MakeMessageList();
  ASSERT_TRUE(LoadListFile(archive, stored.file, ui_).ok());
  EXPECT_EQ(archive.rows.size(), 1u);
}

TEST_F(ProgramLockTest, CyrillicPasswordIsItsWindows1251Bytes) {
  WriteDataFile(files_.archive, {MessageRow("a", "+1")});
  ASSERT_TRUE(LockAtExit(LockState{W("пароль"), true}, files_, ui_).ok());
  LockState state;
  const std::string utf8 = "\xD0\xBF\xD0\xB0\xD1\x80\xD0\xBE\xD0\xBB\xD1\x8C";
  EXPECT_EQ(Unlock(state, utf8), UnlockResult::kWrongPassword);
  state = LockState{};
  EXPECT_EQ(Unlock(state, W("пароль")), UnlockResult::kUnlocked);
}

TEST_F(ProgramLockTest, LockedFileTooShortIsReportedByName) {
  test::WriteBytes(files_.archive, "short");
  EXPECT_FALSE(CarriesOuterLayer(files_.archive).ok());
  LockState state;
  EXPECT_EQ(Unlock(state, "pw"), UnlockResult::kFileError);
  EXPECT_TRUE(state.terminate);
  ASSERT_EQ(ui_.messages.size(), 1u);
  EXPECT_NE(ui_.messages[0].text.find("Messages.sms"), std::string::npos);
  EXPECT_EQ(ReadBytes(files_.archive), "short");
}

TEST_F(ProgramLockTest, ProbeSealsPlainFilesAndFlagsLockedOnes) {
  const std::string plain = EncodeListFile({MessageRow("a", "+1")}).value();
  test::WriteBytes(files_.archive, plain);
  WriteDataFile(files_.phonebook, {test::ContactRow("A", "+1")});
  ASSERT_TRUE(EncryptInPlaceWith(files_.phonebook, "pw").ok());

  LockState state;
  EXPECT_TRUE(ProbeDataFiles(files_, state).empty());
  EXPECT_FALSE(state.archive_needs_password);
  EXPECT_TRUE(state.phonebook_needs_password);
  // The plain archive rests sealed now and opens under the fixed passphrase.
  EXPECT_FALSE(StartsWithListFileMagic(ReadBytes(files_.archive)));
  EXPECT_EQ(UnsealFile(files_.archive, kFixedPassphrase).value(), plain);

  // A file too short for a container is a failure naming it; its flag stays clear.
  test::WriteBytes(files_.archive, "short");
  state = LockState{};
  state.archive_needs_password = true;
  const std::vector<Status> failures = ProbeDataFiles(files_, state);
  ASSERT_EQ(failures.size(), 1u);
  EXPECT_NE(failures[0].message().find("Messages.sms"), std::string::npos);
  EXPECT_FALSE(state.archive_needs_password);
  EXPECT_TRUE(state.phonebook_needs_password);

  // Without data files nothing is flagged.
  std::filesystem::remove(files_.archive);
  std::filesystem::remove(files_.phonebook);
  EXPECT_TRUE(ProbeDataFiles(files_, state).empty());
  EXPECT_FALSE(state.archive_needs_password || state.phonebook_needs_password);
}

}  // namespace
}  // namespace missivo
