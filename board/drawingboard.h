#pragma once

#include <QImage>
#include <QWidget>

// The drawing area `image_main`: 533 x 369, white. The invisible backing picture
// `image_backup` holds the real picture; repaints copy it back.
class DrawingBoard : public QWidget
{
    Q_OBJECT
public:
    static constexpr int boardWidth = 533;
    static constexpr int boardHeight = 369;

    explicit DrawingBoard(QWidget *parent = nullptr);

    QImage image_backup;

    // Wipes both surfaces white.
    void wipe();

protected:
    void paintEvent(QPaintEvent *e) override;
};
