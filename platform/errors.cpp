#include "platform/errors.h"

#include <QFile>
#include <cstdio>

namespace errorbox {

namespace {
Hook &hook()
{
    static Hook h;
    return h;
}

Presenter &presenter()
{
    static Presenter p;
    return p;
}
} // namespace

QString title()
{
    return QStringLiteral("Quillet");
}

QString boxText(const QString &message)
{
    if (message.endsWith(QLatin1Char('.')))
        return message;
    return message + QLatin1Char('.');
}

void setHook(Hook h)
{
    hook() = std::move(h);
}

void show(const QString &message)
{
    const QString text = boxText(message);
    if (hook()) {
        hook()(text);
        return;
    }
    const QByteArray logPath = qgetenv("QUILLET_ERRORBOX_LOG");
    if (!logPath.isEmpty()) {
        // Unattended runs record the box instead of waiting for a click.
        QFile log(QString::fromLocal8Bit(logPath));
        if (log.open(QIODevice::Append))
            log.write(text.toUtf8() + '\n');
        std::fprintf(stderr, "error box: %s\n", text.toUtf8().constData());
        return;
    }
    if (presenter().show && presenter().show(text))
        return;
    std::fprintf(stderr, "%s: %s\n", title().toUtf8().constData(), text.toUtf8().constData());
}

void setPresenter(Presenter p)
{
    presenter() = std::move(p);
}

void closeAll()
{
    if (presenter().closeAll)
        presenter().closeAll();
}

} // namespace errorbox
