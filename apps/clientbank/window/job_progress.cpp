#include "job_progress.h"

#include <QCoreApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLocale>
#include <QProgressBar>
#include <QPushButton>
#include <algorithm>

namespace clientbank::window {
namespace {

// How often a running job lets the window repaint and take a click.
constexpr qint64 kEventsEveryMs = 40;

QString Count(int64_t n) {
  return QLocale(QLocale::Lithuanian, QLocale::Lithuania).toString(static_cast<qlonglong>(n));
}

}  // namespace

JobProgress::JobProgress(QWidget* parent) : QWidget(parent) {
  auto* layout = new QHBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  what_ = new QLabel;
  bar_ = new QProgressBar;
  bar_->setMinimumWidth(240);
  cancel_ = new QPushButton(QStringLiteral("Atšaukti"));
  cancel_->setObjectName(QStringLiteral("cancelJob"));
  layout->addWidget(what_);
  layout->addWidget(bar_, 1);
  layout->addWidget(cancel_);
  connect(cancel_, &QPushButton::clicked, this, [this] {
    cancel_requested_ = true;
    cancel_->setEnabled(false);
    what_->setText(what_->text() + QStringLiteral(" – atšaukiama…"));
  });
  hide();
}

void JobProgress::Begin(const QString& what, bool can_cancel) {
  running_ = true;
  cancel_requested_ = false;
  what_->setText(what);
  bar_->setRange(0, 0);
  bar_->setFormat(QString());
  cancel_->setEnabled(can_cancel);
  show();
  since_events_.start();
}

void JobProgress::Report(int64_t done, int64_t total) {
  if (!running_ || since_events_.elapsed() < kEventsEveryMs) return;
  if (total > 0) {
    bar_->setRange(0, 1000);
    bar_->setValue(static_cast<int>(std::min<int64_t>(1000, done * 1000 / total)));
    bar_->setFormat(QStringLiteral("%1 iš %2 (%p%)").arg(Count(done), Count(total)));
  } else {
    // Without a total the bar keeps moving and shows the count.
    bar_->setRange(0, 0);
    bar_->setFormat(Count(done));
  }
  QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
  since_events_.start();
}

void JobProgress::End() {
  running_ = false;
  hide();
}

}  // namespace clientbank::window
