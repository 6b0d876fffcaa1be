#pragma once

#include "analysis/CsvWriter.h"
#include "analysis/MeasuredRun.h"

#include <QDateTime>
#include <QString>

namespace kavlon {

// Writes a recording to `path` in the given form, completely or not at all:
// into a temporary file in the same folder that replaces the file only once
// everything is written and on disk, so a failed save never leaves a cut-off
// file nor destroys the one that was there. A device (or anything else that is
// not a plain file) is written directly, since it cannot be replaced.
// Returns an empty text on success, else the German message for the operator.
QString WriteMeasuredFile(const MeasuredRun &run, const CsvTitle &title, CsvForm form,
                          const QString &path);

// The file name the save dialog proposes: "Messwerte_F_2026-12-08_0930.csv".
QString ProposedMeasuredFileName(const LoopState &start, const QDateTime &now);

} // namespace kavlon
