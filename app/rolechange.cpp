#include "app/rolechange.h"

#include "app/hostingrole.h"
#include "app/hostjoin.h"
#include "app/program.h"
#include "app/serverhost.h"
#include "app/singleinstance.h"
#include "client/tchat.h"
#include "host/tserver.h"

#include <QProcess>

qint64 handOver(Program &program, SingleInstance &single, const QString &programFile)
{
    if (!program.hostjoin || program.hostjoin->nextRole.isEmpty())
        return 0;
    const QStringList next = program.hostjoin->nextRole;
    program.hosting.reset();
    program.hostjoin.reset();
    program.chat.reset();
    program.localhost.reset();
    program.server.reset();
    program.marker.reset();
    single.release();
    qint64 pid = 0;
    return QProcess::startDetached(programFile, next, QString(), &pid) ? pid : 0;
}
