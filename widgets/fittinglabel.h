#pragma once

#include <QLabel>

// A one-line caption that never cuts a letter in half: a text too wide for the label first
// shrinks, down to a smallest size when one is set, and what still does not fit ends in "…".
// text() keeps the whole text.
class FittingLabel : public QLabel
{
public:
    using QLabel::QLabel;

    // The smallest pixel size a text may shrink to; 0 (the default) never shrinks.
    void setSmallestPixelSize(int pixels) { smallest = pixels; }
    // The font and the text as they are painted.
    QFont shownFont() const;
    QString shownText() const;

protected:
    void paintEvent(QPaintEvent *e) override;

private:
    int smallest = 0;
};
