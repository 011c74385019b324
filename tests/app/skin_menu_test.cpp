// The skin menu and the skin engine.
#include <QAction>
#include <QApplication>
#include <QMenu>

#include "app/image_list.h"
#include "app/skin_engine.h"
#include "app_test_support.h"

namespace missivo::test {
namespace {

using SkinMenuTest = AppTest;

// A skin folder with a descriptor whose third line names it.
void MakeSkin(const std::filesystem::path& folder, const std::string& descriptor,
              const std::string& name, const std::string& style) {
  std::filesystem::create_directories(folder);
  WriteBytes(folder / descriptor,
             "[Skin]\r\nVersion=1\r\nSkinName=" + name + "\r\nStyleSheet=look.qss\r\n");
  WriteBytes(folder / "look.qss", style);
}

TEST_F(SkinMenuTest, BundledSkinsArriveOnTheFirstStartAndApply) {
  auto program = StartProgram();
  TForm1& form = program->form1();
  EXPECT_EQ(Captions(form.SkinMenu),
            (std::vector<QString>{Q("Daylight"), Q("Nightfall"), Q("По умолчанию")}));
  EXPECT_EQ(Marks(form.SkinMenu), (std::vector<bool>{false, false, true}));
  EXPECT_TRUE(qApp->styleSheet().isEmpty());

  form.SkinMenu->actions().at(1)->trigger();
  EXPECT_EQ(Marks(form.SkinMenu), (std::vector<bool>{false, true, false}));
  EXPECT_EQ(StoredSettings().at("SkinName"), "Nightfall");
  EXPECT_TRUE(qApp->styleSheet().contains(Q("Nightfall")));
  for (const QAction* item : form.SkinMenu->actions())
    EXPECT_FALSE(item->icon().isNull());

  form.SkinMenu->actions().at(2)->trigger();
  EXPECT_EQ(Marks(form.SkinMenu), (std::vector<bool>{false, false, true}));
  EXPECT_EQ(StoredSettings().at("SkinName"), "По умолчанию");
  EXPECT_TRUE(qApp->styleSheet().isEmpty());

  // The next start applies the remembered skin; a removed skin is not copied again.
  StoreSettings({{"SkinName", "Daylight"}});
  std::filesystem::remove_all(folder() / "program" / "Skins" / "Nightfall");
  auto next = StartProgram();
  EXPECT_EQ(Captions(next->form1().SkinMenu),
            (std::vector<QString>{Q("Daylight"), Q("По умолчанию")}));
  EXPECT_EQ(Marks(next->form1().SkinMenu), (std::vector<bool>{true, false}));
  EXPECT_TRUE(qApp->styleSheet().contains(Q("Daylight")));
}

TEST_F(SkinMenuTest, EmptySkinsFolderLeavesOnlyTheDefaultItem) {
  std::filesystem::create_directories(folder() / "program" / "Skins");
  auto program = StartProgram();
  EXPECT_EQ(Captions(program->form1().SkinMenu), (std::vector<QString>{Q("По умолчанию")}));
  EXPECT_EQ(Marks(program->form1().SkinMenu), (std::vector<bool>{true}));
}

TEST_F(SkinMenuTest, RememberedNameMatchingNothingChangesNothing) {
  std::filesystem::create_directories(folder() / "program" / "Skins");
  StoreSettings({{"SkinName", "Gone"}});
  auto program = StartProgram();
  EXPECT_EQ(Marks(program->form1().SkinMenu), (std::vector<bool>{true}));
  EXPECT_TRUE(qApp->styleSheet().isEmpty());
  EXPECT_EQ(StoredSettings().at("SkinName"), "Gone");
}

TEST_F(SkinMenuTest, DescriptorNamesAndTwins) {
  const auto skins = folder() / "program" / "Skins";
  MakeSkin(skins / "a", "skin.ini", "Twin", "/* first twin */");
  MakeSkin(skins / "b", "skin.ini", "Twin", "/* second twin */");
  MakeSkin(skins / "c", "Skin.ini", "Capital", "/* not offered */");
  MakeSkin(skins / "d", "myskin.ini", "Mine", "/* offered */");
  std::filesystem::create_directories(skins / "e");
  WriteBytes(skins / "e" / "skin.ini", "[Skin]\r\n");  // no third line: named after its folder
  StoreSettings({{"SkinName", "Twin"}});

  auto program = StartProgram();
  TForm1& form = program->form1();
  EXPECT_EQ(Captions(form.SkinMenu),
            (std::vector<QString>{Q("Twin"), Q("Twin"), Q("Mine"), Q("e"), Q("По умолчанию")}));
  EXPECT_EQ(Marks(form.SkinMenu), (std::vector<bool>{false, true, false, false, false}));
  EXPECT_EQ(form.Skins.loaded(), skins / "b" / "skin.ini");
  EXPECT_EQ(qApp->styleSheet(), Q("/* second twin */"));

  // A skin whose style sheet is missing leaves the look as it was.
  std::filesystem::remove(skins / "d" / "look.qss");
  form.SkinMenu->actions().at(2)->trigger();
  EXPECT_EQ(qApp->styleSheet(), Q("/* second twin */"));
  EXPECT_EQ(StoredSettings().at("SkinName"), "Mine");
}

TEST(SkinEngineTest, RelativePicturesAreTakenFromTheSkinFolder) {
  const QString sheet =
      Q("QComboBox::down-arrow { image: url(arrow.svg); }\n"
        "QCheckBox::indicator { image: url( 'img/check.png' ); }\n"
        "QWidget { background: url(:/built/in.png); border-image: url(/abs/frame.png); }");
  EXPECT_EQ(ResolveStyleSheetUrls(sheet, "/skins/Dark"),
            Q("QComboBox::down-arrow { image: url(\"/skins/Dark/arrow.svg\"); }\n"
              "QCheckBox::indicator { image: url(\"/skins/Dark/img/check.png\"); }\n"
              "QWidget { background: url(:/built/in.png); border-image: url(/abs/frame.png); }"));
}

TEST(SkinEngineTest, StyleSheetNamedByTheDescriptor) {
  TempFolder folder;
  WriteBytes(folder / "skin.ini", "[Skin]\r\nVersion=1\r\nSkinName=X\r\nstylesheet=dark.qss\r\n");
  EXPECT_EQ(StyleSheetOf(folder / "skin.ini"), folder / "dark.qss");
  WriteBytes(folder / "skin.ini", "[Skin]\nVersion=1\nSkinName=X\n");
  EXPECT_EQ(StyleSheetOf(folder / "skin.ini"), folder / "skin.qss");
}

}  // namespace
}  // namespace missivo::test
