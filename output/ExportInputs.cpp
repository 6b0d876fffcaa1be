#include "output/ExportInputs.h"

#include "engine/OperatorValues.h"
#include "engine/PlantTable.h"
#include "output/ReadoutText.h"

namespace kavlon {

ExportInputs ExportInputsFromState(const LoopState &s, const LiveCharts &charts, bool printInColor,
                                   const QString &decimalPoint)
{
    ExportInputs in;
    in.ControllerTitle = s.HandMode ? HandModeTitleText() : ControllerTitleText(s.Kr, s.Tn, s.Tv);
    in.PlantIndex = s.PlantIndex;
    in.Charts = &charts;
    in.HandMode = s.HandMode;
    in.ARWUOn = s.ARWUOn;
    in.TotKOn = s.TotKOn;
    in.StrKOn = s.StrKOn;
    in.TvText = ParameterReadoutText(s.Tv, decimalPoint);
    in.TnText = ParameterReadoutText(s.Tn, decimalPoint);
    in.KrText = ParameterReadoutText(s.Kr, decimalPoint);
    const std::string_view label = OptionLabelOf(s);
    in.OptionCaption = QString::fromLatin1(label.data(), static_cast<qsizetype>(label.size()));
    in.OptionEnabled = OptionEnabledFor(s.PlantIndex, s.HandMode);
    in.PrintInColor = printInColor;
    return in;
}

} // namespace kavlon
