#pragma once

#include <QDialog>

namespace lunex {

// "About Lunex": title, version, edition, rights notice and web address.
class AboutWindow : public QDialog {
    Q_OBJECT

public:
    explicit AboutWindow(QWidget *parent = nullptr);

protected:
    void paintEvent(QPaintEvent *event) override;
};

} // namespace lunex
