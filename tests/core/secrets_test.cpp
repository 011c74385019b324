#include "core/secrets.h"

#include <gtest/gtest.h>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <string>

namespace missivo {
namespace {

TEST(SecretsTest, WipeStringOverwritesTheWholeBuffer) {
  std::string secret = "correct horse battery staple, and a little more";
  secret.resize(10);  // the rest stays in the buffer
  const char* buffer = secret.data();
  const std::size_t capacity = secret.capacity();
  WipeString(secret);
  EXPECT_TRUE(secret.empty());
  ASSERT_EQ(secret.data(), buffer);  // the same buffer, wiped in place
  EXPECT_TRUE(std::all_of(buffer, buffer + capacity, [](char c) { return c == '\0'; }));
}

// In a child, so the test process keeps its own limits.
TEST(SecretsTest, KeepOutOfCrashFilesAllowsNoCoreFile) {
  const pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    KeepOutOfCrashFiles();
    rlimit core{};
    ::getrlimit(RLIMIT_CORE, &core);
    bool kept_out = core.rlim_cur == 0 && core.rlim_max == 0;
#if !defined(__SANITIZE_ADDRESS__)
    kept_out = kept_out && ::prctl(PR_GET_DUMPABLE) == 0;
#endif
    ::_exit(kept_out ? 0 : 1);
  }
  int status = 0;
  ASSERT_EQ(::waitpid(child, &status, 0), child);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
}

}  // namespace
}  // namespace missivo
