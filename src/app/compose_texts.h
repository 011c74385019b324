// The language lines of composing and sending messages, in one place so that
// renumbering them is a change of this file alone.
#pragma once

namespace missivo::compose_texts {

inline constexpr char kNewMessage[] = "Str128";  // "Новое сообщение": window title, menu, toolbar
inline constexpr char kReply[] = "Str129";         // "Ответить"
inline constexpr char kTo[] = "Str130";            // "Кому:"
inline constexpr char kCountOnePart[] = "Str131";  // "%1 / %2, 1 часть"
inline constexpr char kCountParts[] = "Str132";    // "%1 / %2, частей: %3"
inline constexpr char kSent[] = "Str133";          // "Сообщение отправлено"
inline constexpr char kNotSent[] = "Str134";       // "Отправка не удалась:"
inline constexpr char kAskReport[] = "Str135";  // "Запросить отчёт о доставке"
inline constexpr char kDelivered[] = "Str136";  // "Доставлено": tooltip and conversation
// Shared with the terminal and the edit panel.
inline constexpr char kSend[] = "Str17";    // "Отправить"
inline constexpr char kCancel[] = "Str14";  // "Отмена"

}  // namespace missivo::compose_texts
