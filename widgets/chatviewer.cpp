#include "widgets/chatviewer.h"

#include <QApplication>
#include <QClipboard>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QStyle>
#include <QStyleOptionSlider>
#include <algorithm>
#include <cmath>

namespace {

constexpr QChar objectChar(char16_t(0xFFFC));

QStringView slice(const QString &s, int start, int len)
{
    return QStringView(s).mid(start, len);
}

QString raw(QStringView v)
{
    return QString::fromRawData(v.data(), v.size());
}

// Trailing blanks are not drawn (a link's underline stops at its word).
QStringView trimEnd(QStringView v)
{
    qsizetype n = v.size();
    while (n > 0 && v[n - 1] == QLatin1Char(' '))
        --n;
    return v.first(n);
}

} // namespace

QFont ChatTextStyle::font() const
{
    QFont f(family);
    // A size from a hand-edited settings file may be anything; the font keeps to a sane range.
    f.setPointSize(std::clamp(size, 1, 200));
    f.setBold(bold);
    f.setItalic(italic);
    f.setUnderline(underline);
    return f;
}

namespace {

// A scroll bar that is painted again only when what it shows changes. A chat line changes its
// range, but in a long chat the handle moves by a pixel only now and then, and painting the bar
// (a gradient the height of the pane) costs more than painting the line.
class QuietScrollBar : public QScrollBar
{
public:
    explicit QuietScrollBar(QWidget *parent) : QScrollBar(Qt::Vertical, parent) {}

protected:
    void sliderChange(SliderChange change) override
    {
        if (change != SliderRangeChange && change != SliderValueChange && change != SliderStepsChange) {
            QScrollBar::sliderChange(change);
            return;
        }
        // A new range comes before the value it clamps: the bar is looked at once both are set.
        if (checking)
            return;
        checking = true;
        QMetaObject::invokeMethod(
            this,
            [this] {
                checking = false;
                if (shown() != last)
                    update();
            },
            Qt::QueuedConnection);
    }
    void paintEvent(QPaintEvent *e) override
    {
        last = shown();
        QScrollBar::paintEvent(e);
    }

private:
    struct Shown
    {
        QRect handle;
        bool atMinimum = false, atMaximum = false, enabled = false;
        friend bool operator==(const Shown &, const Shown &) = default;
    };
    Shown shown() const
    {
        QStyleOptionSlider opt;
        initStyleOption(&opt);
        return {style()->subControlRect(QStyle::CC_ScrollBar, &opt, QStyle::SC_ScrollBarSlider, this),
                value() == minimum(), value() == maximum(), minimum() < maximum()};
    }
    Shown last;
    bool checking = false;
};

} // namespace

ChatViewer::ChatViewer(QWidget *parent) : QAbstractScrollArea(parent)
{
    setVerticalScrollBar(new QuietScrollBar(this));
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setFocusPolicy(Qt::ClickFocus);
    viewport()->setMouseTracking(true);
    viewport()->setCursor(Qt::ArrowCursor);
    QPalette pal = viewport()->palette();
    pal.setColor(QPalette::Base, Qt::white);
    viewport()->setPalette(pal);
    viewport()->setBackgroundRole(QPalette::Base);
    // Painting fills what it paints, so scrolling can move the pixels already shown and have
    // only the strip that comes into view painted.
    viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
    laidMetrics.reserve(styleCount);
    for (int i = 0; i < styleCount; ++i)
        laidMetrics.emplace_back(QFont());
}

ChatViewer::~ChatViewer() = default;

// ---------------------------------------------------------------- style sheet

const ChatTextStyle &ChatViewer::style(int n) const
{
    return sheet[size_t(std::clamp(n, 0, styleCount - 1))];
}

void ChatViewer::setStyleColor(int n, const QColor &color)
{
    if (n >= 0 && n < styleCount)
        sheet[size_t(n)].color = color;
}

void ChatViewer::setStyleFont(int n, bool bold, bool italic, bool underline)
{
    if (n < 0 || n >= styleCount)
        return;
    ChatTextStyle &s = sheet[size_t(n)];
    if (s.bold == bold && s.italic == italic && s.underline == underline)
        return;
    s.bold = bold;
    s.italic = italic;
    s.underline = underline;
    changedStyles |= quint16(1u << n);
}

void ChatViewer::setStyleBold(int n, bool bold)
{
    const ChatTextStyle &s = style(n);
    setStyleFont(n, bold, s.italic, s.underline);
}

void ChatViewer::setZoom(double factor)
{
    if (factor == zoom)
        return;
    zoom = factor;
    fontsDirty = true;
    format();
    viewport()->update();
}

void ChatViewer::setTextSize(int size)
{
    for (ChatTextStyle &s : sheet) {
        if (s.size != size) {
            s.size = size;
            fontsDirty = true;
        }
    }
}

void ChatViewer::setStyle(int n, const ChatTextStyle &s)
{
    if (n < 0 || n >= styleCount)
        return;
    sheet[size_t(n)] = s;
    fontsDirty = true;
}

void ChatViewer::setImages(const QList<QPixmap> &images)
{
    imageList = images;
    fontsDirty = true; // image sizes take part in the layout
}

// ---------------------------------------------------------------- content

ChatViewer::Para &ChatViewer::target(bool newParagraph)
{
    if (newParagraph || paras.empty()) {
        // The finished paragraph gives back what it reserved while it grew.
        if (!paras.empty()) {
            Para &last = paras.back();
            last.text.squeeze();
            last.items.shrink_to_fit();
        }
        paras.emplace_back();
    }
    touched(int(paras.size()) - 1);
    return paras.back();
}

void ChatViewer::touched(int index)
{
    if (index < laidOut) {
        laidOut = index;
        tops.resize(size_t(laidOut));
    }
}

void ChatViewer::addText(const QString &text, int style, bool newParagraph)
{
    Para &p = target(newParagraph);
    const int s = std::clamp(style, 0, styleCount - 1);
    p.items.push_back({qint32(p.text.size()), qint32(text.size()), Kind::Text, quint8(s), -1, -1.f,
                       sheet[size_t(s)].color.rgba()});
    p.text += text;
    chars += text.size();
    p.styles |= quint16(1u << s);
}

void ChatViewer::addImage(int image, bool newParagraph)
{
    Para &p = target(newParagraph);
    p.items.push_back(
        {qint32(p.text.size()), 1, Kind::Image, 0, qint16(std::clamp(image, -1, 32767)), -1.f, 0});
    p.text += objectChar;
    ++chars;
}

void ChatViewer::addLink(const QString &text, const QString &target_, int style, bool newParagraph)
{
    Para &p = target(newParagraph);
    const int s = std::clamp(style, 0, styleCount - 1);
    p.items.push_back({qint32(p.text.size()), qint32(text.size()), Kind::Link, quint8(s),
                       qint16(p.targets.size()), -1.f, sheet[size_t(s)].color.rgba()});
    p.targets.push_back(target_);
    p.text += text;
    chars += text.size();
    p.styles |= quint16(1u << s);
    ++links;
}

QList<ChatViewer::ItemInfo> ChatViewer::items(int paragraph) const
{
    QList<ItemInfo> out;
    if (paragraph < 0 || paragraph >= paragraphCount())
        return out;
    const Para &p = paras[size_t(paragraph)];
    for (const Item &it : p.items) {
        ItemInfo info{it.kind, it.style, QString(), -1, QString()};
        if (it.kind == Kind::Image)
            info.image = it.image;
        else
            info.text = p.text.mid(it.start, it.len);
        if (it.kind == Kind::Link)
            info.target = p.targets[size_t(it.image)];
        out.append(info);
    }
    return out;
}

QString ChatViewer::paragraphText(int paragraph) const
{
    if (paragraph < 0 || paragraph >= paragraphCount())
        return QString();
    QString t = paras[size_t(paragraph)].text;
    t.remove(objectChar);
    return t;
}

void ChatViewer::dropOldest(int count)
{
    count = std::min(count, paragraphCount());
    if (count <= 0)
        return;
    for (int i = 0; i < count; ++i) {
        links -= int(paras[size_t(i)].targets.size());
        chars -= paras[size_t(i)].text.size();
    }
    paras.erase(paras.begin(), paras.begin() + count);
    // The paragraphs that stay keep their layout and move up by the height that went.
    int gone = 0;
    if (laidOut > count) {
        gone = tops[size_t(count)];
        tops.erase(tops.begin(), tops.begin() + count);
        for (qint32 &top : tops)
            top -= gone;
        laidOut -= count;
    } else {
        tops.clear();
        laidOut = 0;
    }
    auto shift = [count](Pos &p) { p = p.para >= count ? Pos{p.para - count, p.offset} : Pos{}; };
    shift(anchor);
    shift(cursor);
    if (pressPara >= 0) {
        pressPara -= count;
        if (pressPara < 0)
            pressPara = pressItem = -1;
    }
    QScrollBar *bar = verticalScrollBar();
    const int value = bar->value();
    updateScrollBar();
    bar->setValue(value - gone);
    viewport()->update();
}

void ChatViewer::clear()
{
    paras.clear();
    chars = 0;
    tops.clear();
    laidOut = 0;
    links = 0;
    anchor = cursor = Pos{};
    selecting = false;
    pressPara = pressItem = -1;
    updateScrollBar();
    verticalScrollBar()->setValue(0);
    viewport()->update();
}

void ChatViewer::scrollToEnd()
{
    verticalScrollBar()->setValue(verticalScrollBar()->maximum());
}

// ---------------------------------------------------------------- layout

int ChatViewer::availableWidth() const
{
    return std::max(1, viewport()->width() - 2 * margin);
}

float ChatViewer::advance(int style, QStringView s) const
{
    return float(laidMetrics[size_t(style)].horizontalAdvance(raw(s)));
}

void ChatViewer::measure(Para &p)
{
    for (Item &it : p.items) {
        if (it.kind == Kind::Image) {
            it.width = float(imageList.value(it.image).width());
        } else {
            it.width = advance(it.style, slice(p.text, it.start, it.len));
        }
    }
    p.fontGen = fontGen;
}

void ChatViewer::layoutPara(Para &p)
{
    ++layouts;
    if (p.fontGen != fontGen)
        measure(p);
    const float avail = float(availableWidth());
    p.frags.clear();
    p.rows.clear();
    p.frags.reserve(p.items.size() + 1);

    // Images stand on the line below the baseline by the descent of the paragraph's first style.
    const int lineStyle = p.items.empty() ? 0 : p.items.front().style;
    const int drop = int(std::ceil(laidMetrics[size_t(lineStyle)].descent()));

    float x = 0;
    int y = 0;
    float asc = 0, desc = 0;
    auto endRow = [&] {
        if (asc == 0 && desc == 0) {
            asc = float(laidMetrics[size_t(lineStyle)].ascent());
            desc = float(laidMetrics[size_t(lineStyle)].descent());
        }
        const int a = int(std::ceil(asc));
        const int h = a + int(std::ceil(desc));
        p.rows.push_back({y, qint16(h), qint16(a)});
        y += h;
        x = 0;
        asc = desc = 0;
    };
    auto place = [&](int item, int start, int len, float w) {
        const quint16 row = quint16(p.rows.size());
        if (!p.frags.empty()) {
            Frag &last = p.frags.back();
            if (last.item == item && last.row == row && last.start + last.len == start) {
                last.len += len;
                last.width += w;
                x += w;
                return;
            }
        }
        p.frags.push_back({x, w, start, len, quint16(item), row});
        x += w;
    };

    for (int idx = 0; idx < int(p.items.size()); ++idx) {
        const Item &it = p.items[size_t(idx)];
        if (it.kind == Kind::Image) {
            const QPixmap &pm = imageList.value(it.image);
            if (x > 0 && x + it.width > avail)
                endRow();
            place(idx, it.start, 1, it.width);
            asc = std::max(asc, float(pm.height() - drop));
            desc = std::max(desc, float(drop));
            continue;
        }
        const QFontMetricsF &fm = laidMetrics[it.style];
        const float sp = spaceWidth[it.style];
        const int end = it.start + it.len;
        int s = it.start;
        while (s < end) {
            // One unit: a run of non-blanks and the blanks after it; a line may break after it.
            int ws = s;
            while (ws < end && p.text[ws] != QLatin1Char(' '))
                ++ws;
            int e = ws;
            while (e < end && p.text[e] == QLatin1Char(' '))
                ++e;
            const float w =
                (s == it.start && e == end) ? it.width : advance(it.style, slice(p.text, s, e - s));
            const float fit = w - float(e - ws) * sp; // trailing blanks may hang over the edge
            if (x > 0 && x + fit > avail)
                endRow();
            if (x == 0 && fit > avail && ws - s > 1) {
                // A word wider than the line is broken between characters.
                int c = s;
                while (c < ws) {
                    int k = c + 1;
                    float kw = advance(it.style, slice(p.text, c, 1));
                    while (k < ws) {
                        const float nw = advance(it.style, slice(p.text, c, k + 1 - c));
                        if (nw > avail)
                            break;
                        ++k;
                        kw = nw;
                    }
                    asc = std::max(asc, float(fm.ascent()));
                    desc = std::max(desc, float(fm.descent()));
                    if (k == ws) {
                        place(idx, c, e - c, advance(it.style, slice(p.text, c, e - c)));
                        break;
                    }
                    place(idx, c, k - c, kw);
                    endRow();
                    c = k;
                }
            } else {
                place(idx, s, e - s, w);
                asc = std::max(asc, float(fm.ascent()));
                desc = std::max(desc, float(fm.descent()));
            }
            s = e;
        }
    }
    endRow();
    p.height = y;
    p.frags.shrink_to_fit();
    p.rows.shrink_to_fit();
}

void ChatViewer::format()
{
    const int w = availableWidth();
    const bool all = fontsDirty || w != laidWidth;
    // Laying everything out again changes every height: the view keeps to the newest line when
    // it showed it, else to the line at its top, at the same share of that line.
    QScrollBar *bar = verticalScrollBar();
    const bool atEnd = bar->value() >= bar->maximum();
    // Lines added at the end, nothing else changed: only they need painting.
    const bool appended = !all && !changedStyles;
    const int firstNew = laidOut;
    int topPara = -1;
    double topShare = 0;
    if (all && !atEnd && laidOut > 0) {
        topPara = firstVisible(bar->value());
        const Para &p = paras[size_t(topPara)];
        topShare = p.height > 0 ? double(bar->value() - tops[size_t(topPara)]) / p.height : 0;
    }
    if (fontsDirty || changedStyles) {
        ++fontGen;
        for (int i = 0; i < styleCount; ++i) {
            laidFonts[size_t(i)] = sheet[size_t(i)].font();
            if (zoom != 1.0)
                laidFonts[size_t(i)].setPointSizeF(laidFonts[size_t(i)].pointSizeF() * zoom);
            laidMetrics[size_t(i)] = QFontMetricsF(laidFonts[size_t(i)]);
            spaceWidth[size_t(i)] = float(laidMetrics[size_t(i)].horizontalAdvance(QLatin1Char(' ')));
        }
    }
    if (all) {
        laidOut = 0;
        tops.clear();
    } else if (changedStyles) {
        // Only the paragraphs that use a changed style are laid out again; the running heights
        // are summed again from the first of them.
        int first = laidOut;
        for (int i = 0; i < laidOut; ++i) {
            Para &p = paras[size_t(i)];
            if (p.styles & changedStyles) {
                layoutPara(p);
                first = std::min(first, i);
            }
        }
        for (int i = std::max(1, first); i < laidOut; ++i)
            tops[size_t(i)] = tops[size_t(i - 1)] + paras[size_t(i - 1)].height;
    }
    fontsDirty = false;
    changedStyles = 0;
    laidWidth = w;

    const int n = int(paras.size());
    tops.reserve(size_t(n));
    for (int i = laidOut; i < n; ++i) {
        layoutPara(paras[size_t(i)]);
        tops.push_back(i == 0 ? 0 : tops[size_t(i - 1)] + paras[size_t(i - 1)].height);
    }
    laidOut = n;
    updateScrollBar();
    if (all && atEnd)
        bar->setValue(bar->maximum());
    else if (topPara >= 0 && topPara < laidOut)
        bar->setValue(tops[size_t(topPara)] + qRound(topShare * paras[size_t(topPara)].height));
    if (!appended) {
        viewport()->update();
    } else if (firstNew < laidOut) {
        // A scroll that follows moves what is shown and has the strip it uncovers painted.
        const int top = std::max(0, viewportY(tops[size_t(firstNew)]));
        if (top < viewport()->height())
            viewport()->update(0, top, viewport()->width(), viewport()->height() - top);
    }
}

int ChatViewer::documentHeight() const
{
    if (laidOut == 0)
        return 2 * margin;
    return tops[size_t(laidOut - 1)] + paras[size_t(laidOut - 1)].height + 2 * margin;
}

void ChatViewer::updateScrollBar()
{
    QScrollBar *bar = verticalScrollBar();
    const int h = viewport()->height();
    bar->setRange(0, std::max(0, documentHeight() - h));
    bar->setPageStep(std::max(1, h));
    bar->setSingleStep(std::max(1, int(laidMetrics[0].height())));
}

int ChatViewer::firstVisible(int docY) const
{
    if (laidOut == 0)
        return 0;
    const auto end = tops.begin() + laidOut;
    const auto it = std::upper_bound(tops.begin(), end, docY);
    return std::max(0, int(it - tops.begin()) - 1);
}

int ChatViewer::viewportY(int docY) const
{
    return margin + docY - verticalScrollBar()->value();
}

void ChatViewer::resizeEvent(QResizeEvent *e)
{
    QAbstractScrollArea::resizeEvent(e);
    if (availableWidth() != laidWidth)
        format();
    else
        updateScrollBar();
}

void ChatViewer::scrollContentsBy(int dx, int dy)
{
    viewport()->scroll(dx, dy);
}

// ---------------------------------------------------------------- painting

void ChatViewer::paintEvent(QPaintEvent *e)
{
    QPainter painter(viewport());
    const QRect area = e->rect();
    painter.fillRect(area, Qt::white);
    if (laidOut == 0)
        return;

    const int scroll = verticalScrollBar()->value();
    const int docTopY = area.top() - margin + scroll;
    const int docBottomY = area.bottom() - margin + scroll;
    const bool selected = hasSelection();
    const Pos lo = std::min(anchor, cursor);
    const Pos hi = std::max(anchor, cursor);
    const QPalette &pal = palette();

    for (int i = firstVisible(docTopY); i < laidOut && tops[size_t(i)] <= docBottomY; ++i) {
        const Para &p = paras[size_t(i)];
        const int top = viewportY(tops[size_t(i)]);
        int selStart = 0, selEnd = 0;
        if (selected && i >= lo.para && i <= hi.para) {
            selStart = i == lo.para ? lo.offset : 0;
            selEnd = i == hi.para ? hi.offset : int(p.text.size()) + 1;
        }
        const int lineStyle = p.items.empty() ? 0 : p.items.front().style;
        const int drop = int(std::ceil(laidMetrics[size_t(lineStyle)].descent()));
        for (const Frag &f : p.frags) {
            const Row &row = p.rows[f.row];
            const int rowTop = top + row.y;
            if (rowTop > area.bottom() || rowTop + row.height < area.top())
                continue;
            const int baseline = rowTop + row.ascent;
            const Item &it = p.items[f.item];
            const float x = float(margin) + f.x;
            QRectF sel;
            const int s0 = std::max(selStart, f.start), s1 = std::min(selEnd, f.start + f.len);
            if (s0 < s1) {
                const float x0 =
                    s0 == f.start ? 0.f : advance(it.style, slice(p.text, f.start, s0 - f.start));
                const float x1 =
                    s1 == f.start + f.len ? f.width : advance(it.style, slice(p.text, f.start, s1 - f.start));
                sel = QRectF(x + x0, rowTop, x1 - x0, row.height);
            }
            if (it.kind == Kind::Image) {
                const QPixmap &pm = imageList.value(it.image);
                if (!pm.isNull())
                    painter.drawPixmap(QPointF(x, baseline + drop - pm.height()), pm);
                if (!sel.isEmpty()) {
                    QColor c = pal.color(QPalette::Highlight);
                    c.setAlpha(110);
                    painter.fillRect(sel, c);
                }
                continue;
            }
            const QString text = raw(trimEnd(slice(p.text, f.start, f.len)));
            painter.setFont(laidFonts[it.style]);
            if (sel.isEmpty()) {
                painter.setPen(QColor::fromRgba(it.color));
                painter.drawText(QPointF(x, baseline), text);
                continue;
            }
            painter.fillRect(sel, pal.color(QPalette::Highlight));
            painter.save();
            painter.setClipRect(sel, Qt::IntersectClip);
            painter.setPen(pal.color(QPalette::HighlightedText));
            painter.drawText(QPointF(x, baseline), text);
            painter.restore();
            painter.save();
            QRegion rest(QRect(int(x) - 1, rowTop, int(f.width) + 3, row.height));
            rest -= sel.toAlignedRect();
            painter.setClipRegion(rest, Qt::IntersectClip);
            painter.setPen(QColor::fromRgba(it.color));
            painter.drawText(QPointF(x, baseline), text);
            painter.restore();
        }
    }
}

// ---------------------------------------------------------------- hit testing

const ChatViewer::Frag *ChatViewer::fragAt(const QPoint &pos, int *para) const
{
    if (laidOut == 0)
        return nullptr;
    const int docY = pos.y() - margin + verticalScrollBar()->value();
    const int i = firstVisible(docY);
    const Para &p = paras[size_t(i)];
    const int y = docY - tops[size_t(i)];
    if (y < 0 || y >= p.height)
        return nullptr;
    const float x = float(pos.x() - margin);
    for (const Frag &f : p.frags) {
        const Row &row = p.rows[f.row];
        if (y >= row.y && y < row.y + row.height && x >= f.x && x < f.x + f.width) {
            if (para)
                *para = i;
            return &f;
        }
    }
    return nullptr;
}

QString ChatViewer::linkAt(const QPoint &pos) const
{
    int i = 0;
    const Frag *f = fragAt(pos, &i);
    if (!f)
        return QString();
    const Para &p = paras[size_t(i)];
    const Item &it = p.items[f->item];
    if (it.kind != Kind::Link)
        return QString();
    return p.targets[size_t(it.image)];
}

ChatViewer::Pos ChatViewer::hit(const QPoint &pos) const
{
    if (laidOut == 0)
        return {};
    const int docY = pos.y() - margin + verticalScrollBar()->value();
    if (docY < 0)
        return {0, 0};
    const int i = firstVisible(docY);
    const Para &p = paras[size_t(i)];
    const int y = docY - tops[size_t(i)];
    if (y >= p.height)
        return {i, int(p.text.size())};
    int r = 0;
    while (r + 1 < int(p.rows.size()) && p.rows[size_t(r + 1)].y <= y)
        ++r;
    const float x = float(pos.x() - margin);
    const Frag *last = nullptr;
    for (const Frag &f : p.frags) {
        if (f.row != r)
            continue;
        if (!last && x < f.x)
            return {i, f.start};
        last = &f;
        if (x >= f.x + f.width)
            continue;
        const Item &it = p.items[f.item];
        if (it.kind == Kind::Image)
            return {i, x < f.x + f.width / 2 ? f.start : f.start + 1};
        // The nearest character boundary.
        float prev = 0;
        for (int k = 1; k <= f.len; ++k) {
            const float adv = advance(it.style, slice(p.text, f.start, k));
            if (x < f.x + (prev + adv) / 2)
                return {i, f.start + k - 1};
            prev = adv;
        }
        return {i, f.start + f.len};
    }
    return {i, last ? last->start + last->len : int(p.text.size())};
}

QRect ChatViewer::itemRect(int paragraph, int item) const
{
    if (paragraph < 0 || paragraph >= laidOut)
        return QRect();
    const Para &p = paras[size_t(paragraph)];
    for (const Frag &f : p.frags) {
        if (f.item == item) {
            const Row &row = p.rows[f.row];
            return QRect(margin + int(f.x), viewportY(tops[size_t(paragraph)] + row.y), int(f.width),
                         row.height);
        }
    }
    return QRect();
}

// ---------------------------------------------------------------- selection

void ChatViewer::selectAll()
{
    if (paras.empty())
        return;
    anchor = {0, 0};
    cursor = {int(paras.size()) - 1, int(paras.back().text.size())};
    viewport()->update();
}

void ChatViewer::deselect()
{
    anchor = cursor = Pos{};
    viewport()->update();
}

bool ChatViewer::hasSelection() const
{
    return anchor != cursor;
}

QString ChatViewer::selectedText() const
{
    if (!hasSelection())
        return QString();
    const Pos lo = std::min(anchor, cursor);
    const Pos hi = std::max(anchor, cursor);
    QString out;
    for (int i = lo.para; i <= hi.para && i < int(paras.size()); ++i) {
        const QString &t = paras[size_t(i)].text;
        const int s = i == lo.para ? lo.offset : 0;
        const int e = i == hi.para ? hi.offset : int(t.size());
        if (i > lo.para)
            out += QLatin1Char('\n');
        out += QStringView(t).mid(s, std::max(0, e - s));
    }
    out.remove(objectChar);
    return out;
}

void ChatViewer::copy()
{
    if (!hasSelection())
        return;
    QClipboard *cb = QGuiApplication::clipboard();
    cb->clear();
    cb->setText(selectedText());
}

void ChatViewer::autoScroll(const QPoint &pos)
{
    QScrollBar *bar = verticalScrollBar();
    if (pos.y() < 0)
        bar->setValue(bar->value() + pos.y());
    else if (pos.y() > viewport()->height())
        bar->setValue(bar->value() + pos.y() - viewport()->height());
}

void ChatViewer::mousePressEvent(QMouseEvent *e)
{
    if (e->button() != Qt::LeftButton) {
        QAbstractScrollArea::mousePressEvent(e);
        return;
    }
    const QPoint pos = e->position().toPoint();
    const Pos at = hit(pos);
    cursor = at;
    if (!(e->modifiers() & Qt::ShiftModifier))
        anchor = at;
    selecting = true;
    pressPoint = pos;
    pressPara = pressItem = -1;
    int i = 0;
    if (const Frag *f = fragAt(pos, &i); f && paras[size_t(i)].items[f->item].kind == Kind::Link) {
        pressPara = i;
        pressItem = f->item;
    }
    viewport()->update();
}

void ChatViewer::mouseMoveEvent(QMouseEvent *e)
{
    const QPoint pos = e->position().toPoint();
    if (selecting && (e->buttons() & Qt::LeftButton)) {
        autoScroll(pos);
        cursor = hit(pos);
        viewport()->update();
        return;
    }
    viewport()->setCursor(linkAt(pos).isNull() ? Qt::ArrowCursor : Qt::PointingHandCursor);
}

void ChatViewer::mouseReleaseEvent(QMouseEvent *e)
{
    if (e->button() != Qt::LeftButton) {
        QAbstractScrollArea::mouseReleaseEvent(e);
        return;
    }
    selecting = false;
    const QPoint pos = e->position().toPoint();
    const int para = pressPara, item = pressItem;
    pressPara = pressItem = -1;
    if (item < 0 || (pos - pressPoint).manhattanLength() >= QApplication::startDragDistance())
        return;
    int i = 0;
    const Frag *f = fragAt(pos, &i);
    if (!f || i != para || f->item != item)
        return;
    // A click on a link opens that link; it selects nothing.
    anchor = cursor = Pos{};
    viewport()->update();
    const Para &p = paras[size_t(i)];
    emit jump(p.targets[size_t(p.items[size_t(item)].image)]);
}

void ChatViewer::mouseDoubleClickEvent(QMouseEvent *e)
{
    if (e->button() != Qt::LeftButton || laidOut == 0)
        return;
    // Selects the word under the pointer.
    const Pos at = hit(e->position().toPoint());
    const QString &t = paras[size_t(at.para)].text;
    auto word = [&](int k) {
        return k >= 0 && k < t.size() && t[k] != QLatin1Char(' ') && t[k] != objectChar;
    };
    int s = at.offset, end = at.offset;
    if (!word(s) && word(s - 1))
        --s, --end;
    while (word(s - 1))
        --s;
    while (word(end))
        ++end;
    anchor = {at.para, s};
    cursor = {at.para, end};
    selecting = false;
    viewport()->update();
}

void ChatViewer::keyPressEvent(QKeyEvent *e)
{
    const bool ctrl = e->modifiers() & Qt::ControlModifier;
    if (e->matches(QKeySequence::Copy) || (ctrl && (e->key() == Qt::Key_C || e->key() == Qt::Key_Insert))) {
        copy();
        e->accept();
        return;
    }
    if (e->matches(QKeySequence::SelectAll)) {
        selectAll();
        e->accept();
        return;
    }
    if (e->key() == Qt::Key_Home && ctrl) {
        verticalScrollBar()->triggerAction(QAbstractSlider::SliderToMinimum);
        return;
    }
    if (e->key() == Qt::Key_End && ctrl) {
        verticalScrollBar()->triggerAction(QAbstractSlider::SliderToMaximum);
        return;
    }
    QAbstractScrollArea::keyPressEvent(e);
}
