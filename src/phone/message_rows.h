// The rows that messages and contacts read from the phone become.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "phone/reply_parsers.h"
#include "store/message_fields.h"
#include "store/row.h"
#include "text/language.h"

namespace missivo {

// The text with every character whose code is below 20 removed (CR and LF too,
// so the lines of a message run together).
std::string MessageCaption(std::string_view text);

// The Type word of a status: Str67 for "REC READ" and "REC UNREAD", Str68 for
// "STO SENT", Str69 for any other.
std::string TypeOfStatus(std::string_view status, const LanguageLines& language);

// The image of a status: incoming 2, outgoing 28, any other (drafts) 1.
std::int32_t ImageOfStatus(std::string_view status);

// The kind of message of a status, by the same rule as the Type.
RowKind KindOfStatus(std::string_view status);

// Whether the status is one of an outgoing or draft message, which carry the
// moment of the read instead of a stamp from the phone.
bool IsStoredByUser(std::string_view status);

// The language key of the sender of a message whose header did not parse.
inline constexpr std::string_view kUnreadableHeaderKey = "Str110";

// The message row of a record read with `index`. `read_moment` is MakeDate() of
// the read; outgoing and draft rows take their Date/Time from it, the others from
// the record's stamp. Size counts the text's characters as decoded, line breaks included.
// The row carries the lossless fields (store/message_fields.h): the whole text,
// the sender as given, the stamp in ISO 8601 when the header had one (so an
// outgoing or draft row without one claims no time), the kind by the status and
// `index` as its one part.
// A record whose header did not parse gets MakeUnreadableHeaderRow.
Row MakeMessageRow(const MessageRecord& record, std::string_view index,
                   const LanguageLines& language, std::string_view read_moment);

// The row of a message whose header did not parse: its text, the language
// text "unreadable header" (kUnreadableHeaderKey) as sender, the moment of the
// read as Date/Time, Size and Index; no Type and no picture (-1).
Row MakeUnreadableHeaderRow(const MessageRecord& record, std::string_view index,
                            const LanguageLines& language, std::string_view read_moment);

}  // namespace missivo
