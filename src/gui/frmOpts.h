// The "Renaming Schemes" window: the renaming scheme and the parser options
// that are not on the main window. Its controls are the settings; the
// simulation and the tag update read them when they run.
#pragma once

#include <QWidget>
#include <array>

class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace vantrel {

class frmOpts : public QWidget {
    Q_OBJECT

  public:
    // A top-level window; give it the main window as parent so that it goes
    // away with the program. Created hidden.
    explicit frmOpts(QWidget* parent = nullptr);

    // Controls, named by their objectName. optScheme[i] is "optScheme(i)".
    QGroupBox* Frame1 = nullptr;
    std::array<QRadioButton*, 3> optScheme{};
    QLineEdit* txtScheme = nullptr;
    QLabel* Label2 = nullptr;
    QLabel* Label1 = nullptr;
    QGroupBox* Frame2 = nullptr;
    QCheckBox* chkRemAllNum = nullptr;
    QCheckBox* chkReplace = nullptr;
    QLineEdit* txtRepWhat = nullptr;
    QLabel* Label3 = nullptr;
    QLineEdit* txtRepWith = nullptr;
    QCheckBox* chkRemove = nullptr;
    QLineEdit* txtRemove = nullptr;
    QCheckBox* chkRep = nullptr;
    QCheckBox* chkUcaseAll = nullptr;
    QCheckBox* chkUcase = nullptr;
    // "Also list FLAC, Ogg, Opus and M4A files": read when a folder is loaded.
    QCheckBox* chkAllFormats = nullptr;
    QPushButton* cmdSave = nullptr;

    // The scheme chosen: 0 "Artist - Title", 1 "Title - Artist", 2 custom.
    int schemeIndex() const;

    // "Close": cleans the custom pattern and hides the window, keeping every
    // value. The cleanup is the program's own edit, so it never changes which
    // scheme the user chose (only the user's typing selects "Custom:").
    void NormalizeScheme();

    // Puts every control back to its design default (what a fresh start shows).
    void resetToDefaults();

  protected:
    // Showing the window remembers its values; the title-bar close puts them
    // back, discarding only the edits made since (as Cancel does), and does
    // not clean the pattern. Values confirmed earlier with "Close" stay.
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

  private:
    // Every value of the window, as remembered when it was shown.
    struct Values {
        int scheme = 0;
        QString pattern, repWhat, repWith, remove;
        bool remAllNum = false, replace = false, removeOn = false, rep = false, ucaseAll = false,
             ucase = true, allFormats = false;
    };
    Values values() const;
    void setValues(const Values& v);

    void schemeTextChanged();
    bool normalizing_ = false;
    Values shown_;
};

} // namespace vantrel
