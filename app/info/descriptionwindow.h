#pragma once

#include <QList>
#include <QRect>
#include <QString>
#include <QWidget>

namespace lunex {

// One caption of the usage tips: the heading, a tip, or a warning in red.
struct DescriptionCaption {
    enum Kind { Heading, Tip, Warning };
    const char *name; // the object name
    QString text;
    QRect box; // in twips
    Kind kind;
};

// The captions of "Program leírása", in the order they appear from the top.
QList<DescriptionCaption> DescriptionCaptions();

// "Program leírása": a fixed page of usage tips for the main window.
class DescriptionWindow : public QWidget {
    Q_OBJECT

public:
    explicit DescriptionWindow(QWidget *parent = nullptr);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    void addCaptions();
};

} // namespace lunex
