#pragma once

// Marks a text of the standard-library code for Qt's translation tools (lupdate takes it as
// QT_TRANSLATE_NOOP); the Qt code that shows the text translates it in the same context with
// QCoreApplication::translate().
#define RX904_TRANSLATE_NOOP(context, text) text
