#include "app/main/newmooncombo.h"

#include "app/main/timefield.h"
#include "look/colours.h"
#include "look/look.h"

#include <QAbstractItemView>
#include <QListView>
#include <QScreen>
#include <QStringListModel>
#include <QStyle>

#include <algorithm>
#include <functional>
#include <utility>
#include <vector>

namespace lunex {
namespace {

// Texts laid out in full, at most, however long the list: those whose
// estimate is the widest.
constexpr std::size_t MeasuredTexts = 256;

// The width of the widest text as the font lays it out, or at least
// `enough`. Laying out a text costs microseconds, and a list may hold two
// million of them: each width is first estimated as the sum of its
// characters' own advances (cached, so a character is measured once), which
// only kerning changes, and only the texts whose estimates are widest are laid
// out. Beyond them, the widest estimate left stands in for a width.
int WidestText(const QStringList &texts, const QFontMetrics &metrics, int enough) {
    std::vector<int> advances(0x10000, -1);
    std::vector<std::pair<int, qsizetype>> estimates; // (estimate, index)
    estimates.reserve(std::size_t(texts.size()));
    for (qsizetype i = 0; i < texts.size(); ++i) {
        int estimate = 0;
        for (const QChar c : texts[i]) {
            int &advance = advances[c.unicode()];
            if (advance < 0) {
                advance = metrics.horizontalAdvance(c);
            }
            estimate += advance;
        }
        estimates.emplace_back(estimate, i);
    }
    const std::size_t measured = std::min(MeasuredTexts, estimates.size());
    std::partial_sort(estimates.begin(), estimates.begin() + qsizetype(measured), estimates.end(),
                      std::greater<>());
    int widest = measured < estimates.size() ? estimates[measured].first : 0;
    for (std::size_t i = 0; i < measured && widest < enough; ++i) {
        widest = std::max(widest, metrics.horizontalAdvance(texts[estimates[i].second]));
    }
    return widest;
}

} // namespace

using look::Face;

NewMoonCombo::NewMoonCombo(const Clock &clock, const QTimeZone &zone, QWidget *parent)
    : QComboBox(parent), clock_(clock), zone_(zone), entries_(new QStringListModel(this)) {
    setObjectName(QStringLiteral("Ujholdak"));
    // A plain list of texts: the default model makes an item object for every
    // line, which a list of a hundred thousand new moons pays for at start.
    setModel(entries_);
    setEditable(false);
    const QString heading = QStringLiteral("Újholdak");
    setPlaceholderText(heading);
    setAccessibleName(heading);
    setFont(look::Font(Face::ArialNarrow, 14.25, true));
    setStyleSheet(
        QStringLiteral("QComboBox { combobox-popup: 0; background-color: %1; color: black;"
                       " border: 1px solid %2;"
                       " padding-left: 3px; }"
                       "QComboBox:focus { border: 3px double %3; padding-left: 1px; "
                       "background-clip: padding; }"
                       "QComboBox QAbstractItemView { background-color: %1; color: black;"
                       " selection-background-color: rgb(0,0,128); selection-color: white; }")
            .arg(look::LightYellow.name(), look::Grey.name(), look::FocusOnBlack.name()));
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
    return readings_->latestNotAfter(clock_.now(), zone_);
}

int NewMoonCombo::widestEntry(int enough) {
    if (!widest_) {
        widest_ = WidestText(entries_->stringList(), QFontMetrics(view()->font()), enough);
    }
    return *widest_;
}

void NewMoonCombo::showPopup() {
    // The popup turns its scroll bar off for styles that scroll with arrows
    // at its ends; a long list needs the bar, to be paged through at a glance.
    view()->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    QComboBox::showPopup();
    // The drop-down is as wide as the box; a heading or an entry wider than
    // that would be cut, so the popup grows to the widest, within the screen.
    QWidget *popup = view()->window();
    const QScreen *screen = popup->screen();
    const int screenWidth = screen ? screen->availableGeometry().width() : QWIDGETSIZE_MAX;
    const int wanted = widestEntry(screenWidth) + popup->width() - view()->viewport()->width() +
                       2 * style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, view()) + 8;
    if (wanted > popup->width()) {
        QRect geometry = popup->geometry();
        geometry.setWidth(wanted);
        if (screen) {
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

} // namespace lunex
