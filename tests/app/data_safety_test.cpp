// The window among other Missivo programs on one folder: a damaged archive
// kept and salvaged, rows another program saved shown without a restart and
// kept by the window's own saves, the password layer left on disk, and one
// window per folder.
#include <gtest/gtest.h>

#include <QToolButton>
#include <QTreeView>
#include <nlohmann/json.hpp>

#include "app/qt_user_interface.h"
#include "app/row_model.h"
#include "app/single_instance.h"
#include "phone_window.h"
#include "store/container.h"
#include "store/list_file.h"
#include "support/phone_scenario.h"
#include "text/cp1251.h"

namespace missivo::test {
namespace {

std::vector<Row> Messages(const std::string& tag, int count) {
  std::vector<Row> rows;
  for (int i = 1; i <= count; ++i) {
    rows.push_back(
        Row{tag + " " + std::to_string(i),
            {"+7900" + std::to_string(i), "01/05/2024,12:00:00", "9", std::to_string(i), "x"},
            kImageIncoming});
  }
  return rows;
}

// Another Missivo program on the same folder.
struct OtherProgram {
  explicit OtherProgram(const std::filesystem::path& folder)
      : store(folder, lock, DamagePolicy::kRefuse) {
    (void)store.archive().Load(archive.rows);
  }
  void Append(const std::vector<Row>& rows) {
    archive.rows.insert(archive.rows.end(), rows.begin(), rows.end());
    ASSERT_TRUE(SaveListFile(archive, store.archive(), ui).ok());
  }
  LockState lock;
  DataStore store;
  RowList archive = MakeMessageList();
  ScriptedUserInterface ui;
};

class DataSafetyTest : public PhoneWindowTest {
 protected:
  DataFiles Files() const { return DataFiles(folder() / "program"); }
  std::vector<Row> ArchiveOnDisk() const { return ReadListFile(Files().archive).value(); }
};

TEST_F(DataSafetyTest, ADamagedArchiveIsKeptAndItsReadableRowsOffered) {
  // 200 rows of equal length; the plain content cut inside row 101.
  std::filesystem::create_directories(Files().folder);
  const std::string plain = EncodeListFile(Messages("row", 200)).value();
  std::string cut = EncodeListFile(Messages("row", 100)).value();
  cut = plain.substr(0, cut.size() + 7);
  const std::string damaged = SealBytes(cut, kFixedPassphrase);
  WriteBytes(Files().archive, damaged);

  PhoneSim phone(nlohmann::json{{"messages", UniqueMessages("new", 3)}}.dump());
  auto program = StartOn(phone.Device());
  TForm1& form = program->form1();
  ASSERT_EQ(form.List4Rows->rows().size(), 100u);
  EXPECT_EQ(form.List4Rows->rows().front().caption, "row 1");
  EXPECT_EQ(form.List4Rows->rows().back().caption, "row 100");

  // The start said so, and where the damaged file is: never "File not found".
  std::filesystem::path aside;
  for (const auto& entry : std::filesystem::directory_iterator(Files().folder)) {
    if (entry.path().filename().string().starts_with("Messages.sms.damaged-")) aside = entry.path();
  }
  ASSERT_FALSE(aside.empty());
  EXPECT_EQ(ReadBytes(aside), damaged);
  const std::vector<std::string> shown = ShownTexts(form);
  ASSERT_FALSE(shown.empty());
  EXPECT_NE(shown.front().find("is damaged"), std::string::npos) << shown.front();
  EXPECT_NE(shown.front().find(aside.filename().string()), std::string::npos);
  EXPECT_NE(shown.front().find("100 rows"), std::string::npos);
  for (const std::string& text : shown)
    EXPECT_EQ(text.find("File not found"), std::string::npos);

  // A read adds to the rows kept; the damaged file stays as it was.
  form.bsSkinSpeedButton3->click();
  ASSERT_TRUE(WaitFor([&] { return form.List4Rows->rows().size() == 103u; }));
  EXPECT_EQ(ArchiveOnDisk().size(), 103u);
  EXPECT_EQ(ReadBytes(aside), damaged);
}

TEST_F(DataSafetyTest, RowsAnotherProgramSavesAppearAndTheWindowsSavesKeepThem) {
  std::filesystem::create_directories(Files().folder);
  ASSERT_TRUE(WriteListFile(Messages("old", 3), Files().archive).ok());
  auto program = StartProgram();
  TForm1& form = program->form1();
  ASSERT_EQ(form.List4Rows->rows().size(), 3u);

  OtherProgram cli(folder() / "program");
  cli.Append(Messages("cli", 2));
  // Shown without a restart.
  ASSERT_TRUE(WaitFor([&] { return form.List4Rows->rows().size() == 5u; }));

  // More come while the window deletes a row of its own: both changes stay.
  cli.Append(Messages("late", 1));
  form.List4->setFocus();
  form.List4->selectionModel()->select(form.List4Rows->index(0, 0),
                                       QItemSelectionModel::Select | QItemSelectionModel::Rows);
  form.N21->trigger();
  std::vector<std::string> texts;
  for (const Row& row : ArchiveOnDisk())
    texts.push_back(row.caption);
  EXPECT_EQ(texts, (std::vector<std::string>{"old 2", "old 3", "cli 1", "cli 2", "late 1"}));

  // The other program's next save does not bring the deleted row back.
  cli.Append(Messages("last", 1));
  EXPECT_EQ(ArchiveOnDisk().size(), 6u);
  EXPECT_EQ(ArchiveOnDisk().front().caption, "old 2");
}

TEST_F(DataSafetyTest, ALockedFolderStaysLockedOnDiskWhileTheWindowRuns) {
  std::filesystem::create_directories(Files().folder);
  ASSERT_TRUE(WriteListFile(Messages("m", 3), Files().archive).ok());
  ASSERT_TRUE(EncryptInPlaceWith(Files().archive, W("секрет")).ok());
  auto program = std::make_unique<Program>(Options(), std::chrono::minutes(1));
  program->form1().bsSkinMessage1->SetNextPassword(W("секрет"));
  ASSERT_TRUE(program->Start());
  TForm1& form = program->form1();
  ASSERT_EQ(form.List4Rows->rows().size(), 3u);
  EXPECT_TRUE(CarriesOuterLayer(Files().archive).value());
  // A save (a click on a column header) writes the locked form again.
  form.List4ColumnClick(0);
  EXPECT_TRUE(CarriesOuterLayer(Files().archive).value());
  EXPECT_EQ(ReadListFile(Files().archive).ok(), false);
  form.close();
  EXPECT_TRUE(CarriesOuterLayer(Files().archive).value());
}

TEST_F(DataSafetyTest, ASecondStartOnTheFolderRaisesTheFirstAndEnds) {
  const std::filesystem::path program_folder = folder() / "program";
  int raised = 0;
  SingleInstance first(program_folder);
  ASSERT_TRUE(first.Claim([&] { ++raised; }));
  SingleInstance second(program_folder);
  EXPECT_FALSE(second.Claim({}, std::chrono::seconds(5)));
  ASSERT_TRUE(WaitFor([&] { return raised == 1; }));
  // Another folder has a window of its own.
  SingleInstance elsewhere(folder() / "elsewhere");
  EXPECT_TRUE(elsewhere.Claim({}));
}

}  // namespace
}  // namespace missivo::test
