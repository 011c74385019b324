// The window killed at random moments of a read with delete on a locked
// folder: the files on disk always open only with the password, and every
// message deleted on the phone is in the archive. Each window runs in a child
// process of its own (this process never makes a Qt application).
#include <gtest/gtest.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <QComboBox>
#include <QToolButton>
#include <nlohmann/json.hpp>
#include <random>
#include <set>

#include "app/check_box.h"
#include "app/program.h"
#include "app/qt_user_interface.h"
#include "app_test_support.h"
#include "store/program_lock.h"
#include "store/stored_list.h"
#include "support/phone_fixture.h"
#include "support/phone_scenario.h"
#include "text/cp1251.h"

namespace missivo::test {
namespace {

// The window's start, a read with delete from `device`, and its exit.
[[noreturn]] void RunWindow(const std::filesystem::path& program_folder, const std::string& device,
                            const std::string& password) {
  App();
  TForm1::Options options;
  options.program_folder = program_folder;
  options.scripted_dialogs = true;
  Program program(std::move(options), std::chrono::minutes(1));
  TForm1& form = program.form1();
  form.bsSkinMessage1->SetNextPassword(password);
  if (!program.Start()) ::_exit(3);
  form.Check6->SetChecked(true);
  form.PT->setEditText(QString::fromStdString(device));
  form.ConnB->click();
  form.bsSkinSpeedButton3->click();
  form.bsSkinSpeedButton5->click();
  ::_exit(0);
}

std::set<std::string> ArchiveTexts(const std::filesystem::path& program_folder,
                                   const std::string& password) {
  LockState lock;
  lock.locked = true;
  lock.password = password;
  DataStore store(program_folder, lock, DamagePolicy::kRefuse);
  std::vector<Row> rows;
  const ListLoad load = store.archive().Load(rows);
  EXPECT_EQ(load.outcome, ListLoad::Outcome::kLoaded) << load.problem.message();
  std::set<std::string> texts;
  for (const Row& row : rows)
    texts.insert(Cp1251ToUtf8(row.caption));
  return texts;
}

TEST(WindowKillTest, KilledWindowsLeaveLockedFilesAndLoseNothing) {
  TempFolder home;
  const std::filesystem::path program_folder = home / "program";
  const DataFiles files(program_folder);
  std::filesystem::create_directories(files.folder);
  ::setenv("XDG_CONFIG_HOME", (home / "config").c_str(), 1);
  ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
  const std::string password = W("пароль");
  {
    LockState lock;
    lock.locked = true;
    lock.password = password;
    DataStore store(program_folder, lock, DamagePolicy::kRefuse);
    std::vector<Row> rows = {Row{"start", {"+7900", "01/01/2024,00:00:00", "5", "1", "x"}, 2}};
    ScriptedUserInterface ui;
    (void)store.archive().Load(rows);
    ASSERT_TRUE(store.archive().Save(rows, ui).ok());
  }
  const unsigned seed = std::random_device{}();
  SCOPED_TRACE("seed " + std::to_string(seed));
  std::mt19937 random(seed);
  std::uniform_int_distribution<long> delay_ms(0, 1200);
  int deleted_total = 0;
  for (int kill = 0; kill < 50; ++kill) {
    const std::string tag = Tag("W", kill);
    PhoneSim phone(nlohmann::json{{"messages", UniqueMessages(tag, 3)}, {"latency_ms", 3}}.dump());
    const pid_t window = ::fork();
    if (window == 0) RunWindow(program_folder, phone.Device(), password);
    const long delay = delay_ms(random);
    const timespec pause{delay / 1000, (delay % 1000) * 1'000'000};
    ::nanosleep(&pause, nullptr);
    ::kill(window, SIGKILL);
    int status = 0;
    ::waitpid(window, &status, 0);
    ASSERT_FALSE(WIFEXITED(status) && WEXITSTATUS(status) == 3) << "the start refused the password";

    const Result<bool> locked = CarriesOuterLayer(files.archive);
    ASSERT_TRUE(locked.ok()) << locked.message();
    ASSERT_TRUE(locked.value()) << "after kill " << kill << " the archive is not locked";
    const Result<bool> phonebook_locked = CarriesOuterLayer(files.phonebook);
    EXPECT_TRUE(!std::filesystem::exists(files.phonebook) || phonebook_locked.value());
    const std::set<std::string> archive = ArchiveTexts(program_folder, password);
    for (const int index : DeletedIndexes(phone.Commands())) {
      EXPECT_TRUE(archive.contains(tag + " " + std::to_string(index)))
          << tag << " " << index << " was deleted on the phone but is not in the archive";
      ++deleted_total;
    }
    for (const auto& entry : std::filesystem::directory_iterator(files.folder)) {
      if (entry.path().filename().string().find(".tmp-") != std::string::npos)
        std::filesystem::remove(entry.path());
    }
  }
  // The kills landed before, during and after the deletes.
  EXPECT_GT(deleted_total, 0);
  EXPECT_LT(deleted_total, 150);
}

}  // namespace
}  // namespace missivo::test
