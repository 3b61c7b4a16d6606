#pragma once

#include <QString>

// The game reports socket errors with the classic Windows Sockets codes and names.
namespace wsa {

// errno of a failed socket call -> its Windows Sockets code; codes for errno values that have
// no counterpart lie outside the classic table (20000 + errno), so they read "UNKNOWN ERROR".
int fromErrno(int err);
// "WSAECONNREFUSED" for 10061; "UNKNOWN ERROR" for any code outside the classic table.
QString name(int code);
// "Error #10061 (WSAECONNREFUSED)"
QString errorText(int code);

} // namespace wsa
