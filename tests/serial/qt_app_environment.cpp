// The serial control needs an event loop: one QCoreApplication for the whole test run.
#include <QCoreApplication>
#include <gtest/gtest.h>
#include <memory>

namespace {

class QtAppEnvironment : public ::testing::Environment
{
public:
    void SetUp() override
    {
        static int argc = 1;
        static char name[] = "serial_pty_test";
        static char *argv[] = {name, nullptr};
        m_app = std::make_unique<QCoreApplication>(argc, argv);
    }
    void TearDown() override { m_app.reset(); }

private:
    std::unique_ptr<QCoreApplication> m_app;
};

[[maybe_unused]] ::testing::Environment *const kQtApp =
    ::testing::AddGlobalTestEnvironment(new QtAppEnvironment);

} // namespace
