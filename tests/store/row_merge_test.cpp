// The three-way merge of rows that a save does when another process changed
// the file since this one saw it.
#include "store/row_merge.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "store_test_rows.h"

namespace missivo::test {
namespace {

// Rows named by their text only; a trailing ' marks an edited copy (another
// Date/Time), so "a" and "a'" are one message before and after an edit.
std::vector<Row> Rows(const std::vector<std::string>& names) {
  std::vector<Row> rows;
  for (const std::string& name : names) {
    Row row = MessageRow(name.substr(0, name.find('\'')), "+7900", "1");
    if (name.ends_with('\'')) row.sub_items[kDateTime] = "01/01/2030,00:00:00";
    rows.push_back(row);
  }
  return rows;
}

std::vector<std::string> Names(const std::vector<Row>& rows) {
  std::vector<std::string> names;
  for (const Row& row : rows)
    names.push_back(row.caption + (row.sub_items[kDateTime].starts_with("01/01/2030") ? "'" : ""));
  return names;
}

struct MergeCase {
  const char* name;
  std::vector<std::string> base, ours, theirs, merged;
};

TEST(RowMergeTest, EachSideKeepsItsChanges) {
  const MergeCase cases[] = {
      {"nothing changed", {"a", "b"}, {"a", "b"}, {"a", "b"}, {"a", "b"}},
      {"they appended, we kept", {"a"}, {"a"}, {"a", "x", "y"}, {"a", "x", "y"}},
      {"both appended different rows", {"a"}, {"a", "m"}, {"a", "x"}, {"a", "m", "x"}},
      {"we deleted, they appended", {"a", "b"}, {"b"}, {"a", "b", "x"}, {"b", "x"}},
      {"they deleted, we appended", {"a", "b"}, {"a", "b", "m"}, {"b"}, {"b", "m"}},
      {"both deleted the same row", {"a", "b"}, {"b"}, {"b"}, {"b"}},
      {"we deleted everything, they appended", {"a", "b"}, {}, {"a", "b", "x"}, {"x"}},
      {"file removed by them, we appended", {"a"}, {"a", "m"}, {}, {"m"}},
      {"our edit is not undone by their append",
       {"a", "b"},
       {"a'", "b"},
       {"a", "b", "x"},
       {"a'", "b", "x"}},
      {"their edit is not undone by our save",
       {"a", "b"},
       {"a", "b", "m"},
       {"a'", "b"},
       {"b", "m", "a'"}},
      {"we edited a row they deleted: the edit stays", {"a", "b"}, {"a'", "b"}, {"b"}, {"a'", "b"}},
      {"both appended the same message: once", {"a"}, {"a", "x"}, {"a", "x"}, {"a", "x"}},
      {"both renamed the same row the same way: once", {"a"}, {"a'"}, {"a'"}, {"a'"}},
      {"we sorted, they appended: our order, then theirs",
       {"a", "b"},
       {"b", "a"},
       {"a", "b", "x"},
       {"b", "a", "x"}},
      {"a doubled row: we dropped one copy, they kept both",
       {"a", "a"},
       {"a"},
       {"a", "a", "x"},
       {"a", "x"}},
      {"they imported a copy of a row we hold twice", {"a"}, {"a", "a"}, {"a", "a"}, {"a", "a"}},
  };
  for (const MergeCase& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(Names(MergeRows(CountRows(Rows(c.base)), Rows(c.ours), Rows(c.theirs))), c.merged);
  }
}

TEST(RowMergeTest, EveryFieldIsPartOfTheRow) {
  // Rows that differ only in a sub-item past the five, or in the image, are
  // different rows: an edit of either is not lost.
  Row plain = MessageRow("t", "+7900");
  Row extra = plain;
  extra.sub_items.push_back("2024-05-01T12:00:00+03:00");
  Row other_image = plain;
  other_image.image = kImageOutgoing;
  EXPECT_NE(RowKey(plain), RowKey(extra));
  EXPECT_NE(RowKey(plain), RowKey(other_image));
  // Texts that run together differently are different rows too.
  Row split = MessageRow("ab", "c");
  Row joined = MessageRow("a", "bc");
  EXPECT_NE(RowKey(split), RowKey(joined));

  const std::vector<Row> merged = MergeRows(CountRows({plain}), {extra}, {plain, other_image});
  EXPECT_EQ(merged, (std::vector<Row>{extra, other_image}));
}

}  // namespace
}  // namespace missivo::test
