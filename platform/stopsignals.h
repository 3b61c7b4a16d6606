#pragma once

#include <QObject>

#include <csignal>
#include <initializer_list>
#include <vector>

class QSocketNotifier;

// Stop signals (SIGINT and SIGTERM unless told otherwise), delivered on the event loop: the signal
// handler only writes one byte to a pipe, and the loop reads it and reports the stop. One object
// per process.
class StopSignals : public QObject
{
    Q_OBJECT
public:
    explicit StopSignals(QObject *parent = nullptr, std::initializer_list<int> which = {SIGINT, SIGTERM});
    ~StopSignals() override;

signals:
    void received(int signal);

private:
    void readPipe();
    QSocketNotifier *notifier = nullptr;
    std::vector<int> signals_;
};
