#include "exit_status.h"

namespace ctl {

ExitStatus worse(ExitStatus a, ExitStatus b)
{
    return static_cast<int>(a) >= static_cast<int>(b) ? a : b;
}

ExitStatus statusOf(commissioning::Outcome outcome)
{
    switch (outcome) {
    case commissioning::Outcome::Answered:
        return ExitStatus::Ok;
    case commissioning::Outcome::Exception:
        return ExitStatus::Refused;
    default:
        return ExitStatus::NoAnswer;
    }
}

} // namespace ctl
