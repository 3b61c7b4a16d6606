#include "webserve/webseat.h"

#include "platform/errors.h"
#include "protocol/cp1252.h"
#include "protocol/framing.h"

#include <QWebSocket>

namespace {
// Game connections number theirs from 1; these never meet them.
quint64 nextSerial = quint64(1) << 48;
} // namespace

const quint64 WebSeat::maxFrame = 4 * framing::maxMessage;

WebSeat::WebSeat(QWebSocket *ws, QObject *parent) : Seat(parent), socket(ws), number(nextSerial++)
{
    socket->setParent(this);
    socket->setMaxAllowedIncomingFrameSize(maxFrame);
    socket->setMaxAllowedIncomingMessageSize(maxFrame);
    connect(socket, &QWebSocket::textMessageReceived, this,
            [this](const QString &text) { guard([&] { received(text); }); });
    connect(socket, &QWebSocket::binaryMessageReceived, this, [this] {
        guard([&] {
            socket->close(QWebSocketProtocol::CloseCodeDatatypeNotSupported);
            end();
        });
    });
    connect(socket, &QWebSocket::disconnected, this, [this] { guard([&] { end(); }); });
}

WebSeat::~WebSeat()
{
    socket->disconnect(this);
    goodbye();
    socket->abort();
}

void WebSeat::received(const QString &text)
{
    if (ended)
        return;
    // In the code page, as a game connection would have sent it; an end marker inside would cut
    // it in two there, so it is one of the characters that become "?".
    QByteArray bytes = cp1252::encode(text);
    if (bytes.size() > framing::maxMessage) {
        socket->close(QWebSocketProtocol::CloseCodeTooMuchData);
        end();
        return;
    }
    bytes.replace(framing::endMarker, '?');
    waiting.append(cp1252::decode(bytes));
    emit arrived();
}

void WebSeat::send(const QByteArray &framed)
{
    if (ended)
        return;
    qsizetype from = 0;
    while (from < framed.size()) {
        qsizetype at = framed.indexOf(framing::endMarker, from);
        if (at < 0)
            at = framed.size();
        socket->sendTextMessage(cp1252::decode(framed.constData() + from, at - from));
        from = at + 1;
    }
    if (socket->bytesToWrite() > maxOutput) {
        // The page stopped reading.
        socket->abort();
        end();
    }
}

QStringList WebSeat::take()
{
    QStringList out;
    out.swap(waiting);
    return out;
}

void WebSeat::close()
{
    if (ended)
        return;
    socket->close();
    end();
}

void WebSeat::goodbye()
{
    if (ended)
        return;
    ended = true;
    waiting.clear();
    socket->close(QWebSocketProtocol::CloseCodeGoingAway);
    socket->flush();
}

void WebSeat::end()
{
    if (ended)
        return;
    ended = true;
    waiting.clear();
    emit gone();
}
