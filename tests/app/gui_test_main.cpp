#include <QApplication>

#include <gtest/gtest.h>

int main(int argc, char **argv)
{
    // Before the QApplication: the platform is chosen when it is constructed.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
