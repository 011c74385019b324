#include "transfer/import_file.h"

#include <algorithm>

#include "core/atomic_file.h"
#include "store/message_fields.h"
#include "text/cp1251.h"
#include "text/lines.h"
#include "transfer/progress_scope.h"

namespace missivo {

std::string ReadImportLines(const std::filesystem::path& path, std::vector<std::string>& lines) {
  lines.clear();
  const Result<std::string> bytes = ReadWholeFile(path);
  if (!bytes.ok()) return bytes.message();
  lines = SplitAnyBreak(bytes.value());
  return {};
}

std::size_t AppendImportedRows(std::vector<Row>& archive, std::vector<Row> rows, int maximum,
                               int step, const LanguageLines& language, UserInterface& ui,
                               const std::function<void()>& resolve_names) {
  ProgressScope progress(ui, std::max(maximum, 0), language.LangText("Str70"));
  archive.reserve(archive.size() + rows.size());
  for (std::size_t k = 0; k < rows.size(); ++k) {
    archive.push_back(std::move(rows[k]));
    progress.SetPosition(static_cast<int>(k) * step);
    ui.ProcessPendingEvents();
  }
  if (resolve_names) resolve_names();
  return rows.size();
}

std::string ImportedCountText(std::size_t added, const LanguageLines& language) {
  return language.LangText("Str71") + ": " + std::to_string(added);
}

void WriteImportedFields(Row& row, std::string_view number, std::string time,
                         std::vector<std::string> parts) {
  MessageFields fields;
  fields.kind = RowKind::kImported;
  fields.text = Cp1251ToUtf8(row.caption);
  fields.number = Cp1251ToUtf8(number);
  fields.time = std::move(time);
  fields.parts = std::move(parts);
  WriteMessageFields(row, fields);
}

}  // namespace missivo
