// The two graphs of the help window: measured simulation time against the
// number of files for the renaming options, drawn in code.
#pragma once

#include <QColor>
#include <QImage>
#include <QList>
#include <QPointF>
#include <QRect>
#include <QSize>
#include <QString>

namespace vantrel::help {

struct GraphPoint {
    int files;
    int seconds;
};

struct Graph {
    QString title;
    QSize size;
    QList<GraphPoint> points;
};

// Axes: 0 to 5000 files across, 0 to 120 seconds up.
inline constexpr int kMaxFiles = 5000;
inline constexpr int kMaxSeconds = 120;

inline const QColor kFrameColour = QColor(255, 255, 255);
inline const QColor kPlotColour = QColor(16, 32, 96);    // dark blue
inline const QColor kLineColour = QColor(255, 196, 32);  // the joining line
inline const QColor kMarkColour = QColor(255, 255, 255); // the measured points

// Option (1), names from the tag: 500 x 369.
const Graph& optionOneGraph();
// Options (2) and (3), names from the file name: 500 x 375.
const Graph& optionTwoGraph();

// The dark plot area inside the white frame of a picture of this size.
QRect plotArea(QSize size);
// Where a point lands in a picture of this size.
QPointF plotPosition(QSize size, GraphPoint p);

QImage drawGraph(const Graph& graph);

} // namespace vantrel::help
