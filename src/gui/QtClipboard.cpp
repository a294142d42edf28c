#include "QtClipboard.h"

#include <QClipboard>
#include <QGuiApplication>

namespace vantrel {

void QtClipboard::setText(const QString& text)
{
    if (QClipboard* c = QGuiApplication::clipboard()) c->setText(text, QClipboard::Clipboard);
}

} // namespace vantrel
