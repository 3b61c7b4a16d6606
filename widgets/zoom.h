#pragma once

#include <QFont>
#include <QIcon>
#include <QList>
#include <QPixmap>
#include <QPointer>
#include <QRect>
#include <QSet>
#include <QWidget>

// Scales a fixed layout as a whole. The layout as it stands when remembered is the one of factor 1:
// every widget below the root keeps its geometry, its own font, its icon size and its label
// picture, and takes them times the factor; a widget that its parent lays out (a layout's item, a
// scroll area's parts) takes only its font, icon and picture. Text is laid out again at the
// larger size, so it stays crisp; pictures are scaled smoothly.
class Zoom
{
public:
    // Takes the layout below root, root included, as it stands.
    void remember(QWidget *root);
    // A widget whose font is its own affair (the player's chat text size): only its place scales.
    void keepFont(QWidget *w) { ownFonts.insert(w); }
    void apply(double factor);
    double factor() const { return current; }
    bool remembered() const { return !bases.isEmpty(); }

    int scaled(int v) const { return qRound(v * current); }
    QPoint scaled(QPoint p) const { return QPoint(scaled(p.x()), scaled(p.y())); }
    QRect scaled(const QRect &r) const;
    QFont scaled(const QFont &f) const;
    QPixmap scaled(const QPixmap &p) const;

private:
    struct Base
    {
        QPointer<QWidget> widget;
        QRect geometry;
        bool fixed = false;
        bool placed = false; // its parent lays it out
        bool hasFont = false;
        QFont font;
        QSize iconSize;
        QIcon icon;
        QPixmap picture;
    };
    QList<Base> bases;
    QSet<QWidget *> ownFonts;
    double current = 1.0;
};
