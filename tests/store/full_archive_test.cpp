// An archive at the list file's limit, 65,535 message rows, saved, loaded,
// sorted by every column and saved again: the rows come back whole, and the
// leak checker of the test build sees the whole round.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "store/list_file.h"
#include "store/row_list.h"
#include "store_test_rows.h"
#include "support/test_support.h"

namespace missivo {
namespace {

std::vector<Row> FullArchiveOfMessages() {
  std::mt19937 random(7);
  std::uniform_int_distribution<int> length(20, 160);
  std::uniform_int_distribution<int> letter(0xC0, 0xFF);  // А..я in Windows-1251
  std::vector<Row> rows;
  rows.reserve(kListFileLimit);
  for (std::size_t i = 0; i < kListFileLimit; ++i) {
    std::string text(static_cast<std::size_t>(length(random)), ' ');
    for (char& c : text)
      c = static_cast<char>(letter(random));
    const std::string date = std::to_string(10 + i % 18) + "/0" + std::to_string(1 + i % 9) +
                             "/20" + std::to_string(10 + i % 15) + ",12:00:00";
    rows.push_back(test::MessageRow(std::move(text), "+7916" + std::to_string(1000000 + i % 997),
                                    std::to_string(i + 1), date));
  }
  return rows;
}

TEST(FullArchiveTest, SavedLoadedSortedAndSavedAgain) {
  test::TempFolder folder;
  const auto path = folder / "Messages.sms";
  RowList list = MakeMessageList();
  list.rows = FullArchiveOfMessages();
  test::ScriptedUserInterface ui;
  ASSERT_TRUE(test::ReplaceListFile(list, path, ui).ok());

  test::StandaloneFile archive_file(path);
  RowList loaded = MakeMessageList();
  ASSERT_TRUE(LoadListFile(loaded, archive_file.file, ui).ok());
  ASSERT_EQ(loaded.rows, list.rows);

  SortState state;
  for (int column = 0; column <= 5; ++column)
    SortListByColumn(loaded, column, state);
  ASSERT_TRUE(SaveListFile(loaded, archive_file.file, ui).ok());
  const Result<std::vector<Row>> stored = ReadListFile(path);
  ASSERT_TRUE(stored.ok());
  EXPECT_EQ(stored.value(), loaded.rows);
  // The same rows in another order.
  std::vector<Row> sorted_before = list.rows;
  std::vector<Row> sorted_after = stored.value();
  const auto by_index = [](const Row& a, const Row& b) {
    return SubItem(a, kIndex).size() != SubItem(b, kIndex).size()
               ? SubItem(a, kIndex).size() < SubItem(b, kIndex).size()
               : SubItem(a, kIndex) < SubItem(b, kIndex);
  };
  std::sort(sorted_before.begin(), sorted_before.end(), by_index);
  std::sort(sorted_after.begin(), sorted_after.end(), by_index);
  EXPECT_EQ(sorted_before, sorted_after);
  EXPECT_TRUE(ui.messages.empty());
}

}  // namespace
}  // namespace missivo
