// The drawing area paints each stroke once and copies it onto the screen surface: both surfaces
// must hold exactly the pixels that painting the stroke on each of them gives.

#include "board/drawingboard.h"

#include <QRandomGenerator>
#include <QTest>

class BoardPaint : public QObject
{
    Q_OBJECT

private slots:
    void surfacesMatchPaintingOnEach_data();
    void surfacesMatchPaintingOnEach();
};

namespace {

// What the area did before: every operation painted on both surfaces, each with its own pen.
struct TwoSurfaces
{
    QImage first{DrawingBoard::boardWidth, DrawingBoard::boardHeight, QImage::Format_RGB32};
    QImage second{DrawingBoard::boardWidth, DrawingBoard::boardHeight, QImage::Format_RGB32};
    Canvas a{&first};
    Canvas b{&second};
    TwoSurfaces()
    {
        first.fill(Qt::white);
        second.fill(Qt::white);
    }
    void down(QPoint p, const QColor &colour, int width)
    {
        for (Canvas *c : {&a, &b}) {
            c->setPen(colour, width);
            c->moveTo(p);
            c->lineTo(p);
        }
    }
    void to(QPoint p)
    {
        a.lineTo(p);
        b.lineTo(p);
    }
    void through(const QColor &colour, int width, const QList<QPoint> &points)
    {
        for (Canvas *c : {&a, &b}) {
            c->setPen(colour, width);
            c->lineThrough(points.constData(), points.size());
        }
    }
};

QPoint anywhere(QRandomGenerator &rng, int spread)
{
    return {DrawingBoard::boardWidth / 2 + int(rng.bounded(2 * spread + 1)) - spread,
            DrawingBoard::boardHeight / 2 + int(rng.bounded(2 * spread + 1)) - spread};
}

} // namespace

void BoardPaint::surfacesMatchPaintingOnEach_data()
{
    QTest::addColumn<quint32>("seed");
    QTest::addColumn<int>("spread"); // how far from the centre points may lie
    QTest::addColumn<QList<int>>("widths");
    QTest::newRow("thin pens inside the area") << 1u << 250 << QList<int>{0, 1, 2, 3};
    QTest::newRow("wide pens, beyond the edges") << 2u << 400 << QList<int>{7, 20, 41, 100, 1000};
    QTest::newRow("odd and even, far points") << 3u << 100000 << QList<int>{-5, 1, 4, 9, 16};
    QTest::newRow("dots and short hops") << 4u << 3 << QList<int>{1, 2, 3, 6, 11};
}

void BoardPaint::surfacesMatchPaintingOnEach()
{
    QFETCH(quint32, seed);
    QFETCH(int, spread);
    QFETCH(QList<int>, widths);
    QRandomGenerator rng(seed);
    DrawingBoard board;
    TwoSurfaces before;
    QImage white(board.image_backup.size(), board.image_backup.format());
    white.fill(Qt::white);
    bool inked = false;
    const QColor colours[] = {Qt::black, Qt::red, QColor(0x9F, 0xBF, 0xEF), Qt::white, Qt::darkGreen};
    for (int stroke = 0; stroke < 60; ++stroke) {
        const QColor colour = colours[rng.bounded(5)];
        const int width = widths[rng.bounded(int(widths.size()))];
        const QPoint start = anywhere(rng, spread);
        board.penDown(start, colour, width);
        before.down(start, colour, width);
        // Single moves as the drawer's mouse makes them, then batches as they arrive from others:
        // full ones, short ones, empty ones, with repeated points.
        for (int i = 0; i < 3; ++i) {
            const QPoint p = anywhere(rng, spread);
            board.penTo(p);
            before.to(p);
        }
        for (int batch = 0; batch < 3; ++batch) {
            QList<QPoint> points;
            const int count = int(rng.bounded(3)) == 0 ? int(rng.bounded(4)) : 101;
            for (int i = 0; i < count; ++i)
                points.append(i > 0 && rng.bounded(5) == 0 ? points.back() : anywhere(rng, spread));
            board.penThrough(colour, width, points.constData(), points.size());
            before.through(colour, width, points);
        }
        QCOMPARE(board.backup.penpos, before.b.penpos);
        QCOMPARE(board.screen.penpos, before.a.penpos);
        QVERIFY2(board.screenPicture() == before.first, qPrintable(QStringLiteral("stroke %1").arg(stroke)));
        QVERIFY2(board.image_backup == before.second, qPrintable(QStringLiteral("stroke %1").arg(stroke)));
        inked = inked || board.image_backup != white;
        if (stroke % 20 == 19) {
            board.wipe();
            before.first.fill(Qt::white);
            before.second.fill(Qt::white);
            QCOMPARE(board.screenPicture(), white);
        }
    }
    // The comparisons were of pictures with ink on them.
    QVERIFY(inked);
}

QTEST_MAIN(BoardPaint)
#include "tst_boardpaint.moc"
