// The visible file table: a table view that accepts files and folders dropped
// from a file manager, reports the Delete key, and shows a picture while empty.
#pragma once

#include <QLabel>
#include <QStringList>
#include <QTableView>

namespace vantrel {

class FileTable : public QTableView {
    Q_OBJECT

  public:
    explicit FileTable(QWidget* parent = nullptr);

    // Local paths carried by dropped data (text/uri-list), in order; empty
    // when the data carries no local files.
    static QStringList droppedPaths(const QMimeData* data);

    // True while the table has no rows and therefore shows its picture.
    bool showsEmptyPicture() const;

    // The text a cell shows: an After name that cannot be used comes behind
    // a warning sign (and in red; the tooltip says why).
    static QString shownText(const QModelIndex& index);

  Q_SIGNALS:
    void filesDropped(const QStringList& paths);
    void deletePressed();
    // Any double-click in the rows area, on a row or not (the handler decides).
    void doubleClickedAnywhere();

  protected:
    void dragEnterEvent(QDragEnterEvent* e) override;
    void dragMoveEvent(QDragMoveEvent* e) override;
    void dropEvent(QDropEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
    void mouseDoubleClickEvent(QMouseEvent* e) override;
    void paintEvent(QPaintEvent* e) override;
};

// A label that reports clicks (the blue "info" links beside the options).
class ClickLabel : public QLabel {
    Q_OBJECT

  public:
    using QLabel::QLabel;

  Q_SIGNALS:
    void clicked();

  protected:
    void mouseReleaseEvent(QMouseEvent* e) override;
};

} // namespace vantrel
