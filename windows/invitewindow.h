#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <QWidget>

class QGridLayout;
class QLabel;

namespace invite {
// One line of the Invite Friends window: what it is for, and the text that Copy puts on the
// clipboard.
struct Entry
{
    QString label;
    QString text;
    bool operator==(const Entry &) const = default;
};

// The link first (the external address when known, else the first network address), the web page's
// address at the same place when the game serves one (webPort), then every address players can
// use: outside this network, on it (each of this machine's addresses), and on this computer.
QList<Entry> entries(const QString &external, const QStringList &networkAddresses, quint16 port,
                     quint16 webPort = 0);

// This machine's IPv4 addresses that other machines can reach, the router's choice first.
QStringList networkAddresses();
} // namespace invite

// File / "Invite Friends...": the game's link and addresses, each with Copy.
class InviteWindow : public QWidget
{
    Q_OBJECT
public:
    explicit InviteWindow(QWidget *parent = nullptr);

    // Shows these lines instead of the ones before.
    void setEntries(const QList<invite::Entry> &list);
    QList<invite::Entry> shown;

private:
    QGridLayout *grid = nullptr;
    QList<QWidget *> rowWidgets;
};
