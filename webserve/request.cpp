#include "webserve/request.h"

#include <QCryptographicHash>
#include <QFileInfo>
#include <QHostAddress>
#include <QtGlobal>
#include <cstring>

namespace web {

namespace {

bool tokenChar(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
           QByteArrayView("!#$%&'*+-.^_`|~").contains(c);
}

bool isdigitChar(char c)
{
    return c >= '0' && c <= '9';
}

bool token(QByteArrayView s)
{
    return !s.isEmpty() && std::all_of(s.begin(), s.end(), tokenChar);
}

// Letters, digits, ".", "_" and "-": the only characters of a name the web port looks up.
bool plainName(QByteArrayView s)
{
    if (s.isEmpty() || s.front() == '.')
        return false;
    return std::all_of(s.begin(), s.end(), [](char c) {
        return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '.' ||
               c == '_' || c == '-';
    });
}

QByteArray statusText(int status)
{
    switch (status) {
    case 200:
        return "OK";
    case 302:
        return "Found";
    case 400:
        return "Bad Request";
    case 403:
        return "Forbidden";
    case 404:
        return "Not Found";
    case 405:
        return "Method Not Allowed";
    case 421:
        return "Misdirected Request";
    case 426:
        return "Upgrade Required";
    case 408:
        return "Request Timeout";
    case 429:
        return "Too Many Requests";
    case 431:
        return "Request Header Fields Too Large";
    case 503:
        return "Service Unavailable";
    default:
        return "Error";
    }
}

} // namespace

quint16 portNumber(const QString &value)
{
    bool ok = false;
    const int n = value.trimmed().toInt(&ok);
    return ok && n >= 1 && n <= 65535 ? quint16(n) : 0;
}

quint16 portFromEnvironment()
{
    const QString value = qEnvironmentVariable("QUILLET_WEB_PORT");
    return value.isEmpty() ? defaultPort : portNumber(value);
}

QByteArray Request::header(const QByteArray &name) const
{
    for (const auto &[key, value] : headers)
        if (key.compare(name, Qt::CaseInsensitive) == 0)
            return value;
    return {};
}

QByteArray Request::path() const
{
    qsizetype end = target.size();
    for (char c : {'?', '#'})
        if (const qsizetype at = target.indexOf(c); at >= 0 && at < end)
            end = at;
    return target.left(end);
}

bool Request::keepAlive() const
{
    const QByteArray connection = header("Connection").toLower();
    if (version == "HTTP/1.0")
        return connection.contains("keep-alive");
    return !connection.contains("close");
}

bool Request::upgrade() const
{
    return header("Upgrade").compare("websocket", Qt::CaseInsensitive) == 0 &&
           header("Connection").toLower().contains("upgrade");
}

Head scan(QByteArrayView bytes, qsizetype &scanned)
{
    const qsizetype limit = qMin(bytes.size(), maxHead);
    for (qsizetype i = qMax<qsizetype>(scanned, 0); i < limit; ++i) {
        const void *found = std::memchr(bytes.data() + i, '\n', size_t(limit - i));
        if (!found)
            break;
        i = static_cast<const char *>(found) - bytes.data();
        if (i == 0 || bytes[i - 1] != '\r') {
            scanned = i;
            return Head::Bad;
        }
        if (i >= 3 && bytes[i - 2] == '\n' && bytes[i - 3] == '\r') {
            scanned = i + 1;
            return Head::Complete;
        }
    }
    scanned = limit;
    return bytes.size() >= maxHead ? Head::TooLarge : Head::Incomplete;
}

Head parse(const QByteArray &bytes, Request &out, qsizetype &used)
{
    qsizetype end = 0;
    if (const Head h = scan(bytes, end); h != Head::Complete)
        return h;
    used = end;
    // Every line ends in CR LF, as scan saw.
    const QList<QByteArray> lines = bytes.left(end - 4).split('\n');
    out = Request();
    for (qsizetype i = 0; i < lines.size(); ++i) {
        QByteArray line = lines[i];
        if (line.endsWith('\r'))
            line.chop(1);
        if (line.contains('\r') || line.contains('\0'))
            return Head::Bad;
        if (i == 0) {
            const QList<QByteArray> parts = line.split(' ');
            if (parts.size() != 3 || !token(parts[0]) || parts[1].isEmpty() ||
                !(parts[2] == "HTTP/1.1" || parts[2] == "HTTP/1.0"))
                return Head::Bad;
            out.method = parts[0];
            out.target = parts[1];
            out.version = parts[2];
            continue;
        }
        const qsizetype colon = line.indexOf(':');
        // A folded or nameless line, or a name with spaces, is refused.
        if (colon <= 0 || !token(QByteArrayView(line).first(colon)))
            return Head::Bad;
        out.headers.append({line.left(colon), line.mid(colon + 1).trimmed()});
    }
    if (lines.isEmpty() || out.method.isEmpty())
        return Head::Bad;
    auto count = [&out](const char *name) {
        return std::count_if(out.headers.cbegin(), out.headers.cend(),
                             [name](const auto &h) { return h.first.compare(name, Qt::CaseInsensitive) == 0; });
    };
    // Two lengths or two hosts could be read one way here and another way by whatever stands between.
    if (count("Content-Length") > 1 || count("Host") > 1 || (out.version == "HTTP/1.1" && count("Host") == 0))
        return Head::Bad;
    // Requests here have no body: one announced could not be told from the next request.
    const QByteArray length = out.header("Content-Length");
    if (!out.header("Transfer-Encoding").isEmpty() || (!length.isEmpty() && length != "0"))
        return Head::Bad;
    return Head::Complete;
}

QByteArray contentType(const QByteArray &name)
{
    static const QList<QPair<QByteArray, QByteArray>> types = {
        {".html", "text/html; charset=utf-8"},
        {".js", "text/javascript"},
        {".css", "text/css"},
        {".png", "image/png"},
        {".wav", "audio/wav"},
        {".svg", "image/svg+xml"},
        {".json", "application/json"},
        {".ico", "image/x-icon"},
    };
    for (const auto &[extension, type] : types)
        if (name.endsWith(extension))
            return type;
    return {};
}

File resolve(const QByteArray &path)
{
    if (!path.startsWith('/') || path.size() > 256)
        return {};
    const QByteArray name = path == "/" ? QByteArray("index.html") : path.mid(1);
    const QList<QByteArray> segments = name.split('/');
    if (!std::all_of(segments.begin(), segments.end(), [](const QByteArray &s) { return plainName(s); }))
        return {};
    QString resource;
    if (segments.size() == 2 && segments[0] == "pictures" && segments[1].endsWith(".png"))
        resource = QStringLiteral(":/pictures/") + QString::fromLatin1(segments[1]);
    else if (segments.size() == 2 && segments[0] == "sounds" && segments[1].endsWith(".wav"))
        resource = QStringLiteral(":/sounds/") + QString::fromLatin1(segments[1]);
    else
        resource = QStringLiteral(":/web/") + QString::fromLatin1(name);
    const QByteArray type = contentType(name);
    if (type.isEmpty() || !QFileInfo(resource).isFile())
        return {};
    return {resource, type};
}

bool sameOrigin(const QByteArray &origin, const QByteArray &host)
{
    if (host.isEmpty() || !std::all_of(host.begin(), host.end(), [](char c) {
            return c > ' ' && c < 127 && c != '/' && c != '@' && c != '\\';
        }))
        return false;
    auto withoutPort80 = [](QByteArray s) {
        if (s.endsWith(":80"))
            s.chop(3);
        return s;
    };
    return withoutPort80(origin).compare(withoutPort80("http://" + host), Qt::CaseInsensitive) == 0;
}

bool splitHost(QByteArrayView host, QByteArray &name, int &port)
{
    QByteArrayView portText;
    if (host.startsWith('[')) {
        const qsizetype close = host.indexOf(']');
        if (close < 0 || (close + 1 < host.size() && host[close + 1] != ':'))
            return false;
        name = host.sliced(1, close - 1).toByteArray();
        if (close + 1 < host.size())
            portText = host.sliced(close + 2);
        if (QHostAddress(QString::fromLatin1(name)).protocol() != QAbstractSocket::IPv6Protocol)
            return false;
    } else {
        const qsizetype colon = host.indexOf(':');
        name = (colon < 0 ? host : host.first(colon)).toByteArray();
        if (colon >= 0)
            portText = host.sliced(colon + 1);
    }
    if (name.endsWith('.'))
        name.chop(1);
    const bool named = !name.isEmpty() && std::all_of(name.begin(), name.end(), [](char c) {
        return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '.' ||
               c == '-' || c == '_' || c == ':';
    });
    if (!named)
        return false;
    port = 80;
    if (portText.data()) {
        bool ok = false;
        port = portText.toInt(&ok);
        if (!ok || portText.isEmpty() || !std::all_of(portText.begin(), portText.end(), isdigitChar) ||
            port < 1 || port > 65535)
            return false;
    }
    if (const QHostAddress a(QString::fromLatin1(name)); !a.isNull())
        name = a.toString().toLatin1();
    name = name.toLower();
    return true;
}

bool hostAllowed(QByteArrayView host, quint16 port, const QList<QByteArray> &names)
{
    QByteArray name;
    int given = 0;
    return splitHost(host, name, given) && given == port && names.contains(name);
}

QByteArray acceptKey(const QByteArray &key)
{
    return QCryptographicHash::hash(QByteArray(key + "258EAFA5-E914-47DA-95CA-C5AB0DC85B11"), QCryptographicHash::Sha1)
        .toBase64();
}

QByteArray handshakeProblem(const Request &r)
{
    if (r.header("Sec-WebSocket-Version") != "13")
        return response(426, {}, "WebSocket version 13 only\n", false, false, "Sec-WebSocket-Version: 13\r\n");
    const QByteArray key = r.header("Sec-WebSocket-Key");
    const auto decoded = QByteArray::fromBase64Encoding(key, QByteArray::AbortOnBase64DecodingErrors);
    if (!decoded || decoded.decoded.size() != 16)
        return response(400, {}, "A WebSocket key is 16 bytes in base64\n", false, false);
    return {};
}

QByteArray switching(const Request &r)
{
    return "HTTP/1.1 101 Switching Protocols\r\nUpgrade: websocket\r\nConnection: Upgrade\r\n"
           "Sec-WebSocket-Accept: " +
           acceptKey(r.header("Sec-WebSocket-Key")) + "\r\n\r\n";
}

QByteArray response(int status, const QByteArray &type, const QByteArray &body, bool head, bool keepAlive,
                    const QByteArray &extra)
{
    QByteArray out = "HTTP/1.1 " + QByteArray::number(status) + ' ' + statusText(status) + "\r\n";
    out += "Content-Type: " + (type.isEmpty() ? QByteArray("text/plain; charset=utf-8") : type) + "\r\n";
    out += "Content-Length: " + QByteArray::number(body.size()) + "\r\n";
    out += "Content-Security-Policy: default-src 'self'; script-src 'self'; style-src 'self'; "
           "img-src 'self' data: blob:; media-src 'self'; connect-src 'self'; object-src 'none'; "
           "base-uri 'none'; frame-ancestors 'none'\r\n"
           "X-Content-Type-Options: nosniff\r\n"
           "Cache-Control: no-cache\r\n";
    out += keepAlive ? "Connection: keep-alive\r\n" : "Connection: close\r\n";
    out += extra;
    out += "\r\n";
    if (!head)
        out += body;
    return out;
}

} // namespace web
