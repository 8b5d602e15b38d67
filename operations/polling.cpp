#include "polling.h"

#include "field_values.h"
#include "messages.h"
#include "single_query.h"
#include "values/numeric_text.h"

#include <cmath>

namespace ops {

void cmdOneM_Click(const Window &w)
{
    w.form.setText(Field::lblCounter, QStringLiteral("1"));
    w.form.setText(Field::lblErrCounter, QStringLiteral("1"));
    w.vars.RecCount = 1;

    const auto period = numberIn(w.form, Field::txtTimerSet);
    if (!period) {
        w.message(text::kBadPeriod);
        return;
    }
    const double whole = std::floor(*period);
    if (whole < 50 || whole > 60000) {
        w.message(text::kPeriodRange);
        return;
    }
    w.vars.CommReady = true;
    w.Timer2.setInterval(static_cast<int>(values::roundHalfEven(*period)));
    w.Timer2.setEnabled(true);
}

void cmdStopOnce_Click(const Window &w)
{
    w.Timer2.setEnabled(false);
    // Without polling nothing overwrites a typed value: it is an ordinary field again.
    for (int k = 0; k < modbus::kValueFieldCount; ++k)
        w.form.setAwaitsWrite(valueField(k), false);
}

void Timer2_Timer(const Window &w)
{
    if (!numberIn(w.form, Field::txtDataLength))
        w.form.setText(Field::txtDataLength, QStringLiteral("1"));

    const auto sent = numberIn(w.form, Field::lblCounter);
    if (sent && *sent > 65535) {
        // Both counters restart together so that they stay comparable.
        w.form.setText(Field::lblCounter, QStringLiteral("0"));
        w.vars.RecCount = 0;
        w.form.setText(Field::lblErrCounter, QStringLiteral("0"));
    }
    if (w.vars.CommReady) {
        comDoOnce_Click(w);
        // A refusal of a polled request is the lamp's and the monitor's to tell, not a box's.
        w.vars.LastRequestPolled = true;
    }
}

} // namespace ops
