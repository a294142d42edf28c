#include "frmMain.h"

namespace vantrel {

frmMain::frmMain(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("frmMain"));
}

} // namespace vantrel
