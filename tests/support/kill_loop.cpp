#include "support/kill_loop.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <random>
#include <string>

namespace missivo::test {
namespace {

// Saves later and later generations until it is killed.
[[noreturn]] void SaveForever(const std::function<bool(int)>& save, int generation, int started) {
  const char byte = 1;
  if (::write(started, &byte, 1) != 1) ::_exit(2);
  for (int g = generation + 1;; ++g) {
    if (!save(g)) ::_exit(1);
  }
}

}  // namespace

KillStats KillDuringSaves(const std::function<bool(int)>& save,
                          const std::function<int()>& generation_on_disk,
                          const std::filesystem::path& folder,
                          const std::function<void(const std::filesystem::path&)>& leftover,
                          KillOptions options) {
  const unsigned seed = std::random_device{}();
  SCOPED_TRACE("seed " + std::to_string(seed));
  std::mt19937 random(seed);
  std::uniform_int_distribution<long> delay_ns(0, options.latest.count() * 1000);

  KillStats stats;
  stats.generation = generation_on_disk();
  for (int kill_number = 0; kill_number < options.kills; ++kill_number) {
    int started[2];
    if (::pipe(started) != 0) {
      ADD_FAILURE() << "pipe failed";
      return stats;
    }
    const pid_t child = ::fork();
    if (child == 0) {
      ::close(started[0]);
      SaveForever(save, stats.generation, started[1]);
    }
    ::close(started[1]);
    char byte = 0;
    const bool child_runs = child > 0 && ::read(started[0], &byte, 1) == 1;
    ::close(started[0]);
    if (!child_runs) {
      ADD_FAILURE() << "the saving process did not start";
      return stats;
    }
    // The moment of the kill is the test's input: anywhere within a save or two.
    const timespec pause{0, delay_ns(random)};
    ::nanosleep(&pause, nullptr);
    ::kill(child, SIGKILL);
    int status = 0;
    ::waitpid(child, &status, 0);
    if (!WIFSIGNALED(status)) {
      ADD_FAILURE() << "the saving process failed on its own";
      return stats;
    }

    const int found = generation_on_disk();
    if (found < 0 || found < stats.generation) {
      ADD_FAILURE() << "after kill " << kill_number << ": generation " << found << " after "
                    << stats.generation;
      return stats;
    }
    stats.generation = found;

    // A save cut short leaves at most its temporary file.
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
      if (entry.path().filename().string().find(".tmp-") == std::string::npos) continue;
      ++stats.interrupted;
      if (leftover) leftover(entry.path());
      std::filesystem::remove(entry.path());
    }
  }
  return stats;
}

}  // namespace missivo::test
