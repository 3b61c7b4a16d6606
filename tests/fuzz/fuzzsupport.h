#pragma once

// What every fuzz target shares: one application object on the offscreen platform, error boxes
// recorded instead of shown, and the input cut into lines.

#include "platform/errors.h"

#include <QApplication>
#include <QByteArrayList>
#include <QDir>
#include <QTemporaryDir>

namespace fuzzsupport {

// Once per process; the settings folder moves to a temporary one so no run touches real files.
inline void startApplication()
{
    static int argc = 1;
    static char name[] = "fuzz";
    static char *argv[] = {name, nullptr};
    if (QCoreApplication::instance())
        return;
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static QTemporaryDir home;
    qputenv("QUILLET_HOME", QFile::encodeName(home.path()));
    new QApplication(argc, argv);
    errorbox::setHook([](const QString &) {});
}

// The input's lines, without their line ends. The end marker never reaches a message: the
// framer cuts there, so it is taken out here too.
inline QByteArrayList lines(const uint8_t *data, size_t size)
{
    QByteArray all(reinterpret_cast<const char *>(data), qsizetype(size));
    all.replace(char(0xFF), QByteArray());
    return all.split('\n');
}

// Deletions asked for while handling the input happen now.
inline void settle()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

} // namespace fuzzsupport
