// Line speeds in bits per second, any rate the driver accepts: standard rates by
// their termios code, others through termios2 with BOTHER.
#pragma once

#include <cstdint>

namespace missivo {

// Sets the input and output speed of the open device `fd`. Returns 0 or errno.
int SetLineSpeed(int fd, std::uint32_t rate);

// Reads the output speed of the open device `fd` into `rate`. Returns 0 or errno.
int GetLineSpeed(int fd, std::uint32_t& rate);

}  // namespace missivo
