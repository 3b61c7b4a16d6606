#include "webserve/webseat.h"

#include "platform/errors.h"
#include "protocol/cp1252.h"
#include "protocol/framing.h"
#include "webserve/wsframe.h"

#include <QStringDecoder>
#include <QTcpSocket>
#include <QTimer>

namespace {
// Game connections number theirs from 1; these never meet them.
quint64 nextSerial = quint64(1) << 48;
// A frame's header is at most this long.
constexpr qsizetype maxHeader = 14;
} // namespace

const quint64 WebSeat::maxFrame = 4 * framing::maxMessage;

WebSeat::WebSeat(QTcpSocket *s, const QByteArray &early, QObject *parent)
    : Seat(parent), socket(s), number(nextSerial++), in(early)
{
    socket->setParent(this);
    // What waits in the socket is at most a frame and its header more than what was taken.
    socket->setReadBufferSize(qint64(maxFrame) + maxHeader);
    connect(socket, &QTcpSocket::readyRead, this, [this] { guard([&] { readFrames(); }); });
    connect(socket, &QTcpSocket::disconnected, this, [this] { guard([&] { end(); }); });
    // Bytes sent with the handshake wait for the seat's owner to be connected.
    QTimer::singleShot(0, this, [this] { guard([&] { readFrames(); }); });
}

WebSeat::~WebSeat()
{
    socket->disconnect(this);
    goodbye();
    socket->abort();
}

qint64 WebSeat::held() const
{
    return socket->bytesToWrite() + socket->bytesAvailable() + (in.size() - from) + message.size();
}

void WebSeat::readFrames()
{
    bool first = true;
    while (!ended && (std::exchange(first, false) || socket->bytesAvailable() > 0)) {
        in += socket->read(qint64(maxFrame) + maxHeader);
        while (!ended) {
            wsframe::Frame f;
            qsizetype used = 0;
            switch (wsframe::read(QByteArrayView(in).sliced(from), maxFrame, f, used)) {
            case wsframe::Read::Incomplete:
                break;
            case wsframe::Read::Complete:
                from += used;
                if (!frame(f.op, f.fin, f.payload))
                    return;
                checkHeld();
                continue;
            case wsframe::Read::TooLarge:
                return fail(wsframe::TooBig);
            case wsframe::Read::Unmasked:
            case wsframe::Read::Bad:
                return fail(wsframe::ProtocolError);
            }
            break;
        }
        in.remove(0, from);
        from = 0;
    }
}

bool WebSeat::frame(quint8 op, bool fin, const QByteArray &payload)
{
    switch (op) {
    case wsframe::Ping:
        socket->write(wsframe::frame(wsframe::Pong, payload));
        return true;
    case wsframe::Pong:
        return true;
    case wsframe::Close:
        // The page ends it: the close is answered, and the connection goes once that is out.
        socket->write(wsframe::closeFrame(wsframe::Normal));
        socket->flush();
        socket->disconnectFromHost();
        end();
        return false;
    case wsframe::Binary:
        fail(wsframe::Unsupported);
        return false;
    case wsframe::Text:
    case wsframe::Continuation:
        if ((op == wsframe::Text) == inMessage) {
            // A new message before the last one ended, or a piece of none.
            fail(wsframe::ProtocolError);
            return false;
        }
        if (quint64(message.size() + payload.size()) > maxFrame) {
            fail(wsframe::TooBig);
            return false;
        }
        message += payload;
        inMessage = !fin;
        if (fin) {
            const QByteArray utf8 = std::exchange(message, {});
            received(utf8);
        }
        return !ended;
    }
    return true;
}

void WebSeat::received(const QByteArray &utf8)
{
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = decoder(utf8);
    if (decoder.hasError())
        return fail(wsframe::BadText);
    // In the code page, as a game connection would have sent it; an end marker inside would cut
    // it in two there, so it is one of the characters that become "?".
    QByteArray bytes = cp1252::encode(text);
    if (bytes.size() > framing::maxMessage)
        return fail(wsframe::TooBig);
    bytes.replace(framing::endMarker, '?');
    waiting.append(cp1252::decode(bytes));
    emit arrived();
}

void WebSeat::send(const QByteArray &framed)
{
    if (ended)
        return;
    qsizetype at = 0;
    while (at < framed.size()) {
        qsizetype next = framed.indexOf(framing::endMarker, at);
        if (next < 0)
            next = framed.size();
        socket->write(wsframe::frame(wsframe::Text, cp1252::decode(framed.constData() + at, next - at).toUtf8()));
        at = next + 1;
    }
    checkHeld();
}

void WebSeat::checkHeld()
{
    // The page stopped reading, or sends faster than it takes the answers.
    if (!ended && held() > maxHeld) {
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

void WebSeat::fail(quint16 code)
{
    if (ended)
        return;
    socket->write(wsframe::closeFrame(wsframe::Code(code)));
    // Out now what may go: a seat that ends is deleted soon after.
    socket->flush();
    socket->disconnectFromHost();
    end();
}

void WebSeat::close()
{
    fail(wsframe::Normal);
}

void WebSeat::goodbye()
{
    if (ended)
        return;
    ended = true;
    waiting.clear();
    socket->write(wsframe::closeFrame(wsframe::GoingAway));
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
