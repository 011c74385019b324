// The language lines of automatic backup, in one place.
#pragma once

#include <string_view>

namespace missivo {

// "Считывать сообщения при подключении телефона": the setting.
inline constexpr std::string_view kAutoReadSettingLine = "Str145";
// "%1 new messages archived from %2": the status and the desktop notification
// after the read at a connection (%1 the number, %2 the phone).
inline constexpr std::string_view kArchivedFromLine = "Str146";

}  // namespace missivo
