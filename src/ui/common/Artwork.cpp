#include "Artwork.h"

#include <QCoreApplication>
#include <QLinearGradient>
#include <QPainterPath>

#include <algorithm>
#include <cmath>
#include <numbers>
#include <utility>

namespace lumiset::art {

namespace {

// Strokes sit on half pixels so one-pixel lines stay crisp at 100 %.
QRectF inner(const QRectF& r)
{
    return r.adjusted(0.5, 0.5, -0.5, -0.5);
}

/// A rounded face: raised (light top) when up, sunk (dark top) when pressed.
void face(QPainter& p, const QRectF& r, bool pressed)
{
    QLinearGradient g(r.topLeft(), r.bottomLeft());
    g.setColorAt(0, pressed ? colour::pressedLight : colour::faceLight);
    g.setColorAt(1, pressed ? colour::pressedDark : colour::faceDark);
    p.setPen(QPen(pressed ? colour::ink : colour::edge, 1));
    p.setBrush(g);
    p.drawRoundedRect(inner(r), 3, 3);
    if (!pressed) {
        p.setPen(QPen(QColor(255, 255, 255, 200), 1));
        p.drawLine(QPointF(r.left() + 3, r.top() + 1.5), QPointF(r.right() - 3, r.top() + 1.5));
    }
}

/// The glyph box of a button: a square at the left, shifted by a pixel when pressed.
QRectF glyphBox(const QRectF& r, bool pressed)
{
    const qreal side = r.height() - 8;
    const qreal shift = pressed ? 1 : 0;
    return QRectF(r.left() + 6 + shift, r.top() + 4 + shift, side, side);
}

void caption(QPainter& p, const QRectF& r, const QString& text, bool pressed, qreal leftInset)
{
    QFont f = p.font();
    f.setPixelSize(std::max(10, int(r.height() * 0.46)));
    f.setBold(true);
    p.setFont(f);
    p.setPen(colour::ink);
    const qreal shift = pressed ? 1 : 0;
    p.drawText(r.adjusted(leftInset + shift, shift, -4 + shift, shift), Qt::AlignVCenter | Qt::AlignLeft, text);
}

/// A recessed well with an edge, behind the reading bar and the formula.
void edgedWell(QPainter& p, const QRectF& r, qreal radius)
{
    p.setPen(QPen(colour::edge, 1));
    p.setBrush(colour::well);
    p.drawRoundedRect(inner(r), radius, radius);
}

/// The one-pixel ink frame of the help window's example picture and table.
void inkFrame(QPainter& p, const QRectF& r)
{
    p.setPen(QPen(colour::ink, 1));
    p.setBrush(Qt::NoBrush);
    p.drawRect(inner(r));
}

void folderGlyph(QPainter& p, const QRectF& b)
{
    QPainterPath back;
    back.moveTo(b.left(), b.top() + b.height() * 0.2);
    back.lineTo(b.left() + b.width() * 0.38, b.top() + b.height() * 0.2);
    back.lineTo(b.left() + b.width() * 0.48, b.top() + b.height() * 0.32);
    back.lineTo(b.right(), b.top() + b.height() * 0.32);
    back.lineTo(b.right(), b.bottom());
    back.lineTo(b.left(), b.bottom());
    back.closeSubpath();
    p.setPen(QPen(colour::amberDark, 1));
    p.setBrush(colour::amber.darker(110));
    p.drawPath(back);
    QPainterPath front;
    front.moveTo(b.left() + b.width() * 0.14, b.top() + b.height() * 0.45);
    front.lineTo(b.right() + b.width() * 0.1, b.top() + b.height() * 0.45);
    front.lineTo(b.right(), b.bottom());
    front.lineTo(b.left(), b.bottom());
    front.closeSubpath();
    p.setBrush(colour::amber);
    p.drawPath(front);
}

void tableGlyph(QPainter& p, const QRectF& b)
{
    p.setPen(QPen(colour::ink, 1));
    p.setBrush(Qt::white);
    p.drawRect(inner(b));
    p.fillRect(QRectF(b.left() + 1, b.top() + 1, b.width() - 2, b.height() * 0.28), colour::green);
    for (int i = 1; i < 3; ++i) {
        const qreal x = std::round(b.left() + b.width() * i / 3) + 0.5;
        p.drawLine(QPointF(x, b.top()), QPointF(x, b.bottom()));
        const qreal y = std::round(b.top() + b.height() * (0.28 + 0.72 * i / 3)) + 0.5;
        p.drawLine(QPointF(b.left(), y), QPointF(b.right(), y));
    }
}

/// A button's face with \a glyph drawn in the square at its left and, unless
/// empty, \a text after it.
template <class Glyph> void labelledButton(QPainter& p, const QRectF& r, bool pressed, const QString& text, Glyph glyph)
{
    p.setRenderHint(QPainter::Antialiasing);
    face(p, r, pressed);
    const QRectF b = glyphBox(r, pressed);
    glyph(b);
    if (!text.isEmpty())
        caption(p, r, text, pressed, b.width() + 11);
}

/// A round disc of \a colour filling the glyph box.
void disc(QPainter& p, const QRectF& b, const QColor& colour)
{
    p.setPen(Qt::NoPen);
    p.setBrush(colour);
    p.drawEllipse(b);
}

void crossGlyph(QPainter& p, const QRectF& b)
{
    p.setPen(QPen(colour::brick, 2.2, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(b.topLeft(), b.bottomRight());
    p.drawLine(b.topRight(), b.bottomLeft());
}

void chevron(QPainter& p, const QRectF& b, bool right)
{
    QPainterPath path;
    const qreal x0 = right ? b.left() + b.width() * 0.3 : b.right() - b.width() * 0.3;
    const qreal x1 = right ? b.right() - b.width() * 0.25 : b.left() + b.width() * 0.25;
    path.moveTo(x0, b.top() + b.height() * 0.2);
    path.lineTo(x1, b.center().y());
    path.lineTo(x0, b.bottom() - b.height() * 0.2);
    p.setPen(QPen(Qt::white, 2.2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    p.drawPath(path);
}

// Busy: an hourglass while the table is written.
void hourglassGlyph(QPainter& p, const QRectF& g)
{
    QPainterPath glass;
    glass.moveTo(g.left() + 2, g.top());
    glass.lineTo(g.right() - 2, g.top());
    glass.lineTo(g.center().x() + 1, g.center().y());
    glass.lineTo(g.right() - 2, g.bottom());
    glass.lineTo(g.left() + 2, g.bottom());
    glass.lineTo(g.center().x() - 1, g.center().y());
    glass.closeSubpath();
    p.setPen(QPen(colour::ink, 1.2));
    p.setBrush(colour::amber);
    p.drawPath(glass);
}

// A sheet of paper with a folded corner and three text lines.
void sheetGlyph(QPainter& p, const QRectF& g)
{
    QPainterPath sheet;
    const qreal fold = g.width() * 0.3;
    sheet.moveTo(g.left() + 1, g.top());
    sheet.lineTo(g.right() - fold, g.top());
    sheet.lineTo(g.right() - 1, g.top() + fold);
    sheet.lineTo(g.right() - 1, g.bottom());
    sheet.lineTo(g.left() + 1, g.bottom());
    sheet.closeSubpath();
    p.setPen(QPen(colour::ink, 1));
    p.setBrush(Qt::white);
    p.drawPath(sheet);
    p.setPen(QPen(colour::accent, 1));
    for (int i = 1; i <= 3; ++i) {
        const qreal y = std::round(g.top() + g.height() * (0.15 + 0.22 * i)) + 0.5;
        p.drawLine(QPointF(g.left() + 3, y), QPointF(g.right() - 3, y));
    }
}

// A cog wheel of eight teeth around a hole: the settings.
void gearGlyph(QPainter& p, const QRectF& g)
{
    constexpr int kTeeth = 8;
    const qreal step = 2 * std::numbers::pi / kTeeth;
    const qreal outer = g.width() / 2, root = outer * 0.72;
    const QPointF c = g.center();
    auto at = [&](qreal radius, qreal angle) { return c + QPointF(std::cos(angle), std::sin(angle)) * radius; };
    QPainterPath gear;
    for (int i = 0; i < kTeeth; ++i) {
        const qreal a = i * step;
        for (const auto& [radius, offset] : {std::pair{root, -0.3}, {outer, -0.16}, {outer, 0.16}, {root, 0.3}}) {
            const QPointF point = at(radius, a + offset * step);
            if (gear.elementCount() == 0)
                gear.moveTo(point);
            else
                gear.lineTo(point);
        }
    }
    gear.closeSubpath();
    gear.addEllipse(c, outer * 0.3, outer * 0.3); // the hole, by the odd-even fill
    p.setPen(QPen(colour::ink, 1));
    p.setBrush(colour::accent);
    p.drawPath(gear);
}

void crossButton(QPainter& p, const QRectF& r, bool pressed, const QString& text)
{
    labelledButton(p, r, pressed, text, [&](const QRectF& b) { crossGlyph(p, b.adjusted(2, 2, -2, -2)); });
}

// The page switch of the help window: a round chevron glyph and its caption.
void pageSwitchButton(QPainter& p, const QRectF& r, bool pressed, const QColor& colour, bool forward,
                      const QString& text)
{
    labelledButton(p, r, pressed, text, [&](const QRectF& b) {
        disc(p, b, colour);
        chevron(p, b, forward);
    });
}

} // namespace

void openButton(QPainter& p, const QRectF& r, bool pressed)
{
    labelledButton(p, r, pressed, QString(), [&](const QRectF& b) {
        folderGlyph(p, QRectF(b.center().x() - b.width() * 0.5 + 3, b.top() + 1, b.width(), b.height() - 1));
    });
}

void helpButton(QPainter& p, const QRectF& r, bool pressed)
{
    labelledButton(p, r, pressed, QCoreApplication::translate("Artwork", "Справка"), [&](const QRectF& b) {
        disc(p, b, colour::accent);
        QFont f = p.font();
        f.setPixelSize(int(b.height() * 0.8));
        f.setBold(true);
        p.setFont(f);
        p.setPen(Qt::white);
        p.drawText(b, Qt::AlignCenter, QStringLiteral("?"));
    });
}

void stopButton(QPainter& p, const QRectF& r, bool pressed)
{
    labelledButton(p, r, pressed, QString(), [&](const QRectF& b) {
        QPainterPath octagon;
        const qreal c = b.width() * 0.29;
        octagon.moveTo(b.left() + c, b.top());
        octagon.lineTo(b.right() - c, b.top());
        octagon.lineTo(b.right(), b.top() + c);
        octagon.lineTo(b.right(), b.bottom() - c);
        octagon.lineTo(b.right() - c, b.bottom());
        octagon.lineTo(b.left() + c, b.bottom());
        octagon.lineTo(b.left(), b.bottom() - c);
        octagon.lineTo(b.left(), b.top() + c);
        octagon.closeSubpath();
        p.setPen(Qt::NoPen);
        p.setBrush(colour::brick);
        p.drawPath(octagon);
        p.setBrush(Qt::white);
        const qreal s = b.width() * 0.36;
        p.drawRect(QRectF(b.center().x() - s / 2, b.center().y() - s / 2, s, s));
    });
}

void closeButton(QPainter& p, const QRectF& r, bool pressed)
{
    crossButton(p, r, pressed, QCoreApplication::translate("Artwork", "Закрыть"));
}

void moreButton(QPainter& p, const QRectF& r, bool pressed)
{
    pageSwitchButton(p, r, pressed, colour::accent, true, QCoreApplication::translate("Artwork", "Подробнее"));
}

void backButton(QPainter& p, const QRectF& r, bool pressed)
{
    pageSwitchButton(p, r, pressed, colour::green, false, QCoreApplication::translate("Artwork", "Кратко"));
}

void focusMark(QPainter& p, const QRectF& r)
{
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(colour::accent, 1));
    p.drawRoundedRect(inner(r), 3, 3);
    p.setPen(QPen(colour::accent, 1, Qt::DotLine));
    p.drawRoundedRect(inner(r).adjusted(2, 2, -2, -2), 2, 2);
    p.restore();
}

void focusBackdrop(QPainter& p, const QRectF& r)
{
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    QColor fill = colour::accentLight;
    fill.setAlpha(90);
    p.setBrush(fill);
    p.setPen(QPen(colour::accent, 1));
    p.drawRoundedRect(inner(r), 2, 2);
    p.restore();
}

void exportFrame(QPainter& p, const QRectF& r, int frame)
{
    frame = std::clamp(frame, 0, kStripFrames - 1);
    p.save();
    p.setClipRect(r);
    p.setRenderHint(QPainter::Antialiasing);
    // The slot the button slides into: a recessed well with a dashed outline.
    p.setPen(Qt::NoPen);
    p.setBrush(colour::well);
    p.drawRoundedRect(inner(r), 3, 3);
    p.setPen(QPen(colour::faceDark.darker(115), 1, Qt::DashLine));
    p.setBrush(Qt::NoBrush);
    p.drawRoundedRect(inner(r).adjusted(1, 1, -1, -1), 2, 2);
    if (frame > 0) {
        // Frames 1..10 ease out: quick start, soft landing on the resting frame.
        const qreal t = frame >= 10 ? 1.0 : frame / 10.0;
        const qreal eased = 1 - (1 - t) * (1 - t);
        const qreal dx = std::round((eased - 1) * r.width());
        const QRectF b = r.translated(dx, 0);
        if (frame == 12)
            labelledButton(p, b, false, QCoreApplication::translate("Artwork", "Подождите…"),
                           [&](const QRectF& g) { hourglassGlyph(p, g); });
        else
            tableButton(p, b, frame == 11);
    }
    p.restore();
}

void progressBar(QPainter& p, const QRectF& r, int phase)
{
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient g(r.topLeft(), r.bottomLeft());
    g.setColorAt(0, colour::green.lighter(140));
    g.setColorAt(1, colour::green);
    p.setPen(QPen(colour::green.darker(140), 1));
    p.setBrush(g);
    p.drawRect(inner(r));
    p.setClipRect(r.adjusted(1, 1, -1, -1));
    p.setPen(QPen(QColor(255, 255, 255, 70), 5));
    for (qreal x = r.left() - r.height() - kProgressStripePeriod + phase; x < r.right(); x += kProgressStripePeriod)
        p.drawLine(QPointF(x, r.bottom()), QPointF(x + r.height(), r.top()));
    p.restore();
}

void tableButton(QPainter& p, const QRectF& r, bool pressed)
{
    labelledButton(p, r, pressed, QCoreApplication::translate("Artwork", "В таблицу"),
                   [&](const QRectF& g) { tableGlyph(p, g); });
}

void csvButton(QPainter& p, const QRectF& r, bool pressed)
{
    labelledButton(p, r, pressed, QCoreApplication::translate("Artwork", "В файл CSV"),
                   [&](const QRectF& g) { sheetGlyph(p, g); });
}

void cancelButton(QPainter& p, const QRectF& r, bool pressed)
{
    crossButton(p, r, pressed, QCoreApplication::translate("Artwork", "Отмена"));
}

void optionsButton(QPainter& p, const QRectF& r, bool pressed)
{
    labelledButton(p, r, pressed, QString(), [&](const QRectF& g) {
        QRectF centred = g; // no caption: the glyph stands in the middle
        centred.moveLeft(r.left() + (r.width() - g.width()) / 2 + (pressed ? 1 : 0));
        gearGlyph(p, centred);
    });
}

void readingFrame(QPainter& p, const QRectF& r)
{
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    edgedWell(p, r, 4);
    p.restore();
}

void readingBar(QPainter& p, const QRectF& r)
{
    p.save();
    QLinearGradient g(r.topLeft(), r.topRight());
    g.setColorAt(0, colour::accentLight);
    g.setColorAt(1, colour::accent);
    p.fillRect(r, g);
    p.setClipRect(r);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(255, 255, 255, 60), 5));
    for (qreal x = r.left() - r.height(); x < r.right(); x += 14)
        p.drawLine(QPointF(x, r.bottom()), QPointF(x + r.height(), r.top()));
    QFont f = p.font();
    f.setPixelSize(12);
    f.setBold(true);
    p.setFont(f);
    p.setPen(Qt::white);
    p.drawText(r.adjusted(8, 0, 0, 0), Qt::AlignVCenter | Qt::AlignLeft,
               QCoreApplication::translate("Artwork", "Чтение изображения…"));
    p.restore();
}

void zoomCursor(QPainter& p, const QRectF& r, ZoomGlyph glyph)
{
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    const qreal d = r.width() * 0.62;
    const QRectF lens(r.left() + 1.5, r.top() + 1.5, d, d);
    p.setPen(QPen(Qt::black, 4, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(lens.center() + QPointF(d * 0.36, d * 0.36), r.bottomRight() - QPointF(2, 2));
    p.setPen(QPen(Qt::white, 3.2));
    p.setBrush(QColor(255, 255, 255, 200));
    p.drawEllipse(lens);
    p.setPen(QPen(Qt::black, 1.4));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(lens);
    p.setPen(QPen(colour::ink, 2, Qt::SolidLine, Qt::FlatCap));
    const QPointF c = lens.center();
    const qreal a = d * 0.25;
    if (glyph != ZoomGlyph::Plain)
        p.drawLine(c - QPointF(a, 0), c + QPointF(a, 0));
    if (glyph == ZoomGlyph::In)
        p.drawLine(c - QPointF(0, a), c + QPointF(0, a));
    p.restore();
}

int exampleGrey(int column, int row)
{
    // A soft diagonal ramp with a bright spot, so the table shows varied numbers.
    const int ramp = 40 + column * 28 + row * 12;
    const int dc = column - 3, dr = row - 1;
    const int spot = std::max(0, 60 - 22 * (dc * dc + dr * dr));
    return std::min(255, ramp + spot);
}

void examplePicture(QPainter& p, const QRectF& r)
{
    p.save();
    const qreal cw = r.width() / kExampleColumns, ch = r.height() / kExampleRows;
    for (int row = 0; row < kExampleRows; ++row)
        for (int col = 0; col < kExampleColumns; ++col) {
            const int v = exampleGrey(col, row);
            p.fillRect(QRectF(r.left() + col * cw, r.top() + row * ch, cw, ch).toAlignedRect(), QColor(v, v, v));
        }
    inkFrame(p, r);
    p.restore();
}

void conversionArrow(QPainter& p, const QRectF& r)
{
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    const qreal y = r.center().y(), h = std::min(r.height(), r.width()) * 0.5;
    QPainterPath a;
    a.moveTo(r.left(), y - h * 0.25);
    a.lineTo(r.right() - h * 0.7, y - h * 0.25);
    a.lineTo(r.right() - h * 0.7, y - h * 0.6);
    a.lineTo(r.right(), y);
    a.lineTo(r.right() - h * 0.7, y + h * 0.6);
    a.lineTo(r.right() - h * 0.7, y + h * 0.25);
    a.lineTo(r.left(), y + h * 0.25);
    a.closeSubpath();
    p.setPen(QPen(colour::accent.darker(120), 1));
    p.setBrush(colour::accentLight);
    p.drawPath(a);
    p.restore();
}

void brightnessTable(QPainter& p, const QRectF& r)
{
    p.save();
    const qreal cw = r.width() / kExampleColumns, ch = r.height() / kExampleRows;
    p.fillRect(r, Qt::white);
    QFont f = p.font();
    f.setPixelSize(std::max(8, int(ch * 0.5)));
    p.setFont(f);
    for (int row = 0; row < kExampleRows; ++row)
        for (int col = 0; col < kExampleColumns; ++col) {
            const QRectF cell(r.left() + col * cw, r.top() + row * ch, cw, ch);
            p.setPen(colour::ink);
            p.drawText(cell.adjusted(0, 0, -3, 0), Qt::AlignVCenter | Qt::AlignRight,
                       QString::number(exampleGrey(col, row)));
        }
    p.setPen(QPen(colour::faceDark.darker(120), 1));
    for (int col = 1; col < kExampleColumns; ++col) {
        const qreal x = std::round(r.left() + col * cw) + 0.5;
        p.drawLine(QPointF(x, r.top()), QPointF(x, r.bottom()));
    }
    for (int row = 1; row < kExampleRows; ++row) {
        const qreal y = std::round(r.top() + row * ch) + 0.5;
        p.drawLine(QPointF(r.left(), y), QPointF(r.right(), y));
    }
    inkFrame(p, r);
    p.restore();
}

void tableBadge(QPainter& p, const QRectF& r)
{
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    const qreal side = std::min(r.width(), r.height());
    const QRectF b(r.center().x() - side / 2, r.center().y() - side / 2, side, side);
    tableGlyph(p, b.adjusted(0, side * 0.1, -side * 0.2, -side * 0.1));
    QFont f = p.font();
    f.setPixelSize(std::max(8, int(side * 0.26)));
    f.setBold(true);
    p.setFont(f);
    const QRectF tag(b.right() - side * 0.55, b.bottom() - side * 0.38, side * 0.55, side * 0.32);
    p.setPen(Qt::NoPen);
    p.setBrush(colour::accent);
    p.drawRoundedRect(tag, 2, 2);
    p.setPen(Qt::white);
    p.drawText(tag, Qt::AlignCenter, QStringLiteral("CSV"));
    p.restore();
}

void luminanceFormula(QPainter& p, const QRectF& r)
{
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    edgedWell(p, r, 3);
    QFont f = p.font();
    f.setPixelSize(std::max(10, int(r.height() * 0.5)));
    p.setFont(f);
    // The weights are written as the help's language writes decimals.
    const QString parts[] = {QCoreApplication::translate("Artwork", "0,299·"),    QStringLiteral("R"),
                             QCoreApplication::translate("Artwork", " + 0,587·"), QStringLiteral("G"),
                             QCoreApplication::translate("Artwork", " + 0,114·"), QStringLiteral("B")};
    const QColor tints[] = {colour::ink, colour::brick, colour::ink, colour::green, colour::ink, colour::accent};
    const QFontMetricsF fm(f);
    qreal width = 0;
    for (const QString& s : parts)
        width += fm.horizontalAdvance(s);
    qreal x = r.center().x() - width / 2;
    for (int i = 0; i < 6; ++i) {
        QFont g = f;
        g.setBold(i % 2 == 1);
        p.setFont(g);
        p.setPen(tints[i]);
        p.drawText(QRectF(x, r.top(), r.width(), r.height()), Qt::AlignVCenter | Qt::AlignLeft, parts[i]);
        x += fm.horizontalAdvance(parts[i]);
    }
    p.restore();
}

} // namespace lumiset::art
