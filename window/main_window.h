// The window Tamsel: start-up, the Open command and one examination.
#pragma once

#include <QMainWindow>
#include <QString>

class QAction;
class QLabel;
class QMenu;
class QPlainTextEdit;

namespace tamsel {

class Clock;
class EventPump;
class FatalMessage;
class FileDialog;

// The one window of the program. What the platform owns (the Open dialog,
// the clock, the event processing of the pause and the fatal message box)
// comes in through the constructor and must outlive the window.
//
// Form_Load and mnuOpen_Click ask for a path; ExamineFile does the work.
// The program ends when the window is closed or a scan fails: the window
// then emits ended() once with the exit status and does nothing more. It
// never quits the application itself; whoever runs the event loop ends it
// on ended().
class Tamsel : public QMainWindow {
  Q_OBJECT

 public:
  Tamsel(FileDialog& dialog, Clock& clock, EventPump& events, FatalMessage& fatal,
         QWidget* parent = nullptr);
  ~Tamsel() override;

  // Start-up: Form_Load, then the window is shown if the program is not
  // ending. Must run inside the event loop, since the program may end in
  // the middle of it.
  void Start(const QString& argument_text);

  // Start-up with the command-line argument text: examines the path it
  // names, or, when it is empty, the file chosen in the Open dialog.
  void Form_Load(const QString& argument_text);

  // The menu item "開く": asks the Open dialog and examines the file chosen.
  void mnuOpen_Click();

  // One examination: status text, the window shown, a pause of one second
  // that handles events, the scan, the verdict. path is text as
  // PathFromNative (window/native_path.h) holds names. Does nothing once the
  // program is ending; stops where it is when it starts to end, also from
  // inside the pause.
  void ExamineFile(const QString& path);

  // Handles events until the clock has advanced one second, or until the
  // program starts to end.
  void PauseOneSecond();

  // True once the window was closed or a scan failed.
  bool IsEnding() const { return ending_; }

 Q_SIGNALS:
  // The program is done: 0 when the window was closed, 1 after a scan
  // error, which the user has seen in the message box by then.
  void ended(int exit_status);

 protected:
  void closeEvent(QCloseEvent* event) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dropEvent(QDropEvent* event) override;

 private:
  void SetBusyPointer(bool busy);
  void ShowInResult(const QString& text);
  void Fail(const QString& shown_path, const QString& cause);
  void End(int exit_status);

  QLabel* Label;
  QPlainTextEdit* Result;
  QMenu* Menu;
  QAction* mnuOpen;

  FileDialog& CommonDialog1;
  Clock& clock_;
  EventPump& events_;
  FatalMessage& fatal_;

  bool ending_ = false;         // the program is ending: nothing more runs
  bool failed_ = false;         // a scan failed; the exit status is 1
  bool ended_emitted_ = false;  // ended() has been emitted, which happens once
};

}  // namespace tamsel
