#include "configuration_window.h"

#include "help_window.h"
#include "modbus/register_map.h"
#include "named_controls.h"
#include "translations/device_texts.h"
#include "values/register_text.h"
#include "window_fit.h"

#include <QComboBox>
#include <QDateTime>
#include <QFileDialog>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QShortcut>
#include <QSpinBox>
#include <QTableWidget>
#include <QVBoxLayout>
#include <algorithm>

namespace app {
namespace {

using commissioning::kBaudField;
using commissioning::kStationField;

enum Column { kWrite, kCaption, kRegister, kInFile, kInDevice, kResult, kColumnCount };

constexpr int kFirstScanStation = 1;
constexpr int kLastScanStation = 247;

QString shown(int field, std::uint16_t raw)
{
    return QString::fromStdString(modbus::fieldText(field, raw));
}

QTableWidgetItem *cell(const QString &text)
{
    auto *item = new QTableWidgetItem(text);
    item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
    return item;
}

} // namespace

ConfigurationWindow::ConfigurationWindow(serial::Transport *line, const commissioning::Link &link,
                                         Reopen reopen, QWidget *parent)
    : QDialog(parent), m_client(line, m_timer), m_jobs(m_client), m_reopen(std::move(reopen))
{
    build();
    m_jobs.setLink(link);
    showLink();
    connect(&m_jobs, &commissioning::Commissioner::progress, this, [this](int done, int total) {
        m_progress->setMaximum(total);
        m_progress->setValue(done);
    });
    connect(&m_jobs, &commissioning::Commissioner::finished, this, &ConfigurationWindow::finished);
    // Each device shows the moment it answers, not when the search ends.
    connect(&m_jobs, &commissioning::Commissioner::deviceFound, this, [this] { showFound(); });
    connect(&m_client, &commissioning::DeviceClient::lineLost, this,
            &ConfigurationWindow::lineLost);
    start(Job::None);
    if (!line || !line->isOpen())
        offerReopen(tr("串口未打开。"));
}

void ConfigurationWindow::build()
{
    setObjectName(QStringLiteral("frmConfigure"));
    setWindowTitle(tr("设备配置"));
    setAccessibleName(tr("设备配置"));
    auto *layout = new QVBoxLayout(this);

    auto *linkBox = new QGroupBox(tr("通讯设置"));
    auto *linkRow = new QHBoxLayout(linkBox);
    m_speed = named(new QComboBox, "cboSpeed", tr("波特率"));
    for (const int baud : modbus::kBaudRates)
        m_speed->addItem(QString::number(baud), baud);
    m_station = named(new QSpinBox, "spnStation", tr("设备地址"));
    m_station->setRange(1, 250);
    auto *speedLabel = new QLabel(tr("波特率"));
    speedLabel->setBuddy(m_speed);
    auto *stationLabel = new QLabel(tr("设备地址"));
    stationLabel->setBuddy(m_station);
    linkRow->addWidget(speedLabel);
    linkRow->addWidget(m_speed);
    linkRow->addWidget(stationLabel);
    linkRow->addWidget(m_station);
    linkRow->addStretch();
    layout->addWidget(linkBox);
    connect(m_speed, &QComboBox::activated, this, &ConfigurationWindow::linkEdited);
    connect(m_station, &QSpinBox::valueChanged, this, &ConfigurationWindow::linkEdited);

    auto *findBox = new QGroupBox(tr("查找设备"));
    auto *findLayout = new QVBoxLayout(findBox);
    auto *findRow = new QHBoxLayout;
    m_findMode = named(new QComboBox, "cboFindMode", tr("查找方式"));
    m_findMode->addItem(tr("逐个波特率读地址"));
    m_findMode->addItem(tr("按当前波特率扫描地址 1-247"));
    m_findButton = namedButton("cmdFind", tr("查找设备"));
    m_useButton = namedButton("cmdUse", tr("使用"));
    findRow->addWidget(m_findMode);
    findRow->addWidget(m_findButton);
    findRow->addWidget(m_useButton);
    findRow->addStretch();
    findLayout->addLayout(findRow);
    m_foundTable = named(new QTableWidget(0, 4), "tblFound", tr("找到的设备"));
    m_foundTable->setHorizontalHeaderLabels(
        {tr("波特率"), tr("设备地址"), tr("识别信息"), tr("响应时间")});
    m_foundTable->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_foundTable->setSelectionMode(QAbstractItemView::SingleSelection);
    m_foundTable->horizontalHeader()->setStretchLastSection(true);
    m_foundTable->verticalHeader()->hide();
    m_foundTable->setMaximumHeight(110);
    findLayout->addWidget(m_foundTable);
    layout->addWidget(findBox);
    connect(m_findButton, &QPushButton::clicked, this, &ConfigurationWindow::find);
    connect(m_useButton, &QPushButton::clicked, this, &ConfigurationWindow::useFound);
    connect(m_foundTable, &QTableWidget::itemSelectionChanged, this, [this] { start(m_job); });

    auto *parameterBox = new QGroupBox(tr("参数"));
    auto *parameterLayout = new QVBoxLayout(parameterBox);
    auto *parameterRow = new QHBoxLayout;
    m_readButton = namedButton("cmdReadParameters", tr("读取参数"));
    m_saveButton = namedButton("cmdSaveParameters", tr("保存参数…"));
    m_loadButton = namedButton("cmdLoadParameters", tr("载入参数…"));
    m_writeButton = namedButton("cmdWriteDevice", tr("写入设备"));
    m_reportButton = namedButton("cmdSaveReport", tr("保存报告…"));
    for (QPushButton *b : {m_readButton, m_saveButton, m_loadButton, m_writeButton, m_reportButton})
        parameterRow->addWidget(b);
    parameterRow->addStretch();
    parameterLayout->addLayout(parameterRow);
    m_table = named(new QTableWidget(modbus::kValueFieldCount, kColumnCount), "tblParameters",
                    tr("参数表"));
    m_table->setHorizontalHeaderLabels({tr("写入"), tr("参数", "table column"), tr("寄存器（读 / 写）"),
                                        tr("文件中的值"), tr("设备中的值"), tr("结果")});
    m_table->verticalHeader()->hide();
    m_table->horizontalHeader()->setStretchLastSection(true);
    m_table->setSelectionMode(QAbstractItemView::NoSelection);
    for (const modbus::RegisterRow &row : modbus::registerMap()) {
        auto *tick = new QTableWidgetItem;
        // Measured rows are read only; the others may be ticked once a file is loaded.
        tick->setFlags(row.setButton >= 0 ? Qt::ItemIsEnabled | Qt::ItemIsUserCheckable
                                          : Qt::NoItemFlags);
        if (row.setButton >= 0)
            tick->setCheckState(Qt::Unchecked);
        m_table->setItem(row.field, kWrite, tick);
        m_table->setItem(row.field, kCaption, cell(i18n::caption(row)));
        m_table->setItem(row.field, kRegister,
                         cell(QString::fromStdString(values::registerText(row))));
        for (const int column : {kInFile, kInDevice, kResult})
            m_table->setItem(row.field, column, cell(QString()));
    }
    // All fifteen rows at once where the screen has room; on a short screen the table
    // scrolls and the buttons below it stay in sight.
    const int rowHeight = fontMetrics().height() + 8;
    m_table->verticalHeader()->setDefaultSectionSize(rowHeight);
    constexpr int kShortestRows = 6;
    m_table->setMinimumHeight(rowHeight * kShortestRows);
    m_table->resizeColumnsToContents();
    m_table->setColumnWidth(kInFile, 90);
    m_table->setColumnWidth(kInDevice, 90);
    parameterLayout->addWidget(m_table);
    layout->addWidget(parameterBox, 1);
    connect(m_readButton, &QPushButton::clicked, this, &ConfigurationWindow::readDevice);
    connect(m_saveButton, &QPushButton::clicked, this, &ConfigurationWindow::saveFile);
    connect(m_loadButton, &QPushButton::clicked, this, [this] { loadFile(); });
    connect(m_writeButton, &QPushButton::clicked, this, &ConfigurationWindow::writeDevice);
    connect(m_reportButton, &QPushButton::clicked, this, [this] { saveReport(); });

    auto *bottom = new QHBoxLayout;
    m_progress = named(new QProgressBar, "prgProgress", tr("进度"));
    m_status = named(new QLabel, "lblStatus", tr("状态"));
    m_status->setWordWrap(true);
    m_cancelButton = namedButton("cmdCancel", tr("取消"));
    m_closeButton = namedButton("cmdClose", tr("关闭"));
    m_reopenButton = namedButton("cmdReopen", tr("重新打开串口"));
    m_reopenButton->setVisible(false);
    connect(m_reopenButton, &QPushButton::clicked, this, &ConfigurationWindow::reopenPort);
    bottom->addWidget(m_reopenButton);
    bottom->addWidget(m_progress);
    bottom->addWidget(m_cancelButton);
    bottom->addWidget(m_closeButton);
    layout->addLayout(bottom);
    layout->addWidget(m_status);
    connect(m_cancelButton, &QPushButton::clicked, this, &ConfigurationWindow::cancelJob);
    connect(m_closeButton, &QPushButton::clicked, this, &QDialog::reject);
    // The height that shows every row: the window as its layout would have it, with the table
    // grown to its header, its fifteen rows and its frame.
    const int fullTable = m_table->horizontalHeader()->sizeHint().height() +
                          m_table->rowHeight(0) * modbus::kValueFieldCount +
                          2 * m_table->frameWidth() + 6;
    fitToScreen(*this, {680, sizeHint().height() - m_table->sizeHint().height() + fullTable});
    auto *help = new QShortcut(QKeySequence(Qt::Key_F1), this);
    connect(help, &QShortcut::activated, this, [this] { showHelp(*this); });
}

void ConfigurationWindow::start(Job job)
{
    m_job = job;
    const bool idle = job == Job::None;
    for (QWidget *w : {static_cast<QWidget *>(m_speed), static_cast<QWidget *>(m_station),
                       static_cast<QWidget *>(m_findMode), static_cast<QWidget *>(m_findButton),
                       static_cast<QWidget *>(m_readButton), static_cast<QWidget *>(m_loadButton),
                       static_cast<QWidget *>(m_closeButton)})
        w->setEnabled(idle);
    m_useButton->setEnabled(idle && !m_foundTable->selectedItems().isEmpty());
    m_saveButton->setEnabled(idle && m_device.has_value());
    m_writeButton->setEnabled(idle && m_file.has_value() && m_device.has_value());
    m_reportButton->setEnabled(idle && !m_reports.empty());
    m_cancelButton->setEnabled(!idle);
    if (!idle) {
        m_cancelled = false;
        m_progress->setValue(0);
        m_status->setText(tr("正在与设备通讯…"));
    }
}

void ConfigurationWindow::cancelJob()
{
    m_cancelled = true;
    m_jobs.cancel();
}

// The window holds the line, so it hears of the loss first: what runs stops, what the device
// column shows is no longer known to be current, and the port can be opened again here (the
// main window cannot be reached while this one is up).
void ConfigurationWindow::lineLost(const QString &cause)
{
    m_cancelled = true;
    m_jobs.cancel();
    if (m_device) {
        for (int row = 0; row < m_table->rowCount(); ++row) {
            QTableWidgetItem *item = m_table->item(row, kInDevice);
            item->setForeground(palette().brush(QPalette::Disabled, QPalette::Text));
            item->setToolTip(tr("串口已断开，此值不一定是设备的当前值"));
        }
        m_device.reset();
        start(m_job);
    }
    offerReopen(tr("串口已断开：%1。").arg(cause));
}

void ConfigurationWindow::offerReopen(const QString &why)
{
    m_status->setText(why + tr("可点击“重新打开串口”。"));
    m_reopenButton->setVisible(static_cast<bool>(m_reopen));
    for (QWidget *w : {static_cast<QWidget *>(m_findButton), static_cast<QWidget *>(m_readButton),
                       static_cast<QWidget *>(m_writeButton)})
        w->setEnabled(false);
}

void ConfigurationWindow::reopenPort()
{
    const auto [line, failure] = m_reopen();
    if (!line) {
        m_status->setText(tr("串口仍无法打开：%1").arg(failure));
        return;
    }
    m_client.setLine(line);
    m_jobs.setLink(m_jobs.link());
    m_reopenButton->setVisible(false);
    start(Job::None);
    m_status->setText(tr("串口已重新打开。"));
}

void ConfigurationWindow::showLink()
{
    const QSignalBlocker speedBlocker(m_speed);
    const QSignalBlocker stationBlocker(m_station);
    m_speed->setCurrentIndex(m_speed->findData(m_jobs.link().baud));
    m_station->setValue(m_jobs.link().station);
}

void ConfigurationWindow::linkEdited()
{
    m_jobs.setLink({m_speed->currentData().toInt(), m_station->value()});
}

void ConfigurationWindow::find()
{
    m_foundTable->setRowCount(0);
    start(Job::Find);
    if (m_findMode->currentIndex() == 0)
        m_jobs.findBySpeed();
    else
        m_jobs.scanStations(kFirstScanStation, kLastScanStation);
}

void ConfigurationWindow::showFound()
{
    const auto &found = m_jobs.found();
    m_foundTable->setRowCount(static_cast<int>(found.size()));
    for (int k = 0; k < static_cast<int>(found.size()); ++k) {
        const commissioning::FoundDevice &device = found[static_cast<std::size_t>(k)];
        const auto ms = std::chrono::duration<double, std::milli>(device.responseTime).count();
        m_foundTable->setItem(k, 0, cell(QString::number(device.baud)));
        m_foundTable->setItem(k, 1, cell(QString::number(device.station)));
        m_foundTable->setItem(k, 2, cell(device.identification));
        m_foundTable->setItem(k, 3, cell(tr("%1 毫秒").arg(ms, 0, 'f', 1)));
    }
    if (!found.empty())
        m_foundTable->selectRow(0);
}

void ConfigurationWindow::useFound()
{
    const int row = m_foundTable->currentRow();
    if (row < 0 || row >= static_cast<int>(m_jobs.found().size()))
        return;
    const commissioning::FoundDevice &device = m_jobs.found()[static_cast<std::size_t>(row)];
    m_jobs.setLink({device.baud, device.station});
    m_chosen = m_jobs.link();
    showLink();
    m_status->setText(tr("已选用波特率 %1、设备地址 %2；关闭本窗口后主窗口改用此设置。")
                          .arg(device.baud)
                          .arg(device.station));
}

void ConfigurationWindow::readDevice()
{
    start(Job::Read);
    m_jobs.readParameters();
}

void ConfigurationWindow::takeFile(const commissioning::ParameterSet &set)
{
    m_file = set;
    for (const modbus::RegisterRow &row : modbus::registerMap())
        m_table->item(row.field, kResult)->setText(QString());
    showParameters();
}

void ConfigurationWindow::loadFile()
{
    const QString path = QFileDialog::getOpenFileName(this, tr("载入参数"), QString(),
                                                      tr("参数文件 (*.txt);;所有文件 (*)"));
    if (!path.isEmpty())
        loadFile(path);
}

void ConfigurationWindow::loadFile(const QString &path)
{
    const commissioning::LoadResult loaded = commissioning::loadParameterFile(path);
    if (!loaded.set) {
        QMessageBox::warning(this, tr("载入参数"),
                             tr("此文件未载入，没有使用其中任何内容。\n%1").arg(loaded.error));
        return;
    }
    takeFile(*loaded.set);
    // The comparison is with the device as it is now.
    start(Job::ReadForCompare);
    m_jobs.readParameters();
}

void ConfigurationWindow::saveFile()
{
    if (!m_device)
        return;
    commissioning::ParameterSet set = *m_device;
    set.date = QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
    set.toolVersion = QStringLiteral(RX904_VERSION);
    const QString suggested = QStringLiteral("RX904_%1_%2.txt")
                                  .arg(set.station)
                                  .arg(QDate::currentDate().toString(QStringLiteral("yyyyMMdd")));
    const QString path =
        QFileDialog::getSaveFileName(this, tr("保存参数"), suggested, tr("参数文件 (*.txt)"));
    if (path.isEmpty())
        return;
    const QString error = commissioning::saveParameterFile(path, set);
    if (!error.isEmpty()) {
        QMessageBox::warning(this, tr("保存参数"), error);
        return;
    }
    m_status->setText(tr("参数已保存到 %1").arg(path));
}

void ConfigurationWindow::writeDevice()
{
    if (!m_file || !m_device)
        return;
    std::array<bool, modbus::kValueFieldCount> chosen{};
    for (int field = 0; field < modbus::kValueFieldCount; ++field)
        chosen[static_cast<std::size_t>(field)] =
            m_table->item(field, kWrite)->checkState() == Qt::Checked;
    if (chosen[kStationField] || chosen[kBaudField]) {
        const auto answer =
            QMessageBox::warning(this, tr("写入设备"),
                                 tr("已勾选“设备地址”或“波特率”。写入后设备将改用新的地址或波特率，"
                                    "本工具随之改用新的设置并在新设置下校验。\n确定要写入吗？"),
                                 QMessageBox::Yes | QMessageBox::No, QMessageBox::No);
        if (answer != QMessageBox::Yes)
            return;
    }
    for (int field = 0; field < modbus::kValueFieldCount; ++field)
        m_table->item(field, kResult)->setText(QString());
    m_beforeWrite = *m_device;
    start(Job::Write);
    m_jobs.writeParameters(m_file->raw, chosen);
}

void ConfigurationWindow::saveReport()
{
    const QString suggested =
        tr("RX904_报告_%1.pdf")
            .arg(QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd_HHmm")));
    const QString path =
        QFileDialog::getSaveFileName(this, tr("保存报告"), suggested, tr("PDF 文件 (*.pdf)"));
    if (!path.isEmpty())
        saveReport(path);
}

void ConfigurationWindow::saveReport(const QString &path)
{
    const QString error = commissioning::saveReportPdf(path, m_reports);
    if (!error.isEmpty()) {
        QMessageBox::warning(this, tr("保存报告"), error);
        return;
    }
    m_status->setText(tr("报告已保存到 %1（%2 台设备，每台一页）").arg(path).arg(m_reports.size()));
}

void ConfigurationWindow::showParameters()
{
    for (const modbus::RegisterRow &row : modbus::registerMap()) {
        const auto index = static_cast<std::size_t>(row.field);
        const bool differs = m_file && m_device && m_file->raw[index] != m_device->raw[index];
        m_table->item(row.field, kInFile)
            ->setText(m_file ? shown(row.field, m_file->raw[index]) : QString());
        m_table->item(row.field, kInDevice)
            ->setText(m_device ? shown(row.field, m_device->raw[index]) : QString());
        // A difference is marked in words and in bold, so it shows under any theme.
        for (const int column : {kCaption, kInFile, kInDevice}) {
            QFont font = m_table->item(row.field, column)->font();
            font.setBold(differs && row.setButton >= 0);
            m_table->item(row.field, column)->setFont(font);
        }
        if (row.setButton >= 0 && m_table->item(row.field, kResult)->text().isEmpty() && differs)
            m_table->item(row.field, kResult)->setText(tr("不同"));
    }
}

void ConfigurationWindow::finished(const QString &message)
{
    const Job job = std::exchange(m_job, Job::None);
    switch (job) {
    case Job::Find:
        showFound();
        break;
    case Job::Read:
    case Job::ReadForCompare:
        if (message.isEmpty()) {
            m_device = m_jobs.device();
            showParameters();
        }
        if (job == Job::ReadForCompare && message.isEmpty()) {
            // The rows that differ are ticked; the two that change the link never by
            // themselves.
            for (const modbus::RegisterRow &row : modbus::registerMap()) {
                const auto index = static_cast<std::size_t>(row.field);
                if (row.setButton < 0)
                    continue;
                const bool tick = m_file->raw[index] != m_device->raw[index] &&
                                  row.field != kStationField && row.field != kBaudField;
                m_table->item(row.field, kWrite)->setCheckState(tick ? Qt::Checked : Qt::Unchecked);
            }
        }
        break;
    case Job::Write: {
        m_reports.push_back(
            commissioning::makeDeviceReport(*m_file, m_beforeWrite, m_jobs, message));
        if (m_client.line())
            m_reports.back().port = m_client.line()->location();
        m_device = m_jobs.device();
        for (const modbus::RegisterRow &row : modbus::registerMap()) {
            const commissioning::RowResult &result =
                m_jobs.rows()[static_cast<std::size_t>(row.field)];
            m_table->item(row.field, kResult)->setText(commissioning::rowStateText(result));
        }
        showParameters();
        const commissioning::Link &link = m_jobs.link();
        const commissioning::Link before{m_speed->currentData().toInt(), m_station->value()};
        if (link.baud != before.baud || link.station != before.station) {
            m_chosen = link;
            showLink();
        }
        break;
    }
    case Job::None:
        break;
    }
    start(Job::None);
    // A cancelled or broken-off job leaves the bar where it stopped.
    if (!m_cancelled)
        m_progress->setValue(m_progress->maximum());
    QString done = tr("完成");
    if (job == Job::Write) {
        const auto verified = std::ranges::count_if(m_jobs.rows(), [](const auto &row) {
            return row.state == commissioning::RowState::Verified;
        });
        done = tr("写入完成：%1 项已写入并校验").arg(verified);
    }
    m_status->setText(message.isEmpty() ? done : message);
}

void ConfigurationWindow::reject()
{
    // Closing while a job runs ends the job first; nothing it sends afterwards.
    m_jobs.cancel();
    QDialog::reject();
}

} // namespace app
