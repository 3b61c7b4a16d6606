#pragma once

#include <QWidget>

class FlatButton;
class QLabel;
class QStackedWidget;
class QTextBrowser;

// The help window: topic buttons in a column at the left, the chosen topic's page at the right.
// Hiding it keeps the chosen page and every page's scroll position for the next opening.
class Thelp : public QWidget
{
    Q_OBJECT
public:
    explicit Thelp(QWidget *parent = nullptr);

    // Brings "Overview" to the front and sets the year; the pages are filled when first shown.
    void FormCreate();
    // Any topic button: its page to the front, its caption as the title.
    void topicClicked(FlatButton *button);
    void aboutClicked();
    void doneClicked();

    // The page of a topic number ("memo" and the number); nullptr for a number without a page.
    QTextBrowser *memo(int tag) const;
    FlatButton *topicButton(const QString &caption) const;

    QLabel *label_caption = nullptr;
    QLabel *label_year = nullptr;
    QStackedWidget *pages = nullptr;

signals:
    void aboutRequested();

protected:
    void showEvent(QShowEvent *event) override;

private:
    QList<FlatButton *> buttons;
    bool filled = false;
};
