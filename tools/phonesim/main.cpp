#include <cstdio>

int main() {
  std::puts("phonesim: not built yet");
  return 0;
}
