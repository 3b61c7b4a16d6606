#pragma once

#include "widgets/fittinglabel.h"

// The answer line that shows the hidden phrase: each hidden letter ("_") is a dash of its own,
// with a clear gap to the next and standing on the line the letters stand on, so the letters can
// be counted and the dashes keep clear of what lies under the line. Revealed words and any other
// text are painted as a FittingLabel paints them.
class MaskLabel : public FittingLabel
{
public:
    using FittingLabel::FittingLabel;

protected:
    void paintEvent(QPaintEvent *e) override;

private:
    // The left edge of the shown text and its baseline, as the alignment places them.
    QPoint origin(const QFontMetrics &fm, const QString &text) const;
};
