#pragma once

#include <QPixmap>
#include <QPointer>
#include <QWidget>

// Fills itself with a repeated picture and keeps one fixed-size child centred on it. It never
// becomes smaller than that child.
class TiledBackground : public QWidget
{
    Q_OBJECT
public:
    explicit TiledBackground(QWidget *parent = nullptr);

    void setTile(const QPixmap &tile);
    QPixmap tile() const { return tilePix; }
    // The child that stays centred; its size is fixed by its owner.
    void setCentred(QWidget *child);

protected:
    bool eventFilter(QObject *watched, QEvent *e) override;
    void paintEvent(QPaintEvent *e) override;
    void resizeEvent(QResizeEvent *e) override;

private:
    void place();
    QPixmap tilePix;
    QPointer<QWidget> centred;
};
