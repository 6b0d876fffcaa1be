#pragma once

#include <array>
#include <cstdint>
#include <string_view>

namespace kavlon {

// What the operator sees of each plant: its title (also the tool tip), the
// label beside the option switch, the help topic and the menu caption.
struct PlantInfo {
    char letter;
    std::string_view title;
    std::string_view optionLabel;
    int helpContext;
    std::string_view menuCaption;
};

inline constexpr std::string_view NoOptionLabel = "--------";
inline constexpr std::string_view PlantCompensationLabel = "StrK";
inline constexpr std::string_view DeadTimeCompensationLabel = "TotK";

inline constexpr int PlantCount = 7;

inline constexpr std::array<PlantInfo, PlantCount> Plants{{
    {'A', "PT3 - Regelstrecke", NoOptionLabel, 1101, "&A: PT3"},
    {'B', "PT3 - Regelstrecke mit Totzeit", NoOptionLabel, 1102, "&B: PT3 mit Totzeit"},
    {'C', "Nichtlineare PT3 - Temperatur-Regelstrecke", PlantCompensationLabel, 1103,
     "&C: PT3-Temperatur"},
    {'D', "PT2 - Regelstrecke", NoOptionLabel, 1104, "&D: PT2"},
    {'E', "PT2 - Regelstrecke mit Integralglied", NoOptionLabel, 1105, "&E: PT2 mit Integralglied"},
    {'F', "PT2 - Regelstrecke mit Totzeit und Kompensation", DeadTimeCompensationLabel, 1106,
     "&F: PT2 mit Totzeitkompensation"},
    {'G', "PT2 - Regelstrecke mit Totzeit und 80% Kompensation", DeadTimeCompensationLabel, 1107,
     "&G: PT2 mit 80% Totzeitkompensation"},
}};

// Index 0..6 of a plant letter A..G (either case), or -1.
constexpr int PlantIndexOfLetter(char letter)
{
    for (int i = 0; i < PlantCount; ++i)
        if (Plants[static_cast<std::size_t>(i)].letter == letter
            || Plants[static_cast<std::size_t>(i)].letter == letter - ('a' - 'A'))
            return i;
    return -1;
}

} // namespace kavlon
