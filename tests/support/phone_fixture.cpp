#include "support/phone_fixture.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <sstream>
#include <stdexcept>

extern char** environ;

namespace missivo::test {

namespace {

using Clock = std::chrono::steady_clock;

int MillisecondsLeft(Clock::time_point deadline) {
  const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now()).count();
  return left > 0 ? static_cast<int>(left) : 0;
}

}  // namespace

PhoneSim::PhoneSim(const std::string& scenario_json, std::chrono::milliseconds start_limit) {
  const auto scenario = folder_ / "scenario.json";
  WriteBytes(scenario, scenario_json);

  int pipe_fds[2];
  if (::pipe2(pipe_fds, O_CLOEXEC) != 0) throw std::runtime_error("pipe2 failed");
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, pipe_fds[1], STDOUT_FILENO);
  const std::string program = MISSIVO_PHONESIM;
  const std::string scenario_path = scenario.string();
  const std::string log_path = (folder_ / "phonesim.log").string();
  const std::string raw_path = (folder_ / "received.bin").string();
  const char* argv[] = {program.c_str(),  "--scenario", scenario_path.c_str(), "--log",
                        log_path.c_str(), "--raw",      raw_path.c_str(),      nullptr};
  const int spawned =
      ::posix_spawn(&pid_, program.c_str(), &actions, nullptr, const_cast<char**>(argv), environ);
  posix_spawn_file_actions_destroy(&actions);
  ::close(pipe_fds[1]);
  stdout_fd_ = pipe_fds[0];
  if (spawned != 0) {
    pid_ = -1;
    throw std::runtime_error("cannot start " + program);
  }
  pidfd_ = static_cast<int>(::syscall(SYS_pidfd_open, pid_, 0));
  try {
    device_ = ReadLine(start_limit);
  } catch (...) {
    Stop();
    throw;
  }
}

PhoneSim::~PhoneSim() {
  Stop();
}

void PhoneSim::Stop() {
  if (pid_ > 0) {
    ::kill(pid_, SIGTERM);
    bool ended = false;
    if (pidfd_ >= 0) {
      pollfd p{pidfd_, POLLIN, 0};
      ended = ::poll(&p, 1, 5000) == 1;
    }
    if (!ended) ::kill(pid_, SIGKILL);
    int status = 0;
    ::waitpid(pid_, &status, 0);
    pid_ = -1;
  }
  if (pidfd_ >= 0) ::close(pidfd_);
  if (stdout_fd_ >= 0) ::close(stdout_fd_);
  pidfd_ = stdout_fd_ = -1;
}

std::string PhoneSim::ReadLine(std::chrono::milliseconds limit) {
  const auto deadline = Clock::now() + limit;
  for (;;) {
    if (const auto end = pending_output_.find('\n'); end != std::string::npos) {
      std::string line = pending_output_.substr(0, end);
      pending_output_.erase(0, end + 1);
      return line;
    }
    pollfd p{stdout_fd_, POLLIN, 0};
    if (::poll(&p, 1, MillisecondsLeft(deadline)) != 1) {
      throw std::runtime_error("phonesim printed no device path in time");
    }
    char buffer[512];
    const ssize_t n = ::read(stdout_fd_, buffer, sizeof buffer);
    if (n <= 0) throw std::runtime_error("phonesim ended without a device path");
    pending_output_.append(buffer, static_cast<std::size_t>(n));
  }
}

const std::string& PhoneSim::WaitForNextDevice(std::chrono::milliseconds limit) {
  device_ = ReadLine(limit);
  return device_;
}

std::vector<std::string> PhoneSim::Commands() const {
  std::vector<std::string> commands;
  std::istringstream log(ReadBytes(folder_ / "phonesim.log"));
  for (std::string line; std::getline(log, line);) {
    const auto tab = line.find('\t');
    commands.push_back(tab == std::string::npos ? line : line.substr(tab + 1));
  }
  return commands;
}

std::string PhoneSim::Received() const {
  return ReadBytes(folder_ / "received.bin");
}

}  // namespace missivo::test
