#pragma once
#include <QObject>
#include <QSocketNotifier>

#include <memory>

namespace ctl {

// SIGINT and SIGTERM (on Windows Ctrl+C, Ctrl+Break and the console closing) as a Qt signal
// from the event loop, so that watch and monitor end after their last poll with the status it
// deserves. The handler only writes to a pipe, or on Windows queues the signal.
class StopSignals : public QObject
{
    Q_OBJECT

public:
    explicit StopSignals(QObject *parent = nullptr);
    ~StopSignals() override;

signals:
    void stopRequested();

private:
    std::unique_ptr<QSocketNotifier> m_notifier;
};

} // namespace ctl
