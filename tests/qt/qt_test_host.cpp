#include "qt_test_host.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <cstdlib>

#include <gtest/gtest.h>

#include "runtime/variant.h"

namespace norv::qttest {
namespace {

template <typename T>
T* Find(qt::FormDialog& dialog, const char16_t* control) {
  T* widget = qobject_cast<T*>(dialog.WidgetFor(control));
  if (widget == nullptr) {
    ADD_FAILURE() << "no widget " << QString::fromUtf16(control).toStdString() << " in "
                  << dialog.objectName().toStdString();
  }
  return widget;
}

}  // namespace

void ScreenUser::Attach(qt::QtFormsDriver& driver) {
  driver.SetShowObserver([this, &driver](qt::FormDialog& dialog) {
    if (users_.empty()) ADD_FAILURE() << "no user for " << dialog.objectName().toStdString();
    if (!users_.empty()) {
      User user = std::move(users_.front());
      users_.pop_front();
      user(dialog);
    }
    if (dialog.isVisible() && driver.ActiveDialog() == &dialog) {
      ADD_FAILURE() << "left on screen: " << dialog.objectName().toStdString();
      dialog.close();
    }
  });
}

qt::FileDialogRunner ScreenUser::FileRunner() {
  return [this](QFileDialog& dialog) {
    if (file_answers_.empty()) {
      ADD_FAILURE() << "no answer for file dialog " << dialog.windowTitle().toStdString();
      return false;
    }
    FileAnswer answer = std::move(file_answers_.front());
    file_answers_.pop_front();
    return answer(dialog);
  };
}

void TypeInto(qt::FormDialog& dialog, const char16_t* control, const QString& text) {
  QLineEdit* edit = Find<QLineEdit>(dialog, control);
  if (edit == nullptr) return;
  edit->setFocus();
  QTest::keyClick(edit, Qt::Key_A, Qt::ControlModifier);
  if (text.isEmpty()) QTest::keyClick(edit, Qt::Key_Delete);
  for (QChar ch : text) {
    // QTest's own typing knows ASCII only; Lithuanian letters come as the text of
    // a key the keyboard layout produced.
    QTest::sendKeyEvent(QTest::Click, edit, Qt::Key_unknown, QString(ch), Qt::NoModifier);
  }
}

void ClickOn(qt::FormDialog& dialog, const char16_t* control) {
  if (QPushButton* button = Find<QPushButton>(dialog, control)) {
    QTest::mouseClick(button, Qt::LeftButton);
  }
}

void Toggle(qt::FormDialog& dialog, const char16_t* control) {
  if (QCheckBox* check = Find<QCheckBox>(dialog, control)) {
    check->setFocus();
    QTest::keyClick(check, Qt::Key_Space);
  }
}

void PickCode(qt::FormDialog& dialog, const char16_t* control, const QString& code) {
  QComboBox* combo = Find<QComboBox>(dialog, control);
  if (combo == nullptr) return;
  const int target = combo->findData(code);
  if (target < 0) {
    ADD_FAILURE() << "combo " << combo->objectName().toStdString() << " does not list "
                  << code.toStdString();
    return;
  }
  combo->setFocus();
  while (combo->currentIndex() < target) QTest::keyClick(combo, Qt::Key_Down);
  while (combo->currentIndex() > target) QTest::keyClick(combo, Qt::Key_Up);
}

void PressKey(qt::FormDialog& dialog, Qt::Key key) {
  QWidget* target = dialog.focusWidget() != nullptr ? dialog.focusWidget() : &dialog;
  QTest::keyClick(target, key);
}

QString TextOf(qt::FormDialog& dialog, const char16_t* control) {
  QWidget* widget = dialog.WidgetFor(control);
  if (auto* edit = qobject_cast<QLineEdit*>(widget)) return edit->text();
  if (auto* button = qobject_cast<QAbstractButton*>(widget)) return button->text();
  if (auto* label = qobject_cast<QLabel*>(widget)) return label->text();
  if (auto* combo = qobject_cast<QComboBox*>(widget)) return combo->currentData().toString();
  ADD_FAILURE() << "no text widget " << QString::fromUtf16(control).toStdString();
  return QString();
}

void SaveScreenshot(QWidget& widget, const QString& name) {
  const char* binary_dir = std::getenv("NORV_BINARY_DIR");
  QDir dir(binary_dir != nullptr ? QString::fromLocal8Bit(binary_dir) : QDir::currentPath());
  dir.mkpath(QStringLiteral("screenshots"));
  QCoreApplication::processEvents();  // pending layouts and resizes
  EXPECT_TRUE(widget.grab().save(dir.filePath(QStringLiteral("screenshots/") + name + ".png")));
}

void AnswerNextMessageBox(SeenMessage& seen, const QString& screenshot) {
  OnNextModal<QMessageBox>([&seen, screenshot](QMessageBox& box) {
    seen.seen = true;
    seen.title = box.windowTitle();
    seen.text = box.text();
    seen.informative = box.informativeText();
    seen.icon = box.icon();
    for (QAbstractButton* button : box.buttons()) seen.buttons << button->text();
    if (!screenshot.isEmpty()) SaveScreenshot(box, screenshot);
    if (box.defaultButton() == nullptr) {
      ADD_FAILURE() << "message box without a default button";
      box.close();
      return;
    }
    QTest::keyClick(&box, Qt::Key_Return);
  });
}

}  // namespace norv::qttest
