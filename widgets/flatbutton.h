#pragma once

#include <QAbstractButton>
#include <QPixmap>

// A flat button that shows a picture (or, without one, its text). It lightens under the pointer,
// sinks by one pixel while pressed, and a checkable one stays sunk and darker while down.
class FlatButton : public QAbstractButton
{
    Q_OBJECT
public:
    explicit FlatButton(QWidget *parent = nullptr);
    FlatButton(const QPixmap &picture, QWidget *parent = nullptr);

    void setPicture(const QPixmap &picture);
    QPixmap picture() const { return pix; }
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent *e) override;
    void enterEvent(QEnterEvent *e) override;
    void leaveEvent(QEvent *e) override;

private:
    QPixmap pix;
    bool hovered = false;
};
