#pragma once
#include "fake_form.h"
#include "fake_serial_control.h"
#include "operations/window.h"
#include "qt_printers.h"

#include <gtest/gtest.h>

namespace testing_support {

// A window of fakes: fields, variables, port, message box and timer.
class OpsFixture : public ::testing::Test
{
protected:
    FakeForm form;
    ops::FormVars vars;
    FakeSerialControl port;
    FakeMessageBox messages;
    FakeTimer timer;
    ops::Window window{form, vars, port, messages, timer};

    void setText(ops::Field field, const QString &text) { form.texts[field] = text; }
    QString text(ops::Field field) const { return form.text(field); }
    QString lastOutput() const
    {
        for (auto it = port.log.crbegin(); it != port.log.crend(); ++it)
            if (it->startsWith(QStringLiteral("Output=")))
                return it->mid(7);
        return {};
    }
    QStringList outputs() const
    {
        QStringList all;
        for (const auto &entry : port.log)
            if (entry.startsWith(QStringLiteral("Output=")))
                all << entry.mid(7);
        return all;
    }
};

} // namespace testing_support
