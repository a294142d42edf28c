// Runs the built vantrel-cli (VANTREL_CLI) as a separate process and keeps
// what it printed.
#pragma once

#include "TestFiles.h"

#include <QDir>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QStringList>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace vantrel::test {

struct CliRun {
    int exitCode = -1; // -1: not started, crashed or hung
    QString out;
    QString err;
};

inline CliRun runCli(const QStringList& args, const QByteArray& input = {},
                     const QProcessEnvironment& env = QProcessEnvironment::systemEnvironment())
{
    QProcess p;
    p.setProcessEnvironment(env);
    p.start(QStringLiteral(VANTREL_CLI), args);
    p.write(input); // kept until the program has started
    p.closeWriteChannel();
    if (!p.waitForFinished(120000)) return {}; // killed as p goes
    return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1,
            QString::fromUtf8(p.readAllStandardOutput()), QString::fromUtf8(p.readAllStandardError())};
}

// The JSON object `tags --json` prints for one file.
inline QJsonObject tagsJson(const QString& file)
{
    return QJsonDocument::fromJson(runCli({"tags", "--json", file}).out.toUtf8()).object();
}

inline QString u(const char* s)
{
    return QString::fromUtf8(s);
}

// A music folder, and a data folder of its own for the journals of the runs.
class CliFolders : public ::testing::Test {
  protected:
    QTemporaryDir data;
    QTemporaryDir music;

    QProcessEnvironment env() const
    {
        QProcessEnvironment e = QProcessEnvironment::systemEnvironment();
        e.insert(u("VANTREL_DATA_DIR"), data.path());
        return e;
    }
    CliRun run(const QStringList& args) const { return runCli(args, {}, env()); }
    QString path(const QString& n) const { return music.path() + QLatin1Char('/') + n; }
    QStringList disk(const QString& sub = {}) const
    {
        return QDir(path(sub)).entryList(QDir::Files, QDir::Name);
    }
};

} // namespace vantrel::test
