#include "qt/qt_message_window.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <vector>

#include "qt/form_dialog.h"
#include "qt/qt_text.h"

namespace norv::qt {
namespace {

constexpr char16_t kOkCaption[] = u"Gerai";
constexpr char16_t kErrorTitle[] = u"Klaida";
constexpr char16_t kNumberLabel[] = u"Klaidos numeris: ";
constexpr char16_t kSourceLabel[] = u"Šaltinis: ";

QMessageBox::Icon IconOf(int32_t kind) {
  switch (kind) {
    case host::kMessageInformation:
      return QMessageBox::Information;
    case host::kMessageError:
      return QMessageBox::Critical;
    case 2:
      return QMessageBox::Warning;
    case 3:
      return QMessageBox::Question;
    default:
      return QMessageBox::NoIcon;
  }
}

QString WindowTitle(const std::u16string& title) {
  if (!title.empty()) return Q(title);
  return QGuiApplication::applicationDisplayName();
}

}  // namespace

QWidget* CurrentOwnerWindow() {
  if (QWidget* modal = QApplication::activeModalWidget()) return modal;
  return QApplication::activeWindow();
}

int32_t QtMessageWindow::ShowMessage(const std::u16string& text, const std::u16string& title,
                                     const std::u16string& button1, const std::u16string& button2,
                                     const std::u16string& button3, const std::u16string& button4,
                                     int32_t default_button, uint8_t /*flags*/, int32_t kind,
                                     const std::u16string& /*extra1*/,
                                     const std::u16string& /*extra2*/,
                                     const std::u16string& /*extra3*/, int32_t /*help_id*/) {
  QMessageBox box(IconOf(kind), WindowTitle(title), Q(text), QMessageBox::NoButton,
                  CurrentOwnerWindow());
  box.setFont(FormFont(u"Tahoma"));
  std::vector<QPushButton*> buttons;
  for (const std::u16string* caption : {&button1, &button2, &button3, &button4}) {
    if (caption->empty()) continue;
    const auto role = buttons.empty() ? QMessageBox::AcceptRole : QMessageBox::RejectRole;
    buttons.push_back(box.addButton(Q(*caption), role));
  }
  if (buttons.empty()) buttons.push_back(box.addButton(Q(kOkCaption), QMessageBox::AcceptRole));
  // Buttons count from 1, as the result does; 0 (what the component passes) is the first.
  const size_t default_index =
      default_button >= 1 && static_cast<size_t>(default_button) <= buttons.size()
          ? static_cast<size_t>(default_button) - 1
          : 0;
  box.setDefaultButton(buttons[default_index]);
  box.setEscapeButton(buttons.back());
  box.exec();
  for (size_t i = 0; i < buttons.size(); ++i) {
    if (box.clickedButton() == buttons[i]) return static_cast<int32_t>(i + 1);
  }
  return static_cast<int32_t>(buttons.size());
}

void ShowErrorBox(const ComError& error) {
  QMessageBox box(QMessageBox::Critical, Q(kErrorTitle), Q(error.description()),
                  QMessageBox::NoButton, CurrentOwnerWindow());
  box.setFont(FormFont(u"Tahoma"));
  box.setInformativeText(Q(kNumberLabel) + QString::number(error.number()) + u'\n' +
                         Q(kSourceLabel) + Q(error.source()));
  QPushButton* ok = box.addButton(Q(kOkCaption), QMessageBox::AcceptRole);
  box.setDefaultButton(ok);
  box.setEscapeButton(ok);
  box.exec();
}

}  // namespace norv::qt
