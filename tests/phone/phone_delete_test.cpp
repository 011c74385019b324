// Deleting messages on the simulated phone over a real pseudo-terminal.
#include "phone/phone_delete.h"

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "phone/message_read.h"
#include "support/phone_link.h"
#include "support/test_support.h"

namespace missivo {
namespace {

using nlohmann::json;
using test::PhoneLink;
using test::W;

// Five stored messages at indexes 11 to 15, read into the messages list.
struct ReadPhone {
  ReadPhone() : link(Scenario()) {
    list1 = ReadMessages(link.exchange, {}, link.language, link.ui).rows;
    read_commands = link.phone.Commands().size();
  }

  static std::string Scenario() {
    json messages = json::array();
    for (int index = 11; index <= 15; ++index) {
      // Built by appending: GCC 12 warns falsely (-Wrestrict) on "m" + std::string.
      std::string text = "m";
      text.append(std::to_string(index));
      messages.push_back({{"index", index},
                          {"status", "REC READ"},
                          {"sender", "+7916"},
                          {"date", "2024/05/01,12:00:00"},
                          {"text", text}});
    }
    return json{{"messages", messages}}.dump();
  }

  // The commands after the read.
  std::vector<std::string> Sent() const {
    const auto all = link.phone.Commands();
    return {all.begin() + static_cast<std::ptrdiff_t>(read_commands), all.end()};
  }

  // The indexes the phone still lists.
  std::vector<std::string> Left() {
    std::vector<std::string> left;
    for (const Row& row : ReadMessages(link.exchange, {}, link.language, link.ui).rows)
      left.push_back(SubItem(row, kIndex));
    return left;
  }

  PhoneLink link;
  std::vector<Row> list1;
  std::size_t read_commands = 0;
};

TEST(DeleteOnPhoneTest, SelectedRowsInListOrder) {
  ReadPhone phone;
  ASSERT_EQ(phone.list1.size(), 5u);
  DeleteRowsOnPhone(phone.link.exchange, phone.list1, {4, 0, 2, 4, 9}, phone.link.ui);
  EXPECT_EQ(phone.Sent(), (std::vector<std::string>{"AT+CMGD=11", "AT+CMGD=13", "AT+CMGD=15"}));
  EXPECT_EQ(phone.link.ui.progress_maximum, 3);
  EXPECT_EQ(phone.link.ui.progress_position, 4);  // the last row's place in the list
  EXPECT_FALSE(phone.link.ui.progress_visible);
  EXPECT_EQ(phone.Left(), (std::vector<std::string>{"12", "14"}));
}

TEST(DeleteOnPhoneTest, NoRowSelectedSendsNothing) {
  ReadPhone phone;
  DeleteRowsOnPhone(phone.link.exchange, phone.list1, {}, phone.link.ui);
  EXPECT_TRUE(phone.Sent().empty());
  EXPECT_EQ(phone.link.ui.progress_maximum, 0);
  EXPECT_FALSE(phone.link.ui.progress_visible);
}

TEST(DeleteOnPhoneTest, AllRows) {
  ReadPhone phone;
  DeleteAllOnPhone(phone.link.exchange, phone.list1, phone.link.ui);
  EXPECT_EQ(phone.Sent(), (std::vector<std::string>{"AT+CMGD=11", "AT+CMGD=12", "AT+CMGD=13",
                                                    "AT+CMGD=14", "AT+CMGD=15"}));
  EXPECT_EQ(phone.link.ui.progress_maximum, 5);
  EXPECT_TRUE(phone.Left().empty());

  DeleteAllOnPhone(phone.link.exchange, {}, phone.link.ui);
  EXPECT_EQ(phone.Sent().size(), 5u + 4u);  // and the set-up and listing of Left()
}

TEST(DeleteOnPhoneTest, ClosedPortReachesNothing) {
  ReadPhone phone;
  phone.link.port.Close();
  phone.link.terminal.lines.clear();
  DeleteAllOnPhone(phone.link.exchange, phone.list1, phone.link.ui);
  DeleteMessagesOnPhone(phone.link.exchange, {"11"}, phone.link.ui);
  EXPECT_EQ(phone.link.terminal.lines, std::vector<std::string>(6, W("Нет связи")));
  phone.link.port.Open();
  EXPECT_TRUE(phone.Sent().empty());
  EXPECT_EQ(phone.Left().size(), 5u);
}

}  // namespace
}  // namespace missivo
