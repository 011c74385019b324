// Passwords and plain messages in memory: wiping them when they are no longer
// needed, and keeping them out of crash files.
#pragma once

#include <cstddef>
#include <string>

namespace missivo {

// Overwrites `size` bytes at `data` with zeros in a way the compiler keeps
// even when the memory is never read again.
void WipeBytes(void* data, std::size_t size);

// Overwrites the whole buffer of `text` (its capacity, not just its length)
// and leaves it empty. Copies made earlier (by reallocation) are not reached.
void WipeString(std::string& text);

// Wipes a string (WipeString) when it goes out of scope.
class ScopedWipe {
 public:
  explicit ScopedWipe(std::string& text) : text_(text) {}
  ~ScopedWipe() { WipeString(text_); }
  ScopedWipe(const ScopedWipe&) = delete;
  ScopedWipe& operator=(const ScopedWipe&) = delete;

 private:
  std::string& text_;
};

// Keeps the process out of crash files: no core file is written (RLIMIT_CORE
// 0), and outside sanitizer builds the process is marked not dumpable, which
// also keeps other processes of the user from reading its memory through
// ptrace or /proc. (The leak checker of sanitizer builds needs ptrace.)
void KeepOutOfCrashFiles();

}  // namespace missivo
