#pragma once

#include "board/canvas.h"

#include <QImage>
#include <QWidget>
#include <functional>

// The drawing area `image_main`: 533 x 369, white. It has two surfaces, each with its own pen and
// pen position: the screen surface (what the area shows) and the backing picture `image_backup`,
// which holds the real picture. Every drawing operation is done on both. At the board's own size
// the screen surface paints onto the backing picture itself, since painting it twice would leave
// the same pixels in both: a stroke is painted once, and a repaint shows the backing picture,
// also what was written on it alone (a snapshot's caption). Shown larger, the screen surface has
// a picture of its own.
class QPainter;

class DrawingBoard : public QWidget
{
    Q_OBJECT
public:
    static constexpr int boardWidth = 533;
    static constexpr int boardHeight = 369;

    explicit DrawingBoard(QWidget *parent = nullptr);

    QImage image_backup;
    // The two surfaces: `screen` paints the picture shown, `backup` the backing one.
    Canvas screen{&image_backup};
    Canvas backup{&image_backup};
    // The picture the area shows.
    const QImage &screenPicture() const { return *screen.image; }

    // Marks part of the screen surface as changed, so it is shown.
    void changed(const QRect &area);
    // Wipes both surfaces white, the screen surface first.
    void wipe();

    // Strokes, painted on both surfaces, the screen surface first. A pen set down at p leaves a
    // round dot as wide as the pen; the pen then goes on to further points.
    void penDown(QPoint p, const QColor &colour, int width);
    void penTo(QPoint p);
    // A run of points in a colour and width, on from where the pen is.
    void penThrough(const QColor &colour, int width, const QPoint *points, qsizetype count);

    // Paint handler: shows the screen surface within the area.
    void image_mainPaint(QPainter &painter, const QRect &area);

    // Shows the board larger: the screen surface is drawn at that resolution from the strokes
    // since the last wipe, so it stays crisp; the backing picture and every position the board
    // reports stay in board units (533 x 369).
    void setZoom(double factor);
    double zoom() const { return factor; }
    // A position on the widget in board units.
    QPoint boardPoint(QPointF widgetPos) const;

    // Pointer input, handed on with the buttons held and the position in the area.
    std::function<void(Qt::MouseButton button, Qt::MouseButtons held, int x, int y)> onMouseDown;
    std::function<void(Qt::MouseButtons held, int x, int y)> onMouseMove;
    std::function<void(Qt::MouseButton button, Qt::MouseButtons held, int x, int y)> onMouseUp;

protected:
    void paintEvent(QPaintEvent *e) override;
    void mousePressEvent(QMouseEvent *e) override;
    void mouseMoveEvent(QMouseEvent *e) override;
    void mouseReleaseEvent(QMouseEvent *e) override;

private:
    // The strokes since the last wipe, to draw the screen surface again at another size.
    struct Op
    {
        enum Kind { down, to, through } kind;
        QColor colour;
        int width = 0;
        QList<QPoint> points;
    };
    QList<Op> ops;
    void play(const Op &op);
    double factor = 1.0;
    // The screen surface's own picture while the board is shown larger; none at its own size.
    QImage scaledimage;
    // After a stroke on the backing picture: the screen surface takes the changed area and the
    // pen position, and the area is shown.
    // The points are the stroke's, for a screen surface of its own resolution.
    void shown(const QRect &area, const QPoint *points, qsizetype count);
};
