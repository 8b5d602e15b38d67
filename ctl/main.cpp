#include "command_line.h"
#include "commissioning/parameter_file.h"
#include "exit_status.h"
#include "output.h"
#include "port_opening.h"
#include "port_run.h"
#include "records.h"
#include "serial/tcp_device.h"
#include "stop_signals.h"
#include "translations/language.h"

#include <QCoreApplication>
#include <QJsonArray>
#include <QJsonDocument>
#include <QSaveFile>
#include <QTimer>

#include <memory>
#include <vector>

using namespace ctl;

namespace {

// load's --report: every port's result in one JSON document.
QString writeReport(const Options &options, const std::vector<std::unique_ptr<PortRun>> &runs,
                    const std::vector<QJsonObject> &unopened, ExitStatus status)
{
    QJsonArray ports;
    for (const QJsonObject &one : unopened)
        ports.append(one);
    for (const auto &run : runs)
        ports.append(run->result());
    const QJsonObject report{{QStringLiteral("version"), kFormatVersion},
                             {QStringLiteral("command"), QStringLiteral("load")},
                             {QStringLiteral("file"), options.file},
                             {QStringLiteral("dry_run"), options.dryRun},
                             {QStringLiteral("exit_status"), static_cast<int>(status)},
                             {QStringLiteral("ports"), ports}};
    QSaveFile file(options.reportFile);
    const QByteArray bytes = QJsonDocument(report).toJson(QJsonDocument::Indented);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit())
        return file.errorString();
    return {};
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication application(argc, argv);
    // Before anything is printed: the help and a refused option are already in the language.
    i18n::installTranslations(i18n::languageFor(QCoreApplication::arguments()));
    const ParseResult parsed = parseCommandLine(QCoreApplication::arguments());
    if (!parsed.options) {
        if (parsed.exitStatus == 0) {
            std::fputs(parsed.text.toLocal8Bit().constData(), stdout);
            return 0;
        }
        Output::diagnose(parsed.text);
        return parsed.exitStatus;
    }
    const Options &options = *parsed.options;
    Output output(options.format);
    if (options.listParameters) {
        output.write(parametersRecord());
        return 0;
    }

    QStringList ports = options.ports;
    if (!options.portsFile.isEmpty()) {
        QString error;
        const auto listed = readPortsFile(options.portsFile, error);
        if (!listed) {
            Output::diagnose(error);
            return static_cast<int>(ExitStatus::BadFile);
        }
        ports << *listed;
    }
    if (ports.isEmpty())
        ports << QStringLiteral("COM1");
    for (qsizetype k = 0; k < ports.size(); ++k) {
        if (serial::isTcpDevice(ports[k]) && !serial::parseTcpDevice(ports[k])) {
            Output::diagnose(
                QCoreApplication::translate("ctl::Main", "串口 %1 不是 tcp://主机:端口 的形式")
                    .arg(ports[k]));
            return static_cast<int>(ExitStatus::Usage);
        }
        if (ports.indexOf(ports[k]) != k) {
            Output::diagnose(
                QCoreApplication::translate("ctl::Main", "串口 %1 给出了两次").arg(ports[k]));
            return static_cast<int>(ExitStatus::Usage);
        }
    }
    if (options.command == Command::Save && ports.size() > 1) {
        Output::diagnose(
            QCoreApplication::translate("ctl::Main", "save 只写一个文件：请只给出一个串口"));
        return static_cast<int>(ExitStatus::Usage);
    }
    std::optional<commissioning::ParameterSet> file;
    if (options.command == Command::Load || options.command == Command::Check) {
        const commissioning::LoadResult loaded = commissioning::loadParameterFile(options.file);
        if (!loaded.set) {
            Output::diagnose(QStringLiteral("%1: %2").arg(options.file, loaded.error));
            return static_cast<int>(ExitStatus::BadFile);
        }
        file = loaded.set;
    }

    const serial::PortDirectory directory(serial::PortMap::fromEnvironment());
    ExitStatus status = ExitStatus::Ok;
    std::vector<std::unique_ptr<PortRun>> runs;
    std::vector<QJsonObject> unopened;
    for (const QString &port : ports) {
        OpenedPort opened = openPort(port, directory, options.baud);
        if (!opened.transport) {
            const Record record = openFailureRecord(
                {port, options.command, options.station, options.baud}, opened.failure);
            output.write(record);
            unopened.push_back(record.json);
            Output::diagnose(QCoreApplication::translate("ctl::Main", "%1：无法打开：%2")
                                 .arg(port, opened.failure));
            status = worse(status, ExitStatus::PortFailed);
            continue;
        }
        runs.push_back(std::make_unique<PortRun>(options, port, std::move(opened.transport), output,
                                                 file ? &*file : nullptr));
    }

    std::size_t running = runs.size();
    StopSignals stopSignals;
    for (const auto &run : runs) {
        QObject::connect(run.get(), &PortRun::finished, &application, [&running] {
            if (--running == 0)
                QCoreApplication::exit(0);
        });
        QObject::connect(&stopSignals, &StopSignals::stopRequested, run.get(), &PortRun::stop);
        QTimer::singleShot(0, run.get(), &PortRun::start);
    }
    if (running > 0)
        QCoreApplication::exec();
    for (const auto &run : runs)
        status = worse(status, run->status());

    if (options.command == Command::Load && !options.reportFile.isEmpty()) {
        const QString error = writeReport(options, runs, unopened, status);
        if (!error.isEmpty()) {
            Output::diagnose(QCoreApplication::translate("ctl::Main", "%1：无法写入：%2")
                                 .arg(options.reportFile, error));
            status = worse(status, ExitStatus::BadFile);
        }
    }
    return static_cast<int>(status);
}
