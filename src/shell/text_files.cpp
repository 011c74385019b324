#include "shell/text_files.h"

#include "core/atomic_file.h"
#include "text/lines.h"

namespace missivo {

std::vector<std::string> ReadTextLines(const std::filesystem::path& path) {
  const Result<std::string> bytes = ReadWholeFile(path);
  if (!bytes.ok()) return {};
  return SplitAnyBreak(UpToNul(bytes.value()));
}

}  // namespace missivo
