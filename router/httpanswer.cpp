#include "router/httpanswer.h"

#include <QList>

namespace router {

namespace {

HttpAnswer bad()
{
    return {HttpAnswer::Bad, 0, {}};
}

// Joins the chunks of a chunked body; Incomplete while the last chunk is missing.
HttpAnswer::Status unchunk(const QByteArray &data, QByteArray &out)
{
    qsizetype at = 0;
    for (;;) {
        const qsizetype eol = data.indexOf("\r\n", at);
        if (eol < 0)
            return HttpAnswer::Incomplete;
        QByteArray sizeText = data.mid(at, eol - at);
        if (const qsizetype semi = sizeText.indexOf(';'); semi >= 0)
            sizeText.truncate(semi);
        bool ok = false;
        const qlonglong size = sizeText.trimmed().toLongLong(&ok, 16);
        if (!ok || size < 0 || size > maxAnswer)
            return HttpAnswer::Bad;
        at = eol + 2;
        if (size == 0)
            return HttpAnswer::Complete; // trailers, if any, are of no interest
        if (data.size() < at + size + 2)
            return HttpAnswer::Incomplete;
        if (data.mid(at + size, 2) != "\r\n")
            return HttpAnswer::Bad;
        out += data.mid(at, size);
        at += size + 2;
    }
}

} // namespace

HttpAnswer readHttpAnswer(const QByteArray &bytes, bool closed)
{
    const qsizetype end = bytes.indexOf("\r\n\r\n");
    if (end < 0)
        return closed ? bad() : HttpAnswer{};
    const QList<QByteArray> lines = bytes.left(end).split('\n');
    const QList<QByteArray> status = lines.first().trimmed().split(' ');
    bool ok = false;
    HttpAnswer a;
    a.code = status.size() >= 2 ? status[1].toInt(&ok) : 0;
    if (!status.first().startsWith("HTTP/1.") || !ok || a.code < 100 || a.code > 999)
        return bad();
    qlonglong length = -1;
    bool chunked = false;
    for (qsizetype i = 1; i < lines.size(); ++i) {
        const QByteArray line = lines[i].trimmed();
        const qsizetype colon = line.indexOf(':');
        if (colon <= 0)
            return bad();
        const QByteArray name = line.left(colon).trimmed().toLower();
        const QByteArray value = line.mid(colon + 1).trimmed();
        if (name == "content-length") {
            length = value.toLongLong(&ok);
            if (!ok || length < 0)
                return bad();
        } else if (name == "transfer-encoding") {
            chunked = value.toLower().contains("chunked");
        }
    }
    const QByteArray data = bytes.mid(end + 4);
    if (chunked) {
        a.status = unchunk(data, a.body);
        if (a.status == HttpAnswer::Incomplete && closed)
            return bad();
        return a.status == HttpAnswer::Bad ? bad() : a;
    }
    if (length >= 0) {
        if (data.size() < length)
            return closed ? bad() : HttpAnswer{HttpAnswer::Incomplete, a.code, {}};
        a.body = data.left(length);
        a.status = HttpAnswer::Complete;
        return a;
    }
    if (!closed)
        return {HttpAnswer::Incomplete, a.code, {}};
    a.body = data;
    a.status = HttpAnswer::Complete;
    return a;
}

} // namespace router
