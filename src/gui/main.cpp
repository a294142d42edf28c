// vantrel: the windowed program.
#include "Version.h"
#include "frmMain.h"

#include <QApplication>

#include <cstdio>

int main(int argc, char** argv)
{
    for (int i = 1; i < argc; ++i) {
        if (qstrcmp(argv[i], "--version") == 0) {
            std::printf("vantrel %s\n", qPrintable(vantrel::versionFull()));
            return 0;
        }
    }
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Vantrel"));
    QApplication::setApplicationVersion(vantrel::versionFull());
    vantrel::frmMain w;
    w.show();
    return QApplication::exec();
}
