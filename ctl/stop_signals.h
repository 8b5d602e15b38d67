#pragma once
#include <QObject>
#include <QSocketNotifier>

#include <memory>

namespace ctl {

// SIGINT and SIGTERM as a Qt signal from the event loop, so that watch and monitor end
// after their last poll with the status it deserves. The handler only writes to a pipe.
class StopSignals : public QObject
{
    Q_OBJECT

public:
    explicit StopSignals(QObject *parent = nullptr);

signals:
    void stopRequested();

private:
    std::unique_ptr<QSocketNotifier> m_notifier;
};

} // namespace ctl
