#include "frame/CommandIcons.h"

#include <QHash>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

#include <functional>
#include <string_view>

namespace {

constexpr int kSize = 32;  // drawn large, scaled down by the toolbar

const QColor kInk(40, 48, 64);
const QColor kBlue(36, 110, 200);
const QColor kGreen(46, 150, 80);
const QColor kRed(200, 56, 48);
const QColor kOrange(230, 140, 30);
const QColor kPaper(250, 250, 246);
const QColor kYellow(240, 200, 70);

QPen Pen(const QColor& colour, qreal width = 2.5)
{
    QPen pen(colour, width);
    pen.setCapStyle(Qt::RoundCap);
    pen.setJoinStyle(Qt::RoundJoin);
    return pen;
}

// Help and about: a blue disc with a white letter.
void BlueDiscWithLetter(QPainter& p, const char* letter)
{
    p.setPen(Pen(kBlue.darker(130), 1.5));
    p.setBrush(kBlue);
    p.drawEllipse(QRectF(3, 3, 26, 26));
    QFont font;
    font.setBold(true);
    font.setPixelSize(20);
    p.setFont(font);
    p.setPen(Qt::white);
    p.drawText(QRectF(3, 3, 26, 26), Qt::AlignCenter, letter);
}

void Page(QPainter& p, QRectF r = QRectF(7, 3, 18, 26))
{
    QPainterPath path;
    path.moveTo(r.left(), r.top());
    path.lineTo(r.right() - 6, r.top());
    path.lineTo(r.right(), r.top() + 6);
    path.lineTo(r.right(), r.bottom());
    path.lineTo(r.left(), r.bottom());
    path.closeSubpath();
    p.setPen(Pen(kInk, 1.8));
    p.setBrush(kPaper);
    p.drawPath(path);
}

void Magnifier(QPainter& p, const QColor& colour)
{
    p.setPen(Pen(kInk, 2.5));
    p.setBrush(QColor(210, 230, 250));
    p.drawEllipse(QRectF(4, 4, 17, 17));
    p.setPen(Pen(kInk, 4.5));
    p.drawLine(QPointF(19, 19), QPointF(28, 28));
    p.setPen(Pen(colour, 2.5));
    p.drawLine(QPointF(8.5, 12.5), QPointF(16.5, 12.5));
}

void Camera(QPainter& p, const QColor& lens)
{
    p.setPen(Pen(kInk, 1.8));
    p.setBrush(QColor(90, 100, 120));
    p.drawRoundedRect(QRectF(3, 9, 26, 18), 3, 3);
    p.drawRect(QRectF(10, 5, 10, 5));
    p.setBrush(lens);
    p.drawEllipse(QRectF(10, 12, 12, 12));
}

void Letters(QPainter& p, const QString& text, const QColor& background)
{
    p.setPen(Pen(background.darker(140), 1.5));
    p.setBrush(background);
    p.drawRoundedRect(QRectF(3, 3, 26, 26), 6, 6);
    QFont font;
    font.setBold(true);
    font.setPixelSize(text.size() > 1 ? 12 : 16);
    p.setFont(font);
    p.setPen(Qt::white);
    p.drawText(QRectF(3, 3, 26, 26), Qt::AlignCenter, text);
}

using Drawing = std::function<void(QPainter&)>;

const QHash<QString, Drawing>& Drawings()
{
    static const QHash<QString, Drawing> drawings = {
        {"new", [](QPainter& p) { Page(p); }},
        {"open",
         [](QPainter& p) {
             p.setPen(Pen(kInk, 1.8));
             p.setBrush(kYellow.darker(115));
             p.drawRect(QRectF(3, 8, 24, 19));
             p.setBrush(kYellow);
             QPolygonF flap{{3, 27}, {8, 14}, {30, 14}, {26, 27}};
             p.drawPolygon(flap);
         }},
        {"save",
         [](QPainter& p) {
             p.setPen(Pen(kInk, 1.8));
             p.setBrush(kBlue);
             p.drawRoundedRect(QRectF(4, 4, 24, 24), 2, 2);
             p.setBrush(kPaper);
             p.drawRect(QRectF(9, 4, 14, 9));
             p.setBrush(QColor(200, 210, 220));
             p.drawRect(QRectF(8, 18, 16, 10));
         }},
        {"print",
         [](QPainter& p) {
             p.setPen(Pen(kInk, 1.8));
             p.setBrush(kPaper);
             p.drawRect(QRectF(9, 3, 14, 10));
             p.setBrush(QColor(150, 160, 175));
             p.drawRoundedRect(QRectF(3, 12, 26, 11), 2, 2);
             p.setBrush(kPaper);
             p.drawRect(QRectF(9, 19, 14, 10));
         }},
        {"cut",
         [](QPainter& p) {
             p.setPen(Pen(kInk, 2.2));
             p.drawLine(QPointF(10, 4), QPointF(21, 21));
             p.drawLine(QPointF(22, 4), QPointF(11, 21));
             p.setPen(Pen(kRed, 2.5));
             p.setBrush(Qt::NoBrush);
             p.drawEllipse(QRectF(4, 20, 9, 9));
             p.drawEllipse(QRectF(19, 20, 9, 9));
         }},
        {"copy",
         [](QPainter& p) {
             Page(p, QRectF(4, 3, 15, 20));
             Page(p, QRectF(13, 10, 15, 20));
         }},
        {"paste",
         [](QPainter& p) {
             p.setPen(Pen(kInk, 1.8));
             p.setBrush(QColor(170, 120, 70));
             p.drawRoundedRect(QRectF(4, 5, 20, 24), 2, 2);
             p.setBrush(QColor(200, 200, 200));
             p.drawRect(QRectF(9, 2, 10, 6));
             Page(p, QRectF(13, 12, 15, 18));
         }},
        {"undo",
         [](QPainter& p) {
             p.setPen(Pen(kBlue, 3));
             p.setBrush(Qt::NoBrush);
             p.drawArc(QRectF(7, 8, 20, 18), 90 * 16, -200 * 16);
             p.setBrush(kBlue);
             p.drawPolygon(QPolygonF{{3, 10}, {12, 3}, {12, 16}});
         }},
        {"redo",
         [](QPainter& p) {
             p.setPen(Pen(kBlue, 3));
             p.setBrush(Qt::NoBrush);
             p.drawArc(QRectF(5, 8, 20, 18), 90 * 16, 200 * 16);
             p.setBrush(kBlue);
             p.drawPolygon(QPolygonF{{29, 10}, {20, 3}, {20, 16}});
         }},
        {"zoom-in",
         [](QPainter& p) {
             Magnifier(p, kGreen);
             p.drawLine(QPointF(12.5, 8.5), QPointF(12.5, 16.5));
         }},
        {"zoom-out", [](QPainter& p) { Magnifier(p, kRed); }},
        {"pane-zoom", [](QPainter& p) { Magnifier(p, kBlue); }},
        {"hand",
         [](QPainter& p) {
             p.setPen(Pen(kInk, 1.6));
             p.setBrush(QColor(250, 215, 180));
             p.drawRoundedRect(QRectF(7, 13, 17, 16), 5, 5);
             for (int i = 0; i < 4; ++i)
                 p.drawRoundedRect(QRectF(7 + i * 4.3, 4 + (i == 0 || i == 3 ? 3 : 0), 4, 14), 2, 2);
         }},
        {"select",
         [](QPainter& p) {
             p.setPen(Pen(kInk, 1.6));
             p.setBrush(Qt::white);
             p.drawPolygon(QPolygonF{{8, 3}, {8, 26}, {14, 20}, {19, 29}, {23, 27}, {18, 18}, {26, 18}});
         }},
        {"region-rect",
         [](QPainter& p) {
             QPen pen = Pen(kBlue, 2.2);
             pen.setStyle(Qt::DashLine);
             p.setPen(pen);
             p.drawRect(QRectF(5, 7, 22, 18));
         }},
        {"region-ellipse",
         [](QPainter& p) {
             QPen pen = Pen(kBlue, 2.2);
             pen.setStyle(Qt::DashLine);
             p.setPen(pen);
             p.drawEllipse(QRectF(4, 7, 24, 18));
         }},
        {"region-polygon",
         [](QPainter& p) {
             QPen pen = Pen(kBlue, 2.2);
             pen.setStyle(Qt::DashLine);
             p.setPen(pen);
             p.drawPolygon(QPolygonF{{5, 12}, {15, 4}, {27, 10}, {24, 27}, {9, 24}});
         }},
        {"crop",
         [](QPainter& p) {
             p.setPen(Pen(kInk, 3));
             p.drawPolyline(QPolygonF{{9, 3}, {9, 23}, {29, 23}});
             p.drawPolyline(QPolygonF{{3, 9}, {23, 9}, {23, 29}});
         }},
        {"duplicate",
         [](QPainter& p) {
             p.setPen(Pen(kInk, 1.6));
             p.setBrush(QColor(120, 170, 220));
             p.drawRect(QRectF(4, 4, 17, 14));
             p.setBrush(QColor(140, 200, 140));
             p.drawRect(QRectF(11, 13, 17, 14));
         }},
        {"grid",
         [](QPainter& p) {
             p.setPen(Pen(kInk, 1.5));
             for (int i = 0; i < 4; ++i) {
                 p.drawLine(QPointF(5 + i * 7.3, 4), QPointF(5 + i * 7.3, 28));
                 p.drawLine(QPointF(4, 5 + i * 7.3), QPointF(28, 5 + i * 7.3));
             }
         }},
        {"cross",
         [](QPainter& p) {
             p.setPen(Pen(kRed, 2.5));
             p.drawLine(QPointF(16, 3), QPointF(16, 29));
             p.drawLine(QPointF(3, 16), QPointF(29, 16));
             p.setBrush(Qt::NoBrush);
             p.drawEllipse(QRectF(9, 9, 14, 14));
         }},
        {"capture", [](QPainter& p) { Camera(p, QColor(120, 190, 255)); }},
        {"multi-capture",
         [](QPainter& p) {
             Camera(p, QColor(120, 190, 255));
             p.setPen(Qt::white);
             QFont font;
             font.setBold(true);
             font.setPixelSize(11);
             p.setFont(font);
             p.drawText(QRectF(10, 12, 12, 12), Qt::AlignCenter, "n");
         }},
        {"resize-capture",
         [](QPainter& p) {
             Camera(p, QColor(120, 190, 255));
             p.setPen(Pen(kOrange, 2.2));
             p.drawLine(QPointF(13, 21), QPointF(19, 15));
         }},
        {"live",
         [](QPainter& p) {
             Camera(p, QColor(255, 120, 110));
             p.setPen(Qt::NoPen);
             p.setBrush(kRed);
             p.drawEllipse(QRectF(22, 3, 8, 8));
         }},
        {"video",
         [](QPainter& p) {
             p.setPen(Pen(kInk, 1.8));
             p.setBrush(QColor(90, 100, 120));
             p.drawRoundedRect(QRectF(3, 9, 18, 15), 2, 2);
             p.drawPolygon(QPolygonF{{21, 14}, {29, 9}, {29, 24}, {21, 19}});
         }},
        {"device",
         [](QPainter& p) {
             p.setPen(Pen(kInk, 1.8));
             p.setBrush(QColor(90, 100, 120));
             p.drawRoundedRect(QRectF(8, 3, 16, 20), 3, 3);
             p.setBrush(QColor(120, 190, 255));
             p.drawEllipse(QRectF(11, 6, 10, 10));
             p.drawLine(QPointF(16, 23), QPointF(16, 29));
             p.drawLine(QPointF(9, 29), QPointF(23, 29));
         }},
        {"calibration",
         [](QPainter& p) {
             p.setPen(Pen(kInk, 1.6));
             p.setBrush(kYellow);
             p.drawRect(QRectF(2, 11, 28, 10));
             for (int i = 0; i < 7; ++i)
                 p.drawLine(QPointF(5 + i * 3.8, 11), QPointF(5 + i * 3.8, i % 2 ? 15 : 17));
         }},
        {"calib-manual",
         [](QPainter& p) {
             p.setPen(Pen(kInk, 1.6));
             p.setBrush(kYellow);
             p.drawRect(QRectF(2, 17, 28, 9));
             for (int i = 0; i < 7; ++i)
                 p.drawLine(QPointF(5 + i * 3.8, 17), QPointF(5 + i * 3.8, 21));
             p.setPen(Pen(kRed, 2.2));
             p.drawLine(QPointF(5, 9), QPointF(27, 9));
             p.drawLine(QPointF(5, 4), QPointF(5, 14));
             p.drawLine(QPointF(27, 4), QPointF(27, 14));
         }},
        {"scale-bar",
         [](QPainter& p) {
             p.setPen(Pen(kInk, 1.5));
             p.setBrush(Qt::white);
             p.drawRect(QRectF(3, 14, 26, 6));
             p.setBrush(kInk);
             p.drawRect(QRectF(3, 14, 13, 6));
         }},
        {"properties",
         [](QPainter& p) {
             Page(p);
             p.setPen(Pen(kBlue, 2));
             for (int i = 0; i < 4; ++i)
                 p.drawLine(QPointF(11, 10 + i * 4.5), QPointF(21, 10 + i * 4.5));
         }},
        {"statistics",
         [](QPainter& p) {
             p.setPen(Qt::NoPen);
             const QColor colours[] = {kBlue, kGreen, kOrange, kRed};
             const int heights[] = {10, 20, 14, 24};
             for (int i = 0; i < 4; ++i) {
                 p.setBrush(colours[i]);
                 p.drawRect(QRectF(4 + i * 6.5, 28 - heights[i], 5, heights[i]));
             }
             p.setPen(Pen(kInk, 1.5));
             p.drawLine(QPointF(3, 28.5), QPointF(29, 28.5));
         }},
        {"report",
         [](QPainter& p) {
             Page(p);
             p.setPen(Qt::NoPen);
             p.setBrush(kGreen);
             p.drawRect(QRectF(10, 18, 3, 7));
             p.drawRect(QRectF(15, 13, 3, 12));
             p.drawRect(QRectF(20, 16, 3, 9));
         }},
        {"pane-report",
         [](QPainter& p) {
             p.setPen(Pen(kInk, 1.5));
             p.setBrush(kPaper);
             p.drawRect(QRectF(3, 5, 26, 22));
             p.setBrush(QColor(190, 210, 235));
             p.drawRect(QRectF(3, 5, 26, 5));
             for (int i = 0; i < 3; ++i)
                 p.drawLine(QPointF(3, 15 + i * 5), QPointF(29, 15 + i * 5));
             p.drawLine(QPointF(12, 10), QPointF(12, 27));
         }},
        {"pane-thumbs",
         [](QPainter& p) {
             p.setPen(Pen(kInk, 1.4));
             const QColor colours[] = {kBlue, kGreen, kOrange, kRed};
             for (int i = 0; i < 4; ++i) {
                 p.setBrush(colours[i].lighter(130));
                 p.drawRect(QRectF(4 + (i % 2) * 13, 4 + (i / 2) * 13, 11, 11));
             }
         }},
        {"pane-tools",
         [](QPainter& p) {
             p.setPen(Pen(kBlue, 2.2));
             p.drawLine(QPointF(4, 26), QPointF(26, 6));
             p.setPen(Pen(kRed, 2.2));
             p.setBrush(Qt::NoBrush);
             p.drawEllipse(QRectF(14, 14, 14, 14));
             p.setBrush(kInk);
             p.setPen(Qt::NoPen);
             p.drawEllipse(QRectF(2, 24, 5, 5));
             p.drawEllipse(QRectF(24, 3, 5, 5));
         }},
        {"help",
         [](QPainter& p) { BlueDiscWithLetter(p, "?"); }},
        {"about",
         [](QPainter& p) { BlueDiscWithLetter(p, "i"); }},
        {"layout",
         [](QPainter& p) {
             p.setPen(Pen(kInk, 1.5));
             p.setBrush(kPaper);
             p.drawRect(QRectF(3, 4, 26, 24));
             p.setBrush(QColor(190, 210, 235));
             p.drawRect(QRectF(3, 4, 26, 5));
             p.drawRect(QRectF(3, 9, 7, 19));
             p.drawRect(QRectF(10, 22, 19, 6));
         }},
        {"cascade",
         [](QPainter& p) {
             p.setPen(Pen(kInk, 1.5));
             for (int i = 0; i < 3; ++i) {
                 p.setBrush(kPaper);
                 p.drawRect(QRectF(3 + i * 5, 3 + i * 5, 16, 14));
                 p.setBrush(kBlue);
                 p.drawRect(QRectF(3 + i * 5, 3 + i * 5, 16, 3));
             }
         }},
        {"tile",
         [](QPainter& p) {
             p.setPen(Pen(kInk, 1.5));
             for (int i = 0; i < 2; ++i) {
                 p.setBrush(kPaper);
                 p.drawRect(QRectF(3 + i * 14, 5, 12, 22));
                 p.setBrush(kBlue);
                 p.drawRect(QRectF(3 + i * 14, 5, 12, 3));
             }
         }},
        {"notepad",
         [](QPainter& p) {
             Page(p);
             p.setPen(Pen(kInk, 1.2));
             for (int i = 0; i < 4; ++i)
                 p.drawLine(QPointF(10, 11 + i * 4.5), QPointF(22, 11 + i * 4.5));
         }},
        {"clipboard",
         [](QPainter& p) {
             p.setPen(Pen(kInk, 1.8));
             p.setBrush(QColor(170, 120, 70));
             p.drawRoundedRect(QRectF(6, 5, 20, 24), 2, 2);
             p.setBrush(kPaper);
             p.drawRect(QRectF(9, 9, 14, 17));
             p.setBrush(QColor(200, 200, 200));
             p.drawRect(QRectF(11, 2, 10, 6));
         }},
        {"mail",
         [](QPainter& p) {
             p.setPen(Pen(kInk, 1.6));
             p.setBrush(kPaper);
             p.drawRect(QRectF(3, 8, 26, 17));
             p.drawPolyline(QPolygonF{{3, 8}, {16, 18}, {29, 8}});
         }},
        {"preferences",
         [](QPainter& p) {
             p.setPen(Pen(kInk, 4));
             for (int i = 0; i < 4; ++i) {
                 p.save();
                 p.translate(16, 16);
                 p.rotate(i * 45);
                 p.drawLine(QPointF(0, -13), QPointF(0, 13));
                 p.restore();
             }
             p.setPen(Pen(kInk, 1.5));
             p.setBrush(QColor(160, 170, 185));
             p.drawEllipse(QRectF(7, 7, 18, 18));
             p.setBrush(Qt::white);
             p.drawEllipse(QRectF(12, 12, 8, 8));
         }},
    };
    return drawings;
}

QColor TileColour(const QString& key)
{
    const uint hash = qHash(key);
    return QColor::fromHsv(static_cast<int>(hash % 360), 150, 175);
}

QString TileLetters(const QString& key)
{
    QString letters;
    for (const QString& part : key.split('-', Qt::SkipEmptyParts))
        letters += part.front().toUpper();
    return letters.left(2);
}

}  // namespace

QIcon CommandIcon(const char* key)
{
    if (!key)
        return {};
    static QHash<QString, QIcon> cache;
    const QString name = QString::fromLatin1(key);
    if (auto found = cache.constFind(name); found != cache.constEnd())
        return *found;

    QPixmap pixmap(kSize, kSize);
    pixmap.fill(Qt::transparent);
    {
        QPainter painter(&pixmap);
        painter.setRenderHint(QPainter::Antialiasing);
        if (auto drawing = Drawings().constFind(name); drawing != Drawings().constEnd())
            (*drawing)(painter);
        else
            Letters(painter, TileLetters(name), TileColour(name));
    }
    QIcon icon(pixmap);
    cache.insert(name, icon);
    return icon;
}
