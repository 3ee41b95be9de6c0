// "Process all pending events": how the window stays alive during its pause.
#pragma once

namespace tamsel {

class EventPump {
 public:
  virtual ~EventPump() = default;

  // Handles the events waiting now and returns without waiting for more.
  // May run any handler of the window, the Open command included, so it
  // must be safe to enter again from inside such a handler.
  virtual void ProcessPendingEvents() = 0;
};

class QtEventPump final : public EventPump {
 public:
  void ProcessPendingEvents() override;
};

}  // namespace tamsel
