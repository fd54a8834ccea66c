#include "qt/qt_wait_indicator.h"

#include <QCursor>
#include <QGuiApplication>

namespace norv::qt {

QtWaitIndicator::QtWaitIndicator() {
  if (qGuiApp == nullptr) return;
  QGuiApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
  shown_ = true;
}

QtWaitIndicator::~QtWaitIndicator() {
  if (shown_) QGuiApplication::restoreOverrideCursor();
}

}  // namespace norv::qt
