#pragma once
#include <QElapsedTimer>
#include <QTimer>
#include <QWidget>

#include <array>

class QCheckBox;
class QComboBox;
class QLabel;
class QListWidget;
class QPushButton;
class QSpinBox;
class QTabWidget;
class QTableView;
class QVBoxLayout;

namespace app {

class TrafficModel;
class TrafficMonitor;
class TrendView;

// "通讯监视": counters, the traffic record and the trend, over the monitor that the main
// window keeps. Closing only hides it; the history stays with the monitor.
class MonitorWindow : public QWidget
{
    Q_OBJECT

public:
    explicit MonitorWindow(TrafficMonitor &monitor, QWidget *parent = nullptr);

    enum Counter {
        Requests,
        Complete,
        BadCrc,
        Exceptions,
        Incomplete,
        Unanswered,
        Lost,
        Response,
        CounterCount
    };

private:
    void buildCounters(QVBoxLayout *layout);
    QWidget *buildRecordTab();
    QWidget *buildTrendTab();
    void batchDone(bool recordChanged, bool trendChanged);
    void showBatches();
    void showRecord();
    void showCounters();
    [[nodiscard]] static QString counterText(Counter counter, const QString &a,
                                             const QString &b = {}, const QString &c = {});
    void chooseFields();
    void copyRows(bool asBytes);
    void saveRecord();
    void toggleValueLog();
    void savePicture();
    void showProblem(const QString &text);
    void showValueLogState();

    TrafficMonitor &m_monitor;
    TrafficModel *m_model = nullptr;
    QTimer m_showDue;
    QElapsedTimer m_recordShown;
    bool m_recordChanged = false;
    bool m_trendChanged = false;
    std::array<QLabel *, CounterCount> m_counters{};
    QSpinBox *m_timeout = nullptr;
    QTabWidget *m_tabs = nullptr;
    QTableView *m_table = nullptr;
    QPushButton *m_pause = nullptr;
    QLabel *m_shortfall = nullptr;
    QListWidget *m_fields = nullptr;
    QComboBox *m_span = nullptr;
    QCheckBox *m_sharedAxis = nullptr;
    TrendView *m_trend = nullptr;
    QPushButton *m_valueLog = nullptr;
    QLabel *m_valueLogState = nullptr;
};

} // namespace app
