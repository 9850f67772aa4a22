#pragma once

#include <QPoint>
#include <QString>
#include <QWidget>

#include "calc/angles.h"

class QLineEdit;

namespace lunex {

// The degree-mil calculator "Számítások". Each conversion prints its result on
// the window's own surface, between the labels of its row.
class CalculatorWindow : public QWidget {
    Q_OBJECT

public:
    explicit CalculatorWindow(QWidget *parent = nullptr);

    // What is printed on the surface: one result or nothing.
    QString printedText() const { return printed_; }
    // Where its top-left corner sits, in pixels.
    QPoint printedAt() const { return printedAt_; }

    void degToMil();
    void milToDeg();

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    void convert(AngleConversion conversion, const QLineEdit *field, QPoint at);

    QLineEdit *degreesField_ = nullptr;
    QLineEdit *milsField_ = nullptr;
    QString printed_;
    QPoint printedAt_;
};

} // namespace lunex
