#include "frm_main.h"
#include "qt_message_box.h"
#include "serial/qt_serial_control.h"
#include "startup_report.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("rx904-tool"));

    serial::QtSerialControl MSComm1;
    app::QtMessageBox messages;
    app::frmMain window(MSComm1, messages);
    messages.setParent(&window);
    window.Form_Load();
    app::reportStartupWhenShown(window, [&MSComm1] { return MSComm1.portOpen(); });
    window.show();
    // Closing the window ends the program; MSComm1 closes the port as it goes.
    return QApplication::exec();
}
