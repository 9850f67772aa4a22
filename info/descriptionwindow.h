#pragma once

#include <QWidget>

namespace lunex {

// "Program leírása": a fixed page of usage tips for the main window.
class DescriptionWindow : public QWidget {
    Q_OBJECT

public:
    explicit DescriptionWindow(QWidget *parent = nullptr);

protected:
    void paintEvent(QPaintEvent *event) override;
};

} // namespace lunex
