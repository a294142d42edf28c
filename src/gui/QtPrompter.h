// Questions and messages as modal message boxes over a window.
#pragma once

#include "platform/Prompter.h"

#include <QPointer>
#include <QWidget>

namespace vantrel {

class QtPrompter : public Prompter {
  public:
    explicit QtPrompter(QWidget* owner = nullptr) : owner_(owner) {}

    Answer ask(const QString& text, const QString& title, Buttons buttons, Icon icon) override;

  private:
    QPointer<QWidget> owner_;
};

} // namespace vantrel
