// The window with the largest lists it meets: a read of 1,000 messages (with
// deleting on) and an archive at the list file's limit of 65,535 rows, loaded,
// sorted and saved at exit. The leak checker of the test build sees both.
#include <QAction>

#include "app/check_box.h"
#include "app/qt_user_interface.h"
#include "app/row_model.h"
#include "phone_window.h"
#include "store/list_file.h"
#include "support/read_faults.h"

namespace missivo::test {
namespace {

using LargeListsTest = PhoneWindowTest;

TEST_F(LargeListsTest, ReadOfAThousandMessages) {
  PhoneSim phone(ScenarioWithMessages(1000));
  auto program = StartOn(phone.Device());
  TForm1& form = program->form1();
  form.Check6->SetChecked(true);
  form.N18->trigger();
  EXPECT_EQ(form.List1Rows->rows().size(), 1000u);
  EXPECT_EQ(ReadListFile(form.Files().archive).value().size(), 1000u);
  EXPECT_EQ(DeletedOnPhone(phone).size(), 1000u);
  EXPECT_TRUE(form.bsSkinMessage1->shown().empty());
}

TEST_F(LargeListsTest, ArchiveAtTheLimitLoadedSortedAndSaved) {
  std::vector<Row> rows;
  rows.reserve(kListFileLimit);
  for (std::size_t i = 0; i < kListFileLimit; ++i) {
    rows.push_back(Row{W("Сообщение номер ") + std::to_string(i) + std::string(100, 'x'),
                       {"+7916" + std::to_string(1000000 + i % 997),
                        std::to_string(10 + i % 18) + "/05/2024,12:00:00", "116",
                        std::to_string(i + 1), W("Входящие")},
                       kImageIncoming});
  }
  const DataFiles files(folder() / "program");
  std::filesystem::create_directories(files.folder);
  ASSERT_TRUE(WriteListFile(rows, files.archive).ok());

  auto program = StartProgram();
  TForm1& form = program->form1();
  ASSERT_EQ(form.List4Rows->rows().size(), kListFileLimit);
  form.List4ColumnClick(2);  // by date, and saved
  EXPECT_EQ(SubItem(form.List4Rows->rows().front(), kDateTime), "10/05/2024,12:00:00");
  form.close();
  const Result<std::vector<Row>> saved = ReadListFile(files.archive);
  ASSERT_TRUE(saved.ok());
  EXPECT_EQ(saved.value(), form.List4Rows->rows());
  EXPECT_TRUE(form.bsSkinMessage1->shown().empty());
}

}  // namespace
}  // namespace missivo::test
