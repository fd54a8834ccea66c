#include "check_dialogs.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QLocale>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>
#include <algorithm>
#include <string>

#include "qt/qt_text.h"
#include "runtime/variant.h"
#include "table_models.h"

namespace clientbank::window {
namespace {

using norv::qt::Q;

QString Rate(const std::optional<norv::Currency>& rate) {
  if (!rate) return QStringLiteral("–");
  return QLocale(QLocale::Lithuanian, QLocale::Lithuania)
      .toString(static_cast<double>(rate->raw()) / 10000.0, 'f', 4);
}

// A modal list: a sentence above a table, buttons below. Returns whether the
// dialog was accepted.
bool ShowList(QWidget* parent, const QString& title, const QString& sentence, TextTableModel& model,
              const QString& accept, const QString& reject) {
  QDialog dialog(parent);
  dialog.setObjectName(QStringLiteral("checkList"));
  dialog.setWindowTitle(title);
  auto* layout = new QVBoxLayout(&dialog);
  auto* label = new QLabel(sentence);
  label->setWordWrap(true);
  layout->addWidget(label);
  QTableView* view = MakeTableView(&model);
  view->resizeColumnsToContents();
  view->horizontalHeader()->setStretchLastSection(true);
  layout->addWidget(view);
  auto* buttons = new QDialogButtonBox;
  if (!accept.isEmpty()) {
    QPushButton* button = buttons->addButton(accept, QDialogButtonBox::AcceptRole);
    button->setObjectName(QStringLiteral("accept"));
    button->setDefault(true);
  }
  QPushButton* close = buttons->addButton(reject, QDialogButtonBox::RejectRole);
  close->setObjectName(QStringLiteral("reject"));
  if (accept.isEmpty()) close->setDefault(true);
  QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
  QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
  layout->addWidget(buttons);
  dialog.resize(820, 420);
  return dialog.exec() == QDialog::Accepted;
}

}  // namespace

bool ShowPaymentProblems(QWidget* parent, const std::vector<norv::jobs::PaymentProblem>& problems) {
  TextTableModel model(
      {QStringLiteral("Nr."), QStringLiteral("Dok. Nr."), QStringLiteral("Laukas"),
       QStringLiteral("Taisyklė"), QStringLiteral("Reikšmė"), QStringLiteral("Lygis")},
      {0});
  std::vector<QStringList> rows;
  for (const norv::jobs::PaymentProblem& problem : problems) {
    const bool error = problem.level == norv::jobs::ProblemLevel::kError;
    rows.push_back({QString::number(problem.index + 1), Q(problem.doc_number), Q(problem.field),
                    QString::fromStdString(problem.rule), Q(problem.value),
                    error ? QStringLiteral("klaida") : QStringLiteral("įspėjimas")});
  }
  model.SetRows(std::move(rows));
  const bool errors = std::any_of(problems.begin(), problems.end(), [](const auto& problem) {
    return problem.level == norv::jobs::ProblemLevel::kError;
  });
  if (errors) {
    ShowList(parent, QStringLiteral("Mokėjimų klaidos"),
             QStringLiteral("Mokėjimuose rasta klaidų: neeksportuotas nė vienas mokėjimas. "
                            "Ištaisykite juos ir eksportuokite dar kartą."),
             model, QString(), QStringLiteral("Uždaryti"));
    return false;
  }
  return ShowList(parent, QStringLiteral("Mokėjimų įspėjimai"),
                  QStringLiteral("Mokėjimuose rasta įspėjimų. Ar eksportuoti vis tiek?"), model,
                  QStringLiteral("Eksportuoti"), QStringLiteral("Atšaukti"));
}

bool AskKeepRateChanges(QWidget* parent, const std::vector<norv::jobs::RateChange>& changes) {
  if (changes.empty()) return true;
  TextTableModel model({QStringLiteral("Valiuta"), QStringLiteral("Kurso tipas"),
                        QStringLiteral("Data"), QStringLiteral("Buvo"), QStringLiteral("Dabar"),
                        QStringLiteral("Pokytis, %"), QStringLiteral("Įspėjimas")},
                       {3, 4, 5});
  std::vector<QStringList> rows;
  for (const norv::jobs::RateChange& change : changes) {
    rows.push_back({Q(change.currency), Q(change.rate_type),
                    Q(norv::VariantToText(norv::Variant(change.date))), Rate(change.old_rate),
                    Rate(change.new_rate),
                    change.change_percent ? QLocale(QLocale::Lithuanian, QLocale::Lithuania)
                                                .toString(*change.change_percent, 'f', 2)
                                          : QString(),
                    Q(change.warning)});
  }
  model.SetRows(std::move(rows));
  const bool warnings = norv::jobs::AnyWarning(changes);
  return ShowList(parent, QStringLiteral("Valiutų kursų pakeitimai"),
                  warnings ? QStringLiteral("Kai kurie kursai įtartini (žr. įspėjimus). Palikti "
                                            "įkeltus kursus ar atšaukti įkėlimą?")
                           : QStringLiteral("Įkelti kursai pakeis kursų knygą taip. Palikti?"),
                  model, QStringLiteral("Palikti"), QStringLiteral("Atšaukti įkėlimą"));
}

}  // namespace clientbank::window
