#include "frmFile.h"

#include "SubWindows.h"
#include "Version.h"
#include "batch/Estimates.h"
#include "batch/FileList.h"
#include "batch/FixJournal.h"
#include "batch/Renamer.h"
#include "frmMain.h"
#include "frmOpts.h"
#include "platform/Clipboard.h"
#include "platform/Prompter.h"
#include "tags/ForeignTags.h"
#include "tags/GenrePicker.h"
#include "tags/Genres.h"
#include "tags/TagError.h"
#include "tags/formTag.h"
#include "tags/modTag.h"

#include <QComboBox>
#include <QFileInfo>
#include <QGroupBox>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QValidator>
#include <set>

namespace vantrel {

namespace {

// Design sizes are kept in twips; 15 twips make one pixel at 96 dpi.
constexpr int px(int twips)
{
    return twips / 15;
}
constexpr int BoxHeight = 285;
constexpr int ButtonHeight = 375;
constexpr int MaxTyped = 300;

const QString crlf = QStringLiteral("\r\n");
const QString marker = QStringLiteral("\u0001\u00FF\u00FE");

template <class W> W* named(W* w, const QString& name)
{
    w->setObjectName(name);
    return w;
}

// Limits what the user types to 300 characters. A longer text the program
// put into the box (a long tag comment) is kept whole, so that saving does
// not cut it; the user can shorten it but not lengthen it.
class TypedLength : public QValidator {
  public:
    explicit TypedLength(QLineEdit* box) : QValidator(box), box_(box) {}
    State validate(QString& input, int&) const override
    {
        const int allowed = qMax(MaxTyped, box_->property("programLength").toInt());
        return input.size() <= allowed ? Acceptable : Invalid;
    }

  private:
    QLineEdit* box_;
};

QLineEdit* textBox(QWidget* parent, const QString& name, int left, int top, int width)
{
    auto* b = named(new QLineEdit(parent), name);
    b->setValidator(new TypedLength(b));
    b->setGeometry(px(left), px(top), px(width), px(BoxHeight));
    return b;
}

// Sets a box's text as the program (not typing) does.
void setBox(QLineEdit* box, const QString& text)
{
    box->setProperty("programLength", static_cast<int>(text.size()));
    box->setText(text);
}

QComboBox* genreBox(QWidget* parent, const QString& name, int left, int top, int width)
{
    auto* c = named(new QComboBox(parent), name);
    c->setEditable(true);
    c->setInsertPolicy(QComboBox::NoInsert);
    c->setGeometry(px(left), px(top), px(width), px(BoxHeight + 30));
    return c;
}

// The text of a genre box as a genre name: an entry with exactly that text
// becomes selected, any other text stays typed with no entry selected.
void setGenreText(QComboBox* box, const QString& text)
{
    const int i = box->findText(text, Qt::MatchExactly | Qt::MatchCaseSensitive);
    box->setCurrentIndex(i);
    if (i < 0) box->setEditText(text);
}

int selectedGenreIndex(const QComboBox* box)
{
    const int i = box->currentIndex();
    return i >= 0 && box->itemText(i) == box->currentText() ? i : -1;
}

} // namespace

frmFile::frmFile(frmMain& main) : QWidget(&main, Qt::Tool | Qt::MSWindowsFixedSizeDialogHint), main_(main)
{
    setAttribute(Qt::WA_DeleteOnClose);
    setObjectName(QStringLiteral("frmFile"));
    build();
    setWindowTitle(txtBefore->text());
    fillGenres(id3v1_gen);
    fillGenres(id3v2_gen);
    // The command line names no file for this window to read (txtPath is
    // still empty here), so the load step reads nothing from it.
}

frmFile::~frmFile() = default;

void frmFile::build()
{
    QPalette pal = palette();
    pal.setColor(QPalette::Window, Qt::white);
    setPalette(pal);
    setAutoFillBackground(true);
    QFont font(QStringLiteral("Verdana"));
    font.setPointSizeF(8.25);
    setFont(font);
    setFixedSize(px(5730), px(7485));

    int labelNo = 0;
    auto caption = [this, &labelNo](QWidget* parent, const QString& text, int left, int top, int width) {
        auto* l = named(new QLabel(text, parent), QStringLiteral("Label1(%1)").arg(labelNo++));
        l->setAttribute(Qt::WA_TranslucentBackground);
        l->setGeometry(px(left), px(top + 30), px(width), px(BoxHeight - 30));
        Label1.append(l);
        return l;
    };

    Frame1 = named(new QGroupBox(QStringLiteral("File info"), this), QStringLiteral("Frame1"));
    Frame1->setGeometry(px(120), px(120), px(5415), px(1695));
    txtBefore = textBox(Frame1, QStringLiteral("txtBefore"), 1080, 240, 4215);
    txtBefore->setReadOnly(true);
    txtAfter = textBox(Frame1, QStringLiteral("txtAfter"), 1080, 600, 4215);
    txtPath = textBox(Frame1, QStringLiteral("txtPath"), 1080, 960, 4215);
    txtPath->setReadOnly(true);
    lblSize = named(new QLabel(QStringLiteral("0KB"), Frame1), QStringLiteral("lblSize"));
    lblSize->setGeometry(px(1080), px(1380), px(4215), px(BoxHeight - 30));
    lblIndex = named(new QLabel(QStringLiteral("1"), Frame1), QStringLiteral("lblIndex"));
    lblIndex->setGeometry(px(4800), px(1320), px(495), px(BoxHeight - 30));
    lblIndex->setVisible(false);
    caption(Frame1, QStringLiteral("Before:"), 120, 240, 900);
    caption(Frame1, QStringLiteral("After:"), 120, 600, 900);
    caption(Frame1, QStringLiteral("Path:"), 120, 960, 900);
    caption(Frame1, QStringLiteral("Size:"), 120, 1350, 900);

    static const char* const v1Captions[5] = {"Title:", "Artist:", "Album:", "Year:", "Comment:"};
    fmeV1 = named(new QGroupBox(QStringLiteral("ID3v1 Tag"), this), QStringLiteral("fmeV1"));
    fmeV1->setGeometry(px(120), px(1920), px(5415), px(2295));
    for (int i = 0; i < 5; ++i) {
        const int top = 360 + 360 * i;
        id3v1[i] = textBox(fmeV1, QStringLiteral("id3v1(%1)").arg(i), 1080, top, i == 3 ? 855 : 4215);
        caption(fmeV1, QString::fromLatin1(v1Captions[i]), 120, top, 900);
    }
    id3v1_gen = genreBox(fmeV1, QStringLiteral("id3v1_gen"), 2760, 1440, 2535);
    caption(fmeV1, QStringLiteral("Genre:"), 2040, 1440, 700);

    static const char* const v2Captions[4] = {"Title:", "Artist:", "Album:", "Year:"};
    fmeV2 = named(new QGroupBox(QStringLiteral("ID3v2 Tag"), this), QStringLiteral("fmeV2"));
    fmeV2->setGeometry(px(120), px(4320), px(5415), px(2655));
    for (int i = 0; i < 4; ++i) {
        const int top = 360 + 360 * i;
        id3v2[i] = textBox(fmeV2, QStringLiteral("id3v2(%1)").arg(i), 1080, top, i == 3 ? 855 : 4215);
        caption(fmeV2, QString::fromLatin1(v2Captions[i]), 120, top, 900);
    }
    id3v2_gen = genreBox(fmeV2, QStringLiteral("id3v2_gen"), 2760, 1440, 2535);
    caption(fmeV2, QStringLiteral("Genre:"), 2040, 1440, 700);
    id3v2[4] = textBox(fmeV2, QStringLiteral("id3v2(4)"), 1080, 2160, 4215);
    caption(fmeV2, QStringLiteral("Comment:"), 120, 2160, 900);
    id3v2[5] = textBox(fmeV2, QStringLiteral("id3v2(5)"), 1080, 1800, 855);
    caption(fmeV2, QStringLiteral("Track:"), 120, 1800, 900);
    id3v2[6] = textBox(fmeV2, QStringLiteral("id3v2(6)"), 2760, 1800, 2535);
    caption(fmeV2, QStringLiteral("Link to:"), 2040, 1800, 700);
    // Save does not write Track and Link to, so they are shown but not editable.
    id3v2[5]->setReadOnly(true);
    id3v2[6]->setReadOnly(true);

    QFont small(QStringLiteral("Verdana"));
    small.setPointSizeF(6.75);
    auto button = [this, &small](const QString& name, const QString& text, int left) {
        auto* b = named(new QPushButton(text, this), name);
        b->setFont(small);
        b->setAutoDefault(false);
        b->setGeometry(px(left), px(7080), px(1095), px(ButtonHeight));
        return b;
    };
    cmdSave = button(QStringLiteral("cmdSave"), QStringLiteral("Save"), 120);
    cmdCopy = button(QStringLiteral("cmdCopy"), QStringLiteral("Copy info"), 1680);
    cmdPlay = button(QStringLiteral("cmdPlay"), QStringLiteral("Play file"), 2880);
    cmdCancel = button(QStringLiteral("cmdCancel"), QStringLiteral("Cancel"), 4440);
    // Nothing to save until a row is shown.
    cmdSave->setEnabled(false);

    const QList<QWidget*> order = {txtBefore, txtAfter, txtPath,  id3v1[0], id3v1[1],  id3v1[2], id3v1[3],
                                   id3v1_gen, id3v1[4], id3v2[0], id3v2[1], id3v2[2],  id3v2[3], id3v2_gen,
                                   id3v2[4],  cmdSave,  cmdCopy,  cmdPlay,  cmdCancel, id3v2[5], id3v2[6]};
    for (int i = 0; i + 1 < order.size(); ++i)
        QWidget::setTabOrder(order.at(i), order.at(i + 1));

    connect(cmdSave, &QPushButton::clicked, this, &frmFile::cmdSave_Click);
    connect(cmdCopy, &QPushButton::clicked, this, &frmFile::cmdCopy_Click);
    connect(cmdPlay, &QPushButton::clicked, this, &frmFile::cmdPlay_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &frmFile::cmdCancel_Click);
}

void frmFile::fillGenres(QComboBox* box)
{
    box->clear();
    for (const GenreEntry& e : genrePickerEntries())
        box->addItem(e.name, e.number);
    box->setCurrentIndex(-1);
}

QString frmFile::selectedGenreText(const QComboBox* box)
{
    const int i = selectedGenreIndex(box);
    return i < 0 ? QString() : box->itemText(i);
}

QString frmFile::sizeCaption(qint64 bytes)
{
    const double hundredths =
        static_cast<double>(roundHalfEven(static_cast<double>(bytes) * 100.0 / 1048576.0));
    QLocale locale;
    locale.setNumberOptions(QLocale::OmitGroupSeparator);
    return locale.toString(hundredths / 100.0, 'f', QLocale::FloatingPointShortest) + QStringLiteral("MB");
}

QString frmFile::shownV2Comment(QString c)
{
    c.remove(marker);
    for (int i = 0; i < 10; ++i) {
        if (c.startsWith(QLatin1String("nt"))) c.remove(0, 2);
    }
    c.remove(QStringLiteral("ntnt"));
    if (c.startsWith(QLatin1String("sve"))) c.remove(0, 3);
    if (c.startsWith(QLatin1String("eng"))) c.remove(0, 3);
    return c;
}

void frmFile::loadFileInfo()
{
    FileList& list = main_.fileList();
    std::set<int> rows;
    if (QItemSelectionModel* sel = main_.lvFiles->selectionModel()) {
        for (const QModelIndex& i : sel->selectedIndexes())
            rows.insert(i.row());
    }
    for (const int r : rows) {
        if (r < 0 || r >= list.rowCountShown()) continue;
        const QString path = FileList::at(list.lstAllfiles, r);
        if (!modTag::FileReadable(path)) {
            // The window is gone; the rows after this one are not shown.
            close();
            main_.prompter().tell(Question::FileVanished, QStringLiteral("File no longer exists!"),
                                  QStringLiteral("Error"), Icon::Critical);
            return;
        }
        const QString before = FileList::at(list.lstFiles, r);
        lblIndex->setText(QString::number(r + 1));
        lblSize->setText(sizeCaption(QFileInfo(path).size()));
        setWindowTitle(before);
        setBox(txtPath, path);
        setBox(txtBefore, before);
        setBox(txtAfter, list.afterText(r));
        loadedPath_ = path;
        loaded_ = true;
        cmdSave->setEnabled(true);
        tagFile(path);
        for (QLineEdit* box : {id3v2[1], id3v2[0]}) {
            if (box->text().startsWith(marker)) setBox(box, box->text().mid(3));
        }
    }
}

bool frmFile::tagFile(const QString& sFile)
{
    try {
        loadTags();
    } catch (const TagFileError& e) {
        main_.prompter().tell(Question::TagNotLoaded,
                              QStringLiteral("Could not load file '") + sFile + QLatin1Char('\'') + crlf +
                                  crlf + e.description(),
                              QStringLiteral("Vantrel"), Icon::Information);
        return false;
    }
    return true;
}

void frmFile::loadTags()
{
    // The content decides: a WMA, FLAC, Ogg or M4A file shows its own tag in
    // the version-2 boxes, whatever its name; the ID3 boxes are for MPEG audio
    // (under any name) and for files named .mp3. A failure below leaves this as it is.
    const AudioFormat format = detectAudioFormat(txtPath->text());
    foreignTags_ = ForeignTags::handles(format);
    id3Tags_ = !foreignTags_ &&
               (format == AudioFormat::Mpeg || txtBefore->text().toLower().endsWith(QLatin1String(".mp3")));
    for (QLineEdit* box : id3v1)
        box->setEnabled(id3Tags_);
    for (QLineEdit* box : id3v2)
        box->setEnabled(id3Tags_ || (foreignTags_ && box != id3v2[6]));
    id3v1_gen->setEnabled(!foreignTags_);
    id3v2[5]->setReadOnly(!foreignTags_); // such a tag's track is saved, an ID3v2 one only shown
    if (foreignTags_) {
        loadForeignTags();
        return;
    }

    v1_.setMP3File(txtPath->text());
    setBox(id3v1[1], QString(v1_.Artist()).remove(marker + QLatin1Char(' ')));
    setBox(id3v1[0], v1_.Title());
    setBox(id3v1[2], v1_.Album());
    const QString v1Genre = cMP3ID3v1::GenreName(v1_.Genre());
    if (v1Genre.isEmpty())
        id3v1_gen->setCurrentIndex(0);
    else
        setGenreText(id3v1_gen, v1Genre);
    setBox(id3v1[3], v1_.Year());
    setBox(id3v1[4], v1_.Comment());

    v2_.setMP3File(txtPath->text());
    setBox(id3v2[1], QString(v2_.Artist()).remove(marker));
    setBox(id3v2[0], QString(v2_.Title()).remove(marker));
    setBox(id3v2[2], QString(v2_.Album()).remove(marker));
    // A genre given only by its name shows that name, so that saving keeps it.
    const QString v2Genre = cMP3ID3v2::GenreName(v2_.Genre());
    setGenreText(id3v2_gen, v2Genre.isEmpty() ? v2_.OtherGenreName() : v2Genre);
    setBox(id3v2[3], QString(v2_.Year()).remove(marker));
    setBox(id3v2[4], shownV2Comment(v2_.Comment()));
    setBox(id3v2[5], QString(v2_.Track()).remove(marker));
    setBox(id3v2[6], QString(v2_.LinkTo()).remove(marker));
}

void frmFile::loadForeignTags()
{
    QString error;
    const std::optional<ForeignTagFields> f = ForeignTags::read(txtPath->text(), &error);
    if (!f) throw TagFileError(0, error, tagErrorSource(QStringLiteral("ForeignTags")));
    for (QLineEdit* box : id3v1)
        setBox(box, QString());
    id3v1_gen->setCurrentIndex(0);
    setBox(id3v2[0], f->title);
    setBox(id3v2[1], f->artist);
    setBox(id3v2[2], f->album);
    setBox(id3v2[3], f->year);
    setBox(id3v2[4], f->comment);
    setBox(id3v2[5], f->track);
    setBox(id3v2[6], QString());
    setGenreText(id3v2_gen, f->genre);
    loadedForeignGenre_ = f->genre;
}

bool frmFile::saveForeignTags()
{
    ForeignTagEdit edit;
    edit.title = id3v2[0]->text();
    edit.artist = id3v2[1]->text();
    edit.album = id3v2[2]->text();
    edit.year = id3v2[3]->text();
    edit.comment = formTag::commentToWrite(id3v2[4]->text()); // the stamp when left empty
    edit.track = id3v2[5]->text();
    // A typed genre goes through the one genre rule; the genre the tag held
    // is written back as it was.
    edit.genre = id3v2_gen->currentText();
    if (*edit.genre != loadedForeignGenre_) {
        GenrePicker picker;
        picker.setText(*edit.genre);
        picker.resolve(true);
        edit.genre = picker.Text();
    }
    const ForeignTagResult r = ForeignTags::write(loadedPath_, edit);
    lastError_ = r.ok ? QString()
                      : ForeignTags::formatKey(detectAudioFormat(loadedPath_)).toUpper() +
                            QStringLiteral(": ") + r.error;
    return r.ok;
}

bool frmFile::SetTags()
{
    // The batch's own save routine writes the tags (the comment stamp, the
    // genre rule, what is kept of the file); the window hands over its boxes
    // and afterwards shows what was written.
    if (foreignTags_) return saveForeignTags();
    formTag& tags = tagWindow(main_);
    lastError_.clear();
    // A comment box left as it was shown hands over the comment as the file
    // holds it, so that the other comments, shown joined in the box, are not
    // copied into the main one.
    const QString v1Comment = id3v1[4]->text() == v1_.Comment() ? v1_.Comment() : id3v1[4]->text();
    const QString v2Comment =
        id3v2[4]->text() == shownV2Comment(v2_.Comment()) ? v2_.Comment() : id3v2[4]->text();
    if (!tags.tagFile(loadedPath_)) {
        lastError_ = QStringLiteral("The file could not be read.");
        return false;
    }
    tags.txtArtist = id3v1[1]->text();
    tags.txtTitle = id3v1[0]->text();
    tags.txtAlbum = id3v1[2]->text();
    tags.txtYear = id3v1[3]->text();
    tags.txtComment = v1Comment;
    tags.cboGenre.setText(id3v1_gen->currentText());
    tags.txtArtistV2 = id3v2[1]->text();
    tags.txtTitleV2 = id3v2[0]->text();
    tags.txtAlbumV2 = id3v2[2]->text();
    tags.txtYearV2 = id3v2[3]->text();
    tags.txtCommentV2 = v2Comment;
    tags.cboGenreV2.setText(id3v2_gen->currentText());
    tags.commentsAsTyped = true;
    const bool written = tags.SetTags();
    tags.commentsAsTyped = false;
    lastError_ = tags.lastError();

    for (QLineEdit* comment : {id3v2[4], id3v1[4]})
        setBox(comment, formTag::commentToWrite(comment->text()));
    setGenreText(id3v1_gen, tags.cboGenre.Text());
    setGenreText(id3v2_gen, tags.cboGenreV2.Text());
    return written;
}

void frmFile::cmdSave_Click()
{
    if (!loaded_) return;
    bool written = true;
    FixJournal journal; // the save is a run of its own, undone with "Undo last fix"
    if (id3Tags_ || foreignTags_) written = journal.recordTagWrite(loadedPath_, &lastError_) && SetTags();
    journal.finish();
    main_.cmdUndo->setEnabled(FixJournal::canUndo());

    // The row must still show the file this window shows; rows may have been
    // removed or reloaded since it opened.
    FileList& list = main_.fileList();
    const int row = static_cast<int>(lblIndex->text().toDouble());
    if (row >= 1 && row <= list.rowCountShown() && FileList::at(list.lstAllfiles, row - 1) == loadedPath_) {
        // The column shows the name Fix gives: cleaned as the renaming cleans
        // it, and marked when the folder cannot take it.
        const QString after = cleanFileName(txtAfter->text());
        list.setAfterText(row - 1, after);
        list.setProblem(row - 1, nameProblem(FileList::location(loadedPath_), after));
    } else {
        main_.prompter().tell(
            Question::AfterNotSaved,
            QStringLiteral("The list has changed since this window was opened. The After name of '") +
                loadedPath_ + QStringLiteral("' was not saved."),
            QStringLiteral("Error"), Icon::Exclamation);
    }

    if (!written) {
        // Stay open: the edits are still here to try again or to cancel.
        main_.prompter().tell(Question::TagNotWritten,
                              QStringLiteral("The tags of '") + loadedPath_ +
                                  QStringLiteral("' could not be saved.") + crlf + crlf + lastError_,
                              QStringLiteral("Error"), Icon::Critical);
        return;
    }
    close();
}

ReportFile frmFile::reportFile() const
{
    ReportFile f;
    f.path = txtPath->text();
    f.before = txtBefore->text();
    f.after = txtAfter->text();
    f.size = lblSize->text();
    f.v1 = {id3v1[1]->text(), id3v1[0]->text(), id3v1[2]->text(),
            id3v1[3]->text(), id3v1[4]->text(), selectedGenreText(id3v1_gen)};
    f.v2 = {id3v2[1]->text(), id3v2[0]->text(), id3v2[2]->text(), id3v2[3]->text(),
            id3v2[4]->text(), id3v2[5]->text(), id3v2[6]->text(), selectedGenreText(id3v2_gen)};
    return f;
}

ReportOptions frmFile::reportOptions() const
{
    ReportOptions o;
    o.mode = main_.mode();
    o.forceId1 = main_.chkForceId1->isChecked();
    o.numbers = main_.chkNumbers->isChecked();
    auto read = [&o](const frmOpts& w) {
        o.remove = w.chkRemove->isChecked();
        o.removeText = w.txtRemove->text();
        o.replace = w.chkReplace->isChecked();
        o.replaceWhat = w.txtRepWhat->text();
        o.replaceWith = w.txtRepWith->text();
        o.ucase = w.chkUcase->isChecked();
        o.ucaseAll = w.chkUcaseAll->isChecked();
        o.scheme = w.schemeIndex();
        o.schemeText = w.txtScheme->text();
    };
    read(optionsWindow(main_));
    return o;
}

QString frmFile::reportText(const QString& errlog) const
{
    return diagnosticReport(reportFile(), reportOptions(), errlog);
}

void frmFile::copyInfo(const QString& errlog)
{
    main_.clipboard().setText(reportText(errlog));
}

void frmFile::cmdCopy_Click()
{
    copyInfo(QString());
}

void frmFile::cmdPlay_Click()
{
    std::set<int> rows;
    if (QItemSelectionModel* sel = main_.lvFiles->selectionModel()) {
        for (const QModelIndex& i : sel->selectedIndexes())
            rows.insert(i.row());
    }
    for (const int r : rows)
        main_.buttonpress(r);
}

void frmFile::cmdCancel_Click()
{
    close();
}

} // namespace vantrel
