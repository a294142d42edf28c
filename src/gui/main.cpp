// vantrel: the windowed program.
#include "Version.h"
#include "frmMain.h"

#include <QApplication>
#include <QFileInfo>
#include <QTimer>
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
    // Files and folders handed over by the desktop ("Open with") join the
    // list as if they had been dropped on it.
    QStringList paths;
    for (const QString& a : QApplication::arguments().mid(1)) {
        if (QFileInfo::exists(a)) paths.append(QFileInfo(a).absoluteFilePath());
    }
    if (!paths.isEmpty()) QTimer::singleShot(0, &w, [&w, paths] { w.addDroppedPaths(paths); });
    return QApplication::exec();
}
