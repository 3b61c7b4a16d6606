#pragma once

#include <QWidget>

class QLabel;
class TURL;

// The about window: title, credits, year, the maker's web address and the version.
class Tabout : public QWidget
{
    Q_OBJECT
public:
    explicit Tabout(QWidget *parent = nullptr);

    // Sets the year.
    void FormCreate();
    // The web-address label: opens the maker's site; a failure is not reported.
    void webAddressClicked();
    void doneClicked();

    QLabel *label_year = nullptr;
    QLabel *webAddress = nullptr;
    // The protocol version: the text the login carries. Never changed at run time.
    QLabel *version = nullptr;
    TURL *makerLink = nullptr;

protected:
    bool eventFilter(QObject *watched, QEvent *e) override;
    void showEvent(QShowEvent *e) override;
};
