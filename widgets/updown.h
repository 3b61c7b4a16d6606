#pragma once

#include <QWidget>

class QLineEdit;
class QToolButton;

// Up and down arrows bound to a text field (its "associate"). Each step reads the field's number,
// moves it by the increment within the range and writes it back as plain decimal. The arrow keys
// step it too while the field has focus.
class UpDown : public QWidget
{
    Q_OBJECT
public:
    explicit UpDown(QWidget *parent = nullptr);

    void setAssociate(QLineEdit *edit);
    QLineEdit *associate() const { return buddy; }
    void setRange(int minimum, int maximum);
    int minimum() const { return Min; }
    int maximum() const { return Max; }
    void setIncrement(int step) { Increment = step; }
    int increment() const { return Increment; }
    void setWrap(bool on) { Wrap = on; }
    bool wrap() const { return Wrap; }
    // Sets the position (kept in range) and writes it into the field.
    void setPosition(int value);
    // The field's number when it reads and lies in range, otherwise the last position.
    int position() const;

    // One step up or down, as a click on an arrow does.
    void stepUp() { step(+1); }
    void stepDown() { step(-1); }

    QSize sizeHint() const override { return QSize(16, 21); }

    QToolButton *upButton() const { return up; }
    QToolButton *downButton() const { return down; }

signals:
    void changed(int position);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void step(int direction);
    QLineEdit *buddy = nullptr;
    QToolButton *up = nullptr;
    QToolButton *down = nullptr;
    int Min = 0;
    int Max = 100;
    int Increment = 1;
    bool Wrap = false;
    int Position = 0;
};
