#include "qt_test_host.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFontDatabase>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <algorithm>
#include <cstdlib>
#include <vector>

#include <gtest/gtest.h>

#include "runtime/variant.h"
#include "support/data_files.h"

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

// The visible controls of `parent` (the dialog or a frame) row by row, top to
// bottom ("|"), left to right (" "): a frame's rows in [], a combo's entries in {}
// (by ","), "*" after the default button and "~" after the cancel one; then the
// hidden ones, each as " -name".
QString Rows(qt::FormDialog& dialog, QWidget* parent) {
  std::vector<QWidget*> shown;
  QString hidden;
  for (const auto& control : dialog.form().Controls()) {
    QWidget* widget = dialog.WidgetFor(control->Name());
    if (widget->parentWidget() == parent && widget->isVisible()) shown.push_back(widget);
    if (widget->parentWidget() == parent && !widget->isVisible())
      hidden += " -" + widget->objectName();
  }
  auto middle = [](QWidget* w) { return w->geometry().center().y(); };
  std::stable_sort(shown.begin(), shown.end(),
                   [&](QWidget* a, QWidget* b) { return middle(a) < middle(b); });
  std::vector<std::vector<QWidget*>> rows;
  for (QWidget* widget : shown) {
    if (rows.empty() || middle(widget) > rows.back()[0]->geometry().bottom()) rows.emplace_back();
    rows.back().push_back(widget);
  }
  QStringList lines;
  for (auto& row : rows) {
    std::sort(row.begin(), row.end(), [](QWidget* a, QWidget* b) { return a->x() < b->x(); });
    QStringList names;
    for (QWidget* widget : row) {
      QString name = widget->objectName();
      if (qobject_cast<QGroupBox*>(widget)) name += u'[' + Rows(dialog, widget) + u']';
      if (auto* combo = qobject_cast<QComboBox*>(widget)) {
        QStringList entries;
        for (int i = 0; i < combo->count(); ++i) entries << combo->itemText(i);
        name += u'{' + entries.join(u',') + u'}';
      }
      if (widget == dialog.DefaultButton()) name += u'*';
      if (widget == dialog.CancelButton()) name += u'~';
      names << name;
    }
    lines << names.join(u' ');
  }
  return lines.join(u'|') + hidden;
}

}  // namespace

void CheckLayout(qt::FormDialog& dialog, const QString& name) {
  QCoreApplication::processEvents();  // pending layouts and resizes
  QStringList tab;                    // the order Tab goes through
  for (QWidget* w = dialog.nextInFocusChain(); w != &dialog; w = w->nextInFocusChain()) {
    if ((w->focusPolicy() & Qt::TabFocus) && w->isVisible() && !w->objectName().isEmpty())
      tab << w->objectName();
  }
  const std::string expected = testing::DataBytes("qt_forms", name.toStdString() + ".txt");
  EXPECT_EQ((Rows(dialog, &dialog) + "\ntab: " + tab.join(u' ') + u'\n').toStdString(), expected);
  QString shown = dialog.windowTitle(), captions = Q(dialog.form().Caption());
  for (const auto& control : dialog.form().Controls()) {  // the captions shown
    QWidget* widget = dialog.WidgetFor(control->Name());
    const char* property = qobject_cast<QGroupBox*>(widget) ? "title" : "text";
    if (qobject_cast<QGroupBox*>(widget) || qobject_cast<QLabel*>(widget) ||
        qobject_cast<QAbstractButton*>(widget)) {
      shown += u'|' + widget->property(property).toString();
      captions += u'|' + Q(control->Caption());
    }
  }
  EXPECT_EQ(shown, captions);
  for (QWidget* widget : dialog.findChildren<QWidget*>()) {
    const bool captioned = qobject_cast<QLabel*>(widget) || qobject_cast<QAbstractButton*>(widget);
    EXPECT_TRUE(!captioned || !widget->isVisible() ||
                widget->width() >= widget->minimumSizeHint().width())
        << widget->objectName().toStdString() << " is cut off";
  }
  // The form's font when the machine has it, otherwise the system's sans-serif.
  EXPECT_EQ(dialog.font().family(),
            QFontDatabase::families().contains(u"Tahoma", Qt::CaseInsensitive)
                ? QStringLiteral("Tahoma")
                : QFontDatabase::systemFont(QFontDatabase::GeneralFont).family());
  SaveScreenshot(dialog, name);
}

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
  const int target = combo != nullptr ? combo->findData(code) : -1;
  if (target < 0) {
    ADD_FAILURE() << "no entry " << code.toStdString();
    return;
  }
  combo->setFocus();
  while (combo->currentIndex() != target)
    QTest::keyClick(combo, combo->currentIndex() < target ? Qt::Key_Down : Qt::Key_Up);
}

void PressKey(qt::FormDialog& dialog, Qt::Key key) {
  QWidget* target = dialog.focusWidget() != nullptr ? dialog.focusWidget() : &dialog;
  QTest::keyClick(target, key);
}

QString TextOf(qt::FormDialog& dialog, const char16_t* control) {
  QWidget* widget = dialog.WidgetFor(control);
  if (auto* edit = qobject_cast<QLineEdit*>(widget)) return edit->text();
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
    seen = {true, box.windowTitle(), box.text(), box.informativeText(), box.icon(), {}};
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
