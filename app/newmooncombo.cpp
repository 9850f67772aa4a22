#include "app/newmooncombo.h"

#include "app/timefield.h"
#include "look/colours.h"
#include "look/look.h"
#include "lunar/civiltime.h"

#include <QAbstractItemView>
#include <QListView>
#include <QScreen>
#include <QSet>
#include <QStringListModel>
#include <QStyle>

namespace lunex {

using look::Face;

NewMoonCombo::NewMoonCombo(const Clock &clock, QWidget *parent)
    : QComboBox(parent), clock_(clock), entries_(new QStringListModel(this)) {
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

} // namespace lunex
