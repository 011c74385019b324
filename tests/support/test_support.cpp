#include "support/test_support.h"

#include <stdlib.h>

#include <fstream>
#include <sstream>
#include <stdexcept>

#include "text/cp1251.h"

namespace missivo::test {

TempFolder::TempFolder() {
  std::string pattern = (std::filesystem::temp_directory_path() / "missivo-test-XXXXXX").string();
  if (::mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
  path_ = pattern;
}

TempFolder::~TempFolder() {
  std::error_code ignored;
  std::filesystem::remove_all(path_, ignored);
}

std::string ReadBytes(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream bytes;
  if (in) bytes << in.rdbuf();
  return bytes.str();
}

void WriteBytes(const std::filesystem::path& path, std::string_view bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::string W(std::string_view utf8) {
  return Utf8ToCp1251(utf8);
}

Row FiveOf(Row row) {
  if (row.sub_items.size() > kMessageFieldCount) row.sub_items.resize(kMessageFieldCount);
  return row;
}

void ScriptedUserInterface::ShowMessage(const std::string& text, MessageKind kind,
                                        const std::string& caption) {
  messages.push_back({text, kind, caption});
}

bool ScriptedUserInterface::AskYesNo(const std::string& text) {
  questions.push_back(text);
  if (answers.empty()) return true;
  const bool answer = answers.front();
  answers.pop_front();
  return answer;
}

void ScriptedUserInterface::ShowProgress(int maximum, int position) {
  progress_maximum = maximum;
  progress_position = position;
  progress_visible = true;
}

void ScriptedUserInterface::SetProgressText(const std::string& text) {
  progress_texts.push_back(text);
}

Status ReplaceListFile(RowList& list, const std::filesystem::path& path, UserInterface& ui) {
  StandaloneFile stored(path);
  std::vector<Row> on_disk;
  (void)stored.file.Load(on_disk);
  return SaveListFile(list, stored.file, ui);
}

}  // namespace missivo::test

namespace missivo {
void PrintTo(const Row& row, std::ostream* out) {
  *out << "{\"" << Cp1251ToUtf8(row.caption) << "\", {";
  for (std::size_t i = 0; i < row.sub_items.size(); ++i)
    *out << (i ? ", \"" : "\"") << Cp1251ToUtf8(row.sub_items[i]) << "\"";
  *out << "}, " << row.image << "}";
}
}  // namespace missivo
