// The web port's request head as any client may send it: reading it never reads past what came,
// a complete head is never longer than the limit, and whatever path it names is one of the
// program's resources under the prefixes the port serves, never anything else. The same bytes as a
// Host header and as a client's WebSocket frame: read without reading past what came.
#include "webserve/request.h"
#include "webserve/wsframe.h"

#include <QFileInfo>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    web::Request r;
    qsizetype used = -1;
    const web::Head head = web::parse(bytes, r, used);
    if (head == web::Head::Complete && (used < 4 || used > bytes.size() || used > web::maxHead))
        __builtin_trap();
    // The path alone, as if it were a complete request's.
    const web::File f = web::resolve(head == web::Head::Complete ? r.path() : bytes);
    if (!f.resource.isEmpty()) {
        const bool known = f.resource.startsWith(QLatin1String(":/web/")) ||
                           f.resource.startsWith(QLatin1String(":/pictures/")) ||
                           f.resource.startsWith(QLatin1String(":/sounds/"));
        if (!known || f.resource.contains(QLatin1String("..")) || !QFileInfo(f.resource).isFile() ||
            f.type.isEmpty())
            __builtin_trap();
    }
    if (head == web::Head::Complete)
        web::sameOrigin(r.header("Origin"), r.header("Host"));
    QByteArray name;
    int port = 0;
    web::hostAllowed(bytes, 80, {"localhost"});
    if (web::splitHost(bytes, name, port) && (port < 1 || port > 65535 || name.isEmpty()))
        __builtin_trap();
    wsframe::Frame frame;
    qsizetype framed = -1;
    if (wsframe::read(bytes, 1024, frame, framed) == wsframe::Read::Complete &&
        (framed > bytes.size() || frame.payload.size() > 1024 || (frame.op >= wsframe::Close && frame.payload.size() > 125)))
        __builtin_trap();
    return 0;
}
