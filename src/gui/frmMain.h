// The main window: folder row, modes and options, the file table, the working panel.
#pragma once

#include <QWidget>

namespace vantrel {

class frmMain : public QWidget {
    Q_OBJECT

public:
    explicit frmMain(QWidget* parent = nullptr);
};

} // namespace vantrel
