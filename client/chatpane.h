#pragma once

#include <QWidget>

class QPlainTextEdit;

// The chat column of the main window: the viewer `mainchat`, the entry box and their buttons.
class ChatPane : public QWidget
{
    Q_OBJECT
public:
    explicit ChatPane(QWidget *parent = nullptr);

    // Adds one coded line ("code+text") in a colour (00BBGGRR).
    void addlinetochat(const QString &line, int colour);

private:
    QPlainTextEdit *view = nullptr;
};
