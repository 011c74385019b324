#include <cstdio>

int main(int argc, char** /*argv*/) {
  if (argc < 2) {
    std::fputs("usage: missivo-cli [--folder DIR] <command> ...\n", stderr);
    return 1;
  }
  return 0;
}
