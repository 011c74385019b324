// The simulated phone's end of a pseudo-terminal: reads command lines, writes
// the answers with the scenario's latency and line speed, and plays the hang-up.
#pragma once

#include <chrono>
#include <deque>
#include <string>

#include "phone_model.h"

namespace phonesim {

struct LineFiles {
  std::string link;  // symbolic link to the device, or empty
  std::string log;   // command log, or empty
  std::string raw;   // raw capture of what was received, or empty
};

class Line {
 public:
  Line(PhoneModel model, LineFiles files);
  ~Line();
  Line(const Line&) = delete;
  Line& operator=(const Line&) = delete;

  // Serves until a signal arrives on `signal_fd` (or after a hang-up without
  // replugging). Returns the exit status.
  int Run(int signal_fd);

 private:
  using Clock = std::chrono::steady_clock;
  struct Chunk {
    std::string bytes;
    Clock::time_point due;
    bool hang_up = false;  // close the line once the program has read what came before
    bool endless = false;  // a piece of the endless stream
    bool refill = false;   // the last piece: once sent, the stream is queued again
  };

  void Open();
  void Close();
  void ReadInput();
  // A command line (`end` 0), or the text of a send ended by Ctrl-Z or ESC.
  void HandleLine(const std::string& line, char end);
  void Queue(const std::string& bytes, Clock::time_point not_before, bool endless = false);
  void QueueEndless(Clock::time_point not_before);
  // Writes what is due; returns false when the line has hung up.
  bool SendDue();
  // How long poll() may wait: until the next chunk falls due.
  int PollTimeout(bool waiting_to_write) const;
  void Append(int fd, const std::string& bytes) const;
  std::uint32_t LineSpeed() const;

  PhoneModel model_;
  LineFiles files_;
  int master_ = -1;
  int slave_ = -1;  // held open so that the program may close and reopen the device
  int log_fd_ = -1;
  int raw_fd_ = -1;
  std::string partial_;
  int commands_ = 0;
  bool hang_up_played_ = false;
  std::string endless_;          // the stream sent until the next command, or empty
  int endless_interval_ms_ = 0;  // > 0: a trickle, one byte this often
  std::deque<Chunk> out_;
  Clock::time_point line_free_{};
  Clock::time_point hang_up_give_up_{};
};

}  // namespace phonesim
