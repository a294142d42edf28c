#include "batch/Simulation.h"

#include "batch/FieldText.h"
#include "batch/FolderLoader.h"
#include "batch/Renamer.h"
#include "batch/RunAccount.h"
#include "batch/TagsFromNames.h"
#include "platform/Clipboard.h"
#include "platform/FileSystem.h"
#include "platform/NameCase.h"
#include "platform/Prompter.h"
#include "tags/ForeignTags.h"
#include "tags/formTag.h"
#include "tags/modTag.h"

#include <QHash>
#include <QList>
#include <QSet>
#include <QSignalBlocker>
#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

namespace vantrel {

namespace {

const QString kCrLf = QStringLiteral("\r\n");
const QString kDuplicate = QStringLiteral(" (1)");

// ---- text helpers ---------------------------------------------------------

// An ID3v1 field as the simulation uses it: cut at the first zero, the line
// breaks removed, trimmed.
QString v1Field(const QString& raw, bool crLfPairs)
{
    QString s = cutAtZero(raw);
    s.remove(crLfPairs ? kCrLf : QStringLiteral("\r"));
    return trimSpaces(s);
}

// The track as a two-digit (at least) number: the digits at its start, "00"
// without any ("3/12" -> "03", "" -> "00", "007" -> "07").
QString trackNumber(const QString& tr)
{
    qsizetype i = 0;
    while (i < tr.size() && tr.at(i) == QLatin1Char(' '))
        ++i;
    QString digits;
    for (; i < tr.size() && tr.at(i) >= QLatin1Char('0') && tr.at(i) <= QLatin1Char('9'); ++i)
        digits.append(tr.at(i));
    while (digits.size() > 1 && digits.at(0) == QLatin1Char('0'))
        digits.remove(0, 1);
    if (digits.isEmpty()) digits = QStringLiteral("0");
    if (digits.size() == 1) digits.prepend(QLatin1Char('0'));
    return digits;
}

// Drops a UTF-16 byte order mark that a reader left in front as two characters.
void dropBomPrefix(QString& s)
{
    if (s.startsWith(QStringLiteral("\u00FF\u00FE"))) s.remove(0, 2);
}

QString lastFour(const QString& s)
{
    return s.right(4);
}

QString withoutLastFour(const QString& s)
{
    return s.left(std::max<qsizetype>(0, s.size() - 4));
}

// "/" separates folders here: a proposed name never holds one.
void noFolderSeparators(QString& name)
{
    name.replace(QLatin1Char('/'), QLatin1Char('-'));
}

// While another entry of the folder holds the name, " (1)" goes in before the
// extension. The file's own entry is no collision: its exact path, and on a
// medium that ignores case its name in another spelling. The cap only guards
// against a file system that answers "taken" for every name.
QString avoidFilesOnDisk(QString name, const QString& path, const QString& folder, const QString& ext)
{
    for (int round = 0; round < 10000; ++round) {
        const QString full = folder + name;
        if (!PathTaken(full) || isOwnEntry(path, full)) break;
        name = name.left(name.size() - ext.size()) + kDuplicate + ext;
    }
    return name;
}

// ---- names of FLAC, Ogg, Opus and M4A files ---------------------------------

// Such a file is named as an MP3 file of the same stem would be: the parser
// and the scheme see "Stem.mp3", and the proposal gets the file's own
// extension (lower-cased) back in place of ".mp3". Any other file is named
// from its own name.
struct NameAsMp3 {
    QString name; // what the parser and the scheme see
    QString ext;  // the file's own extension; empty for any other file

    explicit NameAsMp3(const QString& fileName)
        : name(FolderLoader::nameAsMp3(fileName)), ext(FolderLoader::otherFormatExtension(fileName))
    {
    }
    QString ownExtension(const QString& proposal) const
    {
        return ext.isEmpty() ? proposal : withoutLastFour(proposal) + ext;
    }
};

// The length of the extension that " (1)" goes before in a proposal for the
// file named fileName: its own extension for such a file, four otherwise.
qsizetype extensionLength(const QString& fileName)
{
    const QString ext = FolderLoader::otherFormatExtension(fileName);
    return ext.isEmpty() ? 4 : ext.size();
}

// ---- messages raised on worker threads ---------------------------------------

// Records what the tag routines would have asked, answering No; the run
// replays the questions in list order on the real prompter.
class DeferredPrompter : public Prompter {
  public:
    struct Question {
        QString text, title;
        Buttons buttons;
        Icon icon;
    };
    Answer ask(const QString& text, const QString& title, Buttons buttons, Icon icon) override
    {
        asked.append(Question{text, title, buttons, icon});
        return buttons == Buttons::Ok ? Answer::Ok : Answer::No;
    }
    QList<Question> asked;
};

// CurrentTag and tagLog are shared by every user of the record routines.
std::mutex& recordLock()
{
    static std::mutex m;
    return m;
}

// ---- one file ---------------------------------------------------------------

struct FileOutcome {
    bool exists = false;
    bool renames = true; // false in the tag mode: the file keeps its name
    bool parserPath = false;
    bool v1Question = false;                    // GetID3v1 wanted to ask; ask again in order
    bool failed = false;                        // reading or naming it failed unexpectedly
    QString proposal;                           // after the check against files on disk
    QString artist, title;                      // the Artist and Title columns (" " when empty)
    QString tagLogLines;                        // what GetID3v1 added to tagLog
    QList<DeferredPrompter::Question> messages; // shown by the tag window
};

struct V1Values {
    QString title, artist, album;
};

V1Values readV1(const QString& path, FileOutcome& out)
{
    DeferredPrompter deferred;
    TagRecord rec;
    {
        std::lock_guard<std::mutex> lock(recordLock());
        const qsizetype before = modTag::tagLog.size();
        QString name = path;
        modTag::GetID3v1(name, deferred);
        rec = modTag::CurrentTag;
        out.tagLogLines = modTag::tagLog.mid(before);
        modTag::tagLog.truncate(before);
    }
    out.v1Question = !deferred.asked.isEmpty();
    return V1Values{v1Field(rec.Title, false), v1Field(rec.Artist, true), v1Field(rec.Album, false)};
}

struct TagValues {
    QString artist, title, album, track;
};

// A worker's own tag window, with the prompter that records its messages.
struct TagReader {
    DeferredPrompter messages;
    formTag form{messages};
};

TagValues readV2(TagReader& reader, const QString& path, FileOutcome& out)
{
    formTag& form = reader.form;
    // Every field read below starts empty, so that a file whose tag cannot be
    // loaded never shows what the previous file had.
    for (QString* f : {&form.txtArtistV2, &form.txtTitleV2, &form.txtArtist, &form.txtTitle, &form.txtAlbumV2,
                       &form.txtTrack})
        f->clear();
    reader.messages.asked.clear();
    form.tagFile(path);
    out.messages = reader.messages.asked;

    TagValues v;
    v.artist = trimSpaces(cutAtZero(form.txtArtistV2).remove(kCrLf));
    v.title = trimSpaces(cutAtZero(form.txtTitleV2).remove(QLatin1Char('\r')));
    v.album = trimSpaces(cutAtZero(form.txtAlbumV2).remove(QLatin1Char('\r')));
    v.track = trimSpaces(cutAtZero(form.txtTrack).remove(QLatin1Char('\r')));
    for (QString* s : {&v.album, &v.artist, &v.title, &v.track})
        s->remove(QChar(1));
    v.track = trackNumber(v.track);
    for (QString* s : {&v.album, &v.artist, &v.title, &v.track})
        dropBomPrefix(*s);
    return v;
}

// Everything of one file that does not depend on the other files: tags,
// parser or scheme, and the check against the files on disk.
FileOutcome simulateOne(const QString& path, const QString& name, const SimulationOptions& o,
                        TagReader& reader)
{
    FileOutcome out;
    if (!FileExists(path)) return out;
    out.exists = true;

    if (o.mode == Mode::TagsFromNames) {
        // Fix writes tags and renames nothing: the row shows the name as it
        // stays and the artist and title the tag run writes.
        const TagsToWrite w = tagsToWrite(name, o.parser, true);
        out.renames = false;
        out.proposal = name;
        out.artist = w.v2.artist.isEmpty() ? QStringLiteral(" ") : w.v2.artist;
        out.title = w.v2.title.isEmpty() ? QStringLiteral(" ") : w.v2.title;
        return out;
    }

    // Every file starts from empty values: nothing of an earlier file leaks in.
    // A file with a tag of its own (WMA) has no ID3v1 record to read; the tag
    // window reads its tag like an ID3v2 tag and tells which kind it found.
    TagValues tag;
    if (!o.forceId1) tag = readV2(reader, path, out);
    const bool ownTag =
        o.forceId1 ? ForeignTags::handles(detectAudioFormat(path)) : reader.form.loadedOwnTag();
    const V1Values v1 = ownTag ? V1Values{} : readV1(path, out);
    if (o.forceId1) {
        if (v1.artist.size() >= 2 && v1.title.size() >= 2) {
            tag.artist = v1.artist;
            tag.title = v1.title;
            tag.album = v1.album;
        }
    }

    const QString folder = FileList::location(path);
    bool marked = false;
    if (tag.title.isEmpty() || tag.artist.isEmpty() || o.mode == Mode::FileNames) {
        marked = true;
        tag.artist = v1.artist;
        tag.title = v1.title;
    }
    if (tag.album.size() < 2) tag.album = v1.album;
    out.artist = tag.artist.isEmpty() ? QStringLiteral(" ") : tag.artist;
    out.title = tag.title.isEmpty() ? QStringLiteral(" ") : tag.title;

    out.parserPath = marked && (v1.artist.isEmpty() || v1.title.isEmpty() || o.mode == Mode::FileNames);
    QString proposal;
    const NameAsMp3 named(name);
    if (out.parserPath) {
        proposal = trimfilename(named.name, o.parser);
        const QString ext = lastFour(proposal).toLower();
        if (o.parser.allUpper) proposal = allUpperCase(withoutLastFour(proposal) + ext);
        noFolderSeparators(proposal);
        // Cleaned as the renaming cleans it, so that After is the name the file gets.
        proposal = named.ownExtension(cleanFileName(proposal));
        proposal = avoidFilesOnDisk(proposal, path, folder, named.ext.isEmpty() ? ext : named.ext);
    } else {
        proposal = composeSchemeName(o.scheme.choice, o.scheme.pattern,
                                     SchemeFields{tag.artist, tag.title, tag.album, tag.track},
                                     extensionOf(named.name), o.parser);
        noFolderSeparators(proposal);
        proposal = named.ownExtension(trimSpaces(cleanFileName(proposal)));
        proposal = avoidFilesOnDisk(proposal, path, folder, proposal.right(extensionLength(name)));
    }
    out.proposal = proposal;
    return out;
}

// ---- the run ------------------------------------------------------------------

// Computes the outcomes of a list on worker threads, handing them out in list
// order. Workers take small blocks of indexes; stop() makes them finish the
// file they are on and take no more.
class ParallelOutcomes {
  public:
    ParallelOutcomes(const QStringList& paths, const QStringList& names, const SimulationOptions& o)
        : paths_(paths), names_(names), options_(o), results_(static_cast<size_t>(paths.size())),
          ready_(std::make_unique<std::atomic<bool>[]>(static_cast<size_t>(paths.size())))
    {
        const qsizetype n = paths.size();
        for (qsizetype i = 0; i < n; ++i)
            ready_[static_cast<size_t>(i)].store(false, std::memory_order_relaxed);
        unsigned workers = o.threads > 0 ? static_cast<unsigned>(o.threads)
                                         : std::max(1u, std::thread::hardware_concurrency());
        workers = static_cast<unsigned>(std::min<qsizetype>(workers, (n + kBlock - 1) / kBlock));
        for (unsigned w = 0; w < workers; ++w)
            threads_.emplace_back([this] { work(); });
    }

    ~ParallelOutcomes()
    {
        stop();
        for (std::thread& t : threads_)
            t.join();
    }

    void stop() { stopping_.store(true); }

    // Waits for outcome i; calls idle (which may ask to stop) about every 50 ms meanwhile.
    FileOutcome take(qsizetype i, const std::function<bool()>& idle, bool& stopped)
    {
        const auto k = static_cast<size_t>(i);
        if (!ready_[k].load()) {
            std::unique_lock<std::mutex> lock(mutex_);
            waiting_.store(true);
            while (!ready_[k].load()) {
                if (cv_.wait_for(lock, std::chrono::milliseconds(50)) == std::cv_status::timeout && idle) {
                    lock.unlock();
                    const bool goOn = idle();
                    lock.lock();
                    if (!goOn) {
                        waiting_.store(false);
                        stopped = true;
                        return {};
                    }
                }
            }
            waiting_.store(false);
        }
        return std::move(results_[k]);
    }

  private:
    static constexpr qsizetype kBlock = 16;

    void work()
    {
        TagReader reader; // each worker reads through its own tag window
        const qsizetype n = paths_.size();
        while (!stopping_.load()) {
            const qsizetype start = next_.fetch_add(kBlock);
            if (start >= n) break;
            const qsizetype end = std::min(n, start + kBlock);
            for (qsizetype i = start; i < end; ++i) {
                if (stopping_.load()) break;
                const auto k = static_cast<size_t>(i);
                const QString name = FileList::at(names_, static_cast<int>(i));
                try {
                    results_[k] = simulateOne(paths_.at(i), name, options_, reader);
                } catch (...) {
                    // Whatever went wrong with this file, the run goes on: the
                    // file keeps its name and the log says so.
                    FileOutcome failed;
                    failed.exists = true;
                    failed.failed = true;
                    failed.renames = false; // keeps its name, no suffix
                    failed.proposal = name;
                    failed.artist = failed.title = QStringLiteral(" ");
                    results_[k] = std::move(failed);
                }
                // Wakes the reader only when it waits (both sides use sequentially
                // consistent order, so one of them always sees the other).
                ready_[k].store(true);
                if (waiting_.load()) {
                    std::lock_guard<std::mutex> lock(mutex_);
                    cv_.notify_one();
                }
            }
        }
    }

    const QStringList paths_;
    const QStringList names_;
    const SimulationOptions options_;
    std::vector<FileOutcome> results_;
    std::unique_ptr<std::atomic<bool>[]> ready_;
    std::atomic<qsizetype> next_{0};
    std::atomic<bool> stopping_{false};
    std::atomic<bool> waiting_{false}; // the reader sleeps in take()
    std::mutex mutex_;
    std::condition_variable cv_;
    std::vector<std::thread> threads_;
};

} // namespace

QString trackNumbersQuestion()
{
    return QStringLiteral(
               "You have chosen to include track numbers in your custom renaming scheme, but also to "
               "remove track numbers.") +
           kCrLf + QStringLiteral("Would you like to deactivate removal of track numbers?");
}

QString simulateQuestion(qsizetype fileCount)
{
    return QStringLiteral("You are about to simulate fix of ") + QString::number(fileCount) +
           QStringLiteral(" files. Continiue?");
}

QString simulateEstimate(qsizetype fileCount, const SimulationOptions& options)
{
    return SetTimeFormat(
        static_cast<double>(estimateSimulate(fileCount, options.mode, options.parser.collapseRepeats)));
}

bool askBeforeSimulate(SimulationOptions& options, qsizetype fileCount, Prompter& prompter)
{
    if (options.scheme.choice == SchemeChoice::Custom &&
        options.scheme.pattern.contains(QLatin1String("<Track>")) && options.mode == Mode::TagNames &&
        options.parser.removeTrackNumbers) {
        if (prompter.ask(trackNumbersQuestion(), QStringLiteral("Track numbers"), Buttons::YesNo,
                         Icon::Question) == Answer::Yes)
            options.parser.removeTrackNumbers = false;
    }
    return prompter.ask(simulateQuestion(fileCount), QStringLiteral("Fix files"), Buttons::YesNo,
                        Icon::Question) == Answer::Yes;
}

SimulationRun simulate(FileList& list, SimulationOptions& options, Prompter& prompter, QString& errorLog,
                       const SimulationHooks& hooks)
{
    list.lstSim.clear();
    if (!askBeforeSimulate(options, list.lstFiles.size(), prompter)) return {};
    if (hooks.closeDetails) hooks.closeDetails();
    Progress progress;
    if (hooks.workingOn) progress = hooks.workingOn(simulateEstimate(list.count(), options));
    SimulationRun run = fixlist(list, options, prompter, errorLog, progress);
    if (hooks.workingOff) hooks.workingOff();
    return run;
}

SimulationRun fixlist(FileList& list, const SimulationOptions& options, Prompter& prompter, QString& errorLog,
                      const Progress& progress)
{
    SimulationRun run;
    run.ran = true;
    errorLog.clear();

    const qsizetype total = std::min(list.lstAllfiles.size(), list.lstFiles.size());
    const QStringList paths = list.lstAllfiles.mid(0, total);
    const QStringList names = list.lstFiles.mid(0, total);

    QStringList keptPaths, keptNames, sims, artists, titles, problems;
    keptPaths.reserve(total);
    keptNames.reserve(total);
    sims.reserve(total);
    artists.reserve(total);
    titles.reserve(total);
    problems.reserve(total);
    QSet<QString> proposed; // every proposal so far in lower case, for the duplicate rule
    proposed.reserve(total);

    qsizetype done = 0;
    qsizetype reached = 0; // files of the list taken in order so far
    if (!report(progress, 0, total)) {
        run.cancelled = true;
    } else if (total > 0) {
        ParallelOutcomes outcomes(paths, names, options);
        const std::function<bool()> idle = [&] { return report(progress, done, total); };
        for (qsizetype i = 0; i < total; ++i) {
            bool stopped = false;
            FileOutcome o = outcomes.take(i, idle, stopped);
            if (stopped) {
                run.cancelled = true;
                break;
            }
            reached = i + 1;
            if (!o.exists) {
                errorLog += kCrLf + unreadableReason(paths.at(i)) + QStringLiteral(" (") + names.at(i) +
                            QStringLiteral("): Removing file from list");
                ++run.vanished;
            } else {
                if (o.failed)
                    errorLog += kCrLf + QStringLiteral("Unexpected error in filename: ") + paths.at(i);
                {
                    std::lock_guard<std::mutex> lock(recordLock());
                    modTag::tagLog += o.tagLogLines;
                }
                if (o.v1Question) {
                    // Ask the real question now, in its place in the run.
                    QString path = paths.at(i);
                    std::lock_guard<std::mutex> lock(recordLock());
                    if (!modTag::GetID3v1(path, prompter)) {
                        run.quitRequested = true;
                        run.cancelled = true;
                        outcomes.stop();
                        break;
                    }
                }
                for (const DeferredPrompter::Question& q : std::as_const(o.messages))
                    prompter.ask(q.text, q.title, q.buttons, q.icon);

                QString proposal = std::move(o.proposal);
                QString problem;
                if (o.renames) {
                    // Every proposal, from the parser or from the tags: two
                    // files never get the same name (in any letter case), and
                    // a name made longer is checked against the disk again.
                    const QString folder = FileList::location(paths.at(i));
                    const qsizetype extLength = extensionLength(names.at(i));
                    while (proposed.contains(proposal.toLower())) {
                        proposal = proposal.left(proposal.size() - extLength) + kDuplicate +
                                   proposal.right(extLength);
                        proposal = avoidFilesOnDisk(proposal, paths.at(i), folder, proposal.right(extLength));
                    }
                    proposed.insert(proposal.toLower());
                    // Marked in its row; "Fix files!" skips it.
                    problem = nameProblem(folder, proposal);
                }
                sims.append(proposal);
                problems.append(problem);
                artists.append(o.artist);
                titles.append(o.title);
                keptPaths.append(paths.at(i));
                keptNames.append(names.at(i));
                ++run.processed;
            }
            ++done;
            if (!report(progress, done, total)) {
                run.cancelled = true;
                outcomes.stop();
                break;
            }
        }
    }

    // Files not reached stay listed, without a proposal.
    for (qsizetype i = reached; i < total; ++i) {
        keptPaths.append(paths.at(i));
        keptNames.append(names.at(i));
    }
    list.lstAllfiles = keptPaths;
    list.lstFiles = keptNames;
    list.lstArtist = artists;
    list.lstTit = titles;
    list.lstSim.clear();

    // Rebuild the rows for the shortened list, then put the proposals into the
    // After column, which the second rebuild reads back into lstSim.
    list.clearRows();
    list.listviewthem();
    {
        // One change signal per row would keep a view busy for nothing: the
        // rebuild right after resets every view of the table anyway.
        const QSignalBlocker quiet(&list);
        for (qsizetype k = 0; k < sims.size(); ++k) {
            list.setAfterText(static_cast<int>(k), sims.at(k));
            list.setProblem(static_cast<int>(k), problems.at(k));
        }
    }
    list.listviewthem();
    return run;
}

QString errorLogQuestion()
{
    return QStringLiteral(
        "One or more errors occurred while performing the requested operation. Would you like to "
        "place the errorlog in the clipboard?");
}

bool offerErrorLog(QString& errorLog, Prompter& prompter, Clipboard& clipboard)
{
    if (errorLog.isEmpty()) return false;
    const QString log = errorLog;
    errorLog = errorLogQuestion() + kCrLf + log;
    if (prompter.ask(errorLog, QStringLiteral("Error log"), Buttons::YesNo, Icon::Information) != Answer::Yes)
        return false;
    clipboard.setText(log);
    return true;
}

} // namespace vantrel
