// The program's event loop: start-up runs inside it, and the window alone
// ends it, with its exit status.
#include "app/run_window.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QTimer>
#include <filesystem>

#include "tests/window/fakes.h"
#include "tests/window/qt_printers.h"
#include "window/main_window.h"

using namespace Qt::Literals::StringLiterals;

namespace tamsel {
namespace {

constexpr int kHung = 99;

class RunWindowTest : public testing::Test {
 protected:
  RunWindowTest() {
    pump.window = &window;
    // A loop that nothing ends would hang the test; end it as a failure.
    QTimer::singleShot(10000, &window, [] { QCoreApplication::exit(kHung); });
  }

  static QString Sample(const char* name) {
    return QString::fromStdString((std::filesystem::path(TAMSEL_SAMPLES_DIR) / name).string());
  }

  test::FakeClock clock;
  test::FakeEventPump pump{clock};
  test::FakeFileDialog dialog;
  test::FakeFatalMessage fatal;
  Tamsel window{dialog, clock, pump, fatal};
};

TEST_F(RunWindowTest, ClosingDuringTheStartUpPauseEndsTheProgram) {
  pump.on_call = [&](int call) {
    if (call == 3) window.close();
  };
  EXPECT_EQ(RunWindow(window, Sample("book97.xls")), 0);
  EXPECT_EQ(pump.calls, 3);
  EXPECT_FALSE(window.isVisible());
}

TEST_F(RunWindowTest, ScanErrorEndsTheProgramWithFailure) {
  EXPECT_EQ(RunWindow(window, u"/nonexistent/ない.xls"_s), 1);
  EXPECT_EQ(fatal.shown.size(), 1u);
}

TEST_F(RunWindowTest, CancelledStartUpDialogLeavesTheWindowOpenUntilClosed) {
  bool visible_after_start_up = false;
  QTimer::singleShot(50, &window, [&] {
    visible_after_start_up = window.isVisible();
    window.close();
  });
  EXPECT_EQ(RunWindow(window, QString()), 0);
  EXPECT_TRUE(visible_after_start_up);
  EXPECT_EQ(dialog.shows, 1);
}

}  // namespace
}  // namespace tamsel
