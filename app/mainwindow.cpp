#include "app/mainwindow.h"

#include "app/look.h"
#include "app/picturewindow.h"
#include "lunar/civiltime.h"
#include "lunar/newmoonlist.h"
#include "lunar/textforms.h"
#include "lunex_version.h"
#include "store/datafiles.h"

#include <QComboBox>
#include <QLineEdit>
#include <QListView>
#include <QMenuBar>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QSet>
#include <QStringListModel>
#include <QValidator>

#include <limits>

namespace lunex {
namespace {

using look::Face;
using look::TwipsRect;

const QColor Dark(0, 0, 0);
const QColor LightGreen(128, 255, 128);
const QColor LightYellow(255, 255, 192);
const QColor Yellow(255, 255, 128);
const QColor LightBlue(128, 128, 255);
const QColor Grey(128, 128, 128);

QFont surfaceFont() {
    return look::Font(Face::TimesNewRomanCE, 15, true);
}

TimeField *timeField(QWidget *parent, const char *name, QRect geometry, const QColor &text) {
    auto *edit = new TimeField(parent);
    edit->setObjectName(QLatin1String(name));
    edit->setGeometry(geometry);
    edit->setFont(surfaceFont());
    edit->setFrame(true);
    look::SetColours(edit, Dark, text);
    edit->setStyleSheet(QStringLiteral("QLineEdit { background-color: black; color: %1;"
                                       " border: 1px solid #808080; }")
                            .arg(text.name()));
    return edit;
}

QPushButton *button(QWidget *parent, const char *name, const QString &caption, QRect geometry,
                    const QColor &face) {
    return look::AddButton(parent, name, caption, geometry, face,
                           look::Font(Face::Arial, 11.25, true));
}

QLabel *caption(QWidget *parent, const char *name, const QString &text, QRect geometry,
                const QColor &colour) {
    QLabel *label = look::AddLabel(parent, name, text, geometry,
                                   look::Font(Face::TimesNewRomanCE, 12.75, true));
    look::SetColours(label, Dark, colour);
    return label;
}

} // namespace

// Refuses only an edit that makes the text longer than the limit and longer
// than it was, so that a long text set by an operation can still be shortened.
class TypingLimit : public QValidator {
public:
    explicit TypingLimit(TimeField *field) : QValidator(field), field_(field) {}
    State validate(QString &input, int &) const override {
        return input.size() > TimeField::TypedLimit && input.size() > field_->accepted_.size()
                   ? Invalid
                   : Acceptable;
    }

private:
    TimeField *field_;
};

TimeField::TimeField(QWidget *parent) : QLineEdit(parent) {
    // QLineEdit cuts every text, set ones too, at 32767 characters by default:
    // a longer stored text would come back from "OK" or "Mentés" cut short.
    setMaxLength(std::numeric_limits<int>::max());
    setValidator(new TypingLimit(this));
    connect(this, &QLineEdit::textChanged, this, [this](const QString &text) { accepted_ = text; });
}

void TimeField::setHeldText(const QString &text) {
    // Validation runs inside setText, before textChanged: let it pass there.
    accepted_ = text;
    setText(text);
    setCursorPosition(0); // show the beginning of a long text
}

NewMoonCombo::NewMoonCombo(const Clock &clock, QWidget *parent)
    : QComboBox(parent), clock_(clock), entries_(new QStringListModel(this)) {
    setObjectName(QStringLiteral("Ujholdak"));
    // A plain list of texts: the default model makes an item object for every
    // line, which a list of a hundred thousand new moons pays for at start.
    setModel(entries_);
    setEditable(false);
    setPlaceholderText(QStringLiteral("Újholdak"));
    setFont(look::Font(Face::ArialNarrow, 14.25, true));
    setStyleSheet(QStringLiteral(
        "QComboBox { combobox-popup: 0; background-color: rgb(255,255,192); color: black;"
        " border: 1px solid #808080;"
        " padding-left: 3px; }"
        "QComboBox QAbstractItemView { background-color: rgb(255,255,192); color: black;"
        " selection-background-color: rgb(0,0,128); selection-color: white; }"));
    // A list of many thousand lines must open at once. The box would measure
    // every entry for its size hint, and the style's popup (combobox-popup
    // above; a drop-down list instead) for its width, before showing.
    setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    setMinimumContentsLength(TimeField::TypedLimit);
    if (auto *list = qobject_cast<QListView *>(view())) {
        list->setUniformItemSizes(true);
    }
}

void NewMoonCombo::clearEntries() {
    entries_->setStringList({});
    readings_.reset();
    widest_.reset();
}

void NewMoonCombo::appendEntries(const QStringList &entries) {
    entries_->setStringList(entries_->stringList() + entries);
    setCurrentIndex(-1);
    readings_.reset();
    widest_.reset();
}

int NewMoonCombo::latestNotAfterNow() {
    if (!readings_) {
        readings_.emplace(entries_->stringList(), QLocale());
    }
    return readings_->latestNotAfter(clock_.now(), SystemZone());
}

int NewMoonCombo::widestEntry() {
    if (widest_) {
        return *widest_;
    }
    // Laying out a text costs microseconds, and a list may hold a million
    // dates. Where the font's digits are all equally wide (as they are in
    // nearly every font), texts that differ only in their digits are equally
    // wide too, so each shape is measured once.
    const QFontMetrics metrics(view()->font());
    bool tabular = true;
    for (char16_t d = u'1'; d <= u'9'; ++d) {
        tabular = tabular && metrics.horizontalAdvance(QChar(d)) == metrics.horizontalAdvance(u'0');
    }
    QSet<QString> shapes;
    QString shape;
    int widest = 0;
    for (const QString &entry : entries_->stringList()) {
        if (!tabular) {
            widest = std::max(widest, metrics.horizontalAdvance(entry));
            continue;
        }
        shape = entry;
        for (QChar &c : shape) {
            if (c >= u'0' && c <= u'9') {
                c = u'0';
            }
        }
        if (!shapes.contains(shape)) {
            shapes.insert(shape);
            widest = std::max(widest, metrics.horizontalAdvance(shape));
        }
    }
    widest_ = widest;
    return widest;
}

void NewMoonCombo::showPopup() {
    // The popup turns its scroll bar off for styles that scroll with arrows
    // at its ends; a long list needs the bar, to be paged through at a glance.
    view()->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    QComboBox::showPopup();
    // The drop-down is as wide as the box; a heading or an entry wider than
    // that would be cut, so the popup grows to the widest, within the screen.
    QWidget *popup = view()->window();
    const int wanted = widestEntry() + popup->width() - view()->viewport()->width() +
                       2 * style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, view()) + 8;
    if (wanted > popup->width()) {
        QRect geometry = popup->geometry();
        geometry.setWidth(wanted);
        if (const QScreen *screen = popup->screen()) {
            const QRect room = screen->availableGeometry();
            if (geometry.right() > room.right()) {
                geometry.moveRight(room.right());
            }
            geometry.setLeft(std::max(geometry.left(), room.left()));
        }
        popup->setGeometry(geometry);
    }
    // It opens at the new moon the observer most likely wants, without
    // picking it: until a pick the box shows "Újholdak" and its text is empty.
    const int row = latestNotAfterNow();
    if (row >= 0) {
        view()->scrollTo(model()->index(row, 0), QAbstractItemView::PositionAtCenter);
    }
}

int NewMoonCombo::selectedIndex() const {
    return currentIndex();
}

QString NewMoonCombo::currentText() const {
    return currentIndex() < 0 ? QString() : QComboBox::currentText();
}

void ClickablePicture::mousePressEvent(QMouseEvent *event) {
    QLabel::mousePressEvent(event);
    emit clicked();
}

ResultArea::ResultArea(QWidget *parent) : QWidget(parent) {
    setObjectName(QStringLiteral("A_surface"));
    setFixedSize(look::Px(11370), look::Px(5850));
    look::SetColours(this, Dark, LightGreen);
    setFont(surfaceFont());
}

// Only the printed texts' own rectangles are repainted: the controls beside
// them need no repaint on a press.
QRect ResultArea::textRect(const Printed &t) const {
    const QFontMetrics metrics(font());
    const QPoint at = look::TwipsPoint(t.xTwips, t.yTwips);
    return {at.x(), at.y(), metrics.horizontalAdvance(t.text) + 2, metrics.height() + 1};
}

void ResultArea::clear() {
    for (const Printed &t : printed_) {
        update(textRect(t));
    }
    printed_.clear();
}

void ResultArea::print(int xTwips, int yTwips, const QString &text) {
    printed_.append({xTwips, yTwips, text});
    update(textRect(printed_.back()));
}

void ResultArea::paintEvent(QPaintEvent *) {
    QPainter p(this);
    p.fillRect(rect(), Dark);
    look::DrawTwipsFrame(p, 240, 480, 6615, 5175, Grey, Dark);          // Shape2
    look::DrawTwipsFrame(p, 600, 2760, 2535, 2655, Grey, Qt::NoBrush);  // Shape3
    look::DrawTwipsFrame(p, 6960, 480, 4215, 5175, Grey, Qt::NoBrush);  // Shape1
    look::DrawTwipsLine(p, 720, 1920, 6480, 1920, Grey, Qt::DotLine);   // Line1
    look::DrawTwipsLine(p, 7200, 3600, 10920, 3600, Grey, Qt::DotLine); // Line2
    // The printed results stay until the next clear, through every repaint.
    p.setFont(font());
    p.setPen(LightGreen);
    const int ascent = QFontMetrics(font()).ascent();
    for (const Printed &t : printed_) {
        const QPoint at = look::TwipsPoint(t.xTwips, t.yTwips);
        p.drawText(at.x(), at.y() + ascent, t.text);
    }
}

MainWindow::MainWindow(const QString &appDir, const Clock *clock, QWidget *parent)
    : QMainWindow(parent), appDir_(appDir), clock_(clock ? clock : &systemClock_) {
    setObjectName(QStringLiteral("A"));
    setWindowTitle(QString::fromUtf8(ShortTitle) +
                   QStringLiteral("  - Holdsarló kor és fázis számoló     -  v1.42c  (x86)   - "
                                  "Basalt Edition"));
    setWindowIcon(look::AppIcon());
    // A fixed window: no maximize and no minimize button.
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
    look::SetColours(this, Dark, LightGreen);
    area_ = new ResultArea(this);
    setCentralWidget(area_);
    buildControls();
    buildMenus();
    MakeNewMoonListIfAbsent(appDir_, SystemZone(), clock_->now().toTimeZone(SystemZone()).date());
    FillNewMoonList(appDir_, *ujholdak_);
    setFixedSize(sizeHint());
    look::CentreOnScreen(this);
    text11_->setFocus();
}

MainWindow::~MainWindow() = default;

void MainWindow::buildControls() {
    QWidget *a = area_;
    text11_ = timeField(a, "Text11", TwipsRect(7320, 1200, 2415, 405), LightYellow);
    text12_ = timeField(a, "Text12", TwipsRect(7320, 4200, 2415, 435), LightGreen);
    auto *command3 = button(a, "Command3", QStringLiteral("Utolsó Újhold"),
                            TwipsRect(7320, 2640, 1815, 495), Yellow);
    auto *command1 = button(a, "Command1", QStringLiteral("Utolsó megfigyelés"),
                            TwipsRect(7320, 4920, 2175, 495), LightGreen);
    auto *command2 =
        button(a, "Command2", QStringLiteral("Most!"), TwipsRect(9960, 4920, 975, 495), LightBlue);
    caption(a, "Label8", QStringLiteral("Utolsó Újhold :"), TwipsRect(7080, 840, 2895, 375),
            Yellow);
    caption(a, "Label9", QStringLiteral("Utolsó megfigyelés :"), TwipsRect(7200, 3840, 3375, 375),
            LightGreen);

    auto *banner = new QLabel(a);
    banner->setObjectName(QStringLiteral("PictureHoldak"));
    banner->setGeometry(TwipsRect(480, 240, 4455, 615));
    banner->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    banner->setPixmap(QPixmap::fromImage(look::BannerImage()));

    picture1_ = new ClickablePicture(a);
    picture1_->setObjectName(QStringLiteral("Picture1"));
    picture1_->setGeometry(TwipsRect(840, 3000, 2055, 2055));
    look::SetColours(picture1_, Dark, LightGreen);
    picture1_->setCursor(Qt::PointingHandCursor);
    connect(picture1_, &ClickablePicture::clicked, this,
            [this] { showMoonPicture(QStringLiteral("\\Pic\\Lunar-map.jpg")); });

    auto *command14 = button(a, "Command14", QStringLiteral("Mentés"),
                             TwipsRect(9960, 4200, 975, 495), LightGreen);

    ujholdak_ = new NewMoonCombo(*clock_, a);
    ujholdak_->setGeometry(TwipsRect(7320, 1920, 2295, 465));

    auto *command6 =
        button(a, "Command6", QStringLiteral("OK"), TwipsRect(9960, 1920, 975, 495), LightYellow);

    QWidget::setTabOrder(text11_, text12_);
    QWidget::setTabOrder(text12_, command3);
    QWidget::setTabOrder(command3, command1);
    QWidget::setTabOrder(command1, command2);
    QWidget::setTabOrder(command2, command14);
    QWidget::setTabOrder(command14, ujholdak_);
    QWidget::setTabOrder(ujholdak_, command6);

    connect(command3, &QPushButton::clicked, this, [this] { LoadNewMoon(appDir_, *this, *this); });
    connect(command6, &QPushButton::clicked, this,
            [this] { PickNewMoon(appDir_, *this, *ujholdak_, *this); });
    connect(command14, &QPushButton::clicked, this,
            [this] { SaveObservation(appDir_, *this, *this); });
    connect(command1, &QPushButton::clicked, this, [this] {
        EvaluationPorts p = ports();
        EvaluateStoredObservation(p);
    });
    connect(command2, &QPushButton::clicked, this, [this] {
        EvaluationPorts p = ports();
        EvaluatePresentMoment(p);
    });
}

void MainWindow::buildMenus() {
    QMenuBar *bar = menuBar();
    look::SetColours(bar, QColor(240, 240, 240), Qt::black);
    const auto item = [this](QMenu *menu, const char *name, const QString &text,
                             const QKeySequence &key) {
        QAction *action = menu->addAction(text);
        action->setObjectName(QLatin1String(name));
        action->setShortcut(key);
        action->setShortcutContext(Qt::WindowShortcut);
        addAction(action); // shortcuts work while the window is active, menus closed
        return action;
    };

    QMenu *holdmap = bar->addMenu(QStringLiteral("&Hold - térképek"));
    holdmap->setObjectName(QStringLiteral("holdmap"));
    // F10 is left out: the 10th and 11th days take F11 and F12.
    const struct {
        const char *name;
        const char *caption;
        Qt::Key key;
        const char *file;
    } days[] = {
        {"hold02", "  2. nap", Qt::Key_F2, "\\Pic\\Lunar-day02s.gif"},
        {"hold03", "  3. nap", Qt::Key_F3, "\\Pic\\Lunar-day03s.gif"},
        {"hold04", "  4. nap", Qt::Key_F4, "\\Pic\\Lunar-day04s.gif"},
        {"hold05", "  5. nap", Qt::Key_F5, "\\Pic\\Lunar-day05s.gif"},
        {"hold06", "  6. nap", Qt::Key_F6, "\\Pic\\Lunar-day06s.gif"},
        {"hold07", "  7. nap", Qt::Key_F7, "\\Pic\\Lunar-day07s.gif"},
        {"hold08", "  8. nap", Qt::Key_F8, "\\Pic\\Lunar-day08s.gif"},
        {"hold09", "  9. nap", Qt::Key_F9, "\\Pic\\Lunar-day09s.gif"},
        {"hold10", "10. nap", Qt::Key_F11, "\\Pic\\Lunar-day10s.gif"},
        {"hold11", "11. nap", Qt::Key_F12, "\\Pic\\Lunar-day11s.gif"},
    };
    for (const auto &day : days) {
        const QString file = QLatin1String(day.file);
        connect(item(holdmap, day.name, QLatin1String(day.caption), QKeySequence(day.key)),
                &QAction::triggered, this, [this, file] { showMoonPicture(file); });
    }
    connect(
        item(holdmap, "hold12", QStringLiteral("Hold-térkép"), QKeySequence(Qt::CTRL | Qt::Key_M)),
        &QAction::triggered, this,
        [this] { showMoonPicture(QStringLiteral("\\Pic\\Lunar-map.jpg")); });

    QMenu *szamit = bar->addMenu(QStringLiteral("&Számítások"));
    szamit->setObjectName(QStringLiteral("szamit"));
    connect(item(szamit, "vonas", QStringLiteral("Fok - Vonás calculator"),
                 QKeySequence(Qt::CTRL | Qt::Key_F1)),
            &QAction::triggered, this, [this] { showSecondary(form4_); });
    item(szamit, "szamolt", QStringLiteral("Számolt adatok mentése"), {})->setEnabled(false);
    item(szamit, "holdsarlolista", QStringLiteral("Korai Holdsarlók listázása"), {})
        ->setEnabled(false);

    QMenu *prg = bar->addMenu(QStringLiteral("H&elp"));
    prg->setObjectName(QStringLiteral("prg"));
    connect(item(prg, "leir", QStringLiteral("Leírás"), QKeySequence(Qt::CTRL | Qt::Key_L)),
            &QAction::triggered, this, [this] { showSecondary(form2_); });
    QAction *kilep =
        item(prg, "kilep", QStringLiteral("Kilépés"), QKeySequence(Qt::CTRL | Qt::Key_X));
    kilep->setEnabled(false);
    connect(kilep, &QAction::triggered, this, &QWidget::close);
    connect(item(prg, "prog", QStringLiteral("Programról"), {}), &QAction::triggered, this,
            [this] { showSecondary(about_); });
}

EvaluationPorts MainWindow::ports() {
    return EvaluationPorts{appDir_, *this, *this, *this, *this, *clock_, QLocale(), SystemZone()};
}

template <typename Window> Window *MainWindow::showSecondary(QPointer<Window> &slot) {
    if (slot) {
        slot->show();
        slot->raise();
        slot->activateWindow();
    } else {
        slot = new Window();
        slot->setAttribute(Qt::WA_DeleteOnClose);
        slot->show();
        slot->activateWindow();
    }
    return slot;
}

void MainWindow::showMoonPicture(const QString &relativePath) {
    showSecondary(form3_);
    // Shown first, then loaded: the window is there even if the file is not.
    if (!form3_->loadPicture(AppPath(appDir_, relativePath))) {
        look::ShowMessageBox(form3_, PictureFailureMessage(relativePath), MessageIcon::Critical);
    }
}

QString MainWindow::text11() const {
    return text11_->text();
}
void MainWindow::setText11(const QString &text) {
    text11_->setHeldText(text);
}
QString MainWindow::text12() const {
    return text12_->text();
}
void MainWindow::setText12(const QString &text) {
    text12_->setHeldText(text);
}

void MainWindow::clearResults() {
    area_->clear();
}
void MainWindow::printAt(int xTwips, int yTwips, const QString &text) {
    area_->print(xTwips, yTwips, text);
}

void MainWindow::showPicture(const QImage &picture) {
    picture1_->setPixmap(QPixmap::fromImage(picture));
    // The box takes its picture's size; its top-left corner stays put.
    picture1_->resize(picture.size());
}

void MainWindow::showMessage(const QString &text, MessageIcon icon) {
    look::ShowMessageBox(this, text, icon);
}

} // namespace lunex
