#include "FixJournal.h"

#include "platform/DataFolder.h"
#include "platform/SafeRename.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <atomic>

namespace vantrel {

namespace {

const QString kSuffix = QStringLiteral(".journal");

QByteArray op(const char* name)
{
    return QJsonDocument(QJsonObject{{QStringLiteral("op"), QLatin1String(name)}})
        .toJson(QJsonDocument::Compact);
}

// The journal of the single-slot history older versions kept; read as the oldest run.
QString legacyJournal()
{
    return FixJournal::dataFolder() + QStringLiteral("/last-fix.journal");
}

// The journals of the history folder, newest first (their names start with the time).
QStringList journalFiles()
{
    QDir dir(FixJournal::historyFolder());
    QStringList names = dir.entryList({QLatin1Char('*') + kSuffix},
                                      QDir::AllEntries | QDir::System | QDir::Hidden | QDir::NoDotAndDotDot,
                                      QDir::Name | QDir::Reversed);
    for (QString& n : names)
        n = dir.filePath(n);
    if (QFileInfo(legacyJournal()).exists() || QFileInfo(legacyJournal()).isSymLink())
        names.append(legacyJournal());
    return names;
}

} // namespace

FixJournal::~FixJournal()
{
    if (file_.isOpen()) finish();
}

QString FixJournal::dataFolder()
{
    return userDataFolder();
}

QString FixJournal::historyFolder()
{
    return dataFolder() + QStringLiteral("/history");
}

bool FixJournal::begin(QString* error)
{
    if (file_.isOpen()) finish();
    changed_ = false;
    tagged_.clear();
    const QString folder = historyFolder();
    if (!QDir().mkpath(folder)) {
        if (error) *error = QStringLiteral("cannot create the folder %1").arg(folder);
        return false;
    }
    // A name of its own: the time, this process and a counter, created only
    // when no file of that name exists (whatever is there is left alone).
    static std::atomic<int> counter{0};
    const QString stem = folder + QLatin1Char('/') +
                         QDateTime::currentDateTimeUtc().toString(QStringLiteral("yyyyMMdd-HHmmss-zzz")) +
                         QStringLiteral("-%1-").arg(QCoreApplication::applicationPid());
    for (int attempt = 0; attempt < 100 && !file_.isOpen(); ++attempt) {
        path_ =
            stem + QStringLiteral("%1").arg(counter++, 6, 10, QLatin1Char('0')) + kSuffix; // sorts in order
        file_.setFileName(path_);
        if (!file_.open(QIODevice::WriteOnly | QIODevice::NewOnly) && QFileInfo(path_).exists() == false)
            break; // not a name clash: the folder refuses new files
    }
    if (!file_.isOpen()) {
        if (error) *error = file_.errorString();
        return false;
    }
    lock_.acquire(path_, nullptr, 0);
    QJsonObject h;
    h.insert(QStringLiteral("journal"), QStringLiteral("vantrel-fix"));
    h.insert(QStringLiteral("version"), 2);
    h.insert(QStringLiteral("started"), QDateTime::currentDateTime().toString(Qt::ISODate));
    writeLine(QJsonDocument(h).toJson(QJsonDocument::Compact));
    if (file_.error() != QFileDevice::NoError) {
        if (error) *error = file_.errorString();
        file_.close();
        lock_.release();
        QFile::remove(path_);
        return false;
    }
    // The oldest journals beyond the kept number go (regular files only).
    const QStringList all = journalFiles();
    for (qsizetype i = kKept; i < all.size(); ++i) {
        if (QFileInfo(all.at(i)).isFile()) QFile::remove(all.at(i));
    }
    return true;
}

bool FixJournal::ensureBegun(QString* error)
{
    return file_.isOpen() || begin(error);
}

void FixJournal::writeLine(const QByteArray& json)
{
    if (!file_.isOpen()) return;
    // Each line goes to the system at once, so that a killed run leaves every
    // intent before its change on disk.
    file_.write(json + '\n');
    file_.flush();
}

void FixJournal::intent(const QString& from, const QString& to)
{
    QJsonObject o;
    o.insert(QStringLiteral("op"), QStringLiteral("rename"));
    o.insert(QStringLiteral("from"), from);
    o.insert(QStringLiteral("to"), to);
    writeLine(QJsonDocument(o).toJson(QJsonDocument::Compact));
}

void FixJournal::succeeded()
{
    changed_ = true;
    writeLine(op("ok"));
}

void FixJournal::failed()
{
    writeLine(op("failed"));
}

bool FixJournal::recordTagWrite(const QString& path, QString* error)
{
    if (tagged_.contains(path)) return true;
    QString why;
    const std::optional<TagBackup> b = backupTags(path, &why);
    if (!b || !ensureBegun(&why)) {
        if (error) *error = QStringLiteral("the tags could not be kept for undo: ") + why;
        return false;
    }
    writeLine(QJsonDocument(b->toJson()).toJson(QJsonDocument::Compact));
    if (file_.error() != QFileDevice::NoError) {
        if (error) *error = QStringLiteral("the tags could not be kept for undo: ") + file_.errorString();
        return false;
    }
    tagged_.insert(path);
    changed_ = true;
    return true;
}

void FixJournal::finish()
{
    if (!file_.isOpen()) return;
    writeLine(op("done"));
    file_.close();
    lock_.release();
    if (!changed_) QFile::remove(path_);
}

int FixJournal::Contents::changes() const
{
    int n = 0;
    for (const Entry& e : entries)
        n += e.state != Entry::Failed ? 1 : 0;
    return n;
}

FixJournal::Contents FixJournal::read(const QString& path)
{
    Contents c;
    c.path = path;
    const QFileInfo info(path);
    c.exists = info.exists() || info.isSymLink();
    if (!c.exists) return c;
    // A pipe, a device or a folder in a journal's place is refused at once.
    if (!info.isFile()) {
        c.problem = QStringLiteral("The journal '%1' is not a regular file; it was not read.").arg(path);
        return c;
    }
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) {
        c.problem = QStringLiteral("The journal '%1' could not be read: %2.").arg(path, f.errorString());
        return c;
    }
    {
        FileLock probe;
        c.running = !probe.acquire(path, nullptr, 0);
    }
    c.started = info.lastModified().toString(Qt::ISODate);
    auto damaged = [&](int line, const char* what) {
        c.damage.append(
            QStringLiteral("The journal '%1', line %2: %3.").arg(path).arg(line).arg(QLatin1String(what)));
    };
    bool header = false;
    int lineNo = 0;
    while (!f.atEnd()) {
        ++lineNo;
        const QByteArray raw = f.readLine();
        if (f.error() != QFileDevice::NoError) {
            c.damage.append(QStringLiteral("The journal '%1' could not be read to its end: %2.")
                                .arg(path, f.errorString()));
            break;
        }
        const QByteArray line = raw.trimmed();
        if (line.isEmpty()) continue;
        const QJsonObject o = QJsonDocument::fromJson(line).object();
        if (o.isEmpty()) {
            damaged(lineNo, lineNo == 1          ? "damaged header"
                            : raw.endsWith('\n') ? "unreadable record"
                                                 : "cut short");
            continue;
        }
        if (!header && lineNo == 1) {
            header = true;
            if (o.value(QStringLiteral("journal")).toString() == QLatin1String("vantrel-fix")) {
                c.started = o.value(QStringLiteral("started")).toString();
                continue;
            }
            damaged(lineNo, "damaged header");
            if (!o.contains(QStringLiteral("op")))
                continue; // a damaged header; the records after it still count
        }
        const QString name = o.value(QStringLiteral("op")).toString();
        const QString from = o.value(QStringLiteral("from")).toString();
        const QString to = o.value(QStringLiteral("to")).toString();
        if (name == QLatin1String("rename") && !from.isEmpty() && !to.isEmpty()) {
            c.entries.append(Entry{Entry::Rename, from, to, Entry::Unconfirmed, std::nullopt});
        } else if (name == QLatin1String("tags")) {
            std::optional<TagBackup> b = TagBackup::fromJson(o);
            if (b)
                c.entries.append(Entry{Entry::Tags, b->path, {}, Entry::Unconfirmed, std::move(b)});
            else
                damaged(lineNo, "unusable tag record");
        } else if (name == QLatin1String("ok") || name == QLatin1String("failed")) {
            if (!c.entries.isEmpty() && c.entries.last().kind == Entry::Rename &&
                c.entries.last().state == Entry::Unconfirmed)
                c.entries.last().state = name == QLatin1String("ok") ? Entry::Ok : Entry::Failed;
        } else if (name == QLatin1String("done")) {
            c.done = true;
        } else if (name == QLatin1String("undone")) {
            c.undone = true;
        } else {
            damaged(lineNo, "unknown record");
        }
    }
    return c;
}

QList<FixJournal::Contents> FixJournal::history()
{
    QList<Contents> all;
    for (const QString& p : journalFiles())
        all.append(read(p));
    return all;
}

std::optional<FixJournal::Contents> FixJournal::nextToUndo()
{
    for (const QString& p : journalFiles()) {
        Contents c = read(p);
        if (!c.problem.isEmpty() || c.running) return c;
        if (!c.undone && (c.changes() > 0 || !c.damage.isEmpty())) return c;
    }
    return std::nullopt;
}

bool FixJournal::markUndone(const QString& path)
{
    if (!QFileInfo(path).isFile()) return false;
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Append)) return false;
    // After a line cut short the mark must start a line of its own.
    const bool ok = f.write('\n' + op("undone") + '\n') > 0;
    f.close();
    return ok;
}

namespace {

void undoRename(const FixJournal::Entry& e, UndoResult& r)
{
    const bool newThere = entryExists(e.to);
    const bool oldThere = entryExists(e.from) && !sameFile(e.from, e.to);
    if (e.state == FixJournal::Entry::Unconfirmed) {
        // Killed around this rename: it happened only if the file is under
        // its new name and the old one is free.
        if (!newThere || oldThere) return;
    } else if (!newThere) {
        // Already back under its old name (an undo that was stopped) is fine.
        if (!oldThere)
            r.failures.append(
                QStringLiteral("'%1' no longer exists; it was not renamed back to '%2'.").arg(e.to, e.from));
        return;
    } else if (oldThere) {
        r.failures.append(QStringLiteral("'%1' exists again; '%2' keeps its new name.").arg(e.from, e.to));
        return;
    }
    const RenameResult rr = safeRename(e.to, e.from);
    if (rr.ok())
        r.restored.append({e.to, e.from});
    else
        r.failures.append(
            QStringLiteral("'%1' could not be renamed back to '%2': %3").arg(e.to, e.from, rr.description));
}

void undoTags(const FixJournal::Entry& e, UndoResult& r)
{
    QString why;
    switch (restoreTags(*e.tags, &why)) {
    case TagRestore::Restored:
        r.tagsRestored.append(e.from);
        break;
    case TagRestore::AlreadyThere:
        break;
    case TagRestore::Refused:
    case TagRestore::Failed:
        r.failures.append(QStringLiteral("The tags of '%1' were not put back: %2.").arg(e.from, why));
        break;
    }
}

} // namespace

UndoResult undoLastFix(const Progress& progress)
{
    UndoResult r;
    const std::optional<FixJournal::Contents> next = FixJournal::nextToUndo();
    if (!next) {
        r.nothingToUndo = true;
        return r;
    }
    const FixJournal::Contents& c = *next;
    r.journal = c.path;
    r.started = c.started;
    r.interrupted = !c.done;
    if (!c.problem.isEmpty() || c.running) {
        // The runs before it must be undone after it: nothing is undone now.
        r.blocked = true;
        r.damage.append(
            c.problem.isEmpty()
                ? QStringLiteral("The journal '%1' is in use by a run that has not ended; undo it when "
                                 "that run has finished.")
                      .arg(c.path)
                : c.problem + QStringLiteral(" Nothing was undone; move the file away to undo the "
                                             "runs before it."));
        return r;
    }
    FileLock lock; // two undos of the same run at once would fight over its files
    if (!lock.acquire(c.path, nullptr, 0)) {
        r.blocked = true;
        r.damage.append(QStringLiteral("The journal '%1' is in use by another run or undo.").arg(c.path));
        return r;
    }
    r.damage = c.damage;
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
        if (e.kind == FixJournal::Entry::Tags)
            undoTags(e, r);
        else if (e.state != FixJournal::Entry::Failed)
            undoRename(e, r);
    }
    if (!stopped) {
        report(progress, total, total);
        if (!FixJournal::markUndone(c.path))
            r.failures.append(QStringLiteral("The journal '%1' could not be marked as undone; the next undo "
                                             "takes it up again instead of the run before it.")
                                  .arg(c.path));
    }
    r.stopped = stopped;
    return r;
}

QString undoSummary(const UndoResult& r)
{
    if (r.nothingToUndo) return QStringLiteral("Nothing to undo.");
    if (r.blocked)
        return QStringLiteral("Nothing was undone: the journal '%1' could not be used.").arg(r.journal);
    QString s =
        QStringLiteral("%1 change(s) put back (%2 file(s) renamed back, %3 file(s) with their old tags)")
            .arg(r.putBack())
            .arg(r.restored.size())
            .arg(r.tagsRestored.size());
    s += QStringLiteral(", %1 could not be").arg(r.failures.size());
    if (!r.damage.isEmpty())
        s += QStringLiteral(", %1 record(s) of the journal could not be used").arg(r.damage.size());
    if (r.putBack() == 0 && r.failures.isEmpty() && r.damage.isEmpty())
        s += QStringLiteral(": every file already had its old name and tags");
    if (r.stopped) s += QStringLiteral("; stopped before the end, undo again to put back the rest");
    return s + QLatin1Char('.');
}

} // namespace vantrel
