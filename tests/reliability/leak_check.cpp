// A program that loses memory on purpose in a button's click handler, reached through Qt's
// own event delivery (QtGui's mouse handling, QtWidgets' dispatch). The suite runs it to
// show that LeakSanitizer is on and that the suppressions, which name only Qt's and
// fontconfig's own caches, do not hide a leak of ours made inside a Qt callback.
#include <QApplication>
#include <QPushButton>
#include <QTest>

namespace {

char *volatile g_lost = nullptr;

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    QPushButton button(QStringLiteral("leak"));
    QObject::connect(&button, &QPushButton::clicked, [] {
        g_lost = new char[4096];
        g_lost = nullptr;
    });
    button.resize(100, 40);
    button.show();
    if (!QTest::qWaitForWindowExposed(&button))
        return 2;
    // Through the window, so that the click passes QtGui's event processing first.
    QTest::mouseClick(button.windowHandle(), Qt::LeftButton, {}, QPoint(50, 20));
    return 0;
}
