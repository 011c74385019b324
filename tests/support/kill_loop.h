// A process killed in the middle of a save, again and again: a child runs save
// after save (each with the next generation number) until it is killed at a
// random moment; after every kill the test looks at what the file holds.
//
//   test::KillDuringSaves(
//       [&](int generation) { (void)WriteListFile(RowsOf(generation), path); },
//       [&] { return GenerationOnDisk(path); },  // -1: damaged
//       {.kills = 200});
#pragma once

#include <chrono>
#include <filesystem>
#include <functional>

namespace missivo::test {

struct KillOptions {
  int kills = 200;
  // The kill comes at a random moment up to this long after the child started.
  std::chrono::microseconds latest = std::chrono::microseconds(4000);
};

struct KillStats {
  int generation = 0;   // the generation on disk after the last kill
  int interrupted = 0;  // kills that left a temporary file behind
};

// `save` runs in the child, with generations from the one on disk + 1 upwards;
// it ends the child with status 1 when a save fails. `generation_on_disk` runs
// in the test after every kill: the generation the file holds, -1 when it is
// damaged (0 may stand for "not written yet"). Every kill must leave a whole
// generation, never an older one than before. Temporary files of atomic writes
// left in `folder` are handed to `leftover` (when given) and removed.
KillStats KillDuringSaves(const std::function<bool(int generation)>& save,
                          const std::function<int()>& generation_on_disk,
                          const std::filesystem::path& folder,
                          const std::function<void(const std::filesystem::path&)>& leftover = {},
                          KillOptions options = {});

}  // namespace missivo::test
