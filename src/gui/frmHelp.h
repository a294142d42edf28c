// The help window: one topic at a time, chosen in a list, with Back, About,
// Close, a link to the product's web page, and the speed graphs of the three
// renaming options.
#pragma once

#include <QWidget>
#include <functional>

class QComboBox;
class QFrame;
class QLabel;
class QPushButton;
class QUrl;

namespace vantrel {

class frmHelp : public QWidget {
    Q_OBJECT

  public:
    explicit frmHelp(QWidget* parent = nullptr);

    // Shows a topic: 0 general help, 1 to 3 the options, 4 the two check
    // boxes, 5 about, 7 the graph of the option shown before; any other
    // number shows "Help topic not found".
    void disp(int what);

    // How the link opens the product page; the desktop's browser unless replaced.
    std::function<void(const QUrl&)> openUrl;

    QComboBox* cmbSection;
    QLabel* lblPage;
    QLabel* lblTitle;
    QFrame* Line1;
    QLabel* lblText;
    QLabel* image1;
    QLabel* imgOpt1;
    QLabel* imgOpt2;
    QPushButton* cmdBack;
    QLabel* lblLink;
    QPushButton* cmdAbout;
    QPushButton* cmdClose;

    // image1's left position while it is out of the way (50000 twips).
    static constexpr int kParkedLeft = 50000 / 15;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void cmbSection_Click(int index);
    void setTitle(const QString& title);
    void lblText_DblClick();
    void lblLink_Click();

    int previous_ = 0;
};

} // namespace vantrel
