#pragma once

#include "output/DrawExport.h"
#include "output/ExportInputs.h"

#include <QImage>
#include <QString>

class QPrinter;

namespace kavlon {

// The clipboard picture: 950 x 1425 pixels, white, W 950, F 12, s 30, m 0.
inline constexpr int ClipboardWidth = 950;
inline constexpr int ClipboardHeight = 1425;
inline constexpr ExportParams ClipboardParams{ClipboardWidth, 12, 30, 0};

// A printed page: F 8, s 130, the margin by orientation, W the printable width.
inline constexpr int PrintFontSize = 8;
inline constexpr int PrintSpacing = 130;
inline constexpr int PrintMarginPortrait = 200;
inline constexpr int PrintMarginLandscape = 100;
// The export's spacings are device pixels; at this resolution they give a
// readable page on any printer.
inline constexpr int PrintResolution = 600;

QString PrintDocumentName(); // "Kavlon 2 - Regelkreis", the job's name in the queue

// Renders the clipboard picture. The text's point size is taken at `dpi`
// (the screen's logical resolution by default, 96 without a screen).
QImage RenderClipboardPicture(const ExportInputs &in);
QImage RenderClipboardPicture(const ExportInputs &in, int dpi);

// The screen's logical resolution for the clipboard picture's text.
int ScreenDotsPerInch();

// Prints the document on one page of `printer`: sets the document name and
// 600 dpi, begins the document, draws with the printable page width and the
// margin of the page's orientation, ends the document. The caller shows the
// print dialog first. Returns false when the printer could not be started or
// finished (no printer, unwritable PDF file); nothing is drawn then. Runs to
// the end without handling events, so no tick can change the lists meanwhile.
bool PrintExport(QPrinter &printer, const ExportInputs &in);

} // namespace kavlon
