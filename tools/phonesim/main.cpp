// phonesim: a phone on a pseudo-terminal that answers AT commands from a
// scenario. It prints the path of its device as the first line of its output.
// The scenario format is described in README.md.
//
//   phonesim [--scenario FILE] [--link PATH] [--log FILE] [--raw FILE]
//
// --link PATH  a symbolic link to the device, removed at exit
// --log FILE   one line per command received: time stamp, TAB, the command
// --raw FILE   every byte received, unchanged
#include <fcntl.h>
#include <pty.h>
#include <signal.h>
#include <sys/ioctl.h>
#include <sys/prctl.h>
#include <sys/signalfd.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <iostream>
#include <iterator>
#include <optional>
#include <sstream>
#include <string>
#include <utility>

#include "core/atomic_file.h"
#include "line.h"
#include "phone_model.h"
#include "scenario.h"

namespace {

struct Arguments {
  std::string scenario;
  std::string link;
  std::string log;
  std::string raw;
};

std::optional<Arguments> ParseArguments(int argc, char** argv) {
  Arguments args;
  for (int i = 1; i < argc; ++i) {
    const std::string flag = argv[i];
    std::string* target = flag == "--scenario" ? &args.scenario
                          : flag == "--link"   ? &args.link
                          : flag == "--log"    ? &args.log
                          : flag == "--raw"    ? &args.raw
                                               : nullptr;
    if (target == nullptr || i + 1 >= argc) return std::nullopt;
    *target = argv[++i];
  }
  return args;
}

std::string ReadFile(const std::string& path) {
  auto bytes = missivo::ReadWholeFile(path);
  if (!bytes.ok()) throw std::runtime_error("cannot read the scenario: " + bytes.message());
  return std::move(bytes).value();
}

}  // namespace

int main(int argc, char** argv) {
  const auto args = ParseArguments(argc, argv);
  if (!args) {
    std::cerr << "usage: phonesim [--scenario FILE] [--link PATH] [--log FILE] [--raw FILE]\n";
    return 2;
  }
  // Do not outlive the program that started us (a test killed mid-way).
  const pid_t parent = ::getppid();
  ::prctl(PR_SET_PDEATHSIG, SIGTERM);
  if (::getppid() != parent) return 0;

  phonesim::Scenario scenario;
  try {
    if (!args->scenario.empty()) scenario = phonesim::ParseScenario(ReadFile(args->scenario));
  } catch (const std::exception& e) {
    std::cerr << "phonesim: " << e.what() << "\n";
    return 2;
  }

  // Stop cleanly on SIGTERM, SIGINT and SIGHUP, seen through a descriptor.
  sigset_t stop_signals;
  sigemptyset(&stop_signals);
  sigaddset(&stop_signals, SIGTERM);
  sigaddset(&stop_signals, SIGINT);
  sigaddset(&stop_signals, SIGHUP);
  sigprocmask(SIG_BLOCK, &stop_signals, nullptr);
  signal(SIGPIPE, SIG_IGN);
  const int signal_fd = signalfd(-1, &stop_signals, SFD_CLOEXEC);

  try {
    phonesim::Line line(phonesim::PhoneModel(std::move(scenario)),
                        {args->link, args->log, args->raw});
    return line.Run(signal_fd);
  } catch (const std::exception& e) {
    std::cerr << "phonesim: " << e.what() << "\n";
    return 1;
  }
}
