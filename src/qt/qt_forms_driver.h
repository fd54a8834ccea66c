// QtFormsDriver: the forms driver of the screen. RunModal puts the form up as
// an application-modal FormDialog and runs a nested event loop until the form
// is hidden or unloaded (EndModal). Shows nest: a form shown from a handler of
// another runs its own loop inside the outer one.
#pragma once

#include <QEventLoop>
#include <exception>
#include <functional>
#include <vector>

#include "forms/forms_driver.h"
#include "qt/form_dialog.h"

namespace norv::qt {

class QtFormsDriver : public forms::FormsDriver {
 public:
  // `books` lists the entries of the host books behind host combos.
  explicit QtFormsDriver(BookLister books);
  ~QtFormsDriver() override;

  void RunModal(forms::Form& form) override;
  void EndModal(forms::Form& form) override;

  // Called once the dialog of each show is up and its loop runs (a test's user,
  // a screenshot); the dialog is on screen until the form ends the show.
  using ShowObserver = std::function<void(FormDialog& dialog)>;
  void SetShowObserver(ShowObserver observer) { observer_ = std::move(observer); }

  // Called when a show has ended, before its dialog goes; the form still holds
  // what the user left in it unless it was unloaded (a host reading the outcome).
  using ShowEndObserver = std::function<void(forms::Form& form)>;
  void SetShowEndObserver(ShowEndObserver observer) { end_observer_ = std::move(observer); }

  // The dialog of the innermost running show, nullptr when none.
  FormDialog* ActiveDialog() const;

 private:
  struct Show {
    forms::Form* form = nullptr;
    FormDialog* dialog = nullptr;
    QEventLoop* loop = nullptr;
    bool ended = false;
  };
  void End(Show& show);

  BookLister books_;
  ShowObserver observer_;
  ShowEndObserver end_observer_;
  std::vector<Show*> shows_;  // innermost last
};

}  // namespace norv::qt
