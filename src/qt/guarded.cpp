#include "qt/guarded.h"

#include <QMessageBox>
#include <QPushButton>
#include <QtGlobal>
#include <exception>

#include "qt/form_dialog.h"
#include "qt/qt_message_window.h"
#include "runtime/com_error.h"

namespace norv::qt {
namespace {

void ShowFailure(const QString& text) {
  QMessageBox box(QMessageBox::Critical, QStringLiteral("Klaida"), text, QMessageBox::NoButton,
                  CurrentOwnerWindow());
  box.setFont(FormFont(u"Tahoma"));
  QPushButton* ok = box.addButton(QStringLiteral("Gerai"), QMessageBox::AcceptRole);
  box.setDefaultButton(ok);
  box.setEscapeButton(ok);
  box.exec();
}

}  // namespace

bool Guarded(const std::function<void()>& body) noexcept {
  // Showing the box may raise too (out of memory); then a warning on standard
  // error is all that is left, but the event loop still goes on.
  try {
    try {
      body();
      return true;
    } catch (const ComError& error) {
      ShowErrorBox(error);
    } catch (const std::exception& error) {
      ShowFailure(QString::fromUtf8(error.what()));
    } catch (...) {
      ShowFailure(QStringLiteral("Nežinoma klaida."));
    }
  } catch (...) {
    qWarning("an error could not be shown");
  }
  return false;
}

}  // namespace norv::qt
