// Fakes of the window's seams that record what the window did, and when.
#pragma once

#include <QCursor>
#include <QString>
#include <QStringList>
#include <deque>
#include <functional>
#include <ostream>
#include <vector>

#include "window/clock.h"
#include "window/event_pump.h"
#include "window/fatal_message.h"
#include "window/file_dialog.h"

namespace tamsel {
class Tamsel;
}

namespace tamsel::test {

// What the user sees of the window at one moment.
struct Look {
  QString label;
  QString result;  // as the text box holds it: lines broken by "\n"
  Qt::CursorShape pointer = Qt::ArrowCursor;
  bool visible = false;

  friend bool operator==(const Look&, const Look&) = default;
};

Look LookOf(const Tamsel& window);
void PrintTo(const Look& look, std::ostream* os);

// A clock that stands still until the event pump moves it.
class FakeClock final : public Clock {
 public:
  Duration Now() override { return now; }
  Duration now{};
};

// Each call advances the clock by step, records how the window looks, and
// then runs on_call with the number of the call (from 1), where a test
// plays the user: chooses a menu item, closes the window.
class FakeEventPump final : public EventPump {
 public:
  explicit FakeEventPump(FakeClock& clock) : clock_(clock) {}
  void ProcessPendingEvents() override;

  Clock::Duration step = std::chrono::milliseconds(100);
  const Tamsel* window = nullptr;  // whose look is recorded
  std::function<void(int call)> on_call;
  std::vector<Look> looks;  // one per call, taken before on_call
  int calls = 0;

 private:
  FakeClock& clock_;
};

// Answers each ShowOpen with the next of answers (an empty one, or none
// left, cancels) and records what it was set up with.
class FakeFileDialog final : public FileDialog {
 public:
  void SetFilter(const QString& list) override { filter = list; }
  void SetFilterIndex(int index) override { filter_index = index; }
  void ShowOpen(QWidget* owner) override;
  QString FileName() const override { return file_name_; }

  std::deque<QString> answers;
  QString filter;
  int filter_index = 0;
  int shows = 0;
  std::vector<bool> owner_visible;  // at each ShowOpen
  const Tamsel* window = nullptr;
  std::vector<Look> looks;  // at each ShowOpen

 private:
  QString file_name_;
};

class FakeFatalMessage final : public FatalMessage {
 public:
  void Show(QWidget* parent, const QString& title, const QString& text) override;

  struct Shown {
    QString title;
    QString text;
    Look look;  // of the window while the box is up
  };
  std::vector<Shown> shown;
  const Tamsel* window = nullptr;
  std::function<void()> on_show;
};

}  // namespace tamsel::test
