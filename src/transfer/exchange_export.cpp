#include "transfer/exchange_export.h"

#include <algorithm>
#include <vector>

#include "transfer/archive_records.h"
#include "transfer/utf8_text.h"
#include "transfer/vcard.h"

namespace missivo {

Status WriteMessages(std::span<const Row> rows, const RowSelection& selection, MessageFormat format,
                     const std::function<bool(std::string_view)>& sink,
                     const std::function<void(std::size_t)>& on_row) {
  const std::vector<bool> selected = SelectedMask(rows.size(), selection);
  const auto writer = MakeMessageWriter(format, sink);
  Status status =
      writer->Begin(static_cast<std::size_t>(std::count(selected.begin(), selected.end(), true)));
  for (std::size_t i = 0; i < rows.size() && status.ok(); ++i) {
    if (selected[i]) status = writer->Add(rows[i]);
    if (on_row) on_row(i);
  }
  return status.ok() ? writer->End() : status;
}

std::optional<ContactFormat> ContactFormatOfName(std::string_view name) {
  if (name == "vcf") return ContactFormat::kVCard;
  if (name == "csv") return ContactFormat::kCsv;
  return std::nullopt;
}

std::string ContactsText(std::span<const Row> rows, ContactFormat format) {
  std::vector<ContactRecord> contacts;
  contacts.reserve(rows.size());
  for (const Row& row : rows)
    contacts.push_back(ContactOfRow(row));
  if (format == ContactFormat::kVCard) return WriteVCards(contacts);
  std::string csv = "name,number\r\n";
  for (const ContactRecord& contact : contacts) {
    csv +=
        CsvField(XmlSafeText(contact.name)) + "," + CsvField(XmlSafeText(contact.number)) + "\r\n";
  }
  return csv;
}

ExportResult ExportMessages(std::span<const Row> rows, const RowSelection& selection,
                            MessageFormat format, const std::filesystem::path& output,
                            const LanguageLines& language, UserInterface& ui) {
  const std::vector<bool> selected = SelectedMask(rows.size(), selection);
  const auto exported =
      static_cast<std::size_t>(std::count(selected.begin(), selected.end(), true));
  if (exported == 0) return {};
  return ExportToFile(rows.size(), exported, output, language, ui,
                      [&](const auto& sink, const auto& on_row) {
                        return WriteMessages(rows, selection, format, sink, on_row);
                      });
}

ExportResult ExportContacts(std::span<const Row> rows, ContactFormat format,
                            const std::filesystem::path& output, const LanguageLines& language,
                            UserInterface& ui) {
  if (rows.empty()) return {};
  return ExportToFile(rows.size(), rows.size(), output, language, ui,
                      [&](const auto& sink, const auto&) {
                        return sink(ContactsText(rows, format))
                                   ? Status()
                                   : Status::Failure("The export could not be written.");
                      });
}

}  // namespace missivo
