#include "webserve/request.h"

#include <QFileInfo>
#include <QtGlobal>

namespace web {

namespace {

bool tokenChar(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
           QByteArrayView("!#$%&'*+-.^_`|~").contains(c);
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
    case 400:
        return "Bad Request";
    case 403:
        return "Forbidden";
    case 404:
        return "Not Found";
    case 405:
        return "Method Not Allowed";
    case 408:
        return "Request Timeout";
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

Head parse(const QByteArray &bytes, Request &out, qsizetype &used)
{
    const qsizetype end = bytes.indexOf("\r\n\r\n");
    if (end < 0 || end + 4 > maxHead)
        return bytes.size() >= maxHead || end >= 0 ? Head::TooLarge : Head::Incomplete;
    used = end + 4;
    const QList<QByteArray> lines = bytes.left(end).split('\n');
    out = Request();
    for (qsizetype i = 0; i < lines.size(); ++i) {
        QByteArray line = lines[i];
        if (!line.endsWith('\r') && i + 1 < lines.size())
            return Head::Bad;
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
    return origin.compare(QByteArray("http://" + host), Qt::CaseInsensitive) == 0;
}

QByteArray response(int status, const QByteArray &type, const QByteArray &body, bool head, bool keepAlive)
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
    out += "\r\n";
    if (!head)
        out += body;
    return out;
}

} // namespace web
