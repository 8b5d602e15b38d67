#pragma once
#include "comm_control.h"
#include "form.h"
#include "form_vars.h"
#include "message_box.h"
#include "poll_timer.h"

namespace ops {

// Everything a handler may touch: the window's fields, its variables, the serial-port
// control, the message box and the polling timer.
struct Window
{
    Form &form;
    FormVars &vars;
    CommControl &MSComm1;
    MessageBox &messages;
    PollTimer &Timer2;

    // A message with only OK, no icon, titled with the application title.
    void message(const char *text) const;
};

} // namespace ops
