#include "qt/qt_forms_driver.h"

#include <QApplication>
#include <QPointer>
#include <QTimer>
#include <algorithm>

namespace norv::qt {

QtFormsDriver::QtFormsDriver(BookLister books) : books_(std::move(books)) {}

QtFormsDriver::~QtFormsDriver() = default;

FormDialog* QtFormsDriver::ActiveDialog() const {
  return shows_.empty() ? nullptr : shows_.back()->dialog;
}

void QtFormsDriver::RunModal(forms::Form& form) {
  QWidget* owner = QApplication::activeModalWidget();
  if (owner == nullptr) owner = QApplication::activeWindow();
  FormDialog dialog(form, books_, owner);
  dialog.setWindowModality(Qt::ApplicationModal);
  QEventLoop loop;
  Show show{&form, &dialog, &loop, false};
  shows_.push_back(&show);
  dialog.SetOnHandlerError([this, &show] { End(show); });

  dialog.show();
  dialog.raise();
  dialog.activateWindow();
  if (observer_) {
    QPointer<FormDialog> alive(&dialog);
    QTimer::singleShot(0, &dialog, [this, alive] {
      if (alive && observer_) observer_(*alive);
    });
  }
  if (!show.ended && form.IsVisible()) loop.exec(QEventLoop::DialogExec);

  shows_.erase(std::find(shows_.begin(), shows_.end(), &show));
  dialog.hide();
  std::exception_ptr error = dialog.TakeHandlerError();
  if (error) std::rethrow_exception(error);
  if (end_observer_) end_observer_(form);
}

void QtFormsDriver::EndModal(forms::Form& form) {
  // The innermost show of the form ends; an outer show of another form goes on.
  for (auto it = shows_.rbegin(); it != shows_.rend(); ++it) {
    if ((*it)->form == &form) {
      End(**it);
      return;
    }
  }
}

void QtFormsDriver::End(Show& show) {
  show.ended = true;
  show.dialog->hide();
  show.loop->quit();
}

}  // namespace norv::qt
