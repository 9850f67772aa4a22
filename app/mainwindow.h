#pragma once

#include "app/picturewindow.h"
#include "calc/form4.h"
#include "info/form2.h"
#include "info/frmabout.h"
#include "lunar/evaluation.h"
#include "lunar/textforms.h"
#include "store/fields.h"

#include <QLabel>
#include <QMainWindow>
#include <QPointer>

#include <QLineEdit>

#include <QComboBox>

#include <optional>

class QPushButton;
class QStringListModel;
class QValidator;

namespace lunex {

// A time field: typing stops at 16 characters, but a text that an operation
// sets is held whole, whatever its length (QLineEdit::setMaxLength would cut
// that too).
class TimeField : public QLineEdit {
    Q_OBJECT
public:
    static constexpr int TypedLimit = 16;
    explicit TimeField(QWidget *parent = nullptr);
    // Sets the text the way the operations do: whole, without the limit.
    void setHeldText(const QString &text);

private:
    QString accepted_; // the text before the edit being validated
    friend class TypingLimit;
};

// The pick-only list of known new moons (`Ujholdak`). It shows "Újholdak"
// until the first pick, and while nothing is picked its text is empty. Its
// popup opens at the latest new moon not after the present moment, as wide
// as its widest entry.
class NewMoonCombo : public QComboBox, public NewMoonList {
    Q_OBJECT
public:
    explicit NewMoonCombo(const Clock &clock, QWidget *parent = nullptr);
    void clearEntries() override;
    void appendEntries(const QStringList &entries) override;
    int selectedIndex() const override;
    QString currentText() const override;
    void showPopup() override;

private:
    int latestNotAfterNow();
    int widestEntry();

    const Clock &clock_;
    QStringListModel *entries_;
    // Worked out at the first opening after a fill: the list does not change
    // while the window is open.
    std::optional<ReadingIndex> readings_;
    std::optional<int> widest_;
};

// The phase picture box: it takes its picture's size and reports clicks.
class ClickablePicture : public QLabel {
    Q_OBJECT
public:
    using QLabel::QLabel;
signals:
    void clicked();

protected:
    void mousePressEvent(QMouseEvent *event) override;
};

// The main window's own surface: frames, dotted lines and the printed results.
class ResultArea : public QWidget {
    Q_OBJECT
public:
    explicit ResultArea(QWidget *parent = nullptr);
    void clear();
    void print(int xTwips, int yTwips, const QString &text);
    struct Printed {
        int xTwips, yTwips;
        QString text;
    };
    const QList<Printed> &printed() const { return printed_; }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QRect textRect(const Printed &t) const;
    QList<Printed> printed_;
};

// The main window `A`: the two time fields, the list of new moons, the buttons,
// the phase picture, the result surface and the menus. It is the surface,
// fields and message box that the evaluations and the data files work on.
class MainWindow : public QMainWindow,
                   private TimeFields,
                   private ResultSurface,
                   private PictureBox,
                   private Messenger {
    Q_OBJECT
public:
    // `appDir` holds the Pic directory; `clock` gives "Most!" its moment.
    explicit MainWindow(const QString &appDir, const Clock *clock = nullptr,
                        QWidget *parent = nullptr);
    ~MainWindow() override;

    ResultArea *resultArea() const { return area_; }
    Form3 *pictureWindow() const { return form3_; }
    QWidget *calculatorWindow() const { return form4_; }
    QWidget *descriptionWindow() const { return form2_; }
    QWidget *aboutWindow() const { return about_; }

public slots:
    void showMoonPicture(const QString &relativePath); // ShowMoonPicture

private:
    // TimeFields
    QString text11() const override;
    void setText11(const QString &text) override;
    QString text12() const override;
    void setText12(const QString &text) override;
    // ResultSurface
    void clearResults() override;
    void printAt(int xTwips, int yTwips, const QString &text) override;
    // PictureBox
    void showPicture(const QImage &picture) override;
    // Messenger
    void showMessage(const QString &text, MessageIcon icon) override;

    void buildControls();
    void buildMenus();
    EvaluationPorts ports();

    QString appDir_;
    SystemClock systemClock_;
    const Clock *clock_;
    ResultArea *area_ = nullptr;
    TimeField *text11_ = nullptr;
    TimeField *text12_ = nullptr;
    NewMoonCombo *ujholdak_ = nullptr;
    ClickablePicture *picture1_ = nullptr;
    // The secondary windows: at most one of each, without an owner, modeless;
    // closing one deletes it and the next request makes it afresh.
    template <typename Window> Window *showSecondary(QPointer<Window> &slot);
    QPointer<Form3> form3_;
    QPointer<Form4> form4_;
    QPointer<Form2> form2_;
    QPointer<FrmAbout> about_;
};

} // namespace lunex
