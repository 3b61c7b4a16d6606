#pragma once

// Cuts one whole HTTP request off the front of what a stand-in server has read: its head (request
// line and header fields) and its body as Content-Length says. False while the request is not
// complete; the buffer is then left as it is.
#include <QByteArray>
#include <QRegularExpression>
#include <QString>

namespace testsupport {

inline bool takeRequest(QByteArray &buf, QByteArray &head, QByteArray &body)
{
    const qsizetype end = buf.indexOf("\r\n\r\n");
    if (end < 0)
        return false;
    static const QRegularExpression lengthField(QStringLiteral("(?i)\r\ncontent-length:\\s*(\\d+)"));
    const auto m = lengthField.match(QString::fromLatin1(buf.left(end)));
    const qsizetype length = m.hasMatch() ? m.captured(1).toLongLong() : 0;
    if (buf.size() < end + 4 + length)
        return false;
    head = buf.left(end);
    body = buf.mid(end + 4, length);
    buf.remove(0, end + 4 + length);
    return true;
}

} // namespace testsupport
