#pragma once

#include <QAbstractScrollArea>
#include <QColor>
#include <QFont>
#include <QFontMetricsF>
#include <QList>
#include <QPixmap>
#include <array>
#include <vector>

// One numbered text style of the viewer's style sheet.
struct ChatTextStyle
{
    QString family = QStringLiteral("Arial");
    int size = 10;
    QColor color = Qt::black;
    bool bold = false;
    bool italic = false;
    bool underline = false;

    QFont font() const;
};

// A read-only rich text viewer made of paragraphs of items: text in one of fifteen numbered styles,
// inline images from an image list, and links that carry their own target. Text and links take
// their style's colour when they are added and keep it: a later colour change of the style is seen
// in later items only, so a line never changes colour once shown.
//
// Layout is incremental: each paragraph keeps its own wrapped rows, and the scroll model is the
// running sum of paragraph heights. Adding a paragraph lays out that paragraph only; the whole
// content is laid out again only when the width or a style's font changes.
class ChatViewer : public QAbstractScrollArea
{
    Q_OBJECT
public:
    static constexpr int styleCount = 15;
    static constexpr int margin = 5;

    enum class Kind : quint8 { Text, Image, Link };

    // What a paragraph holds, for callers that inspect the content.
    struct ItemInfo
    {
        Kind kind;
        int style;
        QString text; // the text shown (empty for an image)
        int image;    // image list index, -1 for text
        QString target;
    };

    explicit ChatViewer(QWidget *parent = nullptr);
    ~ChatViewer() override;

    // --- the style sheet ---
    const ChatTextStyle &style(int n) const;
    // Taken by the items added from now on; the layout does not change.
    void setStyleColor(int n, const QColor &color);
    // Font changes are seen at the next layout (format() or a resize).
    void setStyleFont(int n, bool bold, bool italic, bool underline);
    void setStyleBold(int n, bool bold);
    void setTextSize(int size); // every style
    // Shows every style's text this many times larger (the window's zoom); the sizes set stay.
    void setZoom(double factor);
    void setStyle(int n, const ChatTextStyle &s);

    void setImages(const QList<QPixmap> &images);
    const QList<QPixmap> &images() const { return imageList; }

    // --- content; each call adds to the last paragraph unless it starts a new one ---
    void addText(const QString &text, int style, bool newParagraph = false);
    void addImage(int image, bool newParagraph = false);
    void addLink(const QString &text, const QString &target, int style, bool newParagraph = false);
    // Lays out what changed since the last layout and schedules a repaint.
    void format();
    void clear();
    // Forgets the oldest paragraphs; what is on screen stays where it is.
    void dropOldest(int count);
    void scrollToEnd();

    int paragraphCount() const { return int(paras.size()); }
    QList<ItemInfo> items(int paragraph) const;
    // The paragraph's text as copied: text and links, images left out.
    QString paragraphText(int paragraph) const;
    int linkCount() const { return links; }
    int paragraphLength(int paragraph) const { return int(paras[size_t(paragraph)].text.size()); }
    // Characters held in all paragraphs (an image counts as one).
    qint64 characterCount() const { return chars; }

    // --- selection and clipboard ---
    void selectAll();
    void deselect();
    bool hasSelection() const;
    QString selectedText() const;
    // Puts the selected text on the clipboard as plain text; nothing when nothing is selected.
    void copy();

    // --- geometry, in viewport coordinates ---
    // The rectangle of an item's first fragment; empty when not laid out.
    QRect itemRect(int paragraph, int item) const;
    // The target of the link under the point, or a null string.
    QString linkAt(const QPoint &pos) const;
    int documentHeight() const; // margins included
    // The paragraph at a height of the document (the scroll bar's value is the top of the view).
    int paragraphAt(int docY) const { return firstVisible(docY); }
    int laidOutCount() const { return laidOut; }
    // Paragraph layouts done since the viewer was made: shows that adding a line lays out that
    // line only.
    qint64 layoutWork() const { return layouts; }

signals:
    // A link was clicked; the target is the one the clicked item carries.
    void jump(const QString &target);

protected:
    void paintEvent(QPaintEvent *e) override;
    void resizeEvent(QResizeEvent *e) override;
    void mousePressEvent(QMouseEvent *e) override;
    void mouseMoveEvent(QMouseEvent *e) override;
    void mouseReleaseEvent(QMouseEvent *e) override;
    void mouseDoubleClickEvent(QMouseEvent *e) override;
    void keyPressEvent(QKeyEvent *e) override;
    void scrollContentsBy(int dx, int dy) override;

private:
    struct Item
    {
        qint32 start; // in Para::text
        qint32 len;
        Kind kind;
        quint8 style;
        qint16 image; // image index, or the index into Para::targets for a link
        float width;  // advance of the whole item in its laid-out font; < 0 when not measured
        QRgb color;   // the style's colour when the item was added
    };
    struct Frag
    {
        float x;
        float width;
        qint32 start; // in Para::text
        qint32 len;
        quint16 item;
        quint16 row;
    };
    struct Row
    {
        qint32 y;
        qint16 height;
        qint16 ascent;
    };
    struct Para
    {
        QString text; // all items' text; an image stands as one U+FFFC
        std::vector<Item> items;
        std::vector<QString> targets; // link targets, one per link item
        std::vector<Frag> frags;
        std::vector<Row> rows;
        qint32 height = 0;
        quint16 styles = 0;  // bit n: style n is used
        quint32 fontGen = 0; // the fonts its item widths were measured in
    };
    struct Pos
    {
        int para = 0;
        int offset = 0;
        friend bool operator==(const Pos &, const Pos &) = default;
        friend auto operator<=>(const Pos &, const Pos &) = default;
    };

    Para &target(bool newParagraph);
    void touched(int index);
    void layoutPara(Para &p);
    void measure(Para &p);
    int availableWidth() const;
    void updateScrollBar();
    int docTop(int para) const { return tops[size_t(para)]; }
    int firstVisible(int docY) const;
    float advance(int style, QStringView s) const;
    Pos hit(const QPoint &viewportPos) const;
    const Frag *fragAt(const QPoint &viewportPos, int *para) const;
    int viewportY(int docY) const;
    void autoScroll(const QPoint &pos);

    std::array<ChatTextStyle, styleCount> sheet;
    // Fonts and metrics of the last layout; painting uses these so that a size change shows at
    // the next layout, never half-applied.
    std::array<QFont, styleCount> laidFonts;
    std::vector<QFontMetricsF> laidMetrics;
    std::array<float, styleCount> spaceWidth{};
    quint32 fontGen = 0;    // counts the changes of laidFonts
    bool fontsDirty = true; // a size change: lay out everything
    double zoom = 1.0;
    quint16 changedStyles = 0; // styles whose font changed since the last layout
    int laidWidth = -1;

    QList<QPixmap> imageList;
    std::vector<Para> paras;
    qint64 chars = 0;
    std::vector<qint32> tops; // document y of each laid-out paragraph
    int laidOut = 0;          // paragraphs [0, laidOut) are laid out
    int links = 0;
    qint64 layouts = 0;

    Pos anchor, cursor;
    bool selecting = false;
    QPoint pressPoint;
    int pressPara = -1;
    int pressItem = -1;
};
