#pragma once

#include <QColor>
#include <QWidget>

// A flat panel: one fill colour, a thin border and optionally rounded corners. Children are placed
// at fixed positions by their owner.
class FlatPanel : public QWidget
{
    Q_OBJECT
public:
    explicit FlatPanel(QWidget *parent = nullptr);

    void setColors(const QColor &fill, const QColor &border);
    void setRadius(int r);
    void setBorderWidth(int w);
    QColor fill() const { return fillColor; }
    QColor border() const { return borderColor; }

protected:
    void paintEvent(QPaintEvent *e) override;

private:
    QColor fillColor{0xFF, 0xF6, 0xE0};
    QColor borderColor{0x9A, 0x6A, 0x3E};
    int radius = 0;
    int borderWidth = 1;
};
