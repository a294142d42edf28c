#include "batch/Simulation.h"

#include "batch/FieldText.h"
#include "batch/FolderLoader.h"
#include "batch/Renamer.h"
#include "batch/RunAccount.h"
#include "batch/TagsFromNames.h"
#include "platform/FileSystem.h"
#include "platform/NameCase.h"
#include "platform/OpenFile.h"
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
#include <optional>
#include <stop_token>
#include <thread>
#include <vector>

namespace vantrel {

namespace {

const QString kCrLf = QStringLiteral("\r\n");

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

// Whether another entry of the folder holds name. The file's own entry is no
// collision: its exact path, and on a medium that ignores case its name in
// another spelling.
bool takenOnDisk(const QString& name, const QString& path, const QString& folder)
{
    const QString full = folder + name;
    return PathTaken(full) && !isOwnEntry(path, full);
}

QString avoidFilesOnDisk(const QString& name, const QString& path, const QString& folder)
{
    return firstFreeName(name, [&](const QString& n) { return takenOnDisk(n, path, folder); });
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

// ---- what a worker finds out about one file --------------------------------------

// A message the tag window showed while reading (only OK messages: reading
// never asks a question). The run shows it in list order.
struct TagMessage {
    Question id;
    QString text, title;
    Icon icon;
};

// The prompter of a worker's tag window: keeps the messages for the run.
class MessageKeeper : public Prompter {
  public:
    Answer ask(Question id, const QString& text, const QString& title, Buttons buttons, Icon icon) override
    {
        kept.append(TagMessage{id, text, title, icon});
        return buttons == Buttons::Ok ? Answer::Ok : Answer::No;
    }
    QList<TagMessage> kept;
};

struct V1Values {
    QString title, artist, album;
};

struct TagValues {
    QString artist, title, album, track;
};

// A worker's own readers: nothing of them is shared with another thread.
struct TagReader {
    MessageKeeper messages;
    formTag form{messages};
};

// What the per-file read hands the naming step.
struct FileTags {
    bool exists = false;
    int openError = 0;         // why the file could not be opened
    bool ownTag = false;       // a tag of its own (WMA): no ID3v1 record was read
    TagValues v2;              // empty when not read
    V1Values v1;               // empty without a record
    modTag::RecordNote record; // how the ID3v1 record was found, for the log
    QList<TagMessage> messages;
};

enum class TagsWanted { None, Both, Id1Only };

TagValues readV2(TagReader& reader, const QString& path, OpenFile& file)
{
    formTag& form = reader.form;
    // Every field read below starts empty, so that a file whose tag cannot be
    // loaded never shows what the previous file had.
    for (QString* f : {&form.txtArtistV2, &form.txtTitleV2, &form.txtArtist, &form.txtTitle, &form.txtAlbumV2,
                       &form.txtTrack})
        f->clear();
    form.tagFile(path, file);

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

// The per-file read: everything the simulation learns from a file's bytes
// comes from one open of it (existence and readability, the ID3v2 or own
// tag, the ID3v1 record).
FileTags readFileTags(TagReader& reader, const QString& path, TagsWanted wanted)
{
    FileTags t;
    OpenFile file(path, OpenFile::Mode::Read);
    t.exists = file.isOpen();
    if (!t.exists) {
        t.openError = file.error();
        return t;
    }
    if (wanted == TagsWanted::None) return t;
    reader.messages.kept.clear();
    if (wanted == TagsWanted::Both) {
        t.v2 = readV2(reader, path, file);
        t.ownTag = reader.form.loadedOwnTag();
    } else {
        t.ownTag = ForeignTags::handles(detectAudioFormat(file));
    }
    if (!t.ownTag) {
        const modTag::RecordRead read = modTag::readRecord(path, file);
        t.record = read;
        const TagRecord& rec = read.record;
        t.v1 = V1Values{v1Field(rec.Title, false), v1Field(rec.Artist, true), v1Field(rec.Album, false)};
    }
    t.messages = std::move(reader.messages.kept);
    return t;
}

// ---- one file ---------------------------------------------------------------

struct FileOutcome {
    bool exists = false;
    bool renames = true; // false in the tag mode: the file keeps its name
    bool failed = false; // reading or naming it failed unexpectedly
    int openError = 0;   // why it could not be opened, when it does not exist
    modTag::RecordNote record;
    QString proposal;      // after the check against files on disk
    QString artist, title; // the Artist and Title columns (" " when empty)
    QList<TagMessage> messages;
};

// Everything of one file that does not depend on the other files: tags,
// parser or scheme, and the check against the files on disk. Runs on a
// worker: asks nothing and touches no shared state.
FileOutcome simulateOne(const QString& path, const QString& name, const SimulationOptions& o,
                        TagReader& reader)
{
    FileOutcome out;
    const TagsWanted wanted = o.mode == Mode::TagsFromNames ? TagsWanted::None
                              : o.forceId1                  ? TagsWanted::Id1Only
                                                            : TagsWanted::Both;
    FileTags read = readFileTags(reader, path, wanted);
    if (!read.exists) {
        out.openError = read.openError;
        return out;
    }
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
    out.record = std::move(read.record);
    out.messages = std::move(read.messages);

    // Every file starts from empty values: nothing of an earlier file leaks in.
    // A file with a tag of its own (WMA) has no ID3v1 record to read; the tag
    // window reads its tag like an ID3v2 tag and tells which kind it found.
    TagValues tag = std::move(read.v2);
    const V1Values& v1 = read.v1;
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

    const bool parserPath =
        marked && (v1.artist.isEmpty() || v1.title.isEmpty() || o.mode == Mode::FileNames);
    QString proposal;
    const NameAsMp3 named(name);
    if (parserPath) {
        proposal = trimfilename(named.name, o.parser);
        const QString ext = lastFour(proposal).toLower();
        if (o.parser.allUpper) proposal = allUpperCase(withoutLastFour(proposal) + ext);
        noFolderSeparators(proposal);
        // Cleaned as the renaming cleans it, so that After is the name the file gets.
        proposal = named.ownExtension(cleanFileName(proposal));
        proposal = avoidFilesOnDisk(proposal, path, folder);
    } else {
        proposal = composeSchemeName(o.scheme.choice, o.scheme.pattern,
                                     SchemeFields{tag.artist, tag.title, tag.album, tag.track},
                                     extensionOf(named.name), o.parser);
        noFolderSeparators(proposal);
        proposal = named.ownExtension(trimSpaces(cleanFileName(proposal)));
        proposal = avoidFilesOnDisk(proposal, path, folder);
    }
    out.proposal = proposal;
    return out;
}

// simulateOne, whatever goes wrong: a file that cannot be handled keeps its
// name and the log says so.
FileOutcome simulateOneSafely(const QString& path, const QString& name, const SimulationOptions& o,
                              TagReader& reader)
{
    try {
        return simulateOne(path, name, o, reader);
    } catch (...) {
        FileOutcome failed;
        failed.exists = true;
        failed.failed = true;
        failed.renames = false; // keeps its name, no suffix
        failed.proposal = name;
        failed.artist = failed.title = QStringLiteral(" ");
        return failed;
    }
}

// ---- the parallel read ------------------------------------------------------------

// Worker threads take the files in list order from one atomic index and put
// each outcome into its slot; the run takes the slots in list order as they
// fill. Slots come in blocks that exist only from the first outcome put in
// to the last one taken out, so a long list never holds all its outcomes at
// once. Destroying it stops the workers after the file they are on.
class OutcomeSlots {
  public:
    OutcomeSlots(const QStringList& paths, const QStringList& names, const SimulationOptions& o)
        : paths_(paths), names_(names), options_(o),
          blocks_((static_cast<size_t>(paths.size()) + kSlots - 1) / kSlots),
          ready_(static_cast<size_t>(paths.size()), 0)
    {
        const qsizetype n = paths.size();
        unsigned threads = o.threads > 0 ? static_cast<unsigned>(o.threads)
                                         : std::max(1u, std::thread::hardware_concurrency());
        threads = static_cast<unsigned>(std::min<qsizetype>(threads, n));
        workers_.reserve(threads);
        for (unsigned w = 0; w < threads; ++w)
            workers_.emplace_back([this](std::stop_token stop) { work(stop); });
    }
    OutcomeSlots(const OutcomeSlots&) = delete;
    OutcomeSlots& operator=(const OutcomeSlots&) = delete;
    ~OutcomeSlots()
    {
        for (std::jthread& t : workers_)
            t.request_stop();
    }

    // Outcome i once it is there; while waiting, calls idle about every
    // kIdle (the window repaints and learns of Cancel there). No outcome
    // when idle asked to stop. A wait lasts until a batch of outcomes is
    // there (or the time is up), so that the run wakes once per batch rather
    // than once per file.
    std::optional<FileOutcome> take(qsizetype i, const std::function<bool()>& idle)
    {
        const auto k = static_cast<size_t>(i);
        std::unique_lock<std::mutex> lock(mutex_);
        size_t target = std::min(k + kBatch, ready_.size()) - 1;
        while (!ready_[k]) {
            if (ready_[target]) target = k; // a slow file holds up the batch
            waitingFor_ = target;
            const bool filled = cv_.wait_for(lock, kIdle, [&] { return ready_[target] != 0; });
            waitingFor_ = kNobody;
            if (!filled && !ready_[k]) {
                lock.unlock();
                const bool goOn = !idle || idle();
                lock.lock();
                if (!goOn) return std::nullopt;
            }
        }
        std::unique_ptr<FileOutcome[]>& block = blocks_[k / kSlots];
        FileOutcome o = std::move(block[k % kSlots]);
        if (k % kSlots == kSlots - 1 || k + 1 == ready_.size()) block.reset(); // the block's last one
        return o;
    }

  private:
    static constexpr std::chrono::milliseconds kIdle{20};
    static constexpr size_t kBatch = 64;
    static constexpr size_t kNobody = static_cast<size_t>(-1);
    static constexpr size_t kSlots = 1024; // outcomes per block

    void work(const std::stop_token& stop)
    {
        TagReader reader;
        const qsizetype n = paths_.size();
        while (!stop.stop_requested()) {
            const qsizetype i = next_.fetch_add(1);
            if (i >= n) return;
            const auto k = static_cast<size_t>(i);
            FileOutcome o =
                simulateOneSafely(paths_.at(i), FileList::at(names_, static_cast<int>(i)), options_, reader);
            bool wake = false;
            {
                std::lock_guard<std::mutex> lock(mutex_);
                std::unique_ptr<FileOutcome[]>& block = blocks_[k / kSlots];
                if (!block) block = std::make_unique<FileOutcome[]>(kSlots);
                block[k % kSlots] = std::move(o);
                ready_[k] = 1;
                wake = waitingFor_ == k;
            }
            if (wake) cv_.notify_one();
        }
    }

    const QStringList paths_;
    const QStringList names_;
    const SimulationOptions options_;
    std::vector<std::unique_ptr<FileOutcome[]>> blocks_; // guarded by mutex_
    std::vector<unsigned char> ready_;                   // guarded by mutex_
    size_t waitingFor_ = kNobody;                        // the slot the run sleeps on; guarded by mutex_
    std::atomic<qsizetype> next_{0};
    std::mutex mutex_;
    std::condition_variable cv_;
    std::vector<std::jthread> workers_; // last: stopped and joined before the rest goes
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
        if (prompter.ask(Question::KeepTrackNumbers, trackNumbersQuestion(), QStringLiteral("Track numbers"),
                         Buttons::YesNo, Icon::Question) == Answer::Yes)
            options.parser.removeTrackNumbers = false;
    }
    return prompter.ask(Question::SimulateFiles, simulateQuestion(fileCount), QStringLiteral("Fix files"),
                        Buttons::YesNo, Icon::Question) == Answer::Yes;
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

    QStringList sims, artists, titles, problems;
    std::vector<qsizetype> vanishedAt; // in list order
    sims.reserve(total);
    artists.reserve(total);
    titles.reserve(total);
    problems.reserve(total);

    qsizetype done = 0;
    if (!report(progress, 0, total)) {
        run.cancelled = true;
    } else if (total > 0) {
        // Both go before the table is rebuilt, which needs memory of its own.
        OutcomeSlots outcomes(paths, names, options);
        QSet<QString> proposed; // every proposal so far in lower case, for the duplicate rule
        proposed.reserve(total);
        QHash<QString, QString> chainEnd; // a taken proposal (exact) -> the last name its chain gave
        const std::function<bool()> idle = [&] { return report(progress, done, total); };
        for (qsizetype i = 0; i < total; ++i) {
            std::optional<FileOutcome> taken = outcomes.take(i, idle);
            if (!taken) {
                run.cancelled = true;
                break;
            }
            FileOutcome& o = *taken;
            if (!o.exists) {
                errorLog += kCrLf + unreadableReason(o.openError) + QStringLiteral(" (") + names.at(i) +
                            QStringLiteral("): Removing file from list");
                ++run.vanished;
                vanishedAt.push_back(i);
            } else {
                if (o.failed)
                    errorLog += kCrLf + QStringLiteral("Unexpected error in filename: ") + paths.at(i);
                if (!modTag::reportRecord(o.record, prompter)) {
                    run.quitRequested = true;
                    run.cancelled = true;
                    break;
                }
                for (const TagMessage& m : std::as_const(o.messages))
                    prompter.tell(m.id, m.text, m.title, m.icon);

                QString proposal = std::move(o.proposal);
                QString problem;
                if (o.renames) {
                    // Every proposal, from the parser or from the tags: two
                    // files never get the same name (in any letter case), and
                    // a name made longer is checked against the disk again.
                    const QString folder = FileList::location(paths.at(i));
                    const QString lower = proposal.toLower();
                    if (proposed.contains(lower)) {
                        // The " (1)" chain of a name is always the same; every
                        // name in it up to the last one handed out is taken, so
                        // the walk goes on from there (a group of n equal names
                        // costs n steps, not n * n / 2).
                        QString& end = chainEnd[proposal];
                        const QString from = end.isEmpty() ? proposal : end;
                        proposal = firstFreeName(withDuplicateSuffix(from), [&](const QString& n) {
                            return proposed.contains(n.toLower()) || takenOnDisk(n, paths.at(i), folder);
                        });
                        end = proposal;
                    }
                    proposed.insert(proposal.toLower());
                    // Marked in its row; "Fix files!" skips it.
                    problem = nameProblem(folder, proposal);
                }
                sims.append(proposal);
                problems.append(problem);
                artists.append(o.artist);
                titles.append(o.title);
                ++run.processed;
            }
            ++done;
            if (!report(progress, done, total)) {
                run.cancelled = true;
                break;
            }
        }
    }

    // Vanished files leave the list; files not reached stay, without a proposal.
    if (vanishedAt.empty()) {
        list.lstAllfiles = paths;
        list.lstFiles = names;
    } else {
        QStringList keptPaths, keptNames;
        keptPaths.reserve(total);
        keptNames.reserve(total);
        for (qsizetype i = 0, v = 0; i < total; ++i) {
            if (v < static_cast<qsizetype>(vanishedAt.size()) && vanishedAt[static_cast<size_t>(v)] == i) {
                ++v;
                continue;
            }
            keptPaths.append(paths.at(i));
            keptNames.append(names.at(i));
        }
        list.lstAllfiles = keptPaths;
        list.lstFiles = keptNames;
    }
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

} // namespace vantrel
