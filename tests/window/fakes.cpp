#include "tests/window/fakes.h"

#include <QLabel>
#include <QPlainTextEdit>
#include <QWidget>

#include "window/main_window.h"

using namespace Qt::Literals::StringLiterals;

namespace tamsel::test {

Look LookOf(const Tamsel& window) {
  const auto* label = window.findChild<QLabel*>(u"Label"_s);
  const auto* result = window.findChild<QPlainTextEdit*>(u"Result"_s);
  return {label->text(), result->toPlainText(), window.cursor().shape(), window.isVisible()};
}

void PrintTo(const Look& look, std::ostream* os) {
  *os << "{label \"" << look.label.toStdString() << "\", result \"" << look.result.toStdString()
      << "\", pointer " << look.pointer << (look.visible ? ", visible}" : ", hidden}");
}

void FakeEventPump::ProcessPendingEvents() {
  ++calls;
  clock_.now += step;
  if (window != nullptr) looks.push_back(LookOf(*window));
  if (on_call) on_call(calls);
}

void FakeFileDialog::ShowOpen(QWidget* owner) {
  ++shows;
  owner_visible.push_back(owner != nullptr && owner->isVisible());
  if (window != nullptr) looks.push_back(LookOf(*window));
  file_name_.clear();
  if (!answers.empty()) {
    file_name_ = answers.front();
    answers.pop_front();
  }
}

void FakeFatalMessage::Show(QWidget* /*parent*/, const QString& title, const QString& text) {
  shown.push_back({title, text, window != nullptr ? LookOf(*window) : Look{}});
  if (on_show) on_show();
}

}  // namespace tamsel::test
