#include "command_line.h"
#include "frm_main.h"
#include "qt_message_box.h"

#include "operations/comm_adapter.h"
#include "serial/port_directory.h"
#include "translations/language.h"

#include <QApplication>
#include <QTimer>

#include <cstdio>

#ifdef Q_OS_WIN
#include <qt_windows.h>

namespace {

// rx904-tool.exe is a window program, which Windows starts without a console. --help,
// --version and a refused option print into the console it was started from, if any; output
// already sent to a file or a pipe stays there.
void printIntoStartingConsole()
{
    if (GetFileType(GetStdHandle(STD_OUTPUT_HANDLE)) != FILE_TYPE_UNKNOWN)
        return;
    if (!AttachConsole(ATTACH_PARENT_PROCESS))
        return;
    std::freopen("CONOUT$", "w", stdout);
    std::freopen("CONOUT$", "w", stderr);
}

} // namespace
#endif

int main(int argc, char *argv[])
{
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    const i18n::Language language = i18n::languageFor(arguments);
    // --help, --version and a mistyped option answer on a terminal without a display and never
    // open a window; their texts need no more than a QCoreApplication to be translated.
    if (app::parseCommandLine(arguments).exitStatus) {
        QCoreApplication application(argc, argv);
        i18n::installTranslations(language);
        const app::CommandLine commandLine = app::parseCommandLine(arguments);
#ifdef Q_OS_WIN
        printIntoStartingConsole();
#endif
        std::fputs(commandLine.text.toLocal8Bit().constData(),
                   *commandLine.exitStatus == 0 ? stdout : stderr);
        return *commandLine.exitStatus;
    }

    QApplication application(argc, argv);
    i18n::installTranslations(language);
    const app::CommandLine commandLine = app::parseCommandLine(arguments);
    QApplication::setApplicationName(QStringLiteral("rx904-tool"));
    // Lets the desktop match the window with its menu entry and icon.
    QApplication::setDesktopFileName(QStringLiteral("io.github.rx904tool.Rx904Tool"));

    serial::PortDirectory ports(app::portMap(commandLine));
    ops::CommAdapter MSComm1(ports);
    app::QtMessageBox messages;
    app::frmMain window(MSComm1, messages);
    messages.setParent(&window);
    // The monitor follows the line from the first open on, whether its window is open or not.
    window.trafficMonitor().follow(MSComm1);
    window.Form_Load();
    window.show();
    if (commandLine.configure)
        QTimer::singleShot(0, &window, &app::frmMain::openConfiguration);
    if (commandLine.monitor)
        window.openTrafficMonitor();
    // Closing the window ends the program; MSComm1 closes the port as it goes.
    return QApplication::exec();
}
