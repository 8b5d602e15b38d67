#pragma once
#include "commissioning/device_client.h"

namespace ctl {

// rx904ctl's exit status; packaging/rx904ctl.1 documents each.
enum class ExitStatus {
    Ok = 0,
    NoAnswer = 1, // no usable answer: silence, a broken or foreign answer, the line lost
    Usage = 2,
    Refused = 3, // the device answered with an exception
    Differs = 4, // read back (or the device against a file) not as written
    PortFailed = 5,
    BadFile = 6,
};

// With several ports the program ends with the worst: the highest number.
[[nodiscard]] ExitStatus worse(ExitStatus a, ExitStatus b);

[[nodiscard]] ExitStatus statusOf(commissioning::Outcome outcome);

} // namespace ctl
