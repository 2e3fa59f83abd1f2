#pragma once

#include <QColor>
#include <QPainter>
#include <QRectF>

namespace lumiset::art {

// One palette for every picture of the program: navy ink, steel-blue faces,
// an amber accent for "open", a brick red for "stop".
namespace colour {
inline const QColor ink{0x23, 0x39, 0x5b};
inline const QColor edge{0x5b, 0x73, 0x90};
inline const QColor faceLight{0xfb, 0xfc, 0xfe};
inline const QColor faceDark{0xd5, 0xe0, 0xeb};
inline const QColor pressedLight{0xb9, 0xc9, 0xd9};
inline const QColor pressedDark{0xcf, 0xdb, 0xe6};
inline const QColor well{0xe4, 0xe9, 0xef};
inline const QColor accent{0x2f, 0x6f, 0xa7};
inline const QColor accentLight{0x8f, 0xc1, 0xe3};
inline const QColor amber{0xf2, 0xa5, 0x41};
inline const QColor amberDark{0xc2, 0x7a, 0x1e};
inline const QColor brick{0xb8, 0x3b, 0x3b};
inline const QColor green{0x4c, 0x9a, 0x6a};
inline const QColor link{0, 0, 128};
inline const QColor linkHover{0, 0, 255};
} // namespace colour

/// Every picture paints itself into the given rectangle in logical pixels, so
/// it stays sharp at any device pixel ratio.
using PictureFn = void (*)(QPainter&, const QRectF&, bool pressed);

// Buttons of the open window and the help windows; each paints its resting
// and its pressed picture.
void openButton(QPainter& p, const QRectF& r, bool pressed);
void helpButton(QPainter& p, const QRectF& r, bool pressed);
void stopButton(QPainter& p, const QRectF& r, bool pressed);
void closeButton(QPainter& p, const QRectF& r, bool pressed);
void moreButton(QPainter& p, const QRectF& r, bool pressed); // page switch on the summary
void backButton(QPainter& p, const QRectF& r, bool pressed); // page switch on the help text

/// The mark over a button that has the keyboard focus: its outline in the
/// accent colour and a dotted ring inside.
void focusMark(QPainter& p, const QRectF& r);
/// The same mark behind a clickable caption, whose text fills its box: a light
/// accent backdrop inside the outline.
void focusBackdrop(QPainter& p, const QRectF& r);

/// The export button strip has 13 frames of 130 × 26 stacked top to bottom:
/// 0 empty slot, 1..10 the button sliding in from the left, 11 pressed, 12 busy.
inline constexpr int kStripFrameWidth = 130;
inline constexpr int kStripFrameHeight = 26;
inline constexpr int kStripFrames = 13;
void exportFrame(QPainter& p, const QRectF& r, int frame);

/// Distance between the progress bar's stripes.
inline constexpr int kProgressStripePeriod = 14;
/// The 130 × 26 bar revealed from the left while cells are coloured; its
/// light stripes moved \a phase pixels along it.
void progressBar(QPainter& p, const QRectF& r, int phase = 0);

// Export window buttons.
void tableButton(QPainter& p, const QRectF& r, bool pressed); // export to the workbook
void csvButton(QPainter& p, const QRectF& r, bool pressed);   // export to a CSV file
void cancelButton(QPainter& p, const QRectF& r, bool pressed);
void optionsButton(QPainter& p, const QRectF& r, bool pressed); // the output options, a glyph alone

/// The frame around the reading progress bar (472 × 32), and the bar itself,
/// painted at full length (466 × 26) and revealed by the width of its box.
void readingFrame(QPainter& p, const QRectF& r);
void readingBar(QPainter& p, const QRectF& r);

/// Pointer pictures of the zoomed view: a magnifier, with a plus while zooming
/// in and a minus while zooming out or at a limit.
enum class ZoomGlyph { Plain, In, Out };
void zoomCursor(QPainter& p, const QRectF& r, ZoomGlyph glyph);

// Illustrations of the help windows.
void examplePicture(QPainter& p, const QRectF& r); // a small grey-scale picture
void conversionArrow(QPainter& p, const QRectF& r);
void brightnessTable(QPainter& p, const QRectF& r);  // the matching table of numbers
void tableBadge(QPainter& p, const QRectF& r);       // spreadsheet / CSV badge
void luminanceFormula(QPainter& p, const QRectF& r); // 0,299·R + 0,587·G + 0,114·B

/// Grey level of the example picture at (column, row) of its 6 × 5 grid; the
/// help window's table shows these very numbers.
int exampleGrey(int column, int row);
inline constexpr int kExampleColumns = 6;
inline constexpr int kExampleRows = 5;

} // namespace lumiset::art
