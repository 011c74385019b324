// The language lines of the phone-kind setting, in one place.
#pragma once

#include <array>
#include <string_view>

namespace missivo {

// "Тип телефона:": the setting's label.
inline constexpr std::string_view kPhoneKindLine = "Str147";
// Its choices in the order of PhoneKind: "Автоматически", "Семейство +MPBR",
// "Стандартный (3GPP)".
inline constexpr std::array<std::string_view, 3> kPhoneKindChoiceLines = {"Str148", "Str149",
                                                                          "Str150"};

}  // namespace missivo
