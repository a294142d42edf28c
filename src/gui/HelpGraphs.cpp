#include "HelpGraphs.h"

#include <QFont>
#include <QPainter>
#include <QPainterPath>

namespace vantrel::help {

namespace {

// Room around the plot: title above, second labels left, file labels below.
constexpr int kLeft = 56;
constexpr int kRight = 20;
constexpr int kTop = 44;
constexpr int kBottom = 48;

constexpr int kFileStep = 1000;
constexpr int kSecondStep = 20;
constexpr qreal kMarkRadius = 4.5;

QFont font(int pixels, bool bold = false)
{
    QFont f(QStringLiteral("Arial"));
    f.setStyleHint(QFont::SansSerif);
    f.setPixelSize(pixels);
    f.setBold(bold);
    return f;
}

} // namespace

const Graph& optionOneGraph()
{
    static const Graph g{QStringLiteral("Vantrel - Option (1): time to simulate"),
                         QSize(500, 369),
                         {{100, 5}, {500, 12}, {1000, 25}, {2000, 45}, {3000, 60}, {5000, 90}}};
    return g;
}

const Graph& optionTwoGraph()
{
    static const Graph g{QStringLiteral("Vantrel - Options (2) and (3): time to simulate"),
                         QSize(500, 375),
                         {{100, 5}, {500, 10}, {1000, 20}, {3000, 50}, {5000, 80}}};
    return g;
}

QRect plotArea(QSize size)
{
    return QRect(kLeft, kTop, size.width() - kLeft - kRight, size.height() - kTop - kBottom);
}

QPointF plotPosition(QSize size, GraphPoint p)
{
    const QRect area = plotArea(size);
    // The axes' ends fall on the plot area's outermost pixels.
    return {area.left() + (area.width() - 1) * qreal(p.files) / kMaxFiles,
            area.bottom() - (area.height() - 1) * qreal(p.seconds) / kMaxSeconds};
}

QImage drawGraph(const Graph& graph)
{
    QImage image(graph.size, QImage::Format_RGB32);
    image.fill(kFrameColour);
    const QRect area = plotArea(graph.size);

    QPainter p(&image);
    p.fillRect(area, kPlotColour);

    // Grid and axis labels.
    p.setFont(font(11));
    const QColor grid = kPlotColour.lighter(190);
    for (int s = 0; s <= kMaxSeconds; s += kSecondStep) {
        const qreal y = plotPosition(graph.size, {0, s}).y();
        if (s > 0) {
            p.setPen(QPen(grid, 1, Qt::DotLine));
            p.drawLine(QPointF(area.left(), y), QPointF(area.right(), y));
        }
        p.setPen(Qt::black);
        p.drawText(QRectF(0, y - 8, kLeft - 8, 16), Qt::AlignRight | Qt::AlignVCenter, QString::number(s));
    }
    for (int f = 0; f <= kMaxFiles; f += kFileStep) {
        const qreal x = plotPosition(graph.size, {f, 0}).x();
        if (f > 0 && f < kMaxFiles) {
            p.setPen(QPen(grid, 1, Qt::DotLine));
            p.drawLine(QPointF(x, area.top()), QPointF(x, area.bottom()));
        }
        p.setPen(Qt::black);
        p.drawText(QRectF(x - 30, area.bottom() + 4, 60, 16), Qt::AlignHCenter | Qt::AlignTop,
                   QString::number(f));
    }
    p.setFont(font(12, true));
    p.drawText(QRectF(area.left(), area.bottom() + 22, area.width(), 18), Qt::AlignHCenter | Qt::AlignTop,
               QStringLiteral("Number of files"));
    p.save();
    p.translate(12, area.center().y());
    p.rotate(-90);
    p.drawText(QRectF(-80, -8, 160, 18), Qt::AlignCenter, QStringLiteral("Seconds"));
    p.restore();

    p.setFont(font(15, true));
    p.drawText(QRectF(0, 8, graph.size.width(), 26), Qt::AlignCenter, graph.title);

    // The measurements, joined in order, with each point marked.
    p.setRenderHint(QPainter::Antialiasing);
    QPainterPath line;
    for (qsizetype i = 0; i < graph.points.size(); ++i) {
        const QPointF at = plotPosition(graph.size, graph.points[i]);
        if (i == 0)
            line.moveTo(at);
        else
            line.lineTo(at);
    }
    p.setPen(QPen(kLineColour, 2.5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPath(line);
    p.setPen(QPen(kLineColour, 1.5));
    p.setBrush(kMarkColour);
    for (const GraphPoint& g : graph.points)
        p.drawEllipse(plotPosition(graph.size, g), kMarkRadius, kMarkRadius);
    p.end();
    return image;
}

} // namespace vantrel::help
