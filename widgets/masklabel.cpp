#include "widgets/masklabel.h"

#include <QPainter>

namespace {

const QChar hidden = QLatin1Char('_');

// A dash takes the middle 70 % of its letter's cell, and its foot is the foot of the letters.
QRect dashIn(int left, int cell, int baseline, int pixelSize)
{
    const int inset = std::max(1, qRound(cell * 0.15));
    const int thickness = std::max(2, qRound(pixelSize * 0.08));
    return QRect(left + inset, baseline - thickness, std::max(1, cell - 2 * inset), thickness);
}

} // namespace

QPoint MaskLabel::origin(const QFontMetrics &fm, const QString &text) const
{
    const QRect r = contentsRect();
    const int width = fm.horizontalAdvance(text);
    int x = r.left();
    if (alignment() & Qt::AlignHCenter)
        x = r.left() + (r.width() - width) / 2;
    else if (alignment() & Qt::AlignRight)
        x = r.right() + 1 - width;
    // Centred as a line of text is: the dashes, on the baseline, take no room below it.
    const int baseline = r.top() + (r.height() - fm.height()) / 2 + fm.ascent();
    return QPoint(x, baseline);
}

void MaskLabel::paintEvent(QPaintEvent *e)
{
    const QString text = shownText();
    if (!text.contains(hidden) || text != this->text() || wordWrap()) {
        FittingLabel::paintEvent(e);
        return;
    }
    const QFont f = shownFont();
    const QFontMetrics fm(f);
    const QPoint at = origin(fm, text);
    const QColor ink = palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled, foregroundRole());
    QPainter p(this);
    drawFrame(&p);
    p.setFont(f);
    p.setPen(ink);
    int x = at.x();
    for (qsizetype i = 0; i < text.size();) {
        qsizetype end = i;
        if (text[i] == hidden) {
            const int cell = fm.horizontalAdvance(hidden);
            p.fillRect(dashIn(x, cell, at.y(), f.pixelSize()), ink);
            x += cell;
            ++end;
        } else {
            // A run of letters and blanks is painted as text, so its letters keep their kerning.
            while (end < text.size() && text[end] != hidden)
                ++end;
            const QString run = text.mid(i, end - i);
            p.drawText(x, at.y(), run);
            x += fm.horizontalAdvance(run);
        }
        i = end;
    }
}
