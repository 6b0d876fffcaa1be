#pragma once

#include <array>
#include <cstddef>
#include <string_view>

namespace kavlon {

// What the option switch does for a plant: nothing, the plant compensation
// of the temperature process (StrK, flag StrKOn) or the dead-time
// compensation (TotK, flag TotKOn).
enum class OptionKind { None, PlantCompensation, DeadTimeCompensation };

// The label beside the option switch for each kind.
constexpr std::string_view OptionLabel(OptionKind kind)
{
    switch (kind) {
    case OptionKind::PlantCompensation: return "StrK";
    case OptionKind::DeadTimeCompensation: return "TotK";
    case OptionKind::None: break;
    }
    return "--------";
}

// What the operator sees of each plant: its title (title panel, tool tip of
// its tool button, export heading), what its option switch does, its help
// topic and its caption in the plant menu; and whether, after a step of y, x
// comes to rest at a new value (selfRegulating): plant E integrates, so its x
// keeps moving until a limit stops it and its step response has no steady
// state of its own.
struct PlantInfo {
    char letter;
    std::string_view title;
    OptionKind option;
    int helpContext;
    std::string_view menuCaption;
    bool selfRegulating = true;
};

inline constexpr int PlantCount = 7;

inline constexpr std::array<PlantInfo, PlantCount> Plants{{
    {'A', "PT3 - Regelstrecke", OptionKind::None, 1101, "&A: PT3"},
    {'B', "PT3 - Regelstrecke mit Totzeit", OptionKind::None, 1102, "&B: PT3 mit Totzeit"},
    {'C', "Nichtlineare PT3 - Temperatur-Regelstrecke", OptionKind::PlantCompensation, 1103,
     "&C: PT3-Temperatur"},
    {'D', "PT2 - Regelstrecke", OptionKind::None, 1104, "&D: PT2"},
    {'E', "PT2 - Regelstrecke mit Integralglied", OptionKind::None, 1105,
     "&E: PT2 mit Integralglied", false},
    {'F', "PT2 - Regelstrecke mit Totzeit und Kompensation", OptionKind::DeadTimeCompensation, 1106,
     "&F: PT2 mit Totzeitkompensation"},
    {'G', "PT2 - Regelstrecke mit Totzeit und 80% Kompensation", OptionKind::DeadTimeCompensation,
     1107, "&G: PT2 mit 80% Totzeitkompensation"},
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

// The option kind of plant 0..6; None for any other index.
constexpr OptionKind OptionKindOf(int plantIndex)
{
    return plantIndex >= 0 && plantIndex < PlantCount
               ? Plants[static_cast<std::size_t>(plantIndex)].option
               : OptionKind::None;
}

// Whether the option switch (and the option line of an export) is in use:
// the plant compensation always, the dead-time compensation only in
// controller mode (in manual mode there is no controller to compensate for).
constexpr bool OptionEnabledFor(int plantIndex, bool handMode)
{
    switch (OptionKindOf(plantIndex)) {
    case OptionKind::PlantCompensation: return true;
    case OptionKind::DeadTimeCompensation: return !handMode;
    case OptionKind::None: break;
    }
    return false;
}

} // namespace kavlon
