#include "transfer/import_file.h"

#include <algorithm>

#include "core/atomic_file.h"
#include "store/archive.h"
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

ImportCount AppendImportedRows(std::vector<Row>& archive, std::vector<Row> rows, int maximum,
                               int step, const LanguageLines& language, UserInterface& ui,
                               const std::function<void()>& resolve_names) {
  ProgressScope progress(ui, std::max(maximum, 0), language.LangText("Str70"));
  archive.reserve(archive.size() + rows.size());
  ArchiveIndex archived(archive);
  ImportCount count;
  for (std::size_t k = 0; k < rows.size(); ++k) {
    Row& row = rows[k];
    if (archived.IsArchived(row)) {
      ++count.already;
    } else {
      archive.push_back(std::move(row));
      archived.Add(archive.size() - 1);
      ++count.added;
    }
    progress.SetPosition(static_cast<int>(k) * step);
    ui.ProcessPendingEvents();
  }
  if (resolve_names) resolve_names();
  return count;
}

std::string ImportedCountText(const ImportCount& count, const LanguageLines& language) {
  return FillIn(language.LangText("Str112"),
                {std::to_string(count.added), std::to_string(count.already)});
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
