#include "transfer/export_rows.h"

#include <algorithm>

#include "core/atomic_file.h"
#include "text/cp1251.h"
#include "transfer/export_block.h"
#include "transfer/progress_scope.h"

namespace missivo {

std::vector<bool> SelectedMask(std::size_t row_count, const RowSelection& selection) {
  std::vector<bool> mask(row_count, selection.all);
  if (!selection.all) {
    for (const std::size_t position : selection.positions)
      if (position < row_count) mask[position] = true;
  }
  return mask;
}

namespace {

// "16 MB", "512 MB"; a limit under a megabyte in bytes.
std::string MegabytesOf(std::size_t bytes) {
  return bytes >= (std::size_t{1} << 20) ? std::to_string(bytes >> 20) + " MB"
                                         : std::to_string(bytes) + " bytes";
}

std::size_t CountSelected(const std::vector<bool>& mask) {
  return static_cast<std::size_t>(std::count(mask.begin(), mask.end(), true));
}

}  // namespace

bool HasRowsToExport(std::span<const Row> rows, const RowSelection& selection) {
  return CountSelected(SelectedMask(rows.size(), selection)) != 0;
}

Status WriteExport(std::span<const Row> rows, const RowSelection& selection,
                   std::string_view template_buffer, TemplateKind kind,
                   const std::function<void(std::string_view)>& sink,
                   const std::function<void(std::size_t)>& on_row, std::size_t limit) {
  const std::vector<bool> selected = SelectedMask(rows.size(), selection);
  const std::string template_lines = PrepareTemplateLines(template_buffer);
  std::size_t written = 0;
  for (std::size_t i = 0; i < rows.size(); ++i) {
    if (selected[i]) {
      // Room for the block and its CR LF within what the limit leaves.
      const std::size_t room = limit - written;
      const std::size_t block_limit = std::min(kMaxExportBlock, room < 2 ? 0 : room - 2);
      std::optional<std::string> block =
          FillBlockWithin(template_lines, rows[i], kind, block_limit);
      if (!block || block->size() + 2 > room) {
        const std::size_t bound = block_limit == kMaxExportBlock ? kMaxExportBlock : limit;
        return Status::Failure("The export would be larger than " + MegabytesOf(bound) +
                               ": the template and the fields of row " + std::to_string(i + 1) +
                               " multiply past that.");
      }
      *block += "\r\n";
      written += block->size();
      sink(*block);
    }
    if (on_row) on_row(i);
  }
  return {};
}

Result<std::string> ExportBytes(std::span<const Row> rows, const RowSelection& selection,
                                std::string_view template_buffer, TemplateKind kind,
                                const std::function<void(std::size_t)>& on_row, std::size_t limit) {
  std::string out;
  const Status made = WriteExport(
      rows, selection, template_buffer, kind, [&](std::string_view block) { out += block; }, on_row,
      limit);
  if (!made.ok()) return made;
  return out;
}

ExportResult ExportToFile(
    std::size_t row_count, std::size_t exported, const std::filesystem::path& output,
    const LanguageLines& language, UserInterface& ui,
    const std::function<Status(const std::function<bool(std::string_view)>& sink,
                               const std::function<void(std::size_t)>& on_row)>& write) {
  ExportResult result;
  ProgressScope progress(ui, static_cast<int>(row_count) - 1, language.LangText("Str79"));
  // An export holds messages: readable by the user only, also when it replaces
  // a file that others could read.
  AtomicFileWriter writer(output, kDataFileMode);
  const Status made = write(
      [&](std::string_view bytes) {
        writer.Write(bytes);
        return true;
      },
      [&](std::size_t i) { progress.SetPosition(static_cast<int>(i)); });
  // A failed export leaves the file as it was: the writer goes without a commit.
  const Status written = made.ok()
                             ? writer.Commit()
                             : Status::Failure("Cannot export to " + QuotedFileName(output) + ": " +
                                               made.message() + " Nothing was written.");
  progress.End();
  if (!written.ok()) {
    result.error = written.message();
    ui.ShowMessage(result.error, MessageKind::kError, "I/O Error");
    return result;
  }
  result.exported = exported;
  return result;
}

ExportResult ExportRows(std::span<const Row> rows, const RowSelection& selection, TemplateKind kind,
                        const std::filesystem::path& data_folder,
                        const std::filesystem::path& output, const LanguageLines& language,
                        UserInterface& ui) {
  const std::size_t exported = CountSelected(SelectedMask(rows.size(), selection));
  if (exported == 0) return {};
  // Read once per export, not once per row.
  const std::string template_buffer = LoadTemplateBuffer(data_folder, kind, language);
  return ExportToFile(rows.size(), exported, output, language, ui,
                      [&](const auto& sink, const auto& on_row) {
                        return WriteExport(
                            rows, selection, template_buffer, kind,
                            [&](std::string_view block) { sink(block); }, on_row);
                      });
}

std::string ExportedCountText(std::size_t exported, const LanguageLines& language) {
  return language.LangText("Str111") + ": " + std::to_string(exported);
}

}  // namespace missivo
