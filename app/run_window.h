// The event loop of the program, with the window's start-up inside it.
#pragma once

#include <QString>

namespace tamsel {

class Tamsel;

// Runs start-up (Tamsel::Start with argument_text) from inside the event
// loop and the loop until the window ends the program; returns the exit
// status the window gave. Start-up must not run before the loop: the
// window may be closed, or a scan fail, in the middle of it, and in Qt 6 an
// exit() before exec() is lost, which would leave a process without a
// window.
//
// Only the window decides when the program ends: while the loop runs, no
// other window's closing (the Open dialog's before the main window first
// shows, a message box's) can quit it.
int RunWindow(Tamsel& window, const QString& argument_text);

}  // namespace tamsel
