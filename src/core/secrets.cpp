#include "core/secrets.h"

#include <string.h>
#include <sys/prctl.h>
#include <sys/resource.h>

namespace missivo {

#if defined(__SANITIZE_ADDRESS__)
#define MISSIVO_SANITIZED 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define MISSIVO_SANITIZED 1
#endif
#endif

void WipeBytes(void* data, std::size_t size) {
  if (data != nullptr && size > 0) ::explicit_bzero(data, size);
}

void WipeString(std::string& text) {
  text.resize(text.capacity());
  WipeBytes(text.data(), text.size());
  text.clear();
}

void KeepOutOfCrashFiles() {
  const rlimit none{0, 0};
  ::setrlimit(RLIMIT_CORE, &none);
#ifndef MISSIVO_SANITIZED
  ::prctl(PR_SET_DUMPABLE, 0, 0, 0, 0);
#endif
}

}  // namespace missivo
