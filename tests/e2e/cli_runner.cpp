#include "cli_runner.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <stdexcept>

extern char** environ;

namespace missivo::test {
namespace {

using Clock = std::chrono::steady_clock;

// The environment with XDG_CONFIG_HOME and XDG_DATA_HOME set under `home`.
std::vector<std::string> Environment(const std::filesystem::path& home) {
  std::vector<std::string> env;
  for (char** entry = environ; *entry != nullptr; ++entry) {
    const std::string text = *entry;
    if (!text.starts_with("XDG_CONFIG_HOME=") && !text.starts_with("XDG_DATA_HOME=")) {
      env.push_back(text);
    }
  }
  env.push_back("XDG_CONFIG_HOME=" + (home / "config").string());
  env.push_back("XDG_DATA_HOME=" + (home / "data").string());
  return env;
}

std::vector<char*> Pointers(std::vector<std::string>& texts) {
  std::vector<char*> pointers;
  for (std::string& text : texts)
    pointers.push_back(text.data());
  pointers.push_back(nullptr);
  return pointers;
}

// Starts missivo-cli with `args` in a new session, with `actions` for its
// standard streams (destroyed here); 0 or the error of posix_spawn.
int SpawnCli(const std::vector<std::string>& args, const std::filesystem::path& home,
             posix_spawn_file_actions_t& actions, pid_t& pid) {
  posix_spawnattr_t attributes;
  posix_spawnattr_init(&attributes);
  posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSID);
  std::vector<std::string> argv_texts = {MISSIVO_CLI};
  argv_texts.insert(argv_texts.end(), args.begin(), args.end());
  std::vector<std::string> env_texts = Environment(home);
  std::vector<char*> argv = Pointers(argv_texts);
  std::vector<char*> env = Pointers(env_texts);
  const int spawned =
      ::posix_spawn(&pid, MISSIVO_CLI, &actions, &attributes, argv.data(), env.data());
  posix_spawn_file_actions_destroy(&actions);
  posix_spawnattr_destroy(&attributes);
  return spawned;
}

}  // namespace

CliRun RunCli(const std::vector<std::string>& args, const std::filesystem::path& home,
              std::optional<std::string> typed, std::chrono::seconds limit,
              std::optional<CliSignal> signal) {
  // The terminal: opened without O_NOCTTY by the new session's leader, the
  // pseudo-terminal becomes its controlling terminal.
  int master = -1;
  std::string slave;
  if (typed) {
    master = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (master < 0 || ::grantpt(master) != 0 || ::unlockpt(master) != 0) {
      throw std::runtime_error("no pseudo-terminal");
    }
    slave = ::ptsname(master);
  }
  int out_pipe[2];
  int err_pipe[2];
  if (::pipe2(out_pipe, O_CLOEXEC) != 0 || ::pipe2(err_pipe, O_CLOEXEC) != 0) {
    throw std::runtime_error("pipe2 failed");
  }
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  if (typed) {
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, slave.c_str(), O_RDWR, 0);
  } else {
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
  }
  posix_spawn_file_actions_adddup2(&actions, out_pipe[1], STDOUT_FILENO);
  posix_spawn_file_actions_adddup2(&actions, err_pipe[1], STDERR_FILENO);
  pid_t pid = -1;
  const int spawned = SpawnCli(args, home, actions, pid);
  ::close(out_pipe[1]);
  ::close(err_pipe[1]);
  if (spawned != 0) {
    ::close(out_pipe[0]);
    ::close(err_pipe[0]);
    if (master >= 0) ::close(master);
    throw std::runtime_error(std::string("cannot start missivo-cli: ") + std::strerror(spawned));
  }

  CliRun run;
  const auto deadline = Clock::now() + limit;
  pollfd fds[3] = {{out_pipe[0], POLLIN, 0}, {err_pipe[0], POLLIN, 0}, {master, POLLIN, 0}};
  std::string* sinks[3] = {&run.out, &run.err, &run.terminal};
  int open_pipes = 2;  // the terminal is read while the pipes are open
  bool late = false;
  std::optional<Clock::time_point> signalled;
  while (open_pipes > 0) {
    const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now());
    if (left.count() <= 0) {
      late = true;
      break;
    }
    if (signal && !signalled && signal->when(run)) {
      ::kill(pid, signal->signal);
      signalled = Clock::now();
    }
    const bool asking = signal && !signalled;
    const int wait =
        asking ? std::min<int>(10, static_cast<int>(left.count())) : static_cast<int>(left.count());
    if (::poll(fds, 3, wait) <= 0) continue;
    for (int i = 0; i < 3; ++i) {
      if (fds[i].fd < 0 || fds[i].revents == 0) continue;
      char buffer[4096];
      const ssize_t n = ::read(fds[i].fd, buffer, sizeof buffer);
      if (n > 0) {
        sinks[i]->append(buffer, static_cast<std::size_t>(n));
      } else {
        ::close(fds[i].fd);
        fds[i].fd = -1;
        if (i < 2) --open_pipes;
      }
    }
    if (typed && run.terminal.find("Password: ") != std::string::npos) {
      const std::string line = *typed + "\n";
      if (::write(master, line.data(), line.size()) != static_cast<ssize_t>(line.size())) {
        throw std::runtime_error("cannot type on the terminal");
      }
      typed.reset();
    }
  }
  for (const pollfd& p : fds) {
    if (p.fd >= 0) ::close(p.fd);
  }
  if (late) ::kill(pid, SIGKILL);
  int status = 0;
  ::waitpid(pid, &status, 0);
  if (signalled) {
    run.after_signal =
        std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - *signalled);
  }
  if (late) throw std::runtime_error("missivo-cli did not end in time; stderr: " + run.err);
  run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return run;
}

pid_t StartCli(const std::vector<std::string>& args, const std::filesystem::path& home) {
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
  pid_t pid = -1;
  if (SpawnCli(args, home, actions, pid) != 0) throw std::runtime_error("cannot start missivo-cli");
  return pid;
}

}  // namespace missivo::test
