#include "store/row_list.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "store_test_rows.h"
#include "support/test_support.h"

namespace missivo {
namespace {

using test::MessageRow;
using test::W;

// A message list whose rows carry `values` in `column`; every caption also
// names the row's original position, to follow the order.
RowList ListWithColumn(int column, const std::vector<std::string>& values) {
  RowList list = MakeMessageList();
  for (std::size_t i = 0; i < values.size(); ++i) {
    Row row = MessageRow("row" + std::to_string(i), "+1555");
    if (column == 0) {
      row.caption = values[i];
    } else {
      row.sub_items[static_cast<std::size_t>(column - 1)] = values[i];
    }
    list.rows.push_back(row);
  }
  return list;
}

std::vector<std::string> Column(const RowList& list, int column) {
  std::vector<std::string> values;
  for (const Row& row : list.rows) {
    values.push_back(column == 0 ? row.caption
                                 : SubItem(row, static_cast<std::size_t>(column - 1)));
  }
  return values;
}

std::vector<std::string> Captions(const RowList& list) {
  return Column(list, 0);
}

std::vector<std::int32_t> Markers(std::initializer_list<std::pair<int, std::int32_t>> set) {
  std::vector<std::int32_t> markers(kMessageColumns, kNoMarker);
  for (const auto& [column, marker] : set)
    markers[static_cast<std::size_t>(column)] = marker;
  return markers;
}

TEST(SortListByColumnTest, SameColumnTwiceAscendingThenDescending) {
  RowList list = ListWithColumn(kColumnFrom, {"b", "c", "a"});
  SortState state;
  SortListByColumn(list, kColumnFrom, state);
  EXPECT_EQ(Column(list, kColumnFrom), (std::vector<std::string>{"a", "b", "c"}));
  EXPECT_EQ(list.markers, Markers({{kColumnFrom, kMarkerAscending}}));
  EXPECT_EQ(state.last_column, kColumnFrom);
  EXPECT_EQ(state.next_direction, 0);

  SortListByColumn(list, kColumnFrom, state);
  EXPECT_EQ(Column(list, kColumnFrom), (std::vector<std::string>{"c", "b", "a"}));
  EXPECT_EQ(list.markers, Markers({{kColumnFrom, kMarkerDescending}}));
  EXPECT_EQ(state.next_direction, 1);
}

TEST(SortListByColumnTest, AnotherColumnKeepsTheListsDirection) {
  RowList list = ListWithColumn(kColumnType, {"b", "a", "c"});
  SortState state;
  SortListByColumn(list, kColumnType, state);  // ascending
  SortListByColumn(list, kColumnText, state);  // another column: ascending again
  EXPECT_EQ(list.markers, Markers({{kColumnText, kMarkerAscending}}));
  EXPECT_EQ(Captions(list), (std::vector<std::string>{"row0", "row1", "row2"}));

  SortListByColumn(list, kColumnText, state);  // descending
  SortListByColumn(list, kColumnType, state);  // another column: descending again
  EXPECT_EQ(list.markers, Markers({{kColumnType, kMarkerDescending}}));
  EXPECT_EQ(Column(list, kColumnType), (std::vector<std::string>{"c", "b", "a"}));
}

TEST(SortListByColumnTest, SortStateIsSharedBetweenLists) {
  RowList list1 = ListWithColumn(kColumnDateTime, {"02/01/2006,00:00:00", "01/01/2006,00:00:00"});
  RowList list4 = ListWithColumn(kColumnDateTime, {"01/01/2006,00:00:00", "02/01/2006,00:00:00"});
  SortState state;
  SortListByColumn(list1, kColumnDateTime, state);  // List1 ascending
  SortListByColumn(list4, kColumnDateTime, state);  // same index: toggles to descending
  EXPECT_EQ(list4.markers, Markers({{kColumnDateTime, kMarkerDescending}}));
  EXPECT_EQ(Column(list4, kColumnDateTime),
            (std::vector<std::string>{"02/01/2006,00:00:00", "01/01/2006,00:00:00"}));
  EXPECT_EQ(list1.markers, Markers({{kColumnDateTime, kMarkerAscending}}));  // List1 untouched
}

TEST(SortListByColumnTest, DatesSortByYearMonthDayTime) {
  RowList list = ListWithColumn(kColumnDateTime, {"05/01/2006,10:00:00", "28/12/2005,23:59:59",
                                                  "05/01/2006,09:59:59", "short"});
  SortState state;
  SortListByColumn(list, kColumnDateTime, state);
  EXPECT_EQ(Column(list, kColumnDateTime),
            (std::vector<std::string>{"28/12/2005,23:59:59", "05/01/2006,09:59:59",
                                      "05/01/2006,10:00:00", "short"}));  // key "rtsh"
  EXPECT_EQ(DateSortKey("28/12/2005,23:59:59"), "2005/12/2823:59:59");
  EXPECT_EQ(DateSortKey(""), "");
}

TEST(SortListByColumnTest, NonNumbersSortAsZeroAndEqualRowsKeepTheirOrder) {
  const std::vector<std::string> sizes = {"10", "abc", "-3", "", "5", "x", "0"};
  for (const int column : {kColumnSize, kColumnIndex}) {
    RowList list = ListWithColumn(column, sizes);
    SortState state;
    SortListByColumn(list, column, state);
    EXPECT_EQ(Captions(list),
              (std::vector<std::string>{"row2", "row1", "row3", "row5", "row6", "row4", "row0"}));
    SortListByColumn(list, column, state);  // descending: equal rows still keep their order
    EXPECT_EQ(Captions(list),
              (std::vector<std::string>{"row0", "row4", "row1", "row3", "row5", "row6", "row2"}));
  }
}

TEST(SortListByColumnTest, TextComparesUpperCasedBytes) {
  RowList list = ListWithColumn(
      kColumnText, {"banana", W("яблоко"), "Apple", W("Арбуз"), W("ёлка"), "app", "[x]"});
  SortState state;
  SortListByColumn(list, kColumnText, state);
  // Upper case first: A..Z (41-5A) < [ (5B) < Ё (A8) < А (C0) < Я (DF); a prefix first.
  EXPECT_EQ(Captions(list), (std::vector<std::string>{"app", "Apple", "banana", "[x]", W("ёлка"),
                                                      W("Арбуз"), W("яблоко")}));
}

TEST(SortListByColumnTest, ContactListAndUnknownColumns) {
  RowList list = MakeContactList();
  list.rows = {test::ContactRow("B", "+2"), test::ContactRow("A", "+1")};
  SortState state;
  SortListByColumn(list, 5, state);  // the phonebook has no column 5
  EXPECT_EQ(state.last_column, -1);
  EXPECT_EQ(list.rows[0].caption, "B");
  SortListByColumn(list, 1, state);
  EXPECT_EQ(list.rows[0].caption, "A");
  EXPECT_EQ(list.markers, (std::vector<std::int32_t>{kNoMarker, kMarkerAscending}));
}

TEST(UpperCaseAnsiTest, WindowsCyrillicLetters) {
  EXPECT_EQ(UpperCaseAnsi(W("абвгдеёжзийклмнопрстуфхцчшщъыьэюя")),
            W("АБВГДЕЁЖЗИЙКЛМНОПРСТУФХЦЧШЩЪЫЬЭЮЯ"));
  EXPECT_EQ(UpperCaseAnsi(W("ђѓљњќћџўјґєїіѕ")), W("ЂЃЉЊЌЋЏЎЈҐЄЇІЅ"));
  EXPECT_EQ(UpperCaseAnsi("az09 ,.\xB5"), "AZ09 ,.\xB5");  // µ has no upper case in the page
}

TEST(WholeNumberOrZeroTest, SignedThirtyTwoBitOrZero) {
  const struct {
    const char* text;
    std::int32_t value;
  } cases[] = {
      {"12", 12},
      {"-5", -5},
      {"+7", 7},
      {"0012", 12},
      {"2147483647", 2147483647},
      {"-2147483648", -2147483648},
      {"2147483648", 0},
      {"abc", 0},
      {"", 0},
      {"12 ", 0},
      {" 12", 0},
      {"+-5", 0},
      {"1.5", 0},
      {"0x1F", 0},
  };
  for (const auto& c : cases)
    EXPECT_EQ(WholeNumberOrZero(c.text), c.value) << c.text;
}

TEST(RowListTest, RowsAtAndRemoveRowsAt) {
  RowList list = ListWithColumn(kColumnFrom, {"a", "b", "c", "d"});
  const std::size_t picked[] = {2, 0, 9};
  const std::vector<Row> picked_rows = RowsAt(list, picked);
  ASSERT_EQ(picked_rows.size(), 2u);
  EXPECT_EQ(picked_rows[0].caption, "row2");
  EXPECT_EQ(picked_rows[1].caption, "row0");
  const std::size_t doomed[] = {3, 1, 1, 7};
  EXPECT_EQ(RemoveRowsAt(list, doomed), 2u);
  EXPECT_EQ(Captions(list), (std::vector<std::string>{"row0", "row2"}));
}

}  // namespace
}  // namespace missivo
