#pragma once

// A main window connected to a raw peer that stands in for the host.

#include "board/drawingboard.h"
#include "client/core/strokeflusher.h"
#include "client/tchat.h"
#include "platform/errors.h"
#include "tests/board/rawpeer.h"
#include "tests/support/tchatui.h"
#include "windows/tgamestartform.h"

#include <QApplication>
#include <QMouseEvent>
#include <QTest>
#include <memory>

struct ChatAtHost
{
    RawPeer host;
    std::unique_ptr<Tgamestartform> form;
    std::unique_ptr<Tchat> chat;
    QStringList boxes; // error boxes shown

    // Opens the window, connects it to the peer and, with a number, logs it in as that player.
    bool start(int number)
    {
        errorbox::setHook([this](const QString &text) { boxes << text; });
        form = std::make_unique<Tgamestartform>();
        chat = std::make_unique<Tchat>();
        chat->attach({.gamestartform = form.get()});
        // Batches only; the flush has its own cases.
        ui(chat).strokesenderObject->findChild<StrokeFlusher *>()->enabled = false;
        chat->setparams({QStringLiteral("Tester")}); // no role: the connection is made here
        chat->link()->sock.HostName = QStringLiteral("127.0.0.1");
        chat->link()->sock.PortName = QString::number(host.listen());
        chat->show();
        chat->link()->sock.Open();
        if (!host.waitAccepted())
            return false;
        if (number == 0)
            return true;
        host.send(QStringLiteral("CMD_sendlogininfo+") + QString::number(number));
        return host.next().startsWith(QStringLiteral("CMD_logininfo+") + QString::number(number) +
                                      QLatin1Char('+'));
    }
    ~ChatAtHost()
    {
        errorbox::setHook({});
        chat.reset();
        form.reset();
    }

    DrawingBoard *board() const { return ui(chat).image_main; }
    // A drawing turn of player `drawer`, as the host starts one.
    void turnOf(int drawer) { chat->game()->handle(QStringLiteral("CMD_nextplayer+%1+0+___").arg(drawer)); }
};

// Pointer input on the drawing area. Moves with a button held go through QTest, which keeps
// track of the buttons; a move with no button held is sent as the platform would send it.
inline void press(QWidget *w, QPoint p, Qt::MouseButton b = Qt::LeftButton)
{
    QTest::mousePress(w, b, {}, p);
}
inline void drag(QWidget *w, QPoint p)
{
    QTest::mouseMove(w, p);
}
inline void release(QWidget *w, QPoint p, Qt::MouseButton b = Qt::LeftButton)
{
    QTest::mouseRelease(w, b, {}, p);
}
inline void hover(QWidget *w, QPoint p)
{
    QMouseEvent e(QEvent::MouseMove, p, w->mapToGlobal(p), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(w, &e);
}

inline bool isWhite(const QImage &im, int x, int y)
{
    return im.pixel(x, y) == qRgb(255, 255, 255);
}
inline int inkCount(const QImage &im)
{
    int n = 0;
    for (int y = 0; y < im.height(); ++y)
        for (int x = 0; x < im.width(); ++x)
            n += im.pixel(x, y) != qRgb(255, 255, 255);
    return n;
}
