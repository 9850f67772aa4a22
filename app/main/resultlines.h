#pragma once

#include <QRect>
#include <QString>
#include <QWidget>

class QAction;

namespace lunex {

class ResultArea;

// The printed results as text, for screen readers and the clipboard: a
// transparent widget over the results frame, whose surface draws them. Its
// accessible text is the result lines, and its context menu copies them.
class ResultLines : public QWidget {
    Q_OBJECT
public:
    explicit ResultLines(ResultArea *surface);

    // One line per printed row, top to bottom; the pieces of a row joined by
    // a blank, without the blanks that only place a piece on the surface.
    QString text() const;
    // Where the character at `offset` of text() is drawn, in this widget's
    // coordinates; empty for the blanks and line ends between the pieces.
    QRect characterRect(int offset) const;
    int offsetAt(const QPoint &point) const;
    // Tells assistive technology that the results were drawn afresh.
    void announce();

protected:
    bool event(QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    ResultArea *surface_;
    QAction *copy_;
    QString announced_;
};

} // namespace lunex
