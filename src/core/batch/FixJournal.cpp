#include "FixJournal.h"

#include "platform/SafeRename.h"

#include <QDateTime>
#include <QDir>
#include <QJsonDocument>
#include <QJsonObject>
#include <QStandardPaths>

namespace vantrel {

FixJournal::~FixJournal()
{
    if (file_.isOpen())
        file_.close();
}

QString FixJournal::dataFolder()
{
    const QString env = qEnvironmentVariable("VANTREL_DATA_DIR");
    if (!env.isEmpty())
        return env;
    // Not AppDataLocation: the window and the command-line tool have different
    // application names and must find the same journal.
    QString base = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    if (base.isEmpty())
        base = QDir::homePath() + QStringLiteral("/.local/share");
    return base + QStringLiteral("/vantrel");
}

QString FixJournal::journalPath()
{
    return dataFolder() + QStringLiteral("/last-fix.journal");
}

bool FixJournal::begin(QString* error)
{
    if (file_.isOpen())
        file_.close();
    const QString folder = dataFolder();
    if (!QDir().mkpath(folder)) {
        if (error)
            *error = QStringLiteral("cannot create the folder %1").arg(folder);
        return false;
    }
    file_.setFileName(journalPath());
    if (!file_.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        if (error)
            *error = file_.errorString();
        return false;
    }
    QJsonObject h;
    h.insert(QStringLiteral("journal"), QStringLiteral("vantrel-fix"));
    h.insert(QStringLiteral("version"), 1);
    h.insert(QStringLiteral("started"), QDateTime::currentDateTime().toString(Qt::ISODate));
    writeLine(QJsonDocument(h).toJson(QJsonDocument::Compact));
    if (file_.error() != QFileDevice::NoError) {
        if (error)
            *error = file_.errorString();
        file_.close();
        return false;
    }
    return true;
}

void FixJournal::writeLine(const QByteArray& json)
{
    if (!file_.isOpen())
        return;
    // Each line goes to the system at once, so that a killed run leaves every
    // intent before its rename on disk.
    file_.write(json + '\n');
    file_.flush();
}

static QByteArray op(const char* name)
{
    QJsonObject o;
    o.insert(QStringLiteral("op"), QLatin1String(name));
    return QJsonDocument(o).toJson(QJsonDocument::Compact);
}

void FixJournal::intent(const QString& from, const QString& to)
{
    QJsonObject o;
    o.insert(QStringLiteral("op"), QStringLiteral("rename"));
    o.insert(QStringLiteral("from"), from);
    o.insert(QStringLiteral("to"), to);
    writeLine(QJsonDocument(o).toJson(QJsonDocument::Compact));
}

void FixJournal::succeeded() { writeLine(op("ok")); }
void FixJournal::failed() { writeLine(op("failed")); }

void FixJournal::finish()
{
    writeLine(op("done"));
    file_.close();
}

FixJournal::Contents FixJournal::read()
{
    Contents c;
    QFile f(journalPath());
    if (!f.open(QIODevice::ReadOnly))
        return c;
    c.exists = true;
    bool header = false;
    while (!f.atEnd()) {
        const QByteArray line = f.readLine().trimmed();
        const QJsonObject o = QJsonDocument::fromJson(line).object();
        if (o.isEmpty())
            continue;
        if (!header) {
            if (o.value(QStringLiteral("journal")).toString() != QLatin1String("vantrel-fix"))
                return Contents{true, false, false, {}, {}};
            header = true;
            c.started = o.value(QStringLiteral("started")).toString();
            continue;
        }
        const QString name = o.value(QStringLiteral("op")).toString();
        if (name == QLatin1String("rename")) {
            c.entries.append(Entry{o.value(QStringLiteral("from")).toString(),
                                   o.value(QStringLiteral("to")).toString(), Entry::Unconfirmed});
        } else if (name == QLatin1String("ok") || name == QLatin1String("failed")) {
            if (!c.entries.isEmpty() && c.entries.last().state == Entry::Unconfirmed)
                c.entries.last().state = name == QLatin1String("ok") ? Entry::Ok : Entry::Failed;
        } else if (name == QLatin1String("done")) {
            c.done = true;
        } else if (name == QLatin1String("undone")) {
            c.undone = true;
        }
    }
    return c;
}

bool FixJournal::markUndone()
{
    QFile f(journalPath());
    if (!f.open(QIODevice::WriteOnly | QIODevice::Append))
        return false;
    const bool ok = f.write(op("undone") + '\n') > 0;
    f.close();
    return ok;
}

bool FixJournal::canUndo()
{
    const Contents c = read();
    if (!c.exists || c.undone)
        return false;
    for (const Entry& e : c.entries) {
        if (e.state != Entry::Failed)
            return true;
    }
    return false;
}

UndoResult undoLastFix(const Progress& progress)
{
    UndoResult r;
    const FixJournal::Contents c = FixJournal::read();
    if (!c.exists || c.undone || c.entries.isEmpty()) {
        r.nothingToUndo = true;
        return r;
    }
    const qsizetype total = c.entries.size();
    qsizetype done = 0;
    bool stopped = false;
    // Newest first: a file that took the old name of another one in the same
    // run gives it back before that one returns.
    for (qsizetype i = total - 1; i >= 0; --i, ++done) {
        if (!report(progress, done, total)) {
            stopped = true; // a later undo takes up the rest
            break;
        }
        const FixJournal::Entry& e = c.entries.at(i);
        if (e.state == FixJournal::Entry::Failed || e.from.isEmpty() || e.to.isEmpty())
            continue;
        const bool newThere = entryExists(e.to);
        const bool oldThere = entryExists(e.from) && !sameFile(e.from, e.to);
        if (e.state == FixJournal::Entry::Unconfirmed) {
            // Killed around this rename: it happened only if the file is under
            // its new name and the old one is free.
            if (!newThere || oldThere)
                continue;
        } else if (!newThere) {
            // Already back under its old name (an undo that was stopped) is fine.
            if (!oldThere)
                r.failures.append(QStringLiteral("'%1' no longer exists; it was not renamed back to '%2'.")
                                      .arg(e.to, e.from));
            continue;
        } else if (oldThere) {
            r.failures.append(QStringLiteral("'%1' exists again; '%2' keeps its new name.").arg(e.from, e.to));
            continue;
        }
        const RenameResult rr = safeRename(e.to, e.from);
        if (rr.ok())
            r.restored.append({e.to, e.from});
        else
            r.failures.append(QStringLiteral("'%1' could not be renamed back to '%2': %3")
                                  .arg(e.to, e.from, rr.description));
    }
    if (!stopped) {
        report(progress, total, total);
        FixJournal::markUndone();
    }
    r.stopped = stopped;
    return r;
}

} // namespace vantrel
