#include "protocol/errors.h"

#include <QApplication>
#include <QFile>
#include <QMessageBox>
#include <QPointer>
#include <cstdio>

namespace errorbox {

namespace {
Hook &hook()
{
    static Hook h;
    return h;
}

QList<QPointer<QMessageBox>> &openBoxes()
{
    static QList<QPointer<QMessageBox>> boxes;
    boxes.removeAll(nullptr);
    return boxes;
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
    if (!qobject_cast<QApplication *>(QCoreApplication::instance())) {
        std::fprintf(stderr, "%s: %s\n", title().toUtf8().constData(), text.toUtf8().constData());
        return;
    }
    // A fault that repeats (the same bad field in every message of a burst) shows one box.
    for (const QPointer<QMessageBox> &open : openBoxes()) {
        if (open->isVisible() && open->text() == text)
            return;
    }
    auto *box = new QMessageBox(QMessageBox::Critical, title(), QString(), QMessageBox::Ok);
    // The message can quote a field from the network: never read it as markup.
    box->setTextFormat(Qt::PlainText);
    box->setText(text);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setWindowModality(Qt::ApplicationModal);
    openBoxes().append(box);
    box->show();
}

void closeAll()
{
    const QList<QPointer<QMessageBox>> boxes = openBoxes();
    for (const QPointer<QMessageBox> &box : boxes)
        delete box.data();
    openBoxes().clear();
}

} // namespace errorbox
