#include "FileTable.h"

#include "batch/FileList.h"

#include <QDragEnterEvent>
#include <QKeyEvent>
#include <QMimeData>
#include <QPainter>
#include <QPainterPath>
#include <QStyledItemDelegate>
#include <QUrl>

namespace vantrel {

namespace {

// An After cell whose name the folder cannot take shows a warning sign in
// front of the proposal, in red; its tooltip (from the model) says why.
class ProblemMark : public QStyledItemDelegate {
  public:
    using QStyledItemDelegate::QStyledItemDelegate;

  protected:
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override
    {
        QStyledItemDelegate::initStyleOption(option, index);
        if (index.data(FileList::ProblemRole).toString().isEmpty()) return;
        option->text = FileTable::shownText(index);
        option->palette.setColor(QPalette::Text, QColor(192, 0, 0));
        option->palette.setColor(QPalette::HighlightedText, QColor(255, 220, 220));
    }
};

} // namespace

QString FileTable::shownText(const QModelIndex& index)
{
    const QString text = index.data().toString();
    if (index.column() != FileList::ColAfter || index.data(FileList::ProblemRole).toString().isEmpty())
        return text;
    return QStringLiteral("\u26A0 ") + text;
}

FileTable::FileTable(QWidget* parent) : QTableView(parent)
{
    setItemDelegateForColumn(FileList::ColAfter, new ProblemMark(this));
    setAcceptDrops(true);
    viewport()->setAcceptDrops(true);
    setDragDropMode(QAbstractItemView::DropOnly);
    setDropIndicatorShown(false);
}

QStringList FileTable::droppedPaths(const QMimeData* data)
{
    QStringList paths;
    if (!data || !data->hasUrls()) return paths;
    const QList<QUrl> urls = data->urls();
    for (const QUrl& u : urls) {
        if (u.isLocalFile()) {
            QString p = u.toLocalFile();
            // A folder dragged from some file managers arrives with a trailing "/".
            while (p.size() > 1 && p.endsWith(QLatin1Char('/')))
                p.chop(1);
            if (!p.isEmpty()) paths.append(p);
        }
    }
    return paths;
}

bool FileTable::showsEmptyPicture() const
{
    return !model() || model()->rowCount() == 0;
}

void FileTable::dragEnterEvent(QDragEnterEvent* e)
{
    if (!droppedPaths(e->mimeData()).isEmpty())
        e->acceptProposedAction();
    else
        e->ignore();
}

void FileTable::dragMoveEvent(QDragMoveEvent* e)
{
    if (!droppedPaths(e->mimeData()).isEmpty())
        e->acceptProposedAction();
    else
        e->ignore();
}

void FileTable::dropEvent(QDropEvent* e)
{
    const QStringList paths = droppedPaths(e->mimeData());
    if (paths.isEmpty()) {
        e->ignore();
        return;
    }
    e->setDropAction(Qt::CopyAction);
    e->accept();
    Q_EMIT filesDropped(paths);
}

void FileTable::keyPressEvent(QKeyEvent* e)
{
    if (e->key() == Qt::Key_Delete) {
        Q_EMIT deletePressed();
        e->accept();
        return;
    }
    QTableView::keyPressEvent(e);
}

void FileTable::mouseDoubleClickEvent(QMouseEvent* e)
{
    QTableView::mouseDoubleClickEvent(e);
    Q_EMIT doubleClickedAnywhere();
}

void FileTable::paintEvent(QPaintEvent* e)
{
    QTableView::paintEvent(e);
    if (!showsEmptyPicture()) return;

    // An empty list shows a record with a note on it and a hint to drop files.
    QPainter p(viewport());
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF area = viewport()->rect();
    const qreal size = qMin(area.width(), area.height()) * 0.45;
    if (size < 24) return;
    const QPointF c(area.center().x(), area.center().y() - size * 0.12);

    p.setPen(Qt::NoPen);
    p.setBrush(QColor(235, 238, 243));
    p.drawEllipse(c, size / 2, size / 2);
    p.setBrush(QColor(222, 226, 233));
    for (qreal r = size * 0.44; r > size * 0.2; r -= size * 0.06)
        p.drawEllipse(c, r, r);
    p.setBrush(QColor(255, 153, 51));
    p.drawEllipse(c, size * 0.14, size * 0.14);
    p.setBrush(Qt::white);
    p.drawEllipse(c, size * 0.03, size * 0.03);

    // The note: two heads joined by a beam.
    const qreal h = size * 0.09;
    const QPointF n1(c.x() + size * 0.32, c.y() + size * 0.32);
    const QPointF n2(c.x() + size * 0.55, c.y() + size * 0.26);
    p.setBrush(QColor(60, 90, 160));
    p.drawEllipse(n1, h, h * 0.75);
    p.drawEllipse(n2, h, h * 0.75);
    QPainterPath beam;
    beam.moveTo(n1.x() + h * 0.8, n1.y());
    beam.lineTo(n1.x() + h * 0.8, n1.y() - size * 0.42);
    beam.lineTo(n2.x() + h * 0.8, n2.y() - size * 0.46);
    beam.lineTo(n2.x() + h * 0.8, n2.y());
    QPen stem(QColor(60, 90, 160), qMax<qreal>(2.0, size * 0.025));
    p.setPen(stem);
    p.setBrush(Qt::NoBrush);
    p.drawPath(beam);

    p.setPen(QColor(130, 136, 148));
    QRectF text(area.left(), c.y() + size / 2 + 6, area.width(), 40);
    p.drawText(text, Qt::AlignHCenter | Qt::AlignTop, tr("Drop files or folders here, or load a folder"));
}

void ClickLabel::mouseReleaseEvent(QMouseEvent* e)
{
    QLabel::mouseReleaseEvent(e);
    if (rect().contains(e->position().toPoint())) Q_EMIT clicked();
}

} // namespace vantrel
