// The language lines of the exchange formats in the window, and Save2's file
// types for them after the two of "Str98".
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "text/language.h"
#include "transfer/message_writer.h"

namespace missivo {

inline constexpr std::string_view kSmsBackupItemKey = "Str128";  // "Резервная копия SMS (XML)"
inline constexpr std::string_view kVCardItemKey = "Str129";    // "Контакты (vCard)"
inline constexpr std::string_view kExportTypesKey = "Str130";  // Save2's further file types
inline constexpr std::string_view kImportedCountKey =
    "Str112";  // "Импортировано: %1, уже в архиве: %2"
inline constexpr std::string_view kPartialQuestionKey = "Str131";  // "Прочитано до ошибки: %1. ..."
inline constexpr std::string_view kContactsCountKey =
    "Str132";  // "Контакты: %1, уже в справочнике: %2"
inline constexpr std::string_view kMediaSkippedKey = "Str133";  // "Вложения MMS пропущены: %1"
inline constexpr std::string_view kSmsBackupFilterKey = "Str134";  // open filter of a backup
inline constexpr std::string_view kVCardFilterKey = "Str135";      // open filter of a vCard file

// The text of `key`; a language file written before the key existed has no
// such line, and then the built-in Russian one stands in.
std::string ExchangeText(const LanguageLines& language, std::string_view key);

// The text of `key` with "%1" and "%2" replaced.
std::string ExchangeText(const LanguageLines& language, std::string_view key,
                         const std::string& first, const std::string& second = {});

// Save2's file types 3 to 6 (the pairs of "Str130"): SMS backup XML, CSV,
// JSON, the UTF-8 page. Nothing for types 1 and 2, the templates.
inline constexpr int kFirstExchangeFileType = 3;
std::optional<MessageFormat> ExchangeFormatOfFileType(int file_type);

}  // namespace missivo
