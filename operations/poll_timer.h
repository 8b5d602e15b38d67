#pragma once

namespace ops {

// The polling timer: ticks once per interval while enabled and the interval is above 0.
class PollTimer
{
public:
    virtual ~PollTimer() = default;
    // Setting the interval starts a new period.
    virtual void setInterval(int milliseconds) = 0;
    [[nodiscard]] virtual int interval() const = 0;
    virtual void setEnabled(bool enabled) = 0;
    [[nodiscard]] virtual bool isEnabled() const = 0;
};

} // namespace ops
