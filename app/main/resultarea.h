#pragma once

#include "texts/resulttexts.h"

#include <QFont>
#include <QLabel>
#include <QList>
#include <QWidget>

namespace lunex {

// The font of the main window's surface, its results and its time fields.
QFont SurfaceFont();

// The phase picture box: it takes its picture's size and reports clicks.
class PhasePictureLabel : public QLabel {
    Q_OBJECT
public:
    using QLabel::QLabel;
signals:
    void clicked();

protected:
    void mousePressEvent(QMouseEvent *event) override;
};

// The banner picture box: painted at the screen's own resolution.
class BannerPicture : public QWidget {
public:
    using QWidget::QWidget;

protected:
    void paintEvent(QPaintEvent *event) override;
};

class ResultLines;

// A text printed on the surface, its top-left corner at (x, y) twips.
struct PrintedText {
    int x;
    int y;
    QString text;
};

// The main window's own surface: frames, dotted lines and the printed results.
class ResultArea : public QWidget {
    Q_OBJECT
public:
    explicit ResultArea(QWidget *parent = nullptr);
    void clear();
    // Prints a result text at its line's place on the surface.
    void print(const ResultText &result);
    // What is printed, each text at its twips position.
    const QList<PrintedText> &printed() const { return printed_; }
    // The results as text, for screen readers and the clipboard.
    ResultLines *resultLines() const { return lines_; }
    // Once an evaluation is done: announces the results if it drew them afresh.
    void announceResults();

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QRect textRect(const PrintedText &t) const;
    QList<PrintedText> printed_;
    ResultLines *lines_;
    bool redrawn_ = false;
};

} // namespace lunex
