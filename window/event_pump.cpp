#include "window/event_pump.h"

#include <QCoreApplication>

namespace tamsel {

void QtEventPump::ProcessPendingEvents() { QCoreApplication::processEvents(); }

}  // namespace tamsel
