// Exports in the exchange formats: the selected message rows as an SMS
// backup, CSV, JSON or a UTF-8 page; the phonebook as vCard or CSV.
#pragma once

#include <cstddef>
#include <filesystem>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "core/status.h"
#include "core/ui.h"
#include "store/row.h"
#include "text/language.h"
#include "transfer/export_rows.h"
#include "transfer/message_writer.h"

namespace missivo {

// The selected rows, in list order, written in `format` to `sink` as a stream.
// `on_row` is called with the position of every row of the list after it.
[[nodiscard]] Status WriteMessages(std::span<const Row> rows, const RowSelection& selection,
                                   MessageFormat format,
                                   const std::function<bool(std::string_view)>& sink,
                                   const std::function<void(std::size_t)>& on_row = {});

enum class ContactFormat { kVCard, kCsv };

// "vcf", "csv".
std::optional<ContactFormat> ContactFormatOfName(std::string_view name);

// The phonebook rows as vCard 3.0, or as CSV with the header "name,number".
std::string ContactsText(std::span<const Row> rows, ContactFormat format);

// The selected message rows to `output` in `format` (ExportToFile).
[[nodiscard]] ExportResult ExportMessages(std::span<const Row> rows, const RowSelection& selection,
                                          MessageFormat format, const std::filesystem::path& output,
                                          const LanguageLines& language, UserInterface& ui);

// The phonebook to `output` in `format` (ExportToFile).
[[nodiscard]] ExportResult ExportContacts(std::span<const Row> rows, ContactFormat format,
                                          const std::filesystem::path& output,
                                          const LanguageLines& language, UserInterface& ui);

}  // namespace missivo
