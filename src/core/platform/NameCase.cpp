#include "platform/NameCase.h"

#include "platform/MediumOps.h"

#include <QFile>
#include <QHash>
#include <cerrno>
#include <dirent.h>
#include <mutex>
#include <sys/stat.h>

namespace vantrel {

namespace {

struct FolderKey {
    QString folder;
    quint64 device;
    friend bool operator==(const FolderKey&, const FolderKey&) = default;
};

size_t qHash(const FolderKey& k, size_t seed = 0)
{
    return ::qHash(k.folder, seed) ^ ::qHash(k.device, seed + 1);
}

// The answers found so far; the simulation asks from several threads.
struct RuleCache {
    std::mutex lock;
    QHash<FolderKey, bool> ignoresCase;
};

RuleCache& cache()
{
    static RuleCache c;
    return c;
}

QString withSlash(const QString& folder)
{
    if (folder.isEmpty()) return QStringLiteral("./");
    return folder.endsWith(QLatin1Char('/')) ? folder : folder + QLatin1Char('/');
}

// Every letter in the other case: "Song.mp3" -> "sONG.MP3".
QString swappedCase(const QString& s)
{
    QString out = s;
    for (QChar& c : out) {
        if (c.isLower())
            c = c.toUpper();
        else if (c.isUpper())
            c = c.toLower();
    }
    return out;
}

} // namespace

bool entryListed(const QString& folder, const QString& name)
{
    DIR* d = ::opendir(QFile::encodeName(folder.isEmpty() ? QStringLiteral(".") : folder).constData());
    if (!d) return false;
    const QByteArray wanted = QFile::encodeName(name);
    bool found = false;
    while (const struct dirent* e = ::readdir(d)) {
        if (wanted == e->d_name) {
            found = true;
            break;
        }
    }
    ::closedir(d);
    return found;
}

bool folderIgnoresCase(const QString& folder, const QString& sampleName)
{
    const QString dir = withSlash(folder);
    struct stat st {};
    if (::stat(QFile::encodeName(dir).constData(), &st) != 0) return false;
    const FolderKey key{dir, static_cast<quint64>(st.st_dev)};
    {
        std::lock_guard<std::mutex> g(cache().lock);
        const auto it = cache().ignoresCase.constFind(key);
        if (it != cache().ignoresCase.constEnd()) return it.value();
    }

    const QString swapped = swappedCase(sampleName);
    if (swapped == sampleName) return false;
    const detail::MediumOps& ops = detail::mediumOps();
    if (ops.lookup(QFile::encodeName(dir + sampleName).constData()) != 0) return false;
    const int e = ops.lookup(QFile::encodeName(dir + swapped).constData());
    if (e != 0 && e != ENOENT) return false; // an unusual answer (name too long, ...) decides nothing
    // Found under the swapped spelling: either the medium ignores case, or a
    // case-sensitive folder really holds both spellings; the listing tells.
    const bool ignores = e == 0 && !entryListed(dir, swapped);
    std::lock_guard<std::mutex> g(cache().lock);
    cache().ignoresCase.insert(key, ignores);
    return ignores;
}

bool isOwnEntry(const QString& path, const QString& target)
{
    if (path == target) return true;
    const qsizetype slash = path.lastIndexOf(QLatin1Char('/'));
    if (slash != target.lastIndexOf(QLatin1Char('/')) ||
        QStringView(path).left(slash + 1) != QStringView(target).left(slash + 1))
        return false;
    const QString name = path.mid(slash + 1);
    if (name.compare(QStringView(target).mid(slash + 1), Qt::CaseInsensitive) != 0) return false;
    return folderIgnoresCase(path.left(slash + 1), name);
}

namespace detail {
void forgetFolderCaseRules()
{
    std::lock_guard<std::mutex> g(cache().lock);
    cache().ignoresCase.clear();
}
} // namespace detail

} // namespace vantrel
