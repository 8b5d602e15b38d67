#include "monitor_window.h"

#include "help_window.h"
#include "modbus/register_map.h"
#include "named_controls.h"
#include "traffic_model.h"
#include "traffic_monitor.h"
#include "translations/device_texts.h"
#include "trend_view.h"
#include "window_fit.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QMessageBox>
#include <QMimeData>
#include <QPushButton>
#include <QScrollBar>
#include <QShortcut>
#include <QSpinBox>
#include <QTabWidget>
#include <QTableView>
#include <QVBoxLayout>

namespace app {

namespace {

constexpr int kShownMs = 250;
// Qt's table view paints every row in view again whenever rows come, whatever their number.
constexpr int kRecordShownMs = 1000;

// The longest texts the counters hold: counts of a month's polling at 20 requests a second,
// a share of 100%, response times up to the longest time-out (10 000 ms).
constexpr const char *kWidestCount = "00000000";
constexpr const char *kWidestShare = "100.0";
constexpr const char *kWidestTime = "10000.0";

QString milliseconds(std::optional<std::chrono::microseconds> time)
{
    if (!time)
        return QStringLiteral("—");
    return QString::number(static_cast<double>(time->count()) / 1000.0, 'f', 1);
}

constexpr std::array<int, 3> kSpanSeconds{60, 600, 3600};

} // namespace

MonitorWindow::MonitorWindow(TrafficMonitor &monitor, QWidget *parent)
    : QWidget(parent, Qt::Window), m_monitor(monitor)
{
    setObjectName(QStringLiteral("MonitorWindow"));
    setWindowTitle(tr("通讯监视"));
    setAccessibleName(tr("通讯监视"));
    fitToScreen(*this, {820, 560});
    auto *help = new QShortcut(QKeySequence(Qt::Key_F1), this);
    connect(help, &QShortcut::activated, this, [this] { showHelp(*this); });
    // Hex, numbers and plain Chinese need no shaping rules; skipping them is most of the cost
    // of the rows, the counters and the trend's texts that change four times a second.
    QFont plain = font();
    plain.setStyleStrategy(QFont::PreferNoShaping);
    setFont(plain);

    auto *layout = new QVBoxLayout(this);
    buildCounters(layout);
    m_tabs = named(new QTabWidget, "tabs", tr("通讯记录和趋势"));
    m_tabs->addTab(buildRecordTab(), tr("通讯记录"));
    m_tabs->addTab(buildTrendTab(), tr("趋势"));
    layout->addWidget(m_tabs, 1);

    auto *logRow = new QHBoxLayout;
    m_valueLog = namedButton("cmdValueLog", tr("数据记录到文件…"));
    m_valueLogState = named(new QLabel, "lblValueLog", tr("数据记录状态"));
    logRow->addWidget(m_valueLog);
    logRow->addWidget(m_valueLogState, 1);
    layout->addLayout(logRow);
    connect(m_valueLog, &QPushButton::clicked, this, &MonitorWindow::toggleValueLog);

    // What the batches bring shows four times a second: plenty to read, where each of 20
    // exchanges a second would paint the counters, the rows and the trend again.
    m_showDue.setSingleShot(true);
    m_showDue.setInterval(kShownMs);
    connect(&m_showDue, &QTimer::timeout, this, &MonitorWindow::showBatches);
    connect(&m_monitor, &TrafficMonitor::batchDone, this, &MonitorWindow::batchDone);
    connect(&m_monitor, &TrafficMonitor::valueLogFailed, this, [this](const QString &reason) {
        showValueLogState();
        showProblem(tr("数据记录已停止。\n%1").arg(reason));
    });
    showCounters();
    showValueLogState();
}

void MonitorWindow::buildCounters(QVBoxLayout *layout)
{
    static const std::array<const char *, CounterCount> kNames{
        "lblRequests",   "lblComplete",   "lblBadCrc", "lblExceptions",
        "lblIncomplete", "lblUnanswered", "lblLost",   "lblResponse"};
    static const std::array<const char *, CounterCount> kAccessible{
        QT_TRANSLATE_NOOP("app::MonitorWindow", "请求数"),
        QT_TRANSLATE_NOOP("app::MonitorWindow", "完整应答数"),
        QT_TRANSLATE_NOOP("app::MonitorWindow", "CRC 错误数"),
        QT_TRANSLATE_NOOP("app::MonitorWindow", "异常应答数"),
        QT_TRANSLATE_NOOP("app::MonitorWindow", "不完整应答数"),
        QT_TRANSLATE_NOOP("app::MonitorWindow", "无应答数"),
        QT_TRANSLATE_NOOP("app::MonitorWindow", "丢失比例"),
        QT_TRANSLATE_NOOP("app::MonitorWindow", "响应时间")};
    auto *strip = new QHBoxLayout;
    for (int k = 0; k < CounterCount; ++k) {
        m_counters[k] = named(new QLabel, kNames[k], tr(kAccessible[k]));
        // Sized once for the longest text they will hold, so a new count repaints the label
        // alone instead of laying out the whole window again.
        const QString widest = QString::fromLatin1(k == Lost       ? kWidestShare
                                                   : k == Response ? kWidestTime
                                                                   : kWidestCount);
        m_counters[k]->setText(counterText(static_cast<Counter>(k), widest, widest, widest));
        m_counters[k]->setFixedSize(m_counters[k]->sizeHint());
        if (k != Response)
            strip->addWidget(m_counters[k]);
    }
    strip->addStretch(1);
    layout->addLayout(strip);
    // Said only while it is so: polling faster than one exchange takes on the line.
    m_shortfall = named(new QLabel, "lblShortfall", tr("定时时长提示"));
    m_shortfall->setWordWrap(true);
    m_shortfall->setVisible(false);
    layout->addWidget(m_shortfall);

    auto *controls = new QHBoxLayout;
    QPushButton *reset = namedButton("cmdResetCounters", tr("清零"));
    connect(reset, &QPushButton::clicked, this, [this] { m_monitor.resetCounters(); });
    auto *timeoutLabel = new QLabel(tr("应答超时"));
    m_timeout = named(new QSpinBox, "spnTimeout", tr("应答超时"));
    m_timeout->setRange(50, 10000);
    m_timeout->setSingleStep(100);
    m_timeout->setSuffix(tr(" 毫秒"));
    m_timeout->setValue(static_cast<int>(m_monitor.timeout().count()));
    timeoutLabel->setBuddy(m_timeout);
    connect(m_timeout, &QSpinBox::valueChanged, this,
            [this](int ms) { m_monitor.setTimeout(std::chrono::milliseconds(ms)); });
    controls->addWidget(m_counters[Response]);
    controls->addSpacing(16);
    controls->addWidget(timeoutLabel);
    controls->addWidget(m_timeout);
    controls->addSpacing(16);
    controls->addWidget(reset);
    controls->addStretch(1);
    layout->addLayout(controls);
}

QWidget *MonitorWindow::buildRecordTab()
{
    auto *page = new QWidget;
    auto *layout = new QVBoxLayout(page);
    m_model = new TrafficModel(m_monitor, this);
    m_table = named(new QTableView, "tblRecord", tr("通讯记录"));
    m_table->setModel(m_model);
    m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_table->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_table->setAlternatingRowColors(true);
    m_table->setWordWrap(false);
    // Cut at the column's edge, whole in the tooltip: an ellipsis costs a second layout of
    // the text, and the bytes' column is cut in most rows.
    m_table->setTextElideMode(Qt::ElideNone);
    m_table->setCornerButtonEnabled(false);
    m_table->setShowGrid(false);
    m_table->setTabKeyNavigation(false);
    // Scrolled by whole rows, so rows dropped off the front move the bar by as many steps.
    m_table->setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
    // Every row is one line high, so no row is ever measured.
    QHeaderView *rows = m_table->verticalHeader();
    rows->hide();
    rows->setSectionResizeMode(QHeaderView::Fixed);
    rows->setMinimumSectionSize(1);
    rows->setDefaultSectionSize(m_table->fontMetrics().height() + 4);
    QHeaderView *header = m_table->horizontalHeader();
    header->setSectionResizeMode(QHeaderView::Interactive);
    header->setHighlightSections(false);
    const int digit = m_table->fontMetrics().horizontalAdvance(QLatin1Char('0'));
    header->resizeSection(TrafficModel::Time, digit * 14);
    header->resizeSection(TrafficModel::Direction, digit * 6);
    header->resizeSection(TrafficModel::Length, digit * 5);
    header->resizeSection(TrafficModel::Meaning, digit * 28);
    header->resizeSection(TrafficModel::Response, digit * 14);
    // Never narrower than the column's name, whatever the language.
    for (int column = 0; column < header->count(); ++column)
        header->resizeSection(
            column, std::max(header->sectionSize(column), header->sectionSizeHint(column)));
    header->setStretchLastSection(true);
    // The copy key copies the selected rows, as the button does, not the current cell alone.
    auto *copyKey = new QAction(tr("复制为文本"), m_table);
    copyKey->setShortcut(QKeySequence::Copy);
    copyKey->setShortcutContext(Qt::WidgetShortcut);
    connect(copyKey, &QAction::triggered, this, [this] { copyRows(false); });
    m_table->addAction(copyKey);
    layout->addWidget(m_table, 1);

    auto *buttons = new QHBoxLayout;
    // Pausing freezes what the record shows, never what it keeps: on "继续显示" every frame
    // that came meanwhile is there, and a saved record has them all.
    m_pause = namedButton("cmdPause", tr("暂停显示"));
    m_pause->setCheckable(true);
    connect(m_pause, &QPushButton::toggled, this, [this](bool paused) {
        m_pause->setText(paused ? tr("继续显示") : tr("暂停显示"));
        m_pause->setAccessibleName(m_pause->text());
        if (!paused)
            showRecord();
    });
    QPushButton *clear = namedButton("cmdClear", tr("清空"));
    connect(clear, &QPushButton::clicked, this, [this] { m_monitor.clearRecord(); });
    QPushButton *copyText = namedButton("cmdCopyText", tr("复制为文本"));
    connect(copyText, &QPushButton::clicked, this, [this] { copyRows(false); });
    QPushButton *copyBytes = namedButton("cmdCopyBytes", tr("复制字节"));
    connect(copyBytes, &QPushButton::clicked, this, [this] { copyRows(true); });
    QPushButton *save = namedButton("cmdSaveRecord", tr("保存记录…"));
    connect(save, &QPushButton::clicked, this, &MonitorWindow::saveRecord);
    for (QPushButton *b : {m_pause, clear, copyText, copyBytes, save})
        buttons->addWidget(b);
    buttons->addStretch(1);
    layout->addLayout(buttons);
    return page;
}

QWidget *MonitorWindow::buildTrendTab()
{
    auto *page = new QWidget;
    auto *layout = new QHBoxLayout(page);
    auto *sidePanel = new QWidget;
    sidePanel->setMaximumWidth(sidePanel->fontMetrics().horizontalAdvance(QLatin1Char('0')) * 24);
    auto *side = new QVBoxLayout(sidePanel);
    side->setContentsMargins(0, 0, 0, 0);
    auto *fieldsLabel = new QLabel(tr("显示的数据"));
    m_fields = named(new QListWidget, "lstFields", tr("显示的数据"));
    fieldsLabel->setBuddy(m_fields);
    for (const modbus::RegisterRow &row : modbus::registerMap()) {
        auto *item = new QListWidgetItem(i18n::caption(row), m_fields);
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsUserCheckable);
        item->setCheckState(row.field == 0 ? Qt::Checked : Qt::Unchecked);
    }
    connect(m_fields, &QListWidget::itemChanged, this, &MonitorWindow::chooseFields);
    auto *spanLabel = new QLabel(tr("时间范围"));
    m_span = named(new QComboBox, "cboSpan", tr("时间范围"));
    spanLabel->setBuddy(m_span);
    m_span->addItems({tr("1 分钟"), tr("10 分钟"), tr("1 小时")});
    m_sharedAxis =
        named(new QCheckBox(tr("共用一个坐标轴")), "chkSharedAxis", tr("共用一个坐标轴"));
    QPushButton *picture = namedButton("cmdSavePicture", tr("保存图片…"));
    side->addWidget(fieldsLabel);
    side->addWidget(m_fields, 1);
    side->addWidget(spanLabel);
    side->addWidget(m_span);
    side->addWidget(m_sharedAxis);
    side->addWidget(picture);
    layout->addWidget(sidePanel);

    m_trend = named(new TrendView(m_monitor.trend()), "trendView", tr("趋势图"));
    layout->addWidget(m_trend, 1);
    connect(m_span, &QComboBox::currentIndexChanged, this, [this](int index) {
        m_trend->setSpan(std::chrono::seconds(kSpanSeconds[static_cast<std::size_t>(
            std::clamp(index, 0, static_cast<int>(kSpanSeconds.size()) - 1))]));
    });
    connect(m_sharedAxis, &QCheckBox::toggled, m_trend, &TrendView::setSharedAxis);
    connect(picture, &QPushButton::clicked, this, &MonitorWindow::savePicture);
    return page;
}

void MonitorWindow::chooseFields()
{
    std::vector<int> fields;
    for (int row = 0; row < m_fields->count(); ++row) {
        if (m_fields->item(row)->checkState() == Qt::Checked)
            fields.push_back(row);
    }
    m_trend->setFields(std::move(fields));
}

void MonitorWindow::batchDone(bool recordChanged, bool trendChanged)
{
    m_recordChanged = m_recordChanged || recordChanged;
    m_trendChanged = m_trendChanged || trendChanged;
    if (!m_showDue.isActive())
        m_showDue.start();
}

// While frames stream the record takes them in once a second; the first after a quiet second
// shows at once.
void MonitorWindow::showBatches()
{
    showCounters();
    if (m_recordChanged && !m_pause->isChecked() &&
        (!m_recordShown.isValid() || m_recordShown.elapsed() >= kRecordShownMs)) {
        showRecord();
        m_recordShown.start();
        m_recordChanged = false;
    }
    if (m_trendChanged && (!m_trend->isVisible() || m_trend->due())) {
        if (m_trend->isVisible())
            m_trend->refresh();
        m_trendChanged = false;
    }
    // Looked at again, so the last rows and samples show once polling stops.
    if ((m_recordChanged && !m_pause->isChecked()) || m_trendChanged)
        m_showDue.start();
}

// The view follows the newest row unless the operator has scrolled up to read; then the same
// frames stay in view while older ones drop off the front.
void MonitorWindow::showRecord()
{
    QScrollBar *bar = m_table->verticalScrollBar();
    const bool following = bar->value() == bar->maximum();
    const int dropped = m_model->sync();
    if (following)
        m_table->scrollToBottom();
    else if (dropped > 0)
        bar->setValue(bar->value() - dropped);
}

QString MonitorWindow::counterText(Counter counter, const QString &a, const QString &b,
                                   const QString &c)
{
    switch (counter) {
    case Requests:
        return tr("请求 %1").arg(a);
    case Complete:
        return tr("完整应答 %1").arg(a);
    case BadCrc:
        return tr("CRC 错误 %1").arg(a);
    case Exceptions:
        return tr("异常应答 %1").arg(a);
    case Incomplete:
        return tr("不完整 %1").arg(a);
    case Unanswered:
        return tr("无应答 %1").arg(a);
    case Lost:
        return tr("丢失 %1%").arg(a);
    default:
        return tr("响应时间 最近 %1 平均 %2 最大 %3 毫秒").arg(a, b, c);
    }
}

void MonitorWindow::showCounters()
{
    const monitor::Counters &n = m_monitor.counters();
    const auto set = [this](Counter k, const QString &a, const QString &b = {},
                            const QString &c = {}) {
        const QString text = counterText(k, a, b, c);
        if (m_counters[k]->text() != text)
            m_counters[k]->setText(text);
    };
    set(Requests, QString::number(n.requests));
    set(Complete, QString::number(n.complete));
    set(BadCrc, QString::number(n.badCrc));
    set(Exceptions, QString::number(n.exceptions));
    set(Incomplete, QString::number(n.incomplete));
    set(Unanswered, QString::number(n.unanswered));
    set(Lost, QString::number(n.lostShare() * 100.0, 'f', 1));
    set(Response, milliseconds(n.lastResponse), milliseconds(n.meanResponse()),
        milliseconds(n.maxResponse));
    const QString shortfall = n.shortfall
                                  ? tr("定时时长 %1 毫秒短于一次交换在 %2 波特下所需的 %3 毫秒")
                                        .arg(n.shortfall->period.count())
                                        .arg(n.shortfall->baud)
                                        .arg(n.shortfall->needed.count())
                                  : QString();
    if (m_shortfall->text() != shortfall) {
        m_shortfall->setText(shortfall);
        m_shortfall->setVisible(!shortfall.isEmpty());
    }
}

void MonitorWindow::copyRows(bool asBytes)
{
    QList<int> rows;
    for (const QModelIndex &index : m_table->selectionModel()->selectedRows())
        rows << index.row();
    if (rows.isEmpty())
        return;
    std::sort(rows.begin(), rows.end());
    QApplication::clipboard()->setText(asBytes ? m_model->rowsAsBytes(rows)
                                               : m_model->rowsAsText(rows));
}

void MonitorWindow::saveRecord()
{
    const QString path = QFileDialog::getSaveFileName(this, tr("保存记录"), tr("通讯记录.csv"),
                                                      tr("CSV 文件 (*.csv)"));
    if (path.isEmpty())
        return;
    const QString reason = monitor::saveRecordCsv(path, m_monitor.record(), m_monitor.wallClock());
    if (!reason.isEmpty())
        showProblem(tr("记录没有保存。\n%1").arg(reason));
}

void MonitorWindow::toggleValueLog()
{
    if (m_monitor.valueLogRunning()) {
        m_monitor.stopValueLog();
        showValueLogState();
        return;
    }
    const QString path = QFileDialog::getSaveFileName(this, tr("数据记录到文件"),
                                                      tr("数据记录.csv"), tr("CSV 文件 (*.csv)"));
    if (path.isEmpty())
        return;
    const QString reason = m_monitor.startValueLog(path);
    showValueLogState();
    if (!reason.isEmpty())
        showProblem(tr("数据记录没有开始。\n%1").arg(reason));
}

void MonitorWindow::showValueLogState()
{
    const bool running = m_monitor.valueLogRunning();
    m_valueLog->setText(running ? tr("停止数据记录") : tr("数据记录到文件…"));
    m_valueLog->setAccessibleName(m_valueLog->text());
    m_valueLogState->setText(running ? tr("正在记录到 %1").arg(m_monitor.valueLogPath())
                                     : tr("未记录"));
}

void MonitorWindow::savePicture()
{
    const QString path =
        QFileDialog::getSaveFileName(this, tr("保存图片"), tr("趋势.png"), tr("PNG 图片 (*.png)"));
    if (path.isEmpty())
        return;
    if (!m_trend->grab().save(path, "PNG"))
        showProblem(tr("图片没有保存：无法写入文件“%1”。").arg(path));
}

// Not modal: no nested event loop, so the batch timer and the main window go on.
void MonitorWindow::showProblem(const QString &text)
{
    auto *box = new QMessageBox(QMessageBox::Warning, tr("通讯监视"), text, QMessageBox::Ok, this);
    box->setObjectName(QStringLiteral("monitorMessage"));
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->open();
}

} // namespace app
