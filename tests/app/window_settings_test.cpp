// The settings store and the load of the stored settings at start.
#include <QComboBox>
#include <QLineEdit>
#include <QTest>
#include <chrono>
#include <stdexcept>

#include "app/check_box.h"
#include "app/image_list.h"
#include "app/row_model.h"
#include "app_test_support.h"
#include "shell/settings_file.h"

namespace missivo::test {
namespace {

using SettingsTest = AppTest;

TEST_F(SettingsTest, StoreLivesInTheConfigFolderAndIgnoresLetterCase) {
  TRzRegIniFile store;
  EXPECT_EQ(store.file().toStdString(), SettingsFile().string());
  EXPECT_FALSE(store.ValueExists("Missivo", "Check3"));
  EXPECT_EQ(store.ReadString("Missivo", "Check3", "str"), "str");

  store.WriteString("Missivo", "PortName", W("Порт №1, основной"));
  EXPECT_TRUE(std::filesystem::exists(SettingsFile()));
  EXPECT_TRUE(store.ValueExists("Missivo", "portname"));
  EXPECT_EQ(store.ReadString("Missivo", "PORTNAME", ""), W("Порт №1, основной"));
  EXPECT_FALSE(store.ValueExists("Other", "PortName"));

  // A value edited by hand, with a comma and no quotes, keeps its text.
  WriteBytes(SettingsFile(), "[Missivo]\nCOMPORTUser=/dev/ttyUSB0,1\nlngname=English\n");
  // Qt keeps parsed settings files per process and rereads one only when its
  // time stamp moved; an edit within the same tick would go unseen.
  std::filesystem::last_write_time(
      SettingsFile(), std::filesystem::file_time_type::clock::now() + std::chrono::seconds(2));
  TRzRegIniFile fresh;
  EXPECT_EQ(fresh.ReadString("Missivo", "COMPORTUser", ""), "/dev/ttyUSB0,1");
  EXPECT_EQ(fresh.ReadString("Missivo", "LngName", ""), "English");
  fresh.WriteString("Missivo", "LngName", "Deutsch");
  EXPECT_EQ(StoredSettings().at("lngname"), "Deutsch");
  EXPECT_FALSE(StoredSettings().contains("LngName"));
}

// Records what the automatic connection saw; can be told to fail like a
// missing device does.
class RecordingForm : public TForm1 {
 public:
  using TForm1::TForm1;
  void ConnectPort() override {
    connect_speeds.push_back(SpeedValue());
    connect_ports.push_back(PT->currentText());
    if (fail) throw std::runtime_error("no such device");
  }
  std::vector<int> connect_speeds;
  std::vector<QString> connect_ports;
  bool fail = false;
};

TEST_F(SettingsTest, StoredValuesComeBackAndCheckBoxesAreWrittenBack) {
  StoreSettings({{"Check3", "false"},
                 {"Check6", "True"},
                 {"Check7", "true"},
                 {"Check8", "1"},
                 {"Check11", "true"},
                 {"COMPORTUser", "/dev/ttyACM0"},
                 {"Check4", "true"},
                 {"Speed", "4"}});
  RecordingForm form(Options());
  form.FormShow();

  EXPECT_FALSE(form.Check3->isChecked());
  EXPECT_FALSE(form.Check11->isEnabled());
  EXPECT_TRUE(form.Check11->isChecked());
  EXPECT_FALSE(form.Check6->isChecked());
  EXPECT_TRUE(form.Check7->isChecked());
  EXPECT_FALSE(form.Check8->isChecked());
  EXPECT_TRUE(form.Check9->isChecked());  // never stored: the form default
  EXPECT_EQ(form.PT->currentText(), Q("/dev/ttyACM0"));
  // The automatic connection runs before "Speed" is applied.
  EXPECT_EQ(form.connect_speeds, std::vector<int>{115200});
  EXPECT_EQ(form.connect_ports, std::vector<QString>{Q("/dev/ttyACM0")});
  EXPECT_EQ(form.Speed->currentText(), Q("9600"));
  EXPECT_EQ(form.SpeedValue(), 9600);

  const auto stored = StoredSettings();
  EXPECT_EQ(stored.at("Check6"), "false");  // "True" loads unchecked and is written back so
  EXPECT_EQ(stored.at("Check8"), "false");
  EXPECT_EQ(stored.at("Check7"), "true");
  EXPECT_EQ(stored.at("Check3"), "false");
  EXPECT_EQ(stored.at("Speed"), "4");
  EXPECT_FALSE(stored.contains("Check9"));
  EXPECT_FALSE(stored.contains("Check10"));
}

TEST_F(SettingsTest, UnusableValuesKeepTheirDefaultsAndTheLoadGoesOn) {
  const struct {
    const char* name;
    std::map<std::string, std::string> stored;
    int speed_index;
    int sort_column;
    int header_image;
    int direction;
  } cases[] = {
      {"speed not a number", {{"Speed", "fast"}}, 8, -1, -1, 1},
      {"speed past the list", {{"Speed", "9"}}, 8, -1, -1, 1},
      {"speed negative", {{"Speed", "-1"}}, 8, -1, -1, 1},
      {"speed with blanks", {{"Speed", " 3"}}, 8, -1, -1, 1},
      {"speed good", {{"Speed", "3"}}, 3, -1, -1, 1},
      {"sort state", {{"List4", "2"}, {"List4Image", "31"}, {"List4Direction", "0"}}, 8, 2, 31, 0},
      {"sort column out of range", {{"List4", "6"}, {"List4Image", "32"}}, 8, -1, -1, 1},
      {"sort column alone", {{"List4", "1"}}, 8, 1, -1, 1},
      {"sort picture and direction bad",
       {{"List4", "5"}, {"List4Image", "x"}, {"List4Direction", "7"}},
       8,
       5,
       -1,
       1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    std::filesystem::remove(SettingsFile());
    auto stored = c.stored;
    stored["Check13"] = "false";  // a key loaded after the bad one
    StoreSettings(stored);
    RecordingForm form(Options());
    form.fail = true;
    form.FormShow();
    EXPECT_EQ(form.Speed->currentIndex(), c.speed_index);
    EXPECT_EQ(form.Sort.last_column, c.sort_column);
    EXPECT_EQ(form.Sort.next_direction, c.direction);
    for (int column = 0; column < 6; ++column) {
      EXPECT_EQ(form.List4Rows->HeaderImage(column), column == c.sort_column ? c.header_image : -1);
    }
    EXPECT_FALSE(form.Check13->isChecked());
  }
}

TEST_F(SettingsTest, FailedAutomaticConnectionDoesNotStopTheStart) {
  StoreSettings({{"Check4", "true"}, {"Check10", "false"}, {"Speed", "0"}});
  RecordingForm form(Options());
  form.fail = true;
  EXPECT_TRUE(form.FormShow());
  EXPECT_EQ(form.connect_speeds.size(), 1u);
  EXPECT_FALSE(form.Check10->isChecked());
  EXPECT_EQ(form.Speed->currentText(), Q("300"));
  EXPECT_TRUE(std::filesystem::exists(form.DataFolder() / "HtmlTemplate.tml"));
}

TEST_F(SettingsTest, ControlsWriteTheMomentTheyChange) {
  auto program = StartProgram();
  TForm1& form = program->form1();
  form.show();

  form.Check3->click();
  EXPECT_EQ(StoredSettings().at("Check3"), "false");
  EXPECT_FALSE(form.Check11->isEnabled());
  form.Check3->click();
  EXPECT_TRUE(form.Check11->isEnabled());
  form.Check13->SetChecked(true);  // set by the program to the state it already has
  EXPECT_EQ(StoredSettings().at("Check13"), "true");

  form.Speed->setCurrentIndex(5);
  EXPECT_EQ(StoredSettings().at("Speed"), "5");

  // Every keystroke in PT writes the text typed so far.
  form.PT->lineEdit()->clear();
  QTest::keyClicks(form.PT->lineEdit(), QStringLiteral("/dev"));
  EXPECT_EQ(StoredSettings().at("COMPORTUser"), "/dev");
  QTest::keyClick(form.PT->lineEdit(), Qt::Key_X);
  EXPECT_EQ(StoredSettings().at("COMPORTUser"), "/devx");
}

}  // namespace
}  // namespace missivo::test
