// The language lines of composing and sending messages, in one place so that
// renumbering them is a change of this file alone.
#pragma once

namespace missivo::compose_texts {

inline constexpr char kNewMessage[] = "Str136";  // "Новое сообщение": window title, menu, toolbar
inline constexpr char kReply[] = "Str137";         // "Ответить"
inline constexpr char kTo[] = "Str138";            // "Кому:"
inline constexpr char kCountOnePart[] = "Str139";  // "%1 / %2, 1 часть"
inline constexpr char kCountParts[] = "Str140";    // "%1 / %2, частей: %3"
inline constexpr char kSent[] = "Str141";          // "Сообщение отправлено"
inline constexpr char kNotSent[] = "Str142";       // "Отправка не удалась:"
inline constexpr char kAskReport[] = "Str143";  // "Запросить отчёт о доставке"
inline constexpr char kDelivered[] = "Str144";  // "Доставлено": tooltip and conversation
// Shared with the terminal and the edit panel.
inline constexpr char kSend[] = "Str17";    // "Отправить"
inline constexpr char kCancel[] = "Str14";  // "Отмена"

}  // namespace missivo::compose_texts
