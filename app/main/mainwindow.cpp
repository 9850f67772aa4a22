#include "app/main/mainwindow.h"

#include "app/log/logwindow.h"
#include "app/pictures/moonpictures.h"

#include "clock/civiltime.h"
#include "evaluation/newmoonlist.h"
#include "look/colours.h"
#include "look/look.h"
#include "lunex_version.h"
#include "messages/messages.h"
#include "store/datafiles.h"

#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

namespace lunex {
namespace {

using look::Black;
using look::Face;
using look::LightBlue;
using look::LightGreen;
using look::LightYellow;
using look::TwipsRect;
using look::Yellow;

TimeField *AddTimeField(QWidget *parent, const char *name, QRect geometry, const QColor &text) {
    auto *edit = new TimeField(parent);
    edit->setObjectName(QLatin1String(name));
    edit->setGeometry(geometry);
    edit->setFont(SurfaceFont());
    edit->setFrame(true);
    look::SetColours(edit, Black, text);
    edit->setStyleSheet(QStringLiteral("QLineEdit { background-color: black; color: %1;"
                                       " border: 1px solid %2; }"
                                       "QLineEdit:focus { border: 2px solid %3; }")
                            .arg(text.name(), look::Grey.name(), look::FocusOnBlack.name()));
    return edit;
}

QPushButton *AddMainButton(QWidget *parent, const char *name, const QString &caption,
                           QRect geometry, const QColor &face) {
    return look::AddButton(parent, name, caption, geometry, face,
                           look::Font(Face::Arial, 11.25, true), look::FocusOnBlack);
}

// The caption over a time field, which names the field. Its box reaches a
// pixel into the field's frame, so it lies below the field, which shows its
// whole frame.
QLabel *AddCaption(QWidget *parent, const char *name, const QString &text, QRect geometry,
                   const QColor &colour, QLineEdit *field) {
    QLabel *label = look::AddLabel(parent, name, text, geometry,
                                   look::Font(Face::TimesNewRomanCE, 12.75, true));
    look::SetColours(label, Black, colour);
    label->stackUnder(field);
    label->setBuddy(field);
    field->setAccessibleName(text.section(u':', 0, 0).trimmed());
    return label;
}

// What the start has to say, kept until the window is there to say it over.
struct HeldMessages : Messenger {
    QList<std::pair<QString, MessageIcon>> held;
    void showMessage(const QString &text, MessageIcon icon) override { held.append({text, icon}); }
};

} // namespace

MainWindow::MainWindow(const AppDirs &dirs, const Clock *clock, QWidget *parent)
    : QMainWindow(parent), dirs_(dirs), clock_(clock ? clock : &systemClock_) {
    setObjectName(QStringLiteral("A"));
    setWindowTitle(QString::fromUtf8(ShortTitle) +
                   QStringLiteral("  - Holdsarló kor és fázis számoló     -  ") +
                   QString::fromUtf8(TitleVersion) + QStringLiteral("  (x86)   - Basalt Edition"));
    setWindowIcon(look::AppIcon());
    // A fixed window: no maximize and no minimize button.
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
    look::SetColours(this, Black, LightGreen);
    // Decided once: the window says at its start when the zone is unknown.
    const SystemZoneSetting zone = ReadSystemZone();
    zone_ = zone.zone;
    resultArea_ = new ResultArea(this);
    setCentralWidget(resultArea_);
    buildControls();
    buildMenus();
    HeldMessages start;
    PrepareDataFiles(dirs_.data, zone, clock_->now().toTimeZone(zone.zone).date(), start);
    FillNewMoonList(dirs_.data, *newMoonList_);
    setFixedSize(sizeHint());
    look::CentreOnScreen(this);
    newMoonField_->setFocus();
    // Said over the window, once it is shown.
    if (!start.held.isEmpty()) {
        QTimer::singleShot(0, this, [this, held = start.held] {
            for (const auto &[text, icon] : held) {
                showMessage(text, icon);
            }
        });
    }
}

MainWindow::~MainWindow() = default;

void MainWindow::buildControls() {
    QWidget *surface = resultArea_;
    newMoonField_ = AddTimeField(surface, "Text11", TwipsRect(7320, 1200, 2415, 405), LightYellow);
    observationField_ =
        AddTimeField(surface, "Text12", TwipsRect(7320, 4200, 2415, 435), LightGreen);
    auto *loadNewMoonButton = AddMainButton(surface, "Command3", QStringLiteral("Utolsó Újhold"),
                                            TwipsRect(7320, 2640, 1815, 495), Yellow);
    auto *storedObservationButton =
        AddMainButton(surface, "Command1", QStringLiteral("Utolsó megfigyelés"),
                      TwipsRect(7320, 4920, 2175, 495), LightGreen);
    auto *nowButton = AddMainButton(surface, "Command2", QStringLiteral("Most!"),
                                    TwipsRect(9960, 4920, 975, 495), LightBlue);
    AddCaption(surface, "Label8", QStringLiteral("Utolsó Újhold :"),
               TwipsRect(7080, 840, 2895, 375), Yellow, newMoonField_);
    AddCaption(surface, "Label9", QStringLiteral("Utolsó megfigyelés :"),
               TwipsRect(7200, 3840, 3375, 375), LightGreen, observationField_);

    auto *banner = new BannerPicture(surface);
    banner->setObjectName(QStringLiteral("PictureHoldak"));
    banner->setGeometry(TwipsRect(480, 240, 4455, 615));

    buildPhasePicture(surface);

    auto *saveButton = AddMainButton(surface, "Command14", QStringLiteral("Mentés"),
                                     TwipsRect(9960, 4200, 975, 495), LightGreen);

    newMoonList_ = new NewMoonCombo(*clock_, zone_, surface);
    newMoonList_->setGeometry(TwipsRect(7320, 1920, 2295, 465));

    auto *pickButton = AddMainButton(surface, "Command6", QStringLiteral("OK"),
                                     TwipsRect(9960, 1920, 975, 495), LightYellow);

    const QList<QWidget *> tabOrder{
        newMoonField_, observationField_, loadNewMoonButton, storedObservationButton,
        nowButton,     saveButton,        newMoonList_,      pickButton};
    for (qsizetype i = 1; i < tabOrder.size(); ++i) {
        QWidget::setTabOrder(tabOrder[i - 1], tabOrder[i]);
    }

    connect(loadNewMoonButton, &QPushButton::clicked, this,
            [this] { LoadNewMoon(dirs_.data, *this, *this); });
    connect(pickButton, &QPushButton::clicked, this,
            [this] { PickNewMoon(dirs_.data, *this, *newMoonList_, *this); });
    connect(saveButton, &QPushButton::clicked, this,
            [this] { SaveObservation(dirs_.data, *this, *this); });
    const auto evaluation = [this](void (*evaluate)(EvaluationPorts &)) {
        return [this, evaluate] {
            EvaluationPorts p = ports();
            evaluate(p);
            resultArea_->announceResults();
        };
    };
    connect(storedObservationButton, &QPushButton::clicked, this,
            evaluation(EvaluateStoredObservation));
    connect(nowButton, &QPushButton::clicked, this, evaluation(EvaluatePresentMoment));
}

// The phase picture box: a click on it opens the map.
void MainWindow::buildPhasePicture(QWidget *surface) {
    phasePicture_ = new PhasePictureLabel(surface);
    phasePicture_->setObjectName(QStringLiteral("Picture1"));
    phasePicture_->setGeometry(TwipsRect(840, 3000, 2055, 2055));
    look::SetColours(phasePicture_, Black, LightGreen);
    phasePicture_->setCursor(Qt::PointingHandCursor);
    connect(phasePicture_, &PhasePictureLabel::clicked, this,
            [this] { showMoonPicture(MapPictureFile.toString()); });
}

void MainWindow::buildMenus() {
    QMenuBar *bar = menuBar();
    look::SetColours(bar, look::MenuGrey, Qt::black);
    const auto item = [this](QMenu *menu, const char *name, const QString &text,
                             const QKeySequence &key) {
        QAction *action = menu->addAction(text);
        action->setObjectName(QLatin1String(name));
        action->setShortcut(key);
        action->setShortcutContext(Qt::WindowShortcut);
        addAction(action); // shortcuts work while the window is active, menus closed
        return action;
    };

    QMenu *picturesMenu = bar->addMenu(QStringLiteral("&Hold - térképek"));
    picturesMenu->setObjectName(QStringLiteral("holdmap"));
    for (const MoonPictureItem &picture : MoonPictureItems()) {
        connect(item(picturesMenu, picture.name, picture.caption, picture.shortcut),
                &QAction::triggered, this, [this, file = picture.file] { showMoonPicture(file); });
    }

    QMenu *calculationsMenu = bar->addMenu(QStringLiteral("&Számítások"));
    calculationsMenu->setObjectName(QStringLiteral("szamit"));
    connect(item(calculationsMenu, "vonas", QStringLiteral("Fok - Vonás calculator"),
                 QKeySequence(Qt::CTRL | Qt::Key_F1)),
            &QAction::triggered, this, [this] { showSecondary(calculatorWindow_); });
    item(calculationsMenu, "szamolt", QStringLiteral("Számolt adatok mentése"), {})
        ->setEnabled(false);
    item(calculationsMenu, "holdsarlolista", QStringLiteral("Korai Holdsarlók listázása"), {})
        ->setEnabled(false);
    connect(item(calculationsMenu, "holdsarlo", QStringLiteral("Holdsarló-előrejelzés…"),
                 QKeySequence(Qt::CTRL | Qt::Key_H)),
            &QAction::triggered, this, [this] {
                // The forecast may outlive this window, and the system clock it holds.
                showSecondary(crescentWindow_, dirs_, clock_ == &systemClock_ ? nullptr : clock_,
                              newMoonField_->text());
            });
    connect(item(calculationsMenu, "evesattekintes", QStringLiteral("Éves áttekintés…"),
                 QKeySequence(Qt::CTRL | Qt::Key_E)),
            &QAction::triggered, this, [this] {
                showSecondary(yearWindow_, dirs_, clock_ == &systemClock_ ? nullptr : clock_);
            });
    connect(item(calculationsMenu, "naplo", QStringLiteral("Megfigyelési napló…"), {}),
            &QAction::triggered, this,
            [this] { OpenLogWindow(dirs_, clock_ == &systemClock_ ? nullptr : clock_); });

    QMenu *helpMenu = bar->addMenu(QStringLiteral("H&elp"));
    helpMenu->setObjectName(QStringLiteral("prg"));
    connect(item(helpMenu, "leir", QStringLiteral("Leírás"), QKeySequence(Qt::CTRL | Qt::Key_L)),
            &QAction::triggered, this, [this] { showSecondary(descriptionWindow_); });
    QAction *quitAction =
        item(helpMenu, "kilep", QStringLiteral("Kilépés"), QKeySequence(Qt::CTRL | Qt::Key_X));
    quitAction->setEnabled(false);
    connect(quitAction, &QAction::triggered, this, &QWidget::close);
    connect(item(helpMenu, "prog", QStringLiteral("Programról"), {}), &QAction::triggered, this,
            [this] { showSecondary(aboutWindow_); });
}

EvaluationPorts MainWindow::ports() {
    return EvaluationPorts{dirs_, *this, *this, *this, *this, *clock_, QLocale(), zone_};
}

template <typename Window, typename... Args>
Window *MainWindow::showSecondary(QPointer<Window> &slot, const Args &...args) {
    if (slot) {
        slot->show();
        slot->raise();
        slot->activateWindow();
    } else {
        slot = new Window(args...);
        slot->setAttribute(Qt::WA_DeleteOnClose);
        slot->show();
        slot->activateWindow();
    }
    return slot;
}

void MainWindow::showMoonPicture(const QString &relativePath) {
    // Shown first, then loaded: the window is there even if the file is not.
    showSecondary(pictureWindow_, dirs_.pictures, this)->showMoonPicture(relativePath);
}

QString MainWindow::newMoonText() const {
    return newMoonField_->text();
}
void MainWindow::setNewMoonText(const QString &text) {
    newMoonField_->setHeldText(text);
}
QString MainWindow::observationText() const {
    return observationField_->text();
}
void MainWindow::setObservationText(const QString &text) {
    observationField_->setHeldText(text);
}

void MainWindow::clearResults() {
    resultArea_->clear();
}
void MainWindow::printResult(const ResultText &result) {
    resultArea_->print(result);
}

void MainWindow::showPicture(const QImage &picture, const QString &phaseName) {
    phasePicture_->setPixmap(QPixmap::fromImage(picture));
    phasePicture_->setAccessibleName(phaseName);
    // The box takes its picture's size; its top-left corner stays put.
    phasePicture_->resize(picture.size());
}

void MainWindow::showMessage(const QString &text, MessageIcon icon) {
    look::ShowMessageBox(
        this, text, icon == MessageIcon::Warning ? QMessageBox::Warning : QMessageBox::Critical);
}

} // namespace lunex
