#include "app/main/resultlines.h"

#include "app/main/resultarea.h"
#include "look/colours.h"
#include "look/look.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QAction>
#include <QClipboard>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QPainter>

#include <algorithm>

namespace lunex {
namespace {

// A piece of a printed text, and where it starts in the lines.
struct Run {
    qsizetype start;   // in the lines
    qsizetype length;  // in the lines
    qsizetype skipped; // leading blanks of the piece, which only place it
    PrintedText piece;
};

struct Layout {
    QString text;
    QList<Run> runs;
};

Layout LayOut(QList<PrintedText> pieces) {
    std::stable_sort(pieces.begin(), pieces.end(), [](const auto &a, const auto &b) {
        return std::pair(a.y, a.x) < std::pair(b.y, b.x);
    });
    Layout layout;
    for (qsizetype i = 0; i < pieces.size(); ++i) {
        if (i > 0) {
            layout.text += pieces[i].y == pieces[i - 1].y ? u' ' : u'\n';
        }
        const QString &text = pieces[i].text;
        qsizetype skipped = 0;
        while (skipped < text.size() && text[skipped].isSpace()) {
            ++skipped;
        }
        const QStringView shown = QStringView(text).mid(skipped).trimmed();
        layout.runs.append({layout.text.size(), shown.size(), skipped, pieces[i]});
        layout.text += shown;
    }
    return layout;
}

// Where the character at `offset` of the lines is drawn, relative to `origin`
// on the surface.
QRect CharacterRect(const Layout &layout, int offset, const QFontMetrics &metrics, QPoint origin) {
    for (const Run &run : layout.runs) {
        if (offset >= run.start && offset < run.start + run.length) {
            const qsizetype at = run.skipped + offset - run.start;
            const QPoint piece = look::TwipsPoint(run.piece.x, run.piece.y) - origin;
            return {piece.x() + metrics.horizontalAdvance(run.piece.text.left(at)), piece.y(),
                    metrics.horizontalAdvance(run.piece.text[at]), metrics.height()};
        }
    }
    return {};
}

// The results are read, never edited: no cursor and no selection to offer.
class ResultLinesAccessible : public QAccessibleWidget, public QAccessibleTextInterface {
public:
    explicit ResultLinesAccessible(ResultLines *lines)
        : QAccessibleWidget(lines, QAccessible::StaticText) {}

    void *interface_cast(QAccessible::InterfaceType type) override {
        return type == QAccessible::TextInterface ? static_cast<QAccessibleTextInterface *>(this)
                                                  : QAccessibleWidget::interface_cast(type);
    }
    QAccessible::State state() const override {
        QAccessible::State state = QAccessibleWidget::state();
        state.readOnly = true;
        return state;
    }

    using QAccessibleWidget::text;
    QString text(int start, int end) const override {
        return lines()->text().mid(start, end - start);
    }
    int characterCount() const override { return int(lines()->text().size()); }
    QRect characterRect(int offset) const override {
        const QRect box = lines()->characterRect(offset);
        return box.isEmpty() ? box : QRect(lines()->mapToGlobal(box.topLeft()), box.size());
    }
    int offsetAtPoint(const QPoint &point) const override {
        return lines()->offsetAt(lines()->mapFromGlobal(point));
    }
    QString attributes(int, int *start, int *end) const override {
        *start = 0;
        *end = characterCount();
        return {};
    }
    void selection(int, int *start, int *end) const override { *start = *end = 0; }
    int selectionCount() const override { return 0; }
    void addSelection(int, int) override {}
    void removeSelection(int) override {}
    void setSelection(int, int, int) override {}
    int cursorPosition() const override { return 0; }
    void setCursorPosition(int) override {}
    void scrollToSubstring(int, int) override {}

private:
    ResultLines *lines() const { return static_cast<ResultLines *>(widget()); }
};

QAccessibleInterface *AccessibleFor(const QString &className, QObject *object) {
    auto *lines = qobject_cast<ResultLines *>(object);
    return lines && className == QLatin1String(ResultLines::staticMetaObject.className())
               ? new ResultLinesAccessible(lines)
               : nullptr;
}

} // namespace

ResultLines::ResultLines(ResultArea *surface) : QWidget(surface), surface_(surface) {
    static const bool accessible = (QAccessible::installFactory(AccessibleFor), true);
    (void)accessible;
    setObjectName(QStringLiteral("A_results"));
    setAccessibleName(QStringLiteral("Eredmények"));
    setGeometry(look::TwipsRect(240, 480, 6615, 5175)); // Shape2
    copy_ = new QAction(QStringLiteral("Eredmények másolása"), this);
    // From the keyboard too, wherever the focus is in the window.
    copy_->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_C));
    copy_->setShortcutContext(Qt::WindowShortcut);
    addAction(copy_);
    setContextMenuPolicy(Qt::ActionsContextMenu);
    connect(copy_, &QAction::triggered, this, [this] {
        if (!text().isEmpty()) {
            QGuiApplication::clipboard()->setText(text());
        }
    });
    // A click gives it the focus, and the menu key or Shift+F10 then opens its
    // menu; the design's Tab order stays as it is.
    setFocusPolicy(Qt::ClickFocus);
}

QString ResultLines::text() const {
    return LayOut(surface_->printed()).text;
}

QRect ResultLines::characterRect(int offset) const {
    return CharacterRect(LayOut(surface_->printed()), offset, QFontMetrics(surface_->font()),
                         pos());
}

int ResultLines::offsetAt(const QPoint &point) const {
    const Layout layout = LayOut(surface_->printed());
    const QFontMetrics metrics(surface_->font());
    for (int offset = 0; offset < layout.text.size(); ++offset) {
        if (CharacterRect(layout, offset, metrics, pos()).contains(point)) {
            return offset;
        }
    }
    return -1;
}

void ResultLines::announce() {
    // A text-change event, because the results are a text object: the
    // accessibility bridges pass it on as AT-SPI's object:text-changed and
    // UI Automation's TextChanged, which screen readers follow to present a
    // text that changed. A value change belongs to controls with a value
    // (sliders, spin boxes), and a name change is presented only for the
    // object in focus, which the results never are. (Qt 6.8's announcement
    // event would have them spoken unasked; Qt 6.4 has none.)
    const QString now = text();
    QAccessibleTextUpdateEvent event(this, 0, announced_, now);
    QAccessible::updateAccessibility(&event);
    announced_ = now;
}

bool ResultLines::event(QEvent *event) {
    if (event->type() == QEvent::ContextMenu) {
        copy_->setEnabled(!text().isEmpty());
    }
    if (event->type() == QEvent::FocusIn || event->type() == QEvent::FocusOut) {
        update();
    }
    return QWidget::event(event);
}

void ResultLines::keyPressEvent(QKeyEvent *event) {
    // The window system turns the menu key into a context menu event itself;
    // Shift+F10, the other key for it, is left to the program.
    if (event->key() == Qt::Key_F10 && event->modifiers() == Qt::ShiftModifier) {
        const QPoint at = rect().center();
        QContextMenuEvent menu(QContextMenuEvent::Keyboard, at, mapToGlobal(at));
        QCoreApplication::sendEvent(this, &menu);
        return;
    }
    QWidget::keyPressEvent(event);
}

void ResultLines::paintEvent(QPaintEvent *) {
    // The focus frame every control of the black window wears.
    if (hasFocus()) {
        QPainter painter(this);
        painter.setPen(QPen(look::FocusOnBlack, 2));
        painter.drawRect(rect().adjusted(1, 1, -1, -1));
    }
}

} // namespace lunex
