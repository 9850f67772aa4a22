#pragma once

#include <QWidget>

namespace lunex {

// "Program leírása": a fixed page of usage tips for the main window.
class Form2 : public QWidget {
    Q_OBJECT

public:
    explicit Form2(QWidget *parent = nullptr);

protected:
    void paintEvent(QPaintEvent *event) override;
};

} // namespace lunex
