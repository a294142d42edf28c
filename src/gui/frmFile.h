// The file details window: one row of the main list in full (Before and
// After names, folder, size, both tags), editable, with Save, Copy info,
// Play file and Cancel. Opened by a double-click on the main table.
#pragma once

#include "batch/DiagnosticReport.h"
#include "tags/cMP3ID3v1.h"
#include "tags/cMP3ID3v2.h"

#include <QWidget>
#include <array>

class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace vantrel {

class frmMain;

class frmFile : public QWidget {
    Q_OBJECT

  public:
    // The window load step: tag objects, empty title, both genre boxes filled.
    // A tool window that deletes itself when closed.
    explicit frmFile(frmMain& main);
    ~frmFile() override;

    // Controls, named by their objectName; arrays as "id3v1(0)", "Label1(3)".
    QGroupBox* Frame1 = nullptr;
    QLineEdit* txtBefore = nullptr;
    QLineEdit* txtAfter = nullptr;
    QLineEdit* txtPath = nullptr;
    QLabel* lblSize = nullptr;
    QLabel* lblIndex = nullptr; // invisible: the 1-based row shown
    QGroupBox* fmeV1 = nullptr;
    std::array<QLineEdit*, 5> id3v1{}; // Title, Artist, Album, Year, Comment
    QComboBox* id3v1_gen = nullptr;
    QGroupBox* fmeV2 = nullptr;
    std::array<QLineEdit*, 7> id3v2{}; // Title, Artist, Album, Year, Comment; Track, Link to (read-only)
    QComboBox* id3v2_gen = nullptr;
    QPushButton* cmdSave = nullptr;
    QPushButton* cmdCopy = nullptr;
    QPushButton* cmdPlay = nullptr;
    QPushButton* cmdCancel = nullptr;
    QList<QLabel*> Label1; // the static captions

    // Shows the selected row(s) of the main table, the last one winning. A
    // missing file closes the window with "File no longer exists!".
    void loadFileInfo();
    // Reads both tags of the file in txtPath into the fields; a file that
    // cannot be read shows "Could not load file '<sFile>'" with the reason.
    bool tagFile(const QString& sFile);
    // Writes the tag fields into the file shown. False (and a reason in
    // lastError()) when a tag could not be written.
    bool SetTags();
    const QString& lastError() const { return lastError_; }

    // The diagnostic report of what the window shows, errlog after "Error log:".
    QString reportText(const QString& errlog) const;
    // Puts reportText(errlog) on the clipboard.
    void copyInfo(const QString& errlog);

    // "<size>MB": bytes in MiB rounded to two places (ties to even), shortest text.
    static QString sizeCaption(qint64 bytes);
    // The ID3v2 comment as shown: language and "nt" leftovers taken off the front.
    static QString shownV2Comment(QString comment);
    // The genre boxes' entries: the empty one (255), then every named genre.
    static void fillGenres(QComboBox* box);
    // The text of the entry the box has selected, empty when the text was typed.
    static QString selectedGenreText(const QComboBox* box);

  public Q_SLOTS:
    void cmdSave_Click();
    void cmdCopy_Click();
    void cmdPlay_Click();
    void cmdCancel_Click();

  private:
    void loadTags();        // throws TagFileError
    void loadForeignTags(); // throws TagFileError
    bool saveForeignTags();
    void build();
    ReportFile reportFile() const;
    ReportOptions reportOptions() const;

    frmMain& main_;
    cMP3ID3v1 v1_;
    cMP3ID3v2 v2_;
    bool loaded_ = false;
    bool id3Tags_ = false;       // the file shown takes ID3 (MPEG content)
    bool foreignTags_ = false;   // the file shown has a tag of its own (WMA)
    QString loadedForeignGenre_; // the genre that tag held when it was shown
    QString loadedPath_;
    QString lastError_;
};

} // namespace vantrel
