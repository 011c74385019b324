// Grouping the archive into conversations: one per number whatever its form,
// newest conversation first, messages oldest first.
#include "store/conversations.h"

#include <gtest/gtest.h>

#include "store/message_fields.h"
#include "store_test_rows.h"
#include "support/test_support.h"

namespace missivo {
namespace {

using test::MessageRow;
using test::W;

TEST(ConversationsTest, GroupsByNumberWhateverItsFormNewestFirst) {
  const std::vector<Row> rows = {
      MessageRow("a", W("Мама (+79035550101)"), "1", "02/01/2006,10:00:00"),  // 0
      MessageRow("b", "Info", "2", "05/01/2006,10:00:00"),                    // 1
      MessageRow("c", "+79035550101", "3", "01/01/2006,09:00:00"),            // 2
      MessageRow("d", "89035550101", "4", "03/01/2006,10:00:00"),             // 3
      MessageRow("e", "info", "5", "04/01/2006,10:00:00"),                    // 4
      MessageRow("f", "+79161234567", "6", "bad"),                            // 5
      MessageRow("g", W("Мама (+79035550101)"), "7", "02/01/2006,10:00:00"),  // 6: same time as 0
  };
  const std::vector<Conversation> conversations = GroupConversations(rows);
  ASSERT_EQ(conversations.size(), 3u);

  // "Info" and "info" are one sender; its newest message is the newest of all.
  EXPECT_EQ(conversations[0].Title(), "Info");
  EXPECT_EQ(conversations[0].rows, (std::vector<std::size_t>{4, 1}));
  EXPECT_EQ(conversations[0].last_date_time, "05/01/2006,10:00:00");

  // The newest row (3) has no name: the name comes from the newest row that has one.
  EXPECT_EQ(conversations[1].Title(), "Мама");
  EXPECT_EQ(conversations[1].number, "89035550101");
  EXPECT_EQ(conversations[1].rows, (std::vector<std::size_t>{2, 0, 6, 3}));
  EXPECT_EQ(conversations[1].last_date_time, "03/01/2006,10:00:00");

  // No valid date: listed last, titled by its number.
  EXPECT_EQ(conversations[2].Title(), "+79161234567");
  EXPECT_EQ(conversations[2].rows, (std::vector<std::size_t>{5}));
}

// The lossless number groups a row whose From lost it (a name only) with the
// rows of that number; a row without lossless fields groups by its From.
TEST(ConversationsTest, TheLosslessNumberGroupsBeforeTheFrom) {
  Row named = MessageRow("a", W("Мама"), "1", "02/01/2006,10:00:00");
  MessageFields fields;
  fields.text = "a";
  fields.number = "+79035550101";
  WriteMessageFields(named, fields);
  const std::vector<Row> rows = {
      named,                                                       // 0
      MessageRow("b", "89035550101", "2", "03/01/2006,10:00:00"),  // 1
      MessageRow("c", W("Мама"), "3", "01/01/2006,10:00:00"),      // 2: no number anywhere
  };
  const std::vector<Conversation> conversations = GroupConversations(rows);
  ASSERT_EQ(conversations.size(), 2u);
  EXPECT_EQ(conversations[0].rows, (std::vector<std::size_t>{0, 1}));
  EXPECT_EQ(conversations[0].Title(), "Мама");
  EXPECT_EQ(conversations[1].rows, (std::vector<std::size_t>{2}));
}

TEST(ConversationsTest, TimeOrderOfChosenRows) {
  const std::vector<Row> rows = {
      MessageRow("a", "1", "1", "02/01/2006,10:00:00"),
      MessageRow("b", "1", "2", "28/12/2005,10:00:00"),
      MessageRow("c", "1", "3", "02/01/2006,09:59:59"),
  };
  const std::size_t chosen[] = {0, 2, 1, 7};
  EXPECT_EQ(RowsInTimeOrder(rows, chosen), (std::vector<std::size_t>{1, 2, 0}));
}

}  // namespace
}  // namespace missivo
