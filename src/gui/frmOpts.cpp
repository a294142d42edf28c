#include "frmOpts.h"

#include "parser/RenamingScheme.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QShowEvent>
#include <QVBoxLayout>

namespace vantrel {

namespace {

const char* const kSearchTip = "Enter a string to search for and remove in all filenames";

template <typename W> W* named(W* w, const char* objectName)
{
    w->setObjectName(QLatin1String(objectName));
    return w;
}

} // namespace

frmOpts::frmOpts(QWidget* parent) : QWidget(parent, Qt::Window)
{
    setObjectName(QStringLiteral("frmOpts"));
    setWindowTitle(QStringLiteral("Renaming Schemes"));
    setFont(QFont(QStringLiteral("Verdana"), 8));

    Frame1 = named(new QGroupBox(QStringLiteral("Renaming Schemes"), this), "Frame1");
    optScheme[0] = named(new QRadioButton(QStringLiteral("Artist - Title.mp3"), Frame1), "optScheme(0)");
    optScheme[1] = named(new QRadioButton(QStringLiteral("Title - Artist.mp3"), Frame1), "optScheme(1)");
    optScheme[2] = named(new QRadioButton(QStringLiteral("Custom:"), Frame1), "optScheme(2)");
    txtScheme = named(new QLineEdit(Frame1), "txtScheme");
    Label2 = named(new QLabel(QStringLiteral("Use <Album>, <Artist>, <Title> and <Track> to custom your own "
                                             "filename. Slashes (to create folders) are not allowed."),
                              Frame1),
                   "Label2");
    Label2->setTextFormat(Qt::PlainText);
    Label2->setWordWrap(true);
    Label1 = named(new QLabel(QStringLiteral("Only appliable to files with tags."), Frame1), "Label1");

    auto* schemes = new QGridLayout(Frame1);
    schemes->addWidget(optScheme[0], 0, 0, 1, 2);
    schemes->addWidget(optScheme[1], 1, 0, 1, 2);
    schemes->addWidget(optScheme[2], 2, 0);
    schemes->addWidget(txtScheme, 2, 1);
    schemes->addWidget(Label2, 3, 0, 1, 2);
    schemes->addWidget(Label1, 4, 0, 1, 2);
    schemes->setColumnStretch(1, 1);

    Frame2 = named(new QGroupBox(QStringLiteral("Misc."), this), "Frame2");
    chkRemAllNum = named(new QCheckBox(QStringLiteral("Remove ALL numbers"), Frame2), "chkRemAllNum");
    chkReplace = named(new QCheckBox(QStringLiteral("Replace string:"), Frame2), "chkReplace");
    txtRepWhat = named(new QLineEdit(Frame2), "txtRepWhat");
    Label3 = named(new QLabel(QStringLiteral("with:"), Frame2), "Label3");
    txtRepWith = named(new QLineEdit(Frame2), "txtRepWith");
    chkRemove = named(new QCheckBox(QStringLiteral("Remove string:"), Frame2), "chkRemove");
    txtRemove = named(new QLineEdit(Frame2), "txtRemove");
    chkRep = named(new QCheckBox(QStringLiteral("Remove repeated characters (3 or more) - slow!"), Frame2),
                   "chkRep");
    chkUcaseAll = named(new QCheckBox(QStringLiteral("All characters UPPER CASE"), Frame2), "chkUcaseAll");
    chkUcase =
        named(new QCheckBox(QStringLiteral("Upper Case first characters in all words"), Frame2), "chkUcase");
    chkAllFormats = named(new QCheckBox(QStringLiteral("Also list FLAC, Ogg, Opus and M4A files"), Frame2),
                          "chkAllFormats");
    for (QLineEdit* box : {txtRepWhat, txtRepWith, txtRemove})
        box->setToolTip(QLatin1String(kSearchTip));

    auto* misc = new QGridLayout(Frame2);
    misc->addWidget(chkRemAllNum, 0, 0, 1, 4);
    misc->addWidget(chkReplace, 1, 0);
    misc->addWidget(txtRepWhat, 1, 1);
    misc->addWidget(Label3, 1, 2);
    misc->addWidget(txtRepWith, 1, 3);
    misc->addWidget(chkRemove, 2, 0);
    misc->addWidget(txtRemove, 2, 1, 1, 3);
    misc->addWidget(chkRep, 3, 0, 1, 4);
    misc->addWidget(chkUcaseAll, 4, 0, 1, 4);
    misc->addWidget(chkUcase, 5, 0, 1, 4);
    misc->addWidget(chkAllFormats, 6, 0, 1, 4);
    misc->setColumnStretch(1, 1);
    misc->setColumnStretch(3, 1);

    cmdSave = named(new QPushButton(QStringLiteral("Close"), this), "cmdSave");
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(cmdSave);

    auto* all = new QVBoxLayout(this);
    all->addWidget(Frame1);
    all->addWidget(Frame2);
    all->addLayout(buttons);

    connect(txtScheme, &QLineEdit::textChanged, this, &frmOpts::schemeTextChanged);
    // The boxes follow their check box whichever way it changes; the cursor
    // goes to the box when it becomes usable.
    connect(chkRemove, &QCheckBox::toggled, this, [this](bool on) {
        txtRemove->setEnabled(on);
        if (on) txtRemove->setFocus();
    });
    connect(chkReplace, &QCheckBox::toggled, this, [this](bool on) {
        txtRepWhat->setEnabled(on);
        txtRepWith->setEnabled(on);
        if (on) txtRepWhat->setFocus();
    });
    connect(cmdSave, &QPushButton::clicked, this, &frmOpts::NormalizeScheme);

    resetToDefaults();
    shown_ = values();
}

void frmOpts::resetToDefaults()
{
    normalizing_ = true; // setting the default pattern is not a choice of the user
    txtScheme->setText(defaultSchemePattern());
    normalizing_ = false;
    optScheme[0]->setChecked(true);
    chkRemAllNum->setChecked(false);
    chkReplace->setChecked(false);
    txtRepWhat->setText(QStringLiteral("VA"));
    txtRepWith->setText(QStringLiteral("various artists"));
    chkRemove->setChecked(false);
    txtRemove->setText(QStringLiteral("various artists"));
    chkRep->setChecked(false);
    chkUcaseAll->setChecked(false);
    chkUcase->setChecked(true);
    chkAllFormats->setChecked(false);
    txtRepWhat->setEnabled(false);
    txtRepWith->setEnabled(false);
    txtRemove->setEnabled(false);
    txtScheme->setEnabled(true);
}

int frmOpts::schemeIndex() const
{
    for (int i = 0; i < 2; ++i) {
        if (optScheme[static_cast<size_t>(i)]->isChecked()) return i;
    }
    return 2;
}

void frmOpts::schemeTextChanged()
{
    if (!normalizing_) optScheme[2]->setChecked(true);
}

void frmOpts::NormalizeScheme()
{
    const QString clean = vantrel::NormalizeScheme(txtScheme->text());
    if (clean != txtScheme->text()) {
        normalizing_ = true;
        txtScheme->setText(clean);
        normalizing_ = false;
    }
    hide();
}

frmOpts::Values frmOpts::values() const
{
    return {
        schemeIndex(),       txtScheme->text(),         txtRepWhat->text(),      txtRepWith->text(),
        txtRemove->text(),   chkRemAllNum->isChecked(), chkReplace->isChecked(), chkRemove->isChecked(),
        chkRep->isChecked(), chkUcaseAll->isChecked(),  chkUcase->isChecked(),   chkAllFormats->isChecked()};
}

void frmOpts::setValues(const Values& v)
{
    normalizing_ = true; // putting a pattern back is not a choice of the user
    txtScheme->setText(v.pattern);
    normalizing_ = false;
    optScheme[static_cast<size_t>(v.scheme)]->setChecked(true);
    txtRepWhat->setText(v.repWhat);
    txtRepWith->setText(v.repWith);
    txtRemove->setText(v.remove);
    chkRemAllNum->setChecked(v.remAllNum);
    chkReplace->setChecked(v.replace);
    chkRemove->setChecked(v.removeOn);
    chkRep->setChecked(v.rep);
    chkUcaseAll->setChecked(v.ucaseAll);
    chkUcase->setChecked(v.ucase);
    chkAllFormats->setChecked(v.allFormats);
}

void frmOpts::showEvent(QShowEvent* event)
{
    // Only a window that was hidden starts a new round of edits.
    if (!event->spontaneous()) shown_ = values();
    QWidget::showEvent(event);
}

void frmOpts::closeEvent(QCloseEvent* event)
{
    setValues(shown_);
    event->accept();
}

} // namespace vantrel
