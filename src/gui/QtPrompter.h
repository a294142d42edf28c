// Questions and messages as modal message boxes over a window.
#pragma once

#include "platform/Prompter.h"

#include <QPointer>
#include <QWidget>

namespace vantrel {

class QtPrompter : public Prompter {
  public:
    explicit QtPrompter(QWidget* owner = nullptr) : owner_(owner) {}

    // The box is the same for every question: id is not shown.
    Answer ask(Question id, const QString& text, const QString& title, Buttons buttons, Icon icon) override;

  private:
    QPointer<QWidget> owner_;
};

} // namespace vantrel
