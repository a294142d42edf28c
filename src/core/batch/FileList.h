// The file list every batch operation shares: parallel lists of paths, names,
// proposals, artists and titles, and the five-column table shown to the user.
#pragma once

#include <QAbstractTableModel>
#include <QList>
#include <QStringList>

namespace vantrel {

class FileList : public QAbstractTableModel {
    Q_OBJECT

  public:
    enum Column { ColBefore = 0, ColAfter, ColArtist, ColTitle, ColLocation, ColumnCount };
    // data() of the After column under this role: why its name cannot be
    // used, empty when it can (the tooltip role gives the same text).
    static constexpr int ProblemRole = Qt::UserRole + 1;

    // One table row, as shown. The After column is the authoritative copy of
    // the proposals: the details window edits it, every rebuild reads it back.
    struct Row {
        QString before;
        QString after;
        QString artist;
        QString title;
        QString location;
        QString problem; // why After cannot be used as the file's name; empty when it can
    };

    explicit FileList(QObject* parent = nullptr);

    // Entry k of each list belongs to the same file, which is table row k.
    QStringList lstAllfiles; // full paths; the master list
    QStringList lstFiles;    // current names (the part after the last "/")
    QStringList lstSim;      // proposed names; may be shorter (missing = empty)
    QStringList lstArtist;   // artist found by the simulation
    QStringList lstTit;      // title found by the simulation
    QStringList lstProblem;  // why a proposal cannot be used (empty: it can); like lstSim
    QStringList lstRemember; // scratch of a renaming run: new full paths
    QStringList lstDump;     // scratch of filterlist: surviving paths

    int count() const { return static_cast<int>(lstAllfiles.size()); }

    // Rebuilds the table from the lists: first copies the table's After texts
    // into lstSim and their problems into lstProblem (keeping edits), then makes one row per entry of
    // lstAllfiles. Emits rebuilt() so the window can disable "Fix files!" and show the count.
    void listviewthem();

    // Removes all rows of the table (not the lists).
    void clearRows();

    // "Clear list": empties the lists and rebuilds the empty table.
    void clearAll();

    // Delete key: removes the files of the given rows (any order, duplicates
    // ignored) from the lists, then the rows, then rebuilds; After is blank
    // for every remaining row afterwards, as the rows are gone before the rebuild.
    void removeFiles(QList<int> rows);

    // Appends a file with empty proposal, artist and title (no rebuild).
    void append(const QString& fullPath);

    int rowCountShown() const { return static_cast<int>(rows_.size()); }
    const Row& row(int r) const { return rows_.at(r); }
    QString afterText(int r) const { return rows_.at(r).after; }
    // A changed text drops the row's problem; the caller marks it anew.
    void setAfterText(int r, const QString& text);
    QString problem(int r) const { return rows_.at(r).problem; }
    void setProblem(int r, const QString& why);

    // The value of list entry k, or empty text when the list is shorter.
    static QString at(const QStringList& list, int k)
    {
        return k >= 0 && k < list.size() ? list.at(k) : QString();
    }
    // The folder part of a path, ending with "/" ("/music/a.mp3" -> "/music/").
    static QString location(const QString& path);
    // The part after the last "/".
    static QString nameOf(const QString& path);
    // "Number of files in list: " + count.
    QString statusText() const;

    // QAbstractTableModel
    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;

  Q_SIGNALS:
    void rebuilt();

  private:
    QList<Row> rows_;
};

} // namespace vantrel
