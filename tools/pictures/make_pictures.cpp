// Draws every picture of the main window: category banners and buttons, the
// score-panel marks, the clock bar, the start and pass buttons, the winner
// animation, the chat smilies and the tiled background.
//
// Usage: make_pictures OUTPUT_FOLDER [--contact SHEET.png]
//
// Everything is drawn with QPainter from fixed seeds, so running the program
// again gives the same files. The look is one family: warm colours, a dark
// brown outline that wobbles a little as if drawn by hand, and bold rounded
// lettering in dark ink on light fills so the tiny texts stay readable.

#include <QDir>
#include <QFile>
#include <QFontDatabase>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <QTextStream>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <functional>
#include <random>
#include <vector>

namespace {

constexpr double kPi = 3.14159265358979323846;

// Palette.
const QColor kInk(0x5b, 0x2a, 0x1c);      // outlines and lettering
const QColor kMaroon(0x80, 0x1c, 0x12);   // titles, matches the panel texts
const QColor kCream(0xff, 0xf5, 0xdc);    // light fills and shine
const QColor kGold(0xf5, 0xc2, 0x42);     // trophy, stars
const QColor kGoldDark(0xc9, 0x8a, 0x1e); // gold shade
const QColor kTomato(0xe0, 0x53, 0x3d);   // hot accents
const QColor kOrange(0xf3, 0x92, 0x37);   // arrow, confetti
const QColor kSky(0x4f, 0xa3, 0xe0);      // tears, cool accents
const QColor kPink(0xf2, 0x8b, 0xa8);     // cheeks, tongue
const QColor kSkinTop(0xff, 0xe0, 0x6a);  // smiley faces
const QColor kSkinBottom(0xf5, 0xad, 0x38);

// Category fills, by category number: General, actions, Phrase, music groups,
// movies, TV shows, food and drink.
const QColor kCategoryFill[7] = {
    QColor(0xf7, 0xcd, 0x55), QColor(0xf5, 0x9a, 0x7e), QColor(0xd9, 0xab, 0xe2), QColor(0x9c, 0xcd, 0xeb),
    QColor(0xf7, 0xae, 0x62), QColor(0x8e, 0xd3, 0xc7), QColor(0xbe, 0xdd, 0x82),
};

// Deterministic random numbers: the engine's output is fixed by the standard,
// the conversions below are our own so every build draws the same pictures.
class Rng
{
public:
    explicit Rng(quint32 seed) : engine_(seed) {}
    double uni(double lo, double hi) { return lo + (hi - lo) * (double(engine_()) / 4294967296.0); }
    int integer(int lo, int hi) { return lo + int(engine_() % quint32(hi - lo + 1)); }

private:
    std::mt19937 engine_;
};

QImage canvas(int w, int h)
{
    QImage img(w, h, QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::transparent);
    return img;
}

void smooth(QPainter &p)
{
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
}

QPen inkPen(double width, const QColor &c = kInk)
{
    QPen pen(c, width);
    pen.setCapStyle(Qt::RoundCap);
    pen.setJoinStyle(Qt::RoundJoin);
    return pen;
}

// Pushes every point of a closed outline in or out along its normal by a
// smooth periodic noise, so the shape looks drawn by hand. The noise has a
// whole number of cycles round the outline, so the ends meet.
QPainterPath wobble(const QPainterPath &src, double amp, quint32 seed, double wavelength = 24.0)
{
    const double len = src.length();
    const int n = std::max(24, int(std::ceil(len / 0.6)));
    Rng rng(seed);
    const int base = std::max(1, int(std::lround(len / wavelength)));
    const int k[3] = {base, base * 2 + rng.integer(0, 2), base * 4 + rng.integer(0, 3)};
    const double a[3] = {1.0, 0.5, 0.25};
    double ph[3];
    for (double &v : ph)
        v = rng.uni(0, 2 * kPi);
    QPainterPath out;
    for (int i = 0; i < n; ++i) {
        const double t = double(i) / n;
        const double ang = src.angleAtPercent(t) * kPi / 180.0;
        double off = 0;
        for (int h = 0; h < 3; ++h)
            off += a[h] * std::sin(2 * kPi * k[h] * t + ph[h]);
        const QPointF pt = src.pointAtPercent(t) + QPointF(std::sin(ang), std::cos(ang)) * (off * amp / 1.75);
        if (i == 0)
            out.moveTo(pt);
        else
            out.lineTo(pt);
    }
    out.closeSubpath();
    return out;
}

QPainterPath roundedRect(const QRectF &r, double radius)
{
    QPainterPath path;
    path.addRoundedRect(r, radius, radius);
    return path;
}

QPainterPath ellipse(const QPointF &c, double rx, double ry)
{
    QPainterPath path;
    path.addEllipse(c, rx, ry);
    return path;
}

QPainterPath polygon(std::initializer_list<QPointF> pts)
{
    QPainterPath path;
    path.addPolygon(QPolygonF(QList<QPointF>(pts)));
    path.closeSubpath();
    return path;
}

QPainterPath star(const QPointF &c, double outer, double inner, int points = 5, double turn = 0)
{
    QPainterPath path;
    for (int i = 0; i < points * 2; ++i) {
        const double r = (i % 2 == 0) ? outer : inner;
        const double a = -kPi / 2 + turn + i * kPi / points;
        const QPointF pt = c + QPointF(std::cos(a), std::sin(a)) * r;
        if (i == 0)
            path.moveTo(pt);
        else
            path.lineTo(pt);
    }
    path.closeSubpath();
    return path;
}

// A heart whose top dip sits at c, size s across.
QPainterPath heart(const QPointF &c, double s)
{
    const double x = c.x(), y = c.y(), h = s / 2;
    QPainterPath path;
    path.moveTo(x, y + h * 1.5);
    path.cubicTo(x - h * 0.2, y + h, x - h * 1.1, y + h * 0.55, x - h, y - h * 0.05);
    path.cubicTo(x - h * 0.9, y - h * 0.75, x - h * 0.1, y - h * 0.8, x, y - h * 0.1);
    path.cubicTo(x + h * 0.1, y - h * 0.8, x + h * 0.9, y - h * 0.75, x + h, y - h * 0.05);
    path.cubicTo(x + h * 1.1, y + h * 0.55, x + h * 0.2, y + h, x, y + h * 1.5);
    path.closeSubpath();
    return path;
}

// Fills a shape and draws its outline.
void outlined(QPainter &p, const QPainterPath &path, const QBrush &fill, double width = 1.0,
              const QColor &line = kInk)
{
    p.setPen(Qt::NoPen);
    p.setBrush(fill);
    p.drawPath(path);
    p.setPen(inkPen(width, line));
    p.setBrush(Qt::NoBrush);
    p.drawPath(path);
}

void filled(QPainter &p, const QPainterPath &path, const QBrush &fill)
{
    p.setPen(Qt::NoPen);
    p.setBrush(fill);
    p.drawPath(path);
}

void stroke(QPainter &p, const QPainterPath &path, double width, const QColor &c = kInk)
{
    p.setPen(inkPen(width, c));
    p.setBrush(Qt::NoBrush);
    p.drawPath(path);
}

QBrush verticalShade(const QRectF &r, const QColor &c, int lighter = 118, int darker = 110)
{
    QLinearGradient g(0, r.top(), 0, r.bottom());
    g.setColorAt(0, c.lighter(lighter));
    g.setColorAt(0.55, c);
    g.setColorAt(1, c.darker(darker));
    return g;
}

// ---------------------------------------------------------------- lettering

QFont letterFont(int pixelSize, bool condensed = false)
{
    QFont f(condensed ? QStringLiteral("DejaVu Sans Condensed") : QStringLiteral("DejaVu Sans"));
    f.setPixelSize(pixelSize);
    f.setBold(true);
    f.setHintingPreference(QFont::PreferFullHinting);
    f.setStyleStrategy(QFont::PreferAntialias);
    return f;
}

double textWidth(const QFont &f, const QString &s)
{
    return QFontMetricsF(f).horizontalAdvance(s);
}

// Writes one line centred on the capital letters of the box, on whole
// pixels so the small letters stay sharp. A halo colour draws a one-pixel
// rim round the letters first.
void letters(QPainter &p, const QRectF &box, const QString &s, const QFont &f, const QColor &c,
             const QColor &halo = QColor())
{
    const QFontMetricsF fm(f);
    const double x = std::round(box.center().x() - fm.horizontalAdvance(s) / 2);
    const double base = std::round(box.center().y() + fm.capHeight() / 2);
    p.setFont(f);
    if (halo.isValid()) {
        p.setPen(halo);
        for (int dx = -1; dx <= 1; ++dx)
            for (int dy = -1; dy <= 1; ++dy)
                if (dx != 0 || dy != 0)
                    p.drawText(QPointF(x + dx, base + dy), s);
    }
    p.setPen(c);
    p.drawText(QPointF(x, base), s);
}

// Largest bold size from `from` down that fits the width; falls back to the
// condensed face before going smaller.
QFont fitFont(const QString &s, double width, int from)
{
    for (int px = from; px >= 8; --px) {
        if (textWidth(letterFont(px), s) <= width)
            return letterFont(px);
        if (textWidth(letterFont(px, true), s) <= width)
            return letterFont(px, true);
    }
    return letterFont(8, true);
}

// ---------------------------------------------------------------- small icons
// Silhouettes drawn in a 10 x 10 design box, scaled into place.

using IconFn = std::function<void(QPainter &, const QColor &ink, const QColor &light)>;

void iconStar(QPainter &p, const QColor &ink, const QColor &)
{
    filled(p, star(QPointF(5, 5.4), 5.2, 2.2), ink);
}

void iconBolt(QPainter &p, const QColor &ink, const QColor &)
{
    filled(p, polygon({{6.4, 0}, {1.4, 5.8}, {4.6, 5.8}, {3.4, 10}, {8.8, 3.8}, {5.5, 3.8}, {7.4, 0}}), ink);
}

void iconBubble(QPainter &p, const QColor &ink, const QColor &light)
{
    QPainterPath b = roundedRect(QRectF(0, 0.6, 10, 6.8), 3);
    b.addPath(polygon({{2.2, 6.5}, {1.4, 9.8}, {5.2, 6.9}}));
    filled(p, b.simplified(), ink);
    for (double x : {2.6, 5.0, 7.4})
        filled(p, ellipse(QPointF(x, 4.0), 0.85, 0.85), light);
}

void iconNotes(QPainter &p, const QColor &ink, const QColor &)
{
    filled(p, ellipse(QPointF(2.3, 8.3), 2.0, 1.5), ink);
    filled(p, ellipse(QPointF(7.7, 7.3), 2.0, 1.5), ink);
    p.setPen(QPen(ink, 1.2, Qt::SolidLine, Qt::FlatCap));
    p.drawLine(QPointF(3.8, 8.2), QPointF(3.8, 1.6));
    p.drawLine(QPointF(9.2, 7.2), QPointF(9.2, 0.6));
    filled(p, polygon({{3.2, 1.6}, {9.8, 0.3}, {9.8, 2.6}, {3.2, 3.9}}), ink);
}

void iconClapper(QPainter &p, const QColor &ink, const QColor &light)
{
    filled(p, roundedRect(QRectF(0.3, 4.2, 9.4, 5.6), 0.8), ink);
    QPainterPath top = polygon({{0.2, 1.9}, {8.9, 0}, {9.4, 2.1}, {0.7, 4.0}});
    filled(p, top, ink);
    p.save();
    p.setClipPath(top);
    p.setPen(QPen(light, 1.1));
    for (double x : {2.2, 5.0, 7.8})
        p.drawLine(QPointF(x, 4.5), QPointF(x + 1.4, -0.5));
    p.restore();
    p.setPen(QPen(light, 0.9));
    p.drawLine(QPointF(1.3, 5.6), QPointF(8.7, 5.6));
}

void iconTv(QPainter &p, const QColor &ink, const QColor &light)
{
    p.setPen(QPen(ink, 1.0, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(2.8, 0.4), QPointF(5, 2.8));
    p.drawLine(QPointF(7.4, 0.2), QPointF(5, 2.8));
    filled(p, roundedRect(QRectF(0.2, 2.6, 9.6, 7.0), 1.6), ink);
    filled(p, roundedRect(QRectF(1.6, 3.9, 5.4, 4.4), 1.0), light);
    filled(p, ellipse(QPointF(8.3, 5.2), 0.7, 0.7), light);
}

void iconCup(QPainter &p, const QColor &ink, const QColor &light)
{
    p.setPen(QPen(ink, 1.1, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    QPainterPath straw;
    straw.moveTo(5.4, 4.5);
    straw.lineTo(6.8, 0.5);
    straw.lineTo(9.2, 0.5);
    p.drawPath(straw);
    filled(p, polygon({{1.4, 3.0}, {8.6, 3.0}, {7.5, 10}, {2.5, 10}}), ink);
    p.setPen(QPen(light, 0.9));
    p.drawLine(QPointF(2.3, 5.2), QPointF(7.7, 5.2));
}

void iconPlay(QPainter &p, const QColor &ink, const QColor &)
{
    QPainterPath tri = polygon({{1.8, 0.6}, {9.4, 5}, {1.8, 9.4}});
    p.setPen(inkPen(1.2, ink));
    p.setBrush(ink);
    p.drawPath(tri);
}

void iconSkip(QPainter &p, const QColor &ink, const QColor &)
{
    // a curved arrow jumping over to the right
    QPainterPath arc;
    arc.moveTo(1.0, 8.6);
    arc.cubicTo(1.0, 2.0, 6.0, 1.6, 7.2, 5.6);
    stroke(p, arc, 1.5, ink);
    filled(p, polygon({{4.6, 5.0}, {9.6, 4.2}, {7.6, 9.0}}), ink);
}

const IconFn kCategoryIcon[7] = {iconStar, iconBolt, iconBubble, iconNotes, iconClapper, iconTv, iconCup};

void drawIcon(QPainter &p, const IconFn &icon, const QRectF &box, const QColor &ink, const QColor &light)
{
    p.save();
    p.translate(box.topLeft());
    p.scale(box.width() / 10.0, box.height() / 10.0);
    icon(p, ink, light);
    p.restore();
}

// ---------------------------------------------------------------- pills

// A rounded label shape: shaded fill, a little shine, wobbly ink outline.
QPainterPath pill(QPainter &p, const QRectF &r, const QColor &fill, quint32 seed, double radius,
                  double lineWidth = 1.15)
{
    const QPainterPath shape = wobble(roundedRect(r, radius), 0.45, seed, 22);
    filled(p, shape, verticalShade(r, fill));
    // shine stroke in the top right corner
    p.save();
    p.setClipPath(shape);
    QPainterPath shine;
    shine.moveTo(r.right() - radius - 9, r.top() + 2.6);
    shine.quadTo(r.right() - radius - 2, r.top() + 2.0, r.right() - 3.0, r.top() + radius * 0.75);
    QColor s = kCream;
    s.setAlpha(200);
    stroke(p, shine, 1.1, s);
    p.restore();
    p.setPen(inkPen(lineWidth));
    p.setBrush(Qt::NoBrush);
    p.drawPath(shape);
    return shape;
}

// A pill with an optional icon on the left and a word filling the rest.
QImage labelPicture(int w, int h, const QString &text, const QColor &fill, const IconFn &icon, quint32 seed,
                    int fontPx)
{
    QImage img = canvas(w, h);
    QPainter p(&img);
    smooth(p);
    const QRectF r(0.7, 0.7, w - 1.4, h - 1.4);
    pill(p, r, fill, seed, (h - 1.4) / 2.2);
    const double iconSize = h - 6.0;
    double left = 4;
    if (icon) {
        drawIcon(p, icon, QRectF(5, (h - iconSize) / 2, iconSize, iconSize), kInk, fill.lighter(125));
        left = 5 + iconSize + 1;
    }
    const QRectF textBox(left, 0, w - left - 4, h);
    const QFont f = fitFont(text, textBox.width(), fontPx);
    letters(p, textBox, text, f, kInk);
    return img;
}

// ---------------------------------------------------------------- the pictures

// One name a category, the same on its banner, its button and in help.
const char *const kCategoryName[7] = {"General", "Actions",  "Phrase",      "Music Groups",
                                      "Movies",  "TV Shows", "Food & Drink"};

QImage banner(int category)
{
    return labelPicture(100, 15, QString::fromLatin1(kCategoryName[category]), kCategoryFill[category],
                        kCategoryIcon[category], 100 + category, 11);
}

QImage categoryButton(int category)
{
    return labelPicture(104, 19, QString::fromLatin1(kCategoryName[category]), kCategoryFill[category],
                        kCategoryIcon[category], 200 + category, 12);
}

QImage scoreTitle()
{
    QImage img = canvas(100, 15);
    QPainter p(&img);
    smooth(p);
    // ribbon tails with a notch, behind the band
    const QColor tail = kTomato.lighter(115);
    outlined(p, wobble(polygon({{0.8, 3.2}, {14, 3.2}, {14, 14.2}, {0.8, 14.2}, {4.6, 8.7}}), 0.25, 301, 14),
             tail, 1.0);
    outlined(p,
             wobble(polygon({{99.2, 3.2}, {86, 3.2}, {86, 14.2}, {99.2, 14.2}, {95.4, 8.7}}), 0.25, 302, 14),
             tail, 1.0);
    const QRectF band(9, 0.7, 82, 12.2);
    outlined(p, wobble(roundedRect(band, 2.5), 0.3, 303, 22), verticalShade(band, kGold, 125, 108), 1.15);
    for (double x : {17.5, 82.5})
        outlined(p, star(QPointF(x, 7.2), 4.3, 1.9), kCream, 0.8);
    letters(p, QRectF(24, 0.5, 52, 12.2), QStringLiteral("Scores"), letterFont(11), kMaroon);
    return img;
}

QImage startButton()
{
    return labelPicture(102, 17, QStringLiteral("Start Game"), QColor(0xa9, 0xd0, 0x5c), iconPlay, 401, 11);
}

QImage passButton()
{
    return labelPicture(102, 17, QStringLiteral("Pass"), QColor(0xf5, 0x8e, 0x7a), iconSkip, 402, 11);
}

// Two round eyes looking up and to the side: this player just watches.
QImage eyes()
{
    QImage img = canvas(29, 12);
    QPainter p(&img);
    smooth(p);
    int seed = 500;
    for (double cx : {7.6, 21.4}) {
        const QPointF c(cx, 6.2);
        outlined(p, wobble(ellipse(c, 6.2, 5.3), 0.18, ++seed, 10), QColor(0xff, 0xfb, 0xf0), 1.1);
        filled(p, ellipse(c + QPointF(1.7, -0.6), 2.7, 2.9), QColor(0x3b, 0x7f, 0xb8));
        filled(p, ellipse(c + QPointF(2.0, -0.7), 1.5, 1.7), QColor(0x2a, 0x14, 0x0c));
        filled(p, ellipse(c + QPointF(1.0, -1.8), 0.8, 0.8), Qt::white);
    }
    return img;
}

// A chunky arrow pointing right at the drawer's row.
QImage arrow()
{
    QImage img = canvas(17, 13);
    QPainter p(&img);
    smooth(p);
    const QPainterPath shape = wobble(
        polygon({{0.9, 4.1}, {8.4, 4.1}, {8.4, 0.8}, {16.2, 6.5}, {8.4, 12.2}, {8.4, 8.9}, {0.9, 8.9}}), 0.2,
        601, 12);
    QLinearGradient g(0, 0, 0, 13);
    g.setColorAt(0, kOrange.lighter(120));
    g.setColorAt(1, kTomato);
    outlined(p, shape, g, 1.1);
    QColor s = kCream;
    s.setAlpha(210);
    p.setPen(inkPen(0.9, s));
    p.drawLine(QPointF(2.4, 5.4), QPointF(7.6, 5.4));
    return img;
}

// The turn clock's bar. The labels "Time:" and the seconds are written in
// white over its right two thirds, so the bar stays dark enough there; the
// left end carries a little clock. The right end is square so the bar still
// looks whole when the control is narrowed.
QImage timerBar()
{
    QImage img = canvas(100, 15);
    QPainter p(&img);
    smooth(p);
    QPainterPath shape;
    shape.moveTo(101, 0.7);
    shape.lineTo(7.5, 0.7);
    shape.arcTo(QRectF(0.7, 0.7, 13.6, 13.6), 90, 180);
    shape.lineTo(101, 14.3);
    shape.closeSubpath();
    const QPainterPath w = wobble(shape, 0.25, 701, 20);
    QLinearGradient g(0, 0, 0, 15);
    g.setColorAt(0, QColor(0xe8, 0x6d, 0x45));
    g.setColorAt(0.5, QColor(0xc8, 0x4b, 0x2e));
    g.setColorAt(1, QColor(0xa8, 0x3a, 0x24));
    filled(p, w, g);
    p.save();
    p.setClipPath(w);
    QColor stripe(0xff, 0xe0, 0xb0, 40);
    p.setPen(QPen(stripe, 3.0));
    for (int x = -10; x < 110; x += 9)
        p.drawLine(QPointF(x, 15), QPointF(x + 8, 0));
    QColor shine = kCream;
    shine.setAlpha(90);
    p.setPen(QPen(shine, 1.0));
    p.drawLine(QPointF(15, 2.6), QPointF(101, 2.6));
    p.restore();
    stroke(p, w, 1.1);
    // clock face
    const QPointF c(7.6, 7.5);
    outlined(p, wobble(ellipse(c, 5.4, 5.4), 0.15, 702, 10), kCream, 1.0);
    p.setPen(inkPen(1.0));
    p.drawLine(c, c + QPointF(0, -3.6));
    p.drawLine(c, c + QPointF(2.5, 0.6));
    filled(p, ellipse(c, 0.8, 0.8), kTomato);
    return img;
}

// Tiled background: warm paper with faint doodles. Every doodle is drawn at
// its place and shifted by one tile in each direction, so the edges meet.
QImage background()
{
    const int size = 128;
    QImage img(size, size, QImage::Format_ARGB32_Premultiplied);
    img.fill(QColor(0xf4, 0xe4, 0xc4));
    {
        // paper grain
        Rng rng(801);
        for (int y = 0; y < size; ++y)
            for (int x = 0; x < size; ++x) {
                const int d = rng.integer(-3, 3);
                const QColor c = img.pixelColor(x, y);
                img.setPixelColor(x, y, QColor(c.red() + d, c.green() + d, c.blue() + d));
            }
    }
    QPainter p(&img);
    smooth(p);
    const QColor doodle(0xe6, 0xcf, 0xa4);
    Rng rng(802);
    struct Item
    {
        int kind;
        QPointF at;
        double size, turn;
    };
    std::vector<Item> items;
    const QPointF spots[] = {{14, 16}, {58, 10}, {100, 22}, {36, 44},  {82, 52},  {120, 66},
                             {12, 78}, {54, 86}, {96, 100}, {28, 114}, {72, 120}, {112, 118},
                             {44, 64}, {90, 80}, {66, 32},  {6, 48}};
    int kind = 0;
    for (const QPointF &at : spots) {
        items.push_back(
            {kind % 6, at + QPointF(rng.uni(-7, 7), rng.uni(-7, 7)), rng.uni(0.8, 1.2), rng.uni(-0.6, 0.6)});
        ++kind;
    }
    for (const Item &it : items) {
        for (int ox = -size; ox <= size; ox += size)
            for (int oy = -size; oy <= size; oy += size) {
                p.save();
                p.translate(it.at + QPointF(ox, oy));
                p.rotate(it.turn * 180 / kPi);
                p.scale(it.size, it.size);
                switch (it.kind) {
                case 0: // star
                    stroke(p, wobble(star(QPointF(0, 0), 5.5, 2.4), 0.2, 810, 8), 1.1, doodle);
                    break;
                case 1: { // spiral
                    QPainterPath s;
                    for (int i = 0; i <= 40; ++i) {
                        const double a = i * 0.42, r = 0.3 + i * 0.13;
                        const QPointF pt(r * std::cos(a), r * std::sin(a));
                        if (i == 0)
                            s.moveTo(pt);
                        else
                            s.lineTo(pt);
                    }
                    stroke(p, s, 1.1, doodle);
                    break;
                }
                case 2: // three dots
                    for (const QPointF &d : {QPointF(-3, 0), QPointF(1, -2.5), QPointF(2.5, 2)})
                        filled(p, ellipse(d, 1.2, 1.2), doodle);
                    break;
                case 3: { // squiggle
                    QPainterPath s;
                    s.moveTo(-7, 0);
                    s.cubicTo(-4.5, -4, -2.5, 4, 0, 0);
                    s.cubicTo(2.5, -4, 4.5, 4, 7, 0);
                    stroke(p, s, 1.1, doodle);
                    break;
                }
                case 4: // heart
                    stroke(p, heart(QPointF(0, -1.5), 7), 1.1, doodle);
                    break;
                default: // little pencil cross
                    p.setPen(inkPen(1.1, doodle));
                    p.drawLine(QPointF(-3, -3), QPointF(3, 3));
                    p.drawLine(QPointF(-3, 3), QPointF(3, -3));
                    break;
                }
                p.restore();
            }
    }
    return img;
}

// ---------------------------------------------------------------- winner animation

const QColor kConfetti[] = {
    kTomato, kOrange, kGold, kSky, kPink, QColor(0x8d, 0xb8, 0x4a), QColor(0xa0, 0x5a, 0x9c)};

// One frame of the celebration. Every moving part follows a cycle of exactly
// five frames, so frame 5 leads back into frame 1 without a jump.
QImage winnerFrame(int frame)
{
    const int w = 182, h = 153;
    const double phase = frame / 5.0; // 0 .. 0.8
    QImage img = canvas(w, h);
    QPainter p(&img);
    smooth(p);

    const QPainterPath card = wobble(roundedRect(QRectF(1, 1, w - 2, h - 2), 12), 0.5, 901, 40);
    p.save();
    p.setClipPath(card);
    // sunburst from behind the trophy, turning a fifth of a ray pair per frame
    const QPointF sun(91, 112);
    const int rays = 16;
    const double pairTurn = 2 * kPi / rays;
    p.fillRect(QRect(0, 0, w, h), QColor(0xff, 0xef, 0xc8));
    for (int i = 0; i < rays; ++i) {
        const double a0 = i * pairTurn + phase * pairTurn;
        const double a1 = a0 + pairTurn / 2;
        filled(p,
               polygon({sun, sun + QPointF(std::cos(a0), std::sin(a0)) * 260,
                        sun + QPointF(std::cos(a1), std::sin(a1)) * 260}),
               QColor(0xfd, 0xdc, 0x9a));
    }
    QRadialGradient glow(sun, 70);
    glow.setColorAt(0, QColor(255, 250, 230, 200));
    glow.setColorAt(1, QColor(255, 250, 230, 0));
    p.fillRect(QRect(0, 0, w, h), glow);

    // confetti fluttering on small loops and spinning
    Rng rng(902);
    for (int i = 0; i < 46; ++i) {
        const QPointF home(rng.uni(6, w - 6), rng.uni(6, h - 6));
        const double orbit = rng.uni(2.5, 5.5);
        const double start = rng.uni(0, 2 * kPi);
        const int spin = rng.integer(1, 2) * (rng.integer(0, 1) ? 1 : -1);
        const double turn0 = rng.uni(0, 180);
        const int shapeKind = rng.integer(0, 3);
        const QColor colour = kConfetti[rng.integer(0, 6)];
        const double a = start + 2 * kPi * phase;
        const QPointF at = home + QPointF(std::cos(a) * orbit, std::sin(a) * orbit * 1.6);
        p.save();
        p.translate(at);
        p.rotate(turn0 + spin * 72.0 * frame);
        const double flip = 0.35 + 0.65 * std::fabs(std::cos(start + 2 * kPi * phase));
        switch (shapeKind) {
        case 0:
            p.scale(flip, 1);
            outlined(p, roundedRect(QRectF(-1.6, -3.2, 3.2, 6.4), 0.6), colour, 0.6, colour.darker(150));
            break;
        case 1:
            outlined(p, polygon({{0, -3.2}, {3, 2.2}, {-3, 2.2}}), colour, 0.6, colour.darker(150));
            break;
        case 2:
            filled(p, ellipse(QPointF(0, 0), 2.1 * flip + 0.6, 2.1), colour);
            break;
        default: {
            QPainterPath s;
            s.moveTo(-4, 0);
            s.cubicTo(-2, -3, 0, 3, 2, 0);
            s.cubicTo(3, -1.5, 4, -1.5, 4.5, 0);
            stroke(p, s, 1.3, colour);
            break;
        }
        }
        p.restore();
    }

    // twinkling stars in the sky above the ribbon
    struct Star
    {
        QPointF at;
        double r;
        double offset;
    };
    const Star stars[] = {{{24, 22}, 9, 0.0},  {{62, 13}, 6, 0.4},  {{91, 30}, 11, 0.2}, {{121, 12}, 6, 0.6},
                          {{157, 24}, 9, 0.8}, {{18, 128}, 6, 0.5}, {{164, 126}, 6, 0.1}};
    int seed = 910;
    for (const Star &s : stars) {
        const double pulse = 0.5 + 0.5 * std::cos(2 * kPi * (phase + s.offset));
        const double r = s.r * (0.7 + 0.3 * pulse);
        const double turn = 0.25 * std::sin(2 * kPi * (phase + s.offset));
        outlined(p, wobble(star(s.at, r, r * 0.45, 5, turn), 0.25, ++seed, 12),
                 verticalShade(QRectF(s.at.x() - r, s.at.y() - r, 2 * r, 2 * r), kGold, 125, 105), 1.2);
        QColor shine = kCream;
        shine.setAlpha(int(140 + 100 * pulse));
        filled(p, ellipse(s.at + QPointF(-r * 0.18, -r * 0.22), r * 0.16, r * 0.16), shine);
    }

    // ribbon behind the winner's name (the name label sits at about y 58..78)
    const QColor tail = kTomato;
    outlined(p, wobble(polygon({{3, 62}, {24, 62}, {24, 92}, {3, 92}, {11, 77}}), 0.35, 920, 18), tail, 1.3);
    outlined(p, wobble(polygon({{179, 62}, {158, 62}, {158, 92}, {179, 92}, {171, 77}}), 0.35, 921, 18), tail,
             1.3);
    filled(p, polygon({{16, 84}, {24, 92}, {24, 84}}), tail.darker(140));
    filled(p, polygon({{166, 84}, {158, 92}, {158, 84}}), tail.darker(140));
    const QRectF band(15, 53, 152, 32);
    outlined(p, wobble(roundedRect(band, 4), 0.45, 922, 30), verticalShade(band, kCream, 102, 104), 1.4);
    QColor edge = kTomato;
    edge.setAlpha(150);
    QPen dash = inkPen(1.0, edge);
    dash.setDashPattern({3, 2.5});
    p.setPen(dash);
    p.drawLine(QPointF(20, 56.5), QPointF(162, 56.5));
    p.drawLine(QPointF(20, 81.5), QPointF(162, 81.5));

    // the trophy
    QLinearGradient gold(63, 0, 119, 0);
    gold.setColorAt(0, QColor(0xff, 0xe8, 0x96));
    gold.setColorAt(0.35, kGold);
    gold.setColorAt(1, kGoldDark);
    for (int side : {-1, 1}) {
        QPainterPath handle;
        handle.moveTo(91 + side * 26, 94);
        handle.cubicTo(91 + side * 42, 92, 91 + side * 40, 112, 91 + side * 18, 114);
        stroke(p, handle, 6.2, kInk);
        stroke(p, handle, 3.6, side < 0 ? QColor(0xff, 0xdc, 0x70) : kGoldDark);
    }
    QPainterPath bowl;
    bowl.moveTo(63, 90);
    bowl.lineTo(119, 90);
    bowl.cubicTo(119, 107, 108, 118, 91, 118);
    bowl.cubicTo(74, 118, 63, 107, 63, 90);
    bowl.closeSubpath();
    outlined(p, wobble(polygon({{86, 116}, {96, 116}, {97, 128}, {85, 128}}), 0.2, 930, 10), gold, 1.3);
    outlined(p, wobble(polygon({{79, 127}, {103, 127}, {109, 135}, {73, 135}}), 0.25, 931, 14), gold, 1.3);
    outlined(p, wobble(roundedRect(QRectF(64, 134, 54, 15), 3), 0.3, 932, 18),
             verticalShade(QRectF(64, 134, 54, 15), QColor(0x9a, 0x5b, 0x34)), 1.3);
    outlined(p, roundedRect(QRectF(80, 137.5, 22, 8), 1.5), QColor(0xf2, 0xd6, 0x8a), 0.9);
    outlined(p, wobble(bowl, 0.35, 933, 20), gold, 1.4);
    outlined(p, wobble(ellipse(QPointF(91, 90), 28, 3.6), 0.2, 934, 16), QColor(0xd9, 0x9a, 0x2a), 1.2);
    outlined(p, wobble(star(QPointF(91, 104), 8, 3.6), 0.2, 935, 10), QColor(0xff, 0xf3, 0xc4), 1.0);
    QColor shine = Qt::white;
    shine.setAlpha(170);
    QPainterPath gleam;
    gleam.moveTo(69, 96);
    gleam.cubicTo(69, 104, 73, 110, 78, 113);
    stroke(p, gleam, 2.2, shine);

    // a glint that hops round the trophy, one place per frame
    const QPointF glints[5] = {{70, 92}, {113, 97}, {100, 129}, {84, 112}, {116, 88}};
    const QPointF g = glints[frame % 5];
    QRadialGradient halo(g, 8);
    halo.setColorAt(0, QColor(255, 255, 255, 220));
    halo.setColorAt(1, QColor(255, 255, 255, 0));
    filled(p, ellipse(g, 8, 8), halo);
    const QPainterPath spark = star(g, 9, 1.6, 4, 0);
    filled(p, spark, Qt::white);
    stroke(p, spark, 0.7, QColor(0xc9, 0x8a, 0x1e));
    p.restore();

    p.setPen(inkPen(1.8));
    p.setBrush(Qt::NoBrush);
    p.drawPath(card);
    return img;
}

// ---------------------------------------------------------------- smilies

const QPointF kFace(8.5, 8.0);
constexpr double kFaceR = 7.0;

void face(QPainter &p, quint32 seed, const QPointF &c = kFace, double r = kFaceR,
          const QColor &top = kSkinTop, const QColor &bottom = kSkinBottom)
{
    QRadialGradient g(c + QPointF(-r * 0.35, -r * 0.45), r * 1.5);
    g.setColorAt(0, top.lighter(112));
    g.setColorAt(1, bottom);
    outlined(p, wobble(ellipse(c, r, r), 0.2, seed, 14), g, 1.0);
}

void dotEyes(QPainter &p, double y = 6.3, double rx = 0.95, double ry = 1.45)
{
    filled(p, ellipse(QPointF(6.1, y), rx, ry), kInk);
    filled(p, ellipse(QPointF(10.9, y), rx, ry), kInk);
}

void happyEye(QPainter &p, double x, double y)
{
    QPainterPath e;
    e.moveTo(x - 1.4, y + 0.6);
    e.quadTo(x, y - 1.4, x + 1.4, y + 0.6);
    stroke(p, e, 1.0);
}

void smile(QPainter &p, double y = 9.6, double half = 3.5, double depth = 3.4, double width = 1.1)
{
    QPainterPath m;
    m.moveTo(8.5 - half, y);
    m.quadTo(8.5, y + depth, 8.5 + half, y);
    stroke(p, m, width);
}

void openGrin(QPainter &p, double top = 9.2, double half = 3.8, double depth = 4.4)
{
    QPainterPath m;
    m.moveTo(8.5 - half, top);
    m.lineTo(8.5 + half, top);
    m.quadTo(8.5 + half * 0.9, top + depth, 8.5, top + depth);
    m.quadTo(8.5 - half * 0.9, top + depth, 8.5 - half, top);
    m.closeSubpath();
    filled(p, m, QColor(0x8a, 0x24, 0x18));
    p.save();
    p.setClipPath(m);
    filled(p, QPainterPath(roundedRect(QRectF(8.5 - half, top - 1, 2 * half, 2.3), 0.5)), Qt::white);
    filled(p, ellipse(QPointF(8.5, top + depth + 0.3), half * 0.55, 1.6), kPink);
    p.restore();
    stroke(p, m, 0.9);
}

QImage smiley(int index)
{
    QImage img = canvas(17, 16);
    QPainter p(&img);
    smooth(p);
    const quint32 seed = 1000 + index;
    switch (index) {
    case 0: // smile, also shown for unknown codes
        face(p, seed);
        dotEyes(p);
        smile(p);
        break;
    case 1: // big grin
        face(p, seed);
        dotEyes(p, 5.9);
        openGrin(p);
        break;
    case 2: // wink
        face(p, seed);
        happyEye(p, 6.1, 6.4);
        filled(p, ellipse(QPointF(10.9, 6.3), 0.95, 1.45), kInk);
        smile(p, 9.8, 3.3, 3.0);
        break;
    case 3: { // sad
        face(p, seed);
        dotEyes(p, 6.6);
        QPainterPath m;
        m.moveTo(5.3, 12.6);
        m.quadTo(8.5, 9.2, 11.7, 12.6);
        stroke(p, m, 1.1);
        break;
    }
    case 4: { // tongue out
        face(p, seed);
        dotEyes(p);
        QPainterPath t;
        t.moveTo(8.0, 10.5);
        t.lineTo(11.6, 10.5);
        t.quadTo(11.8, 14.6, 9.8, 14.6);
        t.quadTo(7.8, 14.6, 8.0, 10.5);
        outlined(p, t, kPink, 0.8);
        p.setPen(inkPen(0.6, QColor(0xc0, 0x50, 0x68)));
        p.drawLine(QPointF(9.8, 11.2), QPointF(9.8, 13.2));
        QPainterPath m;
        m.moveTo(4.6, 10.0);
        m.quadTo(8.5, 11.6, 12.4, 9.8);
        stroke(p, m, 1.1);
        break;
    }
    case 5: { // surprised
        face(p, seed);
        dotEyes(p, 6.3, 1.15, 1.7);
        QPainterPath b;
        b.moveTo(4.6, 3.6);
        b.quadTo(6.1, 2.4, 7.5, 3.5);
        b.moveTo(9.5, 3.5);
        b.quadTo(10.9, 2.4, 12.4, 3.6);
        stroke(p, b, 0.8);
        outlined(p, ellipse(QPointF(8.5, 11.6), 1.7, 2.1), QColor(0x8a, 0x24, 0x18), 0.9);
        break;
    }
    case 6: { // cool, with sunglasses
        face(p, seed);
        const QColor glass(0x2a, 0x1a, 0x14);
        filled(p, roundedRect(QRectF(3.2, 4.9, 4.9, 3.6), 1.4), glass);
        filled(p, roundedRect(QRectF(8.9, 4.9, 4.9, 3.6), 1.4), glass);
        p.setPen(inkPen(1.0, glass));
        p.drawLine(QPointF(2.0, 5.4), QPointF(15.0, 5.4));
        filled(p, ellipse(QPointF(4.8, 5.9), 0.7, 0.55), QColor(255, 255, 255, 200));
        filled(p, ellipse(QPointF(10.5, 5.9), 0.7, 0.55), QColor(255, 255, 255, 200));
        QPainterPath m;
        m.moveTo(5.6, 11.0);
        m.quadTo(9.0, 13.2, 12.0, 10.0);
        stroke(p, m, 1.1);
        break;
    }
    case 7: { // angry
        face(p, seed, kFace, kFaceR, QColor(0xff, 0x9a, 0x6a), QColor(0xd9, 0x48, 0x3b));
        p.setPen(inkPen(1.2));
        p.drawLine(QPointF(4.2, 4.4), QPointF(7.5, 5.9));
        p.drawLine(QPointF(12.8, 4.4), QPointF(9.5, 5.9));
        dotEyes(p, 7.4, 0.95, 1.2);
        QPainterPath m;
        m.moveTo(5.6, 12.4);
        m.quadTo(8.5, 10.2, 11.4, 12.4);
        stroke(p, m, 1.1);
        break;
    }
    case 8: { // laughing with tears
        face(p, seed);
        QPainterPath e;
        e.moveTo(4.6, 4.6);
        e.lineTo(7.1, 6.0);
        e.lineTo(4.6, 7.4);
        e.moveTo(12.4, 4.6);
        e.lineTo(9.9, 6.0);
        e.lineTo(12.4, 7.4);
        stroke(p, e, 1.0);
        openGrin(p, 8.9, 4.2, 4.6);
        for (double x : {2.0, 15.0}) {
            QPainterPath d;
            d.moveTo(x, 6.4);
            d.quadTo(x + 1.4, 9.0, x, 9.6);
            d.quadTo(x - 1.4, 9.0, x, 6.4);
            outlined(p, d, kSky.lighter(120), 0.6, QColor(0x2b, 0x6a, 0xa0));
        }
        break;
    }
    case 9: { // crying
        face(p, seed);
        QPainterPath b;
        b.moveTo(4.4, 4.8);
        b.lineTo(7.2, 3.9);
        b.moveTo(12.6, 4.8);
        b.lineTo(9.8, 3.9);
        stroke(p, b, 0.9);
        QPainterPath e;
        e.moveTo(4.8, 6.6);
        e.quadTo(6.1, 7.8, 7.4, 6.6);
        e.moveTo(9.6, 6.6);
        e.quadTo(10.9, 7.8, 12.2, 6.6);
        stroke(p, e, 1.0);
        p.setPen(inkPen(1.5, kSky));
        p.drawLine(QPointF(5.6, 8.2), QPointF(5.0, 13.4));
        p.drawLine(QPointF(11.4, 8.2), QPointF(12.0, 13.4));
        QPainterPath m;
        m.moveTo(7.0, 12.6);
        m.quadTo(8.5, 10.2, 10.0, 12.6);
        m.closeSubpath();
        outlined(p, m, QColor(0x8a, 0x24, 0x18), 0.9);
        break;
    }
    case 10: // in love, heart eyes
        face(p, seed);
        for (double x : {5.9, 11.1})
            outlined(p, heart(QPointF(x, 5.6), 4.4), QColor(0xe8, 0x2f, 0x4a), 0.5, QColor(0x8a, 0x14, 0x24));
        smile(p, 10.0, 3.4, 3.0);
        break;
    case 11: // blushing
        face(p, seed);
        happyEye(p, 6.0, 6.6);
        happyEye(p, 11.0, 6.6);
        filled(p, ellipse(QPointF(4.2, 9.4), 1.8, 1.1), QColor(0xf0, 0x60, 0x80, 150));
        filled(p, ellipse(QPointF(12.8, 9.4), 1.8, 1.1), QColor(0xf0, 0x60, 0x80, 150));
        smile(p, 10.4, 2.2, 2.0, 1.0);
        break;
    case 12: { // confused
        face(p, seed);
        filled(p, ellipse(QPointF(6.1, 6.6), 0.95, 1.3), kInk);
        filled(p, ellipse(QPointF(10.9, 6.2), 1.2, 1.7), kInk);
        QPainterPath b;
        b.moveTo(9.4, 3.3);
        b.quadTo(11.0, 2.2, 12.6, 3.4);
        stroke(p, b, 0.9);
        QPainterPath m;
        m.moveTo(5.0, 11.4);
        m.cubicTo(6.3, 9.8, 7.3, 12.9, 8.6, 11.4);
        m.cubicTo(9.9, 9.8, 10.8, 12.9, 12.0, 11.2);
        stroke(p, m, 1.0);
        break;
    }
    case 13: { // sleepy
        const QPointF c(7.6, 8.8);
        face(p, seed, c, 6.4);
        QPainterPath e;
        e.moveTo(4.0, 8.0);
        e.quadTo(5.3, 9.0, 6.6, 8.0);
        e.moveTo(8.6, 8.0);
        e.quadTo(9.9, 9.0, 11.2, 8.0);
        stroke(p, e, 1.0);
        outlined(p, ellipse(QPointF(7.8, 12.1), 1.0, 0.9), QColor(0x8a, 0x24, 0x18), 0.7);
        const QColor zz(0x3b, 0x6f, 0xb8);
        QPainterPath z;
        z.moveTo(12.2, 1.3);
        z.lineTo(15.6, 1.3);
        z.lineTo(12.2, 4.8);
        z.lineTo(15.6, 4.8);
        stroke(p, z, 1.0, zz);
        break;
    }
    case 14: { // kiss
        face(p, seed);
        happyEye(p, 6.0, 6.4);
        happyEye(p, 11.0, 6.4);
        QPainterPath lips;
        lips.moveTo(8.4, 9.6);
        lips.quadTo(10.4, 10.0, 8.8, 11.1);
        lips.quadTo(10.6, 11.8, 8.4, 12.6);
        stroke(p, lips, 1.0);
        outlined(p, heart(QPointF(13.6, 10.4), 3.6), QColor(0xe8, 0x2f, 0x4a), 0.5, QColor(0x8a, 0x14, 0x24));
        break;
    }
    case 15: { // devil
        const QPointF c(8.5, 9.0);
        const QColor horn(0xb0, 0x24, 0x1c);
        outlined(p, polygon({{3.6, 5.2}, {1.4, 0.6}, {6.6, 3.2}}), horn, 0.8);
        outlined(p, polygon({{13.4, 5.2}, {15.6, 0.6}, {10.4, 3.2}}), horn, 0.8);
        face(p, seed, c, 6.6, QColor(0xff, 0x8a, 0x60), QColor(0xd0, 0x3a, 0x30));
        p.setPen(inkPen(1.1));
        p.drawLine(QPointF(4.6, 5.8), QPointF(7.4, 7.0));
        p.drawLine(QPointF(12.4, 5.8), QPointF(9.6, 7.0));
        filled(p, ellipse(QPointF(6.3, 8.1), 0.85, 1.1), kInk);
        filled(p, ellipse(QPointF(10.7, 8.1), 0.85, 1.1), kInk);
        QPainterPath m;
        m.moveTo(4.8, 10.6);
        m.quadTo(8.5, 14.4, 12.2, 10.6);
        m.quadTo(8.5, 12.0, 4.8, 10.6);
        outlined(p, m, Qt::white, 0.9);
        break;
    }
    case 16: { // angel
        const QPointF c(8.5, 9.2);
        face(p, seed, c, 6.5);
        QPainterPath halo = ellipse(QPointF(8.5, 1.9), 5.0, 1.45);
        stroke(p, halo, 2.0, QColor(0xb0, 0x80, 0x10));
        stroke(p, halo, 1.1, QColor(0xff, 0xe0, 0x50));
        happyEye(p, 6.2, 8.2);
        happyEye(p, 10.8, 8.2);
        QPainterPath m;
        m.moveTo(6.0, 11.2);
        m.quadTo(8.5, 13.8, 11.0, 11.2);
        stroke(p, m, 1.0);
        break;
    }
    default: { // thumbs up
        const QColor skin = kSkinTop;
        outlined(p, roundedRect(QRectF(0.8, 7.2, 3.6, 8.0), 0.8), kSky, 0.9);
        QPainterPath hand;
        hand.moveTo(4.4, 7.6);
        hand.lineTo(6.4, 6.6);
        hand.quadTo(7.6, 4.8, 7.4, 2.2);
        hand.quadTo(7.6, 0.6, 9.0, 0.9);
        hand.quadTo(10.6, 1.4, 10.0, 4.6);
        hand.lineTo(9.6, 6.8);
        hand.lineTo(14.2, 6.8);
        hand.quadTo(16.0, 7.1, 15.3, 8.8);
        hand.quadTo(16.1, 10.3, 14.9, 11.0);
        hand.quadTo(15.6, 12.4, 14.4, 13.1);
        hand.quadTo(14.9, 14.8, 13.2, 15.0);
        hand.lineTo(4.4, 15.0);
        hand.closeSubpath();
        QLinearGradient g(0, 1, 0, 15);
        g.setColorAt(0, skin.lighter(108));
        g.setColorAt(1, kSkinBottom);
        outlined(p, hand, g, 0.9);
        p.setPen(inkPen(0.7));
        p.drawLine(QPointF(10.2, 9.0), QPointF(15.0, 9.0));
        p.drawLine(QPointF(10.2, 11.1), QPointF(14.6, 11.1));
        p.drawLine(QPointF(10.2, 13.1), QPointF(14.0, 13.1));
        break;
    }
    }
    return img;
}

// The button that opens the smilies menu: a grin with a menu mark.
QImage smiliesButton()
{
    QImage img = canvas(20, 18);
    QPainter p(&img);
    smooth(p);
    face(p, 1101, QPointF(8.2, 8.2), 7.2);
    filled(p, ellipse(QPointF(5.8, 6.2), 0.95, 1.45), kInk);
    filled(p, ellipse(QPointF(10.6, 6.2), 0.95, 1.45), kInk);
    QPainterPath m;
    m.moveTo(4.4, 9.4);
    m.lineTo(12.0, 9.4);
    m.quadTo(11.6, 13.6, 8.2, 13.6);
    m.quadTo(4.8, 13.6, 4.4, 9.4);
    m.closeSubpath();
    outlined(p, m, QColor(0x8a, 0x24, 0x18), 0.9);
    outlined(p, polygon({{14.6, 13.2}, {19.4, 13.2}, {17.0, 16.6}}), kTomato, 0.8);
    return img;
}

// Camera for the snapshot button.
QImage camera()
{
    QImage img = canvas(18, 16);
    QPainter p(&img);
    smooth(p);
    const QColor body(0xb0, 0x70, 0x3c);
    outlined(p, wobble(roundedRect(QRectF(5.0, 1.6, 6.5, 3.6), 1.0), 0.1, 1201, 8), body.darker(120), 0.9);
    const QRectF r(0.8, 3.8, 16.4, 11.4);
    outlined(p, wobble(roundedRect(r, 2.2), 0.2, 1202, 12), verticalShade(r, body), 1.0);
    outlined(p, roundedRect(QRectF(2.4, 5.4, 2.8, 1.8), 0.5), kCream, 0.6);
    QRadialGradient lens(QPointF(9.0, 8.8), 4.2);
    lens.setColorAt(0, QColor(0x8f, 0xc4, 0xe8));
    lens.setColorAt(1, QColor(0x2c, 0x5a, 0x84));
    outlined(p, ellipse(QPointF(9.6, 9.6), 3.8, 3.8), kCream, 1.0);
    outlined(p, ellipse(QPointF(9.6, 9.6), 2.4, 2.4), lens, 0.7);
    filled(p, ellipse(QPointF(8.8, 8.8), 0.8, 0.8), Qt::white);
    return img;
}

// Trash can for the drawer's wipe button.
QImage trash()
{
    QImage img = canvas(16, 16);
    QPainter p(&img);
    smooth(p);
    const QColor tin(0xbf, 0xb4, 0xa4);
    const QRectF can(3.2, 4.8, 9.6, 10.4);
    outlined(p, wobble(polygon({{3.2, 4.8}, {12.8, 4.8}, {11.8, 15.2}, {4.2, 15.2}}), 0.15, 1301, 10),
             verticalShade(can, tin), 1.0);
    p.setPen(inkPen(0.7));
    for (double x : {6.2, 8.0, 9.8})
        p.drawLine(QPointF(x, 6.8), QPointF(x, 13.4));
    outlined(p, roundedRect(QRectF(6.2, 0.8, 3.6, 2.4), 0.8), tin.darker(110), 0.9);
    outlined(p, wobble(roundedRect(QRectF(1.4, 2.6, 13.2, 2.6), 1.0), 0.12, 1302, 10), tin.darker(105), 1.0);
    return img;
}

// A bent arrow turning back to the left, for the drawer's undo button: the
// band comes up from below on the right and ends in a head pointing left.
QImage undoArrow()
{
    QImage img = canvas(16, 16);
    QPainter p(&img);
    smooth(p);
    const QPointF c(8.6, 9.3);
    const double outer = 5.5, inner = 2.0;
    const QRectF ro(c.x() - outer, c.y() - outer, 2 * outer, 2 * outer);
    const QRectF ri(c.x() - inner, c.y() - inner, 2 * inner, 2 * inner);
    QPainterPath band;
    band.arcMoveTo(ro, 90);
    band.arcTo(ro, 90, -215);
    QPainterPath probe;
    probe.arcMoveTo(ri, -125);
    band.lineTo(probe.currentPosition());
    band.arcTo(ri, -125, 215);
    band.closeSubpath();
    const double headY = c.y() - (outer + inner) / 2;
    const QPainterPath head = polygon({{c.x() + 0.3, headY - 3.9}, {c.x() + 0.3, headY + 3.9}, {1.0, headY}});
    const QPainterPath shape = wobble(band.united(head).simplified(), 0.12, 1601, 10);
    QLinearGradient g(0, 1, 0, 15);
    g.setColorAt(0, kOrange.lighter(120));
    g.setColorAt(1, kTomato);
    outlined(p, shape, g, 1.0);
    return img;
}

// A rubber eraser lying slanted, pink at the rubbing end and white in its
// paper sleeve, for the drawer's eraser button. The block shows its lower
// side, a shade darker, below its top face.
QImage eraser()
{
    QImage img = canvas(16, 16);
    QPainter p(&img);
    smooth(p);
    const QRectF body(-6.9, -2.6, 13.8, 5.2);
    const double split = body.left() + 5.8; // where the rubber meets the sleeve
    const auto slab = [&](double drop, int darker) {
        p.save();
        p.translate(8.0, 7.4 + drop);
        p.rotate(-38);
        const QPainterPath block = wobble(roundedRect(body, 1.2), 0.1, 1701, 10);
        filled(p, block, verticalShade(body, kCream.darker(darker), 104, 112));
        p.save();
        p.setClipPath(block);
        const QRectF rubber(body.left(), body.top(), split - body.left(), body.height());
        p.fillRect(rubber, verticalShade(rubber, kPink.darker(darker), 112, 112));
        p.restore();
        stroke(p, block, 1.0);
        p.setPen(inkPen(0.8));
        p.drawLine(QPointF(split, body.top() + 0.3), QPointF(split, body.bottom() - 0.3));
        p.restore();
    };
    slab(1.8, 125);
    slab(0, 100);
    return img;
}

// The program's icon for the desktop: a sheet of drawing paper with a scribble, a quill at work and
// a guess bubble. Drawn on a 256 grid and scaled by the painter, so every size is drawn, not resized.
QImage appIcon(int size)
{
    QImage img = canvas(size, size);
    QPainter p(&img);
    smooth(p);
    p.scale(size / 256.0, size / 256.0);
    const double w = 256.0 / size; // one device pixel in grid units, for outlines that stay crisp
    const QRectF sheet(22, 30, 196, 200);
    filled(p, roundedRect(sheet.translated(6, 8), 26), QColor(0, 0, 0, 60));
    outlined(p, wobble(roundedRect(sheet, 26), 1.2, 1501, 60), verticalShade(sheet, kCream, 104, 112),
             std::max(6.0, 2.5 * w));
    // The drawing so far: a house-like scribble in the category colours.
    QPainterPath scribble;
    scribble.moveTo(52, 182);
    scribble.cubicTo(70, 120, 96, 214, 118, 150);
    scribble.cubicTo(132, 110, 150, 196, 170, 168);
    stroke(p, scribble, std::max(9.0, 3 * w), kSky.darker(115));
    outlined(p, ellipse(QPointF(78, 92), 22, 22), kGold, std::max(5.0, 2 * w));
    // The guess bubble with its question mark.
    QPainterPath bubble = roundedRect(QRectF(136, 12, 104, 78), 30);
    bubble.addPolygon(QPolygonF({QPointF(150, 80), QPointF(140, 110), QPointF(178, 84)}));
    bubble = bubble.simplified();
    outlined(p, bubble, verticalShade(QRectF(136, 12, 104, 100), kTomato), std::max(6.0, 2.5 * w));
    QFont f(QStringLiteral("DejaVu Sans"));
    f.setBold(true);
    f.setPixelSize(66);
    p.setFont(f);
    p.setPen(kCream);
    p.drawText(QRectF(136, 10, 104, 80), Qt::AlignCenter, QStringLiteral("?"));
    // The quill, leaning into the paper, its nib at the scribble's end.
    QPainterPath feather;
    feather.moveTo(176, 176);
    feather.cubicTo(186, 120, 222, 96, 246, 92);
    feather.cubicTo(238, 124, 210, 160, 176, 176);
    outlined(p, feather, verticalShade(QRectF(176, 92, 70, 84), kMaroon, 130, 100), std::max(5.0, 2 * w));
    p.setPen(QPen(kCream, std::max(4.0, 1.5 * w), Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(182, 170), QPointF(236, 102));
    outlined(p, polygon({{170, 168}, {184, 180}, {164, 196}}), kInk, std::max(3.0, w));
    return img;
}

// The quick-phrase buttons P1 .. P9 and the chatter-sound button beside them.
QImage phraseButton(int number)
{
    return labelPicture(25, 19, QStringLiteral("P%1").arg(number), QColor(0xf7, 0xd7, 0x8a), IconFn(),
                        1400 + number, 11);
}

QImage chatterButton()
{
    QImage img = canvas(25, 19);
    QPainter p(&img);
    smooth(p);
    pill(p, QRectF(0.7, 0.7, 23.6, 17.6), QColor(0xf7, 0xd7, 0x8a), 1410, 8);
    // loudspeaker
    outlined(p, polygon({{5.0, 7.4}, {7.6, 7.4}, {11.0, 4.4}, {11.0, 14.6}, {7.6, 11.6}, {5.0, 11.6}}), kInk,
             0.8);
    QPainterPath waves;
    waves.moveTo(13.2, 7.0);
    waves.quadTo(14.8, 9.5, 13.2, 12.0);
    waves.moveTo(15.6, 5.2);
    waves.quadTo(18.8, 9.5, 15.6, 13.8);
    stroke(p, waves, 1.1);
    return img;
}

// ---------------------------------------------------------------- output

struct Picture
{
    QString name;
    QImage image;
    QString use;
};

bool save(const QString &folder, const Picture &pic)
{
    const QString path = folder + QLatin1Char('/') + pic.name;
    if (!pic.image.convertToFormat(QImage::Format_ARGB32).save(path, "PNG")) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
        return false;
    }
    return true;
}

// An enlarged sheet of every picture, nearest-neighbour scaled, on a
// checkerboard so transparent parts show; the background is shown tiled.
QImage contactSheet(const std::vector<Picture> &pics)
{
    const int sheetW = 1500;
    const int pad = 14;
    QImage sheet(sheetW, 2600, QImage::Format_ARGB32_Premultiplied);
    sheet.fill(QColor(0x70, 0x70, 0x70));
    QPainter p(&sheet);
    QFont label(QStringLiteral("DejaVu Sans"));
    label.setPixelSize(12);
    p.setFont(label);
    int x = pad, y = pad, rowH = 0;
    for (const Picture &pic : pics) {
        const QSize s = pic.image.size();
        int scale = s.width() <= 40 ? 6 : s.width() <= 110 ? 4 : 2;
        if (pic.name == QLatin1String("background.png"))
            scale = 1;
        QImage shown = pic.image;
        if (pic.name == QLatin1String("background.png")) {
            shown = QImage(s.width() * 3, s.height() * 3, QImage::Format_ARGB32_Premultiplied);
            QPainter t(&shown);
            t.fillRect(shown.rect(), QBrush(pic.image));
            t.setPen(QColor(0x80, 0x1c, 0x12));
            QFont f(QStringLiteral("DejaVu Sans"));
            f.setPixelSize(13);
            f.setBold(true);
            t.setFont(f);
            t.drawText(QPointF(12, 40), QStringLiteral("Play to Score: 20"));
            t.drawText(QPointF(12, 70), QStringLiteral("<Waiting>"));
        }
        const QSize big = shown.size() * scale;
        if (x + big.width() + pad > sheetW) {
            x = pad;
            y += rowH + pad;
            rowH = 0;
        }
        for (int cy = 0; cy < big.height(); cy += 8)
            for (int cx = 0; cx < big.width(); cx += 8)
                p.fillRect(
                    QRect(x + cx, y + cy, std::min(8, big.width() - cx), std::min(8, big.height() - cy)),
                    ((cx + cy) / 8) % 2 ? QColor(0xdd, 0xdd, 0xdd) : QColor(0xff, 0xff, 0xff));
        p.drawImage(QRect(QPoint(x, y), big),
                    shown.scaled(big, Qt::IgnoreAspectRatio, Qt::FastTransformation));
        p.setPen(Qt::white);
        p.drawText(QPointF(x, y + big.height() + 13), pic.name);
        x += std::max(big.width(), 90) + pad;
        rowH = std::max(rowH, big.height() + 18);
    }
    p.end();
    return sheet.copy(0, 0, sheetW, std::min(2600, y + rowH + pad));
}

} // namespace

int main(int argc, char **argv)
{
    QGuiApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() < 2) {
        std::fprintf(stderr, "usage: make_pictures OUTPUT_FOLDER [--contact SHEET.png]\n");
        return 2;
    }
    for (const char *file : {"DejaVuSans-Bold.ttf", "DejaVuSansCondensed-Bold.ttf", "DejaVuSans.ttf"}) {
        const QString path = QStringLiteral("/usr/share/fonts/truetype/dejavu/") + QLatin1String(file);
        if (QFontDatabase::addApplicationFont(path) < 0) {
            std::fprintf(stderr, "missing font %s (Debian package fonts-dejavu-core)\n", qPrintable(path));
            return 1;
        }
    }

    std::vector<Picture> pics;
    for (int c = 0; c < 7; ++c)
        pics.push_back({QStringLiteral("cat%1.png").arg(c), banner(c), QStringLiteral("category banner")});
    for (int c = 0; c < 7; ++c)
        pics.push_back(
            {QStringLiteral("catbutton%1.png").arg(c), categoryButton(c), QStringLiteral("button_cat")});
    pics.push_back({QStringLiteral("scoretitle.png"), scoreTitle(), QStringLiteral("scoreTitle")});
    pics.push_back({QStringLiteral("button_start.png"), startButton(), QStringLiteral("button_start")});
    pics.push_back({QStringLiteral("button_pass.png"), passButton(), QStringLiteral("button_pass")});
    pics.push_back({QStringLiteral("timer.png"), timerBar(), QStringLiteral("image_timer")});
    pics.push_back({QStringLiteral("eyes.png"), eyes(), QStringLiteral("image_eyes")});
    pics.push_back({QStringLiteral("arrow.png"), arrow(), QStringLiteral("image_arrow")});
    for (int i = 0; i < 18; ++i)
        pics.push_back(
            {QStringLiteral("smiley%1.png").arg(i), smiley(i), QStringLiteral("imagelist_smilies")});
    pics.push_back({QStringLiteral("button_smilies.png"), smiliesButton(), QStringLiteral("button_smilies")});
    pics.push_back({QStringLiteral("camera.png"), camera(), QStringLiteral("button_snapshot")});
    pics.push_back({QStringLiteral("trash.png"), trash(), QStringLiteral("clear")});
    pics.push_back({QStringLiteral("undo.png"), undoArrow(), QStringLiteral("undoButton")});
    pics.push_back({QStringLiteral("eraser.png"), eraser(), QStringLiteral("eraserButton")});
    for (int i = 1; i <= 9; ++i)
        pics.push_back({QStringLiteral("phrase%1.png").arg(i), phraseButton(i), QStringLiteral("b_phrase")});
    pics.push_back({QStringLiteral("chatter.png"), chatterButton(), QStringLiteral("b_phrase10")});
    for (int f = 1; f <= 5; ++f)
        pics.push_back(
            {QStringLiteral("winner%1.png").arg(f), winnerFrame(f - 1), QStringLiteral("image_winner")});
    pics.push_back({QStringLiteral("background.png"), background(), QStringLiteral("tiled background")});
    // The desktop icon sizes go to the icons folder beside the pictures.
    for (int size : {48, 128, 256})
        pics.push_back({QStringLiteral("../icons/quillet-%1.png").arg(size), appIcon(size),
                        QStringLiteral("desktop icon")});

    const QString folder = args.at(1);
    if (!QDir().mkpath(folder)) {
        std::fprintf(stderr, "cannot create %s\n", qPrintable(folder));
        return 1;
    }
    bool ok = true;
    for (const Picture &pic : pics)
        ok = save(folder, pic) && ok;

    const int contact = args.indexOf(QStringLiteral("--contact"));
    if (contact > 0 && contact + 1 < args.size())
        ok = contactSheet(pics).save(args.at(contact + 1), "PNG") && ok;
    return ok ? 0 : 1;
}
