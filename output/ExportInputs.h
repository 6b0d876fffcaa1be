#pragma once

#include "charts/LiveCharts.h"
#include "engine/LoopState.h"

#include <QString>

namespace kavlon {

class Evaluation;

// What an export reads of the window: the texts exactly as the window shows
// them, the plant, the mode flags and the live charts. The window fills this
// from its panels and read-outs; kavlon-sim fills it from the loop state with
// ExportInputsFromState. The charts are only read.
struct ExportInputs {
    QString ControllerTitle; // caption of ReglerLabelPanel ("PI - Regler", "Handregelung")
    int PlantIndex{0};       // 0..6 = plants A..G; others give no plant title
    const LiveCharts *Charts{nullptr}; // lists, image sizes; null: empty chart rectangles
    bool HandMode{false};
    bool ARWUOn{false};
    bool TotKOn{false};
    bool StrKOn{false};
    QString TvText;            // read-out Vorhaltezeit ("Aus" when Tv is 0)
    QString TnText;            // read-out Nachstellzeit
    QString KrText;            // read-out Verstaerkung
    QString OptionCaption;     // caption of OptionLabel ("StrK", "TotK", "--------")
    bool OptionEnabled{false}; // enabled state of OptionLabel
    bool PrintInColor{true};   // colour traces and wording, else black line styles
    // The evaluation overlays to draw over both charts and its figures line
    // below the settings; null (or everything off): the plain document.
    const Evaluation *Evaluated{nullptr};
};

// The inputs as the window would show them for this loop state: the title from
// Kr/Tn/Tv or "Handregelung", the read-outs in the general number format with
// `decimalPoint`, the plant's option label, enabled by plant and mode.
ExportInputs ExportInputsFromState(const LoopState &s, const LiveCharts &charts, bool printInColor,
                                   const QString &decimalPoint = QStringLiteral("."));

} // namespace kavlon
