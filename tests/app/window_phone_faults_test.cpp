// The read command through the window (F3, with deleting and the phonebook on)
// against a phone that fails at a representative command of the conversation:
// after each fault the window's phone commands are back, the port is open or
// closed as the fault says, the data files hold nothing broken, and connecting
// again and reading again works. Each case prints its row of the fault table.
#include <QAction>
#include <QComboBox>
#include <QPushButton>
#include <QToolButton>
#include <algorithm>
#include <iostream>

#include "app/check_box.h"
#include "app/qt_user_interface.h"
#include "app/row_model.h"
#include "phone/at_exchange.h"
#include "phone/serial/com_port.h"
#include "phone_window.h"
#include "support/read_faults.h"

namespace missivo::test {
namespace {

constexpr auto kSilenceLimit = std::chrono::milliseconds(300);

// The commands a fault hits, by number in the conversation: the first set-up
// command, the listing, the second read, the first delete, the last phonebook batch.
const std::pair<int, const char*> kFaultyCommands[] = {
    {1, "AT+CMGF=1"}, {4, "at+cmgl=\"ALL\""}, {6, "AT+CMGR=2"},
    {7, "AT+CMGD=1"}, {13, "AT+MPBR=51,60"},
};

class WindowReadFaults : public PhoneWindowTest, public ::testing::WithParamInterface<PhoneFault> {
 protected:
  // A started program on `phone` with the old data files, reading with
  // deleting and the phonebook on.
  std::unique_ptr<Program> StartReading(const PhoneSim& phone) {
    std::filesystem::remove_all(folder() / "program");
    WriteOldDataFiles(DataFiles(folder() / "program"));
    auto program = StartOn(phone.Device());
    TForm1& form = program->form1();
    form.Exchange->SetSilenceLimit(kSilenceLimit);
    // The commands are numbered in the family's conversation: no identification before it.
    form.PhoneKindBox->setCurrentIndex(static_cast<int>(PhoneKind::kFamily));
    form.Check6->SetChecked(true);
    form.Check7->SetChecked(true);
    return program;
  }

  static bool PhoneCommandsEnabled(TForm1& form) {
    for (QAction* item : {form.N10, form.N18, form.N19, form.MenuItem1, form.MenuItem2})
      if (!item->isEnabled()) return false;
    return form.ConnB->isEnabled() && form.bsSkinSpeedButton3->isEnabled() &&
           form.bsSkinButton1->isEnabled();
  }
};

TEST_P(WindowReadFaults, TheWindowStaysUsable) {
  const PhoneFault fault = GetParam();
  // What a read without faults leaves in the lists.
  std::vector<Row> whole_messages;
  std::vector<Row> whole_contacts;
  {
    PhoneSim phone(FaultPhone().dump());
    auto program = StartReading(phone);
    program->form1().N18->trigger();
    whole_messages = program->form1().List1Rows->rows();
    whole_contacts = program->form1().List2Rows->rows();
    ASSERT_EQ(whole_messages.size(), 2u);
    ASSERT_EQ(whole_contacts.size(), 2u);
  }

  for (const auto& [number, command] : kFaultyCommands) {
    SCOPED_TRACE(std::string(FaultName(fault)) + " at command " + std::to_string(number) + " " +
                 command);
    PhoneSim phone(WithFault(FaultPhone(), fault, number).dump());
    auto program = StartReading(phone);
    TForm1& form = program->form1();
    const DataFiles files(folder() / "program");

    form.N18->trigger();
    EXPECT_TRUE(PhoneCommandsEnabled(form));
    EXPECT_EQ(form.Comm->Active(), PortStaysOpen(fault));
    const std::vector<std::string> shown = ShownTexts(form);
    const DataFilesAfter after = CheckDataFiles(files, whole_messages, whole_contacts);
    for (const std::string& problem : after.problems)
      ADD_FAILURE() << problem;
    const std::vector<std::string> deleted = DeletedOnPhone(phone);
    for (const std::string& index : deleted)
      EXPECT_TRUE(HoldsIndex(after.archive, index)) << index;

    std::string told =
        shown.empty() ? "nothing" : QString::fromStdString(shown.front()).left(40).toStdString();
    std::replace(told.begin(), told.end(), '\r', ' ');
    std::replace(told.begin(), told.end(), '\n', ' ');
    std::cout << "| " << number << " `" << command << "` | " << FaultName(fault)
              << " | told: " << told << "; port " << (form.Comm->Active() ? "open" : "closed")
              << "; archive +" << after.new_messages << "; deleted " << deleted.size()
              << "; phonebook " << after.phonebook << " |\n";

    // Connected again (to the phone's new device after a hang-up), the next
    // read takes the rest: every message ends in the archive file, and a third
    // read finds the phone empty.
    if (!form.Comm->Active()) {
      if (fault == PhoneFault::kHangUp) {
        form.PT->setEditText(
            QString::fromStdString(phone.WaitForNextDevice(std::chrono::seconds(5))));
      }
      form.ConnB->click();
      ASSERT_TRUE(form.Comm->Active());
    }
    const std::size_t shown_before = form.bsSkinMessage1->shown().size();
    form.N18->trigger();
    EXPECT_EQ(form.bsSkinMessage1->shown().size(), shown_before) << ShownTexts(form).back();
    EXPECT_TRUE(form.Comm->Active());
    const DataFilesAfter again = CheckDataFiles(files, whole_messages, whole_contacts);
    EXPECT_TRUE(again.problems.empty());
    EXPECT_EQ(again.new_messages, 2u);
    form.N18->trigger();
    EXPECT_TRUE(form.List1Rows->rows().empty());
  }
}

INSTANTIATE_TEST_SUITE_P(Faults, WindowReadFaults, ::testing::ValuesIn(kPhoneFaults),
                         [](const ::testing::TestParamInfo<PhoneFault>& p) {
                           return FaultIdentifier(p.param);
                         });

}  // namespace
}  // namespace missivo::test
