#pragma once

#include <QLabel>
#include <QWidget>

namespace lunex {

// The picture window ("Hold térképek"): one reference picture of the Moon at
// its natural size, from the top-left corner of its picture area, never
// scaled or scrolled. It takes the shortcuts of the pictures itself.
class PictureWindow : public QWidget {
    Q_OBJECT
public:
    // `picturesDir` is what the pictures' relative paths are appended to; the
    // window opens clear of `keepClear` where the screen has room.
    explicit PictureWindow(const QString &picturesDir, const QWidget *keepClear = nullptr);
    // ShowMoonPicture's loading: a picture that cannot be read leaves the
    // picture area empty and is reported.
    void showMoonPicture(const QString &relativePath);
    QLabel *picture() const { return picture_; }

private:
    QString picturesDir_;
    QLabel *picture_;
};

} // namespace lunex
