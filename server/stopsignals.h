#pragma once

#include <QObject>

class QSocketNotifier;

// SIGINT and SIGTERM, delivered on the event loop: the signal handler only writes one byte to a
// pipe, and the loop reads it and reports the stop. One object per process.
class StopSignals : public QObject
{
    Q_OBJECT
public:
    explicit StopSignals(QObject *parent = nullptr);
    ~StopSignals() override;

signals:
    void received(int signal);

private:
    void readPipe();
    QSocketNotifier *notifier = nullptr;
};
