#pragma once

#include "address/invitation.h"
#include "lan/lan.h"

#include <QDialog>

class QLabel;
class QLineEdit;
class QListWidget;
class QListWidgetItem;
class QPushButton;

// Asks the name and the host's address to join, with the games heard on this network to pick from.
class JoinGameDialog : public QDialog
{
    Q_OBJECT
public:
    explicit JoinGameDialog(QWidget *parent = nullptr);

    QString name() const;
    // As typed or picked: "host" or "host:port"; a pasted link gives its "host:port" (empty when
    // the link does not read).
    QString address() const;
    void setName(const QString &name);
    void setAddress(const QString &address);

    QLineEdit *nameEdit = nullptr;
    QLineEdit *addressEdit = nullptr;
    QListWidget *gamesList = nullptr;
    QLabel *listening = nullptr;
    QLabel *problem = nullptr;
    QPushButton *joinButton = nullptr;
    GameListener listener;

    // The line that shows one heard game.
    static QString describe(const announce::HeardGame &g);
    // The address that joins a heard game: the port only when it is not the usual one.
    static QString addressOf(const announce::HeardGame &g);
    // A link in the address field, read as the dialog joins it.
    static invitation::Link readLink(const QString &text);

protected:
    void showEvent(QShowEvent *e) override;
    void hideEvent(QHideEvent *e) override;

private:
    void refresh();
    void picked(QListWidgetItem *item);
    void check();
};
