// What a read command could not do, in the words of the status bar.
#pragma once

#include <string>
#include <string_view>

#include "text/language.h"

namespace missivo {

struct ReadCommandResult;

// "The phone refused to list its messages: %1" (%1 the phone's answer).
inline constexpr std::string_view kListingRefusedLine = "Str152";
// "Messages that could not be read: %1; they stay on the phone".
inline constexpr std::string_view kUnreadableLine = "Str153";
// "The archive could not be saved: the new messages are not in it".
inline constexpr std::string_view kArchiveNotSavedLine = "Str154";

// The weightiest trouble of a read (Windows-1251): the archive not saved with
// the new messages, a listing the phone refused, messages that could not be
// read, in that order; empty when the read did all it was asked.
std::string ReadTroubleText(const ReadCommandResult& result, const LanguageLines& language);

}  // namespace missivo
