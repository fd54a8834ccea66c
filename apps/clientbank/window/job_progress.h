// JobProgress: the bar at the foot of the window while a job runs: what runs,
// how far it has come, and a Cancel button.
//
// Jobs run on the window's thread, because the component's dialogs are modal
// dialogs of that thread. So that the bar moves and Cancel can be pressed in
// the middle of a long job, Report() lets the event loop run now and then (at
// most every few tens of milliseconds, so a million rows are not slowed down
// by a million turns of the loop). Cancel only records the wish; the job asks
// for it between documents and ends in its own way.
#pragma once

#include <QElapsedTimer>
#include <QWidget>
#include <cstdint>

class QLabel;
class QProgressBar;
class QPushButton;

namespace clientbank::window {

class JobProgress : public QWidget {
 public:
  explicit JobProgress(QWidget* parent = nullptr);

  // Shows the bar for a job named `what`, moving without a measure until the
  // first Report(); Cancel is offered when the job can stop midway.
  void Begin(const QString& what, bool can_cancel = true);
  // `done` of `total` (0: unknown, the bar then shows a count and keeps moving).
  void Report(int64_t done, int64_t total);
  // Hides the bar.
  void End();

  bool cancel_requested() const { return cancel_requested_; }
  bool running() const { return running_; }
  QPushButton* cancel_button() const { return cancel_; }
  QProgressBar* bar() const { return bar_; }

 private:
  QLabel* what_ = nullptr;
  QProgressBar* bar_ = nullptr;
  QPushButton* cancel_ = nullptr;
  QElapsedTimer since_events_;
  bool cancel_requested_ = false;
  bool running_ = false;
};

}  // namespace clientbank::window
