// Writes a program folder with the full archive of the window benchmarks, for
// measuring the window program itself (window_peak_memory.sh):
//   make_full_archive FOLDER
#include <cstdio>

#include "full_archive.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: make_full_archive FOLDER\n");
    return 2;
  }
  return missivo::WriteFullArchiveFolder(argv[1]) ? 0 : 1;
}
