#pragma once

#include <QLabel>
#include <QWidget>

namespace lunex {

// The picture window ("Hold térképek"): one reference picture of the Moon at
// its natural size, from the top-left corner of its picture area, never
// scaled or scrolled.
class PictureWindow : public QWidget {
    Q_OBJECT
public:
    explicit PictureWindow(QWidget *parent = nullptr);
    // False (and an empty picture area) when the file cannot be read.
    bool loadPicture(const QString &path);
    QLabel *picture() const { return picture_; }

private:
    QLabel *picture_;
};

} // namespace lunex
