#include "frmHelp.h"

#include "HelpGraphs.h"
#include "HelpTexts.h"

#include <QComboBox>
#include <QDesktopServices>
#include <QEvent>
#include <QFontMetrics>
#include <QFrame>
#include <QLabel>
#include <QMouseEvent>
#include <QPixmap>
#include <QPushButton>
#include <QUrl>

namespace vantrel {

namespace {

// Window places are designed in twips, 15 to a pixel.
constexpr int px(int twips)
{
    return twips / 15;
}

template <typename W> W* place(W* w, const char* name, int left, int top, int width, int height)
{
    w->setObjectName(QLatin1String(name));
    w->setGeometry(px(left), px(top), px(width), px(height));
    return w;
}

} // namespace

frmHelp::frmHelp(QWidget* parent) : QWidget(parent, Qt::Tool)
{
    setObjectName(QStringLiteral("frmHelp"));
    setWindowTitle(QStringLiteral("Help"));
    setAttribute(Qt::WA_DeleteOnClose);
    setFixedSize(px(9015), px(7230));
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, Qt::white);
    setPalette(pal);

    cmbSection = place(new QComboBox(this), "cmbSection", 360, 0, 8415, 330);
    cmbSection->setEditable(false);

    lblPage = place(new QLabel(QStringLiteral("0"), this), "lblPage", 8880, 0, 105, 195);

    lblTitle = place(new QLabel(this), "lblTitle", 360, 600, 8295, 375);
    QFont titleFont(QStringLiteral("Arial"));
    titleFont.setStyleHint(QFont::SansSerif);
    titleFont.setPointSize(18);
    lblTitle->setFont(titleFont);

    Line1 = place(new QFrame(this), "Line1", 360, 1080, 8400, 15);
    Line1->setFrameShape(QFrame::HLine);
    Line1->setFrameShadow(QFrame::Plain);

    lblText = place(new QLabel(this), "lblText", 360, 1200, 8295, 5055);
    QFont textFont(QStringLiteral("Verdana"));
    textFont.setStyleHint(QFont::SansSerif);
    textFont.setPointSizeF(8.25);
    lblText->setFont(textFont);
    lblText->setWordWrap(true);
    lblText->setTextFormat(Qt::PlainText);
    lblText->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    lblText->installEventFilter(this);

    image1 = place(new QLabel(this), "image1", 360, 4320, 7500, 5535);
    image1->hide();

    imgOpt1 = place(new QLabel(this), "imgOpt1", 0, 0, 7500, 5535);
    imgOpt1->setPixmap(QPixmap::fromImage(help::drawGraph(help::optionOneGraph())));
    imgOpt1->hide();
    imgOpt2 = place(new QLabel(this), "imgOpt2", 0, 0, 7500, 5625);
    imgOpt2->setPixmap(QPixmap::fromImage(help::drawGraph(help::optionTwoGraph())));
    imgOpt2->hide();

    cmdBack = place(new QPushButton(QStringLiteral("Back"), this), "cmdBack", 240, 6840, 1095, 255);
    lblLink = place(new QLabel(help::linkCaption(), this), "lblLink", 1560, 6840, 4695, 255);
    QPalette linkPal = lblLink->palette();
    linkPal.setColor(QPalette::WindowText, Qt::blue);
    lblLink->setPalette(linkPal);
    lblLink->setCursor(Qt::PointingHandCursor);
    lblLink->installEventFilter(this);
    cmdAbout = place(new QPushButton(QStringLiteral("About"), this), "cmdAbout", 6480, 6840, 1095, 255);
    cmdClose = place(new QPushButton(QStringLiteral("Close"), this), "cmdClose", 7680, 6840, 1095, 255);

    openUrl = [](const QUrl& url) { QDesktopServices::openUrl(url); };

    connect(cmdAbout, &QPushButton::clicked, this, [this] { disp(5); });
    connect(cmdBack, &QPushButton::clicked, this, [this] { disp(previous_); });
    connect(cmdClose, &QPushButton::clicked, this, &QWidget::close);

    // Load: fill the list, then select its first entry, which shows topic 0
    // through the list's own click.
    previous_ = 0;
    for (int t = 0; t < help::kListedTopics; ++t)
        cmbSection->addItem(help::topicTitle(t));
    cmbSection->setCurrentIndex(-1);
    connect(cmbSection, &QComboBox::currentIndexChanged, this, &frmHelp::cmbSection_Click);
    cmbSection->setCurrentIndex(0);
}

void frmHelp::cmbSection_Click(int index)
{
    if (index >= 0) disp(index);
}

void frmHelp::disp(int what)
{
    image1->move(kParkedLeft, image1->y());
    previous_ = lblPage->text().toInt();
    lblPage->setText(QString::number(what));

    // Choosing a different entry runs disp once more through the list's click;
    // that nested run already finds `what` as the shown topic. A topic without
    // an entry leaves the list as it is.
    if (what >= 0 && what < cmbSection->count()) cmbSection->setCurrentIndex(what);

    switch (what) {
    case 0:
    case 4:
    case 5:
        setTitle(help::topicTitle(what));
        lblText->setText(help::topicText(what));
        break;
    case 1:
    case 2:
    case 3: {
        setTitle(help::topicTitle(what));
        lblText->setText(help::topicText(what));
        // The option's graph waits beside the text for a double-click.
        image1->hide();
        const QLabel* graph = what == 1 ? imgOpt1 : imgOpt2;
        image1->setPixmap(graph->pixmap());
        image1->resize(graph->pixmap().size());
        image1->move(lblText->x(), image1->y());
        break;
    }
    case help::kGraphTopic:
        lblText->clear();
        image1->move(lblText->pos());
        image1->raise();
        image1->show();
        break;
    default:
        setTitle(QStringLiteral("Help topic not found"));
        lblText->clear();
        break;
    }
}

void frmHelp::setTitle(const QString& title)
{
    // 18 pt Arial is the design; where the desktop substitutes a wider font,
    // a long title gets smaller rather than cut off.
    QFont f = lblTitle->font();
    for (qreal size = 18; size >= 10; size -= 0.5) {
        f.setPointSizeF(size);
        if (QFontMetrics(f).horizontalAdvance(title) <= lblTitle->width()) break;
    }
    lblTitle->setFont(f);
    lblTitle->setText(title);
}

void frmHelp::lblText_DblClick()
{
    if (image1->x() != kParkedLeft) disp(help::kGraphTopic);
}

void frmHelp::lblLink_Click()
{
    // Fire and forget: a browser that does not open shows nothing.
    if (openUrl) openUrl(QUrl(help::kProductPage));
}

bool frmHelp::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == lblText && event->type() == QEvent::MouseButtonDblClick) {
        lblText_DblClick();
        return true;
    }
    if (watched == lblLink && event->type() == QEvent::MouseButtonRelease &&
        static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
        lblLink_Click();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace vantrel
