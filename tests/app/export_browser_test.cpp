// An HTML export of the window, opened as it is in headless Chromium: the
// Windows-1251 fragment shows its Cyrillic text, and markup from a message
// stays text.
#include <QAction>
#include <QProcess>
#include <QStandardPaths>
#include <QTabWidget>

#include "app/file_dialog.h"
#include "app/row_model.h"
#include "app_test_support.h"

namespace missivo::test {
namespace {

using ExportBrowserTest = AppTest;

// The page at `file` as Chromium's DOM after loading it (UTF-8), or a failure.
::testing::AssertionResult DumpDom(const std::filesystem::path& file,
                                   const std::filesystem::path& profile, QString& dom) {
  const QString chromium = QStandardPaths::findExecutable(QStringLiteral("chromium"));
  if (chromium.isEmpty()) {
    return ::testing::AssertionFailure() << "chromium is not installed (scripts/install-deps.sh)";
  }
  QProcess browser;
  browser.setProcessChannelMode(QProcess::SeparateChannels);
  browser.start(
      chromium,
      {QStringLiteral("--headless"), QStringLiteral("--no-sandbox"),
       QStringLiteral("--disable-gpu"), QStringLiteral("--disable-quic"),
       QStringLiteral("--no-first-run"), QStringLiteral("--disable-background-networking"),
       QStringLiteral("--disable-component-update"), QStringLiteral("--disable-sync"),
       QStringLiteral("--user-data-dir=") + QString::fromStdString(profile.string()),
       QStringLiteral("--dump-dom"),
       QStringLiteral("file://") + QString::fromStdString(file.string())});
  if (!browser.waitForFinished(120'000)) {
    browser.kill();
    browser.waitForFinished(10'000);
    return ::testing::AssertionFailure() << "chromium did not finish within two minutes";
  }
  if (browser.exitStatus() != QProcess::NormalExit || browser.exitCode() != 0) {
    return ::testing::AssertionFailure()
           << "chromium failed: " << browser.readAllStandardError().toStdString();
  }
  dom = QString::fromUtf8(browser.readAllStandardOutput());
  return ::testing::AssertionSuccess();
}

TEST_F(ExportBrowserTest, DefaultHtmlExportShowsCyrillicAndNoMessageMarkup) {
  auto program = StartProgram();
  TForm1& form = program->form1();
  form.List4Rows->SetRows({
      Row{W("Привет, мир! Съешь же ещё этих мягких французских булок"),
          {W("Иван (+79161234567)"), "17/05/2006,14:03:59", "55", "0001", W("Входящие")},
          kImageIncoming},
      Row{"<script>document.title='x'</script><img src=x onerror=alert(1)>",
          {"+7", "18/05/2006,10:00:00", "68", "0002", W("Импорт")},
          kImageImported},
  });
  const auto page = folder() / "export.html";
  form.Save2->SetNextFile(QString::fromStdString(page.string()));
  form.N24->trigger();
  ASSERT_TRUE(std::filesystem::exists(page));

  QString dom;
  ASSERT_TRUE(DumpDom(page, folder() / "profile", dom));
  for (const char* shown :
       {"Привет, мир! Съешь же ещё этих мягких французских булок", "Иван (+79161234567)",
        "<b>Номер:</b>", "<b>Дата/Время:</b>", "<b>Сообщение:</b>", "Входящие", "Импорт",
        "&lt;script&gt;document.title='x'&lt;/script&gt;&lt;img src=x "
        "onerror=alert(1)&gt;"}) {
    EXPECT_TRUE(dom.contains(Q(shown))) << shown << "\n" << dom.toStdString();
  }
  EXPECT_FALSE(dom.contains(QStringLiteral("<script")));
  EXPECT_FALSE(dom.contains(QStringLiteral("<img")));
  EXPECT_EQ(dom.count(QStringLiteral("<table")), 2);
}

// The UTF-8 page (file type 6 of Save2): Cyrillic, Ukrainian and emoji as
// they are, line breaks kept, markup from a message shown as text.
TEST_F(ExportBrowserTest, Utf8PageShowsEveryCharacterAndNoMessageMarkup) {
  auto program = StartProgram();
  TForm1& form = program->form1();
  form.Open1->SetNextFile(QString::fromStdString(
      (std::filesystem::path(MISSIVO_TEST_DATA) / "formats" / "backup.xml").string()));
  form.SmsBackup1->trigger();
  std::vector<Row> rows = form.List4Rows->rows();
  rows.push_back(Row{"<script>document.title='x'</script><img src=x onerror=alert(1)>",
                     {"+7", "18/05/2006,10:00:00", "68", "0002", W("Импорт")},
                     kImageImported});
  form.List4Rows->SetRows(rows);
  const auto page = folder() / "page.html";
  form.Save2->SetNextFile(QString::fromStdString(page.string()), 6);
  form.N24->trigger();
  ASSERT_TRUE(std::filesystem::exists(page));

  QString dom;
  ASSERT_TRUE(DumpDom(page, folder() / "profile", dom));
  for (const char* shown :
       {"Привет! Как дела? 😀", "Хорошо 👍\nВечером позвоню", "Ґанок, єнот, їжак, ірис 🇺🇦",
        "Смотри, какой кот 🐱", "Мама", "&lt;script&gt;document.title='x'&lt;/script&gt;"}) {
    EXPECT_TRUE(dom.contains(Q(shown))) << shown << "\n" << dom.toStdString();
  }
  EXPECT_FALSE(dom.contains(QStringLiteral("<script")));
  EXPECT_FALSE(dom.contains(QStringLiteral("<img")));
  EXPECT_EQ(dom.count(QStringLiteral("class=\"message ")), 7);
}

}  // namespace
}  // namespace missivo::test
