#include "platform/wsaerrors.h"

#include <cerrno>

namespace wsa {

namespace {
struct Entry
{
    int code;
    const char *name;
    int err; // errno counterpart, 0 when there is none
};
constexpr Entry table[] = {
    {10004, "WSAEINTR", EINTR},
    {10009, "WSAEBADF", EBADF},
    {10013, "WSAEACCES", EACCES},
    {10014, "WSAEFAULT", EFAULT},
    {10022, "WSAEINVAL", EINVAL},
    {10024, "WSAEMFILE", EMFILE},
    {10035, "WSAEWOULDBLOCK", EWOULDBLOCK},
    {10036, "WSAEINPROGRESS", EINPROGRESS},
    {10037, "WSAEALREADY", EALREADY},
    {10038, "WSAENOTSOCK", ENOTSOCK},
    {10039, "WSAEDESTADDRREQ", EDESTADDRREQ},
    {10040, "WSAEMSGSIZE", EMSGSIZE},
    {10041, "WSAEPROTOTYPE", EPROTOTYPE},
    {10042, "WSAENOPROTOOPT", ENOPROTOOPT},
    {10043, "WSAEPROTONOSUPPORT", EPROTONOSUPPORT},
    {10044, "WSAESOCKTNOSUPPORT", ESOCKTNOSUPPORT},
    {10045, "WSAEOPNOTSUPP", EOPNOTSUPP},
    {10046, "WSAEPFNOSUPPORT", EPFNOSUPPORT},
    {10047, "WSAEAFNOSUPPORT", EAFNOSUPPORT},
    {10048, "WSAEADDRINUSE", EADDRINUSE},
    {10049, "WSAEADDRNOTAVAIL", EADDRNOTAVAIL},
    {10050, "WSAENETDOWN", ENETDOWN},
    {10051, "WSAENETUNREACH", ENETUNREACH},
    {10052, "WSAENETRESET", ENETRESET},
    {10053, "WSAECONNABORTED", ECONNABORTED},
    {10054, "WSAECONNRESET", ECONNRESET},
    {10055, "WSAENOBUFS", ENOBUFS},
    {10056, "WSAEISCONN", EISCONN},
    {10057, "WSAENOTCONN", ENOTCONN},
    {10058, "WSAESHUTDOWN", ESHUTDOWN},
    {10059, "WSAETOOMANYREFS", ETOOMANYREFS},
    {10060, "WSAETIMEDOUT", ETIMEDOUT},
    {10061, "WSAECONNREFUSED", ECONNREFUSED},
    {10062, "WSAELOOP", ELOOP},
    {10063, "WSAENAMETOOLONG", ENAMETOOLONG},
    {10064, "WSAEHOSTDOWN", EHOSTDOWN},
    {10065, "WSAEHOSTUNREACH", EHOSTUNREACH},
    {10066, "WSAENOTEMPTY", ENOTEMPTY},
    {10067, "WSAEPROCLIM", 0},
    {10068, "WSAEUSERS", EUSERS},
    {10069, "WSAEDQUOT", EDQUOT},
    {10070, "WSAESTALE", ESTALE},
    {10071, "WSAEREMOTE", EREMOTE},
    {10091, "WSASYSNOTREADY", 0},
    {10092, "WSAVERNOTSUPPORTED", 0},
    {10093, "WSANOTINITIALISED", 0},
    {11001, "WSAHOST_NOT_FOUND", 0},
    {11002, "WSATRY_AGAIN", 0},
    {11003, "WSANO_RECOVERY", 0},
    {11004, "WSANO_DATA", 0},
};
} // namespace

int fromErrno(int err)
{
    if (err == EPIPE)
        return 10054; // writing to a connection the peer reset
    for (const Entry &e : table) {
        if (e.err != 0 && e.err == err)
            return e.code;
    }
    return 20000 + err;
}

QString name(int code)
{
    for (const Entry &e : table) {
        if (e.code == code)
            return QLatin1String(e.name);
    }
    return QStringLiteral("UNKNOWN ERROR");
}

QString errorText(int code)
{
    return QStringLiteral("Error #") + QString::number(code) + QStringLiteral(" (") + name(code) +
           QLatin1Char(')');
}

} // namespace wsa
