#pragma once

#include <QDialog>

namespace lunex {

// "About Lunex": title, version, edition, rights notice and web address.
class FrmAbout : public QDialog {
    Q_OBJECT

public:
    explicit FrmAbout(QWidget *parent = nullptr);

protected:
    void paintEvent(QPaintEvent *event) override;
};

} // namespace lunex
