#pragma once
#include "commissioning/commissioner.h"
#include "commissioning/commissioning_report.h"
#include "commissioning/device_client.h"
#include "commissioning/parameter_file.h"
#include "serial/transport.h"

#include <QDialog>

#include <functional>
#include <optional>
#include <utility>

class QComboBox;
class QLabel;
class QProgressBar;
class QPushButton;
class QSpinBox;
class QTableWidget;

namespace app {

// "设备配置": finds a device, keeps its parameters in a file, and writes a file's parameters
// to a device with proof. Modal; it works through its own device client on the port it is
// lent, and after it closes the main window takes on only the link the user chose.
class ConfigurationWindow : public QDialog
{
    Q_OBJECT

public:
    // Opens the main window's port again and lends it: the new line, or nothing with the
    // reason it would not open.
    using Reopen = std::function<std::pair<serial::Transport *, QString>()>;

    // Works over `line`, lent for as long as the window lives. Without one (the port is
    // closed and would not open) or once it is lost, the window offers to open it again.
    ConfigurationWindow(serial::Transport *line, const commissioning::Link &link, Reopen reopen,
                        QWidget *parent = nullptr);

    // The speed and station the user chose with "使用", or that a write moved the device to.
    [[nodiscard]] const std::optional<commissioning::Link> &chosenLink() const { return m_chosen; }

    void find();
    void useFound();
    void readDevice();
    void saveFile();
    // Asks for the file, then loads it.
    void loadFile();
    void loadFile(const QString &path);
    void writeDevice();
    // Asks where, then writes the report of every device written since the window opened.
    void saveReport();
    void saveReport(const QString &path);
    // Closing while a job runs ends the job first.
    void reject() override;

private:
    enum class Job { None, Find, Read, ReadForCompare, Write };

    void build();
    // A checked file's parameters into the table's file column.
    void takeFile(const commissioning::ParameterSet &set);
    void start(Job job);
    void finished(const QString &message);
    void showFound();
    void showParameters();
    void showLink();
    void linkEdited();
    void cancelJob();
    void lineLost(const QString &cause);
    void reopenPort();
    void offerReopen(const QString &why);

    commissioning::QtDeadlineTimer m_timer;
    commissioning::DeviceClient m_client;
    commissioning::Commissioner m_jobs;
    Job m_job = Job::None;
    std::optional<commissioning::ParameterSet> m_file;
    std::optional<commissioning::ParameterSet> m_device;
    // The device as it was when the writing started, for the report.
    commissioning::ParameterSet m_beforeWrite;
    // One per "写入设备" since the window opened: the pages of the report.
    std::vector<commissioning::DeviceReport> m_reports;
    std::optional<commissioning::Link> m_chosen;
    Reopen m_reopen;
    bool m_cancelled = false;

    QComboBox *m_speed = nullptr;
    QSpinBox *m_station = nullptr;
    QComboBox *m_findMode = nullptr;
    QPushButton *m_findButton = nullptr;
    QPushButton *m_useButton = nullptr;
    QTableWidget *m_foundTable = nullptr;
    QPushButton *m_readButton = nullptr;
    QPushButton *m_saveButton = nullptr;
    QPushButton *m_loadButton = nullptr;
    QPushButton *m_writeButton = nullptr;
    QPushButton *m_reportButton = nullptr;
    QTableWidget *m_table = nullptr;
    QProgressBar *m_progress = nullptr;
    QLabel *m_status = nullptr;
    QPushButton *m_cancelButton = nullptr;
    QPushButton *m_closeButton = nullptr;
    QPushButton *m_reopenButton = nullptr;
};

} // namespace app
