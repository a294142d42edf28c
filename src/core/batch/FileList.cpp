#include "FileList.h"

#include <algorithm>

namespace vantrel {

FileList::FileList(QObject* parent) : QAbstractTableModel(parent) {}

QString FileList::location(const QString& path)
{
    const qsizetype slash = path.lastIndexOf(QLatin1Char('/'));
    return slash < 0 ? QString() : path.left(slash + 1);
}

QString FileList::nameOf(const QString& path)
{
    return path.mid(path.lastIndexOf(QLatin1Char('/')) + 1);
}

QString FileList::statusText() const
{
    return QStringLiteral("Number of files in list: %1").arg(count());
}

void FileList::listviewthem()
{
    // Keep what the table showed (including edits from the details window).
    lstSim.clear();
    lstSim.reserve(rows_.size());
    lstProblem.clear();
    for (const Row& r : std::as_const(rows_)) {
        lstSim.append(r.after);
        lstProblem.append(r.problem);
    }

    beginResetModel();
    rows_.clear();
    const int n = count();
    rows_.reserve(n);
    // The rows of one folder share one copy of its location.
    QString folder;
    for (int k = 0; k < n; ++k) {
        const QString& path = lstAllfiles.at(k);
        const QStringView here = QStringView(path).left(path.lastIndexOf(QLatin1Char('/')) + 1);
        if (here != folder) folder = here.toString();
        rows_.append(
            Row{at(lstFiles, k), at(lstSim, k), at(lstArtist, k), at(lstTit, k), folder, at(lstProblem, k)});
    }
    endResetModel();
    Q_EMIT rebuilt();
}

void FileList::clearRows()
{
    beginResetModel();
    rows_.clear();
    endResetModel();
}

void FileList::clearAll()
{
    lstFiles.clear();
    lstAllfiles.clear();
    lstArtist.clear();
    lstTit.clear();
    clearRows();
    listviewthem();
}

void FileList::removeFiles(QList<int> rows)
{
    // One pass per list, so that deleting many scattered rows of a long list
    // does not shift the rest of the list once per row.
    const int n = count();
    QList<bool> gone(n, false);
    for (int i : std::as_const(rows)) {
        if (i >= 0 && i < n) gone[i] = true;
    }
    auto compact = [&](QStringList& list, qsizetype limit) {
        QStringList kept;
        kept.reserve(list.size());
        for (qsizetype k = 0; k < list.size(); ++k) {
            if (!(k < limit && gone.at(k))) kept.append(list.at(k));
        }
        list = std::move(kept);
    };
    compact(lstAllfiles, n);
    compact(lstFiles, qMin<qsizetype>(n, lstFiles.size()));
    // Artist and title go only where both lists reach the row.
    const qsizetype both = qMin(qMin(lstArtist.size(), lstTit.size()), static_cast<qsizetype>(n));
    compact(lstArtist, both);
    compact(lstTit, both);
    clearRows();
    listviewthem();
}

void FileList::append(const QString& fullPath)
{
    lstAllfiles.append(fullPath);
    lstFiles.append(nameOf(fullPath));
}

void FileList::setAfterText(int r, const QString& text)
{
    if (r < 0 || r >= rows_.size()) return;
    if (rows_[r].after != text) rows_[r].problem.clear();
    rows_[r].after = text;
    const QModelIndex i = index(r, ColAfter);
    Q_EMIT dataChanged(i, i, {Qt::DisplayRole});
}

void FileList::setProblem(int r, const QString& why)
{
    if (r < 0 || r >= rows_.size()) return;
    rows_[r].problem = why;
    const QModelIndex i = index(r, ColAfter);
    Q_EMIT dataChanged(i, i, {Qt::ToolTipRole, ProblemRole});
}

int FileList::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}

int FileList::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant FileList::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= rows_.size()) return {};
    const Row& r = rows_.at(index.row());
    if (role == Qt::ToolTipRole || role == ProblemRole)
        return index.column() == ColAfter && !r.problem.isEmpty() ? QVariant(r.problem) : QVariant();
    if (role != Qt::DisplayRole && role != Qt::EditRole) return {};
    switch (index.column()) {
    case ColBefore:
        return r.before;
    case ColAfter:
        return r.after;
    case ColArtist:
        return r.artist;
    case ColTitle:
        return r.title;
    case ColLocation:
        return r.location;
    default:
        return {};
    }
}

QVariant FileList::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return QAbstractTableModel::headerData(section, orientation, role);
    static const char* const names[] = {"Before", "After", "Artist", "Title", "Location"};
    return section >= 0 && section < ColumnCount ? QString::fromLatin1(names[section]) : QVariant();
}

bool FileList::setData(const QModelIndex& index, const QVariant& value, int role)
{
    if (!index.isValid() || index.column() != ColAfter || role != Qt::EditRole) return false;
    setAfterText(index.row(), value.toString());
    return true;
}

} // namespace vantrel
