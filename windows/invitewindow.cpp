#include "windows/invitewindow.h"

#include "address/invitation.h"
#include "router/localaddress.h"
#include "widgets/flatbutton.h"

#include <QApplication>
#include <QClipboard>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QNetworkInterface>
#include <QVBoxLayout>

namespace invite {

QList<Entry> entries(const QString &external, const QStringList &networkAddresses, quint16 port,
                     quint16 webPort)
{
    const QString portSuffix = QStringLiteral(":%1").arg(port);
    const auto hostPort = [&portSuffix](const QString &address) { return QString(address + portSuffix); };
    QList<Entry> list;
    QString best = QStringLiteral("127.0.0.1");
    if (!external.isEmpty())
        best = external;
    else if (!networkAddresses.isEmpty())
        best = networkAddresses.first();
    list.append({QStringLiteral("Link to send:"), invitation::build(best, port)});
    if (webPort != 0)
        list.append({QStringLiteral("In a web browser:"), invitation::webAddress(best, webPort)});
    if (!external.isEmpty())
        list.append({QStringLiteral("Outside this network:"), hostPort(external)});
    for (const QString &a : networkAddresses)
        list.append({QStringLiteral("On this network:"), hostPort(a)});
    list.append({QStringLiteral("On this computer:"), hostPort(QStringLiteral("127.0.0.1"))});
    return list;
}

QStringList networkAddresses()
{
    QStringList out;
    const QString chosen = router::localAddress();
    if (chosen != QLatin1String("127.0.0.1"))
        out << chosen;
    for (const QHostAddress &a : QNetworkInterface::allAddresses()) {
        if (a.protocol() != QAbstractSocket::IPv4Protocol || a.isLoopback() || a.isLinkLocal())
            continue;
        if (!out.contains(a.toString()))
            out << a.toString();
    }
    return out;
}

} // namespace invite

namespace {
QLabel *maroon(const QString &text, bool bold = false)
{
    auto *label = new QLabel(text);
    label->setStyleSheet(QStringLiteral("color: #800000; background: transparent;"));
    QFont f = label->font();
    f.setBold(bold);
    label->setFont(f);
    return label;
}
} // namespace

InviteWindow::InviteWindow(QWidget *parent) : QWidget(parent, Qt::Tool)
{
    setWindowTitle(QStringLiteral("Quillet - Invite Friends"));
    setObjectName(QStringLiteral("InviteWindow"));
    setStyleSheet(QStringLiteral("#InviteWindow { background: #E8DCC4; }"));
    setAttribute(Qt::WA_StyledBackground);

    auto *note = maroon(QStringLiteral("Send your friends the link: a click on it opens their game's join "
                                       "dialog. Friends without Quillet open the web address in a browser. "
                                       "Or give them one of the addresses to type."));
    note->setWordWrap(true);
    grid = new QGridLayout;
    grid->setHorizontalSpacing(10);

    auto *done = new FlatButton(this);
    done->setText(QStringLiteral("Done"));
    done->setFixedSize(80, 24);
    connect(done, &QAbstractButton::clicked, this, &QWidget::close);

    auto *bottom = new QHBoxLayout;
    bottom->addStretch();
    bottom->addWidget(done);
    bottom->addStretch();
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(note);
    layout->addLayout(grid);
    layout->addStretch();
    layout->addLayout(bottom);
    setMinimumWidth(440);
}

void InviteWindow::setEntries(const QList<invite::Entry> &list)
{
    qDeleteAll(rowWidgets);
    rowWidgets.clear();
    shown = list;
    for (int row = 0; row < list.size(); ++row) {
        const invite::Entry &e = list[row];
        QLabel *label = maroon(e.label, row == 0);
        QLabel *text = maroon(e.text, row == 0);
        text->setTextInteractionFlags(Qt::TextSelectableByMouse);
        auto *copy = new FlatButton(this);
        copy->setText(QStringLiteral("Copy"));
        copy->setFixedSize(60, 22);
        copy->setObjectName(QStringLiteral("copy%1").arg(row));
        // Plain text only: a chat program pastes the link as its friends will read it.
        connect(copy, &QAbstractButton::clicked, this,
                [t = e.text] { QApplication::clipboard()->setText(t, QClipboard::Clipboard); });
        grid->addWidget(label, row, 0);
        grid->addWidget(text, row, 1);
        grid->addWidget(copy, row, 2);
        rowWidgets << label << text << copy;
    }
    adjustSize();
}
