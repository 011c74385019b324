// The window's start and exit against disk faults: a read-only Data folder or
// Language folder, a full disk at exit, an archive file replaced by a
// directory. The user is told, nothing that was on disk is damaged, and the
// next start opens everything. The faults are mounts in a mount namespace of
// the test's own (tests/support/private_mounts.h); where none can be made
// (not root: the window's threads rule out a user namespace) they are skipped.
#include "app/qt_user_interface.h"
#include "app/row_model.h"
#include "app_test_support.h"
#include "store/list_file.h"
#include "support/private_mounts.h"
#include "text/cp1251.h"
#include "transfer/templates.h"

namespace missivo::test {
namespace {

class WindowDiskFaults : public AppTest {
 protected:
  void SetUp() override {
    if (const auto why = EnterPrivateMounts()) GTEST_SKIP() << "no private mounts: " << *why;
  }

  static std::vector<Row> Messages() {
    return {Row{W("Привет"), {"+79001234567", "05/01/2006,10:00:00", "6", "1", W("Входящие")}, 2}};
  }
  static std::vector<Row> Contacts() { return {Row{W("Мама"), {"+79001234567"}, 30}}; }

  const DataFiles files_{folder() / "program"};

  void WriteDataFiles() {
    std::filesystem::create_directories(files_.folder);
    ASSERT_TRUE(WriteListFile(Messages(), files_.archive).ok());
    ASSERT_TRUE(WriteListFile(Contacts(), files_.phonebook).ok());
  }

  // A start without faults: no message, both lists and both templates there.
  void ExpectAGoodStart() {
    auto program = StartProgram();
    TForm1& form = program->form1();
    EXPECT_TRUE(form.bsSkinMessage1->shown().empty());
    EXPECT_EQ(form.List4Rows->rows(), Messages());
    EXPECT_EQ(form.List2Rows->rows(), Contacts());
    for (const TemplateKind kind : {TemplateKind::kText, TemplateKind::kHtml})
      EXPECT_TRUE(std::filesystem::exists(files_.folder / TemplateFileName(kind)));
  }

  // The texts shown, as UTF-8.
  static std::vector<std::string> Shown(TForm1& form) {
    std::vector<std::string> texts;
    for (const auto& shown : form.bsSkinMessage1->shown())
      texts.push_back(Cp1251ToUtf8(shown.text));
    return texts;
  }
};

TEST_F(WindowDiskFaults, ReadOnlyDataFolder) {
  WriteDataFiles();
  {
    const ScopedMount read_only = BindReadOnly(files_.folder);
    auto program = StartProgram();
    TForm1& form = program->form1();
    EXPECT_EQ(form.List4Rows->rows(), Messages());
    EXPECT_EQ(form.List2Rows->rows(), Contacts());
    // The templates could not be written: said once, naming the first.
    ASSERT_EQ(Shown(form).size(), 1u) << testing::PrintToString(Shown(form));
    EXPECT_NE(Shown(form)[0].find("TextTemplate.tml"), std::string::npos) << Shown(form)[0];
    EXPECT_NE(Shown(form)[0].find("Read-only file system"), std::string::npos);

    // The exit cannot save the archive: said, and the file is as it was.
    form.List4Rows->SetRows({Messages()[0], Messages()[0]});
    form.close();
    ASSERT_EQ(Shown(form).size(), 2u);
    EXPECT_NE(Shown(form)[1].find("Messages.sms"), std::string::npos) << Shown(form)[1];
  }
  ExpectAGoodStart();
}

TEST_F(WindowDiskFaults, ReadOnlyLanguageFolder) {
  const std::filesystem::path language = folder() / "program" / "Language";
  std::filesystem::create_directories(language);
  {
    const ScopedMount read_only = BindReadOnly(language);
    auto program = StartProgram();
    ASSERT_FALSE(Shown(program->form1()).empty());
    EXPECT_NE(Shown(program->form1())[0].find("Russian.lng"), std::string::npos)
        << Shown(program->form1())[0];
  }
  auto program = StartProgram();
  EXPECT_TRUE(program->form1().bsSkinMessage1->shown().empty());
  EXPECT_TRUE(std::filesystem::exists(language / "Russian.lng"));
}

TEST_F(WindowDiskFaults, FullDiskAtExit) {
  const ScopedMount disk = MountTmpfs(folder() / "program", 512 * 1024);
  WriteDataFiles();
  {
    auto program = StartProgram();
    TForm1& form = program->form1();
    ASSERT_TRUE(form.bsSkinMessage1->shown().empty()) << Shown(form)[0];
    const std::filesystem::path filler = FillUp(folder() / "program", "filler");
    form.List4Rows->SetRows({Messages()[0], Messages()[0]});
    form.close();
    ASSERT_EQ(Shown(form).size(), 1u);
    EXPECT_NE(Shown(form)[0].find("No space left on device"), std::string::npos) << Shown(form)[0];
    std::filesystem::remove(filler);
  }
  ExpectAGoodStart();
}

TEST_F(WindowDiskFaults, ArchiveFileReplacedByADirectory) {
  WriteDataFiles();
  std::filesystem::remove(files_.archive);
  std::filesystem::create_directories(files_.archive / "inside");
  {
    auto program = StartProgram();
    TForm1& form = program->form1();
    const std::vector<std::string> shown = Shown(form);
    EXPECT_TRUE(std::any_of(shown.begin(), shown.end(), [](const std::string& text) {
      return text.find("Messages.sms") != std::string::npos;
    })) << shown.size();
    EXPECT_TRUE(form.List4Rows->rows().empty());
    EXPECT_EQ(form.List2Rows->rows(), Contacts());
    form.close();
    EXPECT_TRUE(std::filesystem::exists(files_.archive / "inside"));
  }
  std::filesystem::remove_all(files_.archive);
  ASSERT_TRUE(WriteListFile(Messages(), files_.archive).ok());
  ExpectAGoodStart();
}

}  // namespace
}  // namespace missivo::test
