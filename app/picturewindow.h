#pragma once

#include <QLabel>
#include <QWidget>

namespace lunex {

// The picture window `Form3`: one reference picture of the Moon at its natural
// size, from the top-left corner of `Picture3`, never scaled or scrolled.
class Form3 : public QWidget {
    Q_OBJECT
public:
    explicit Form3(QWidget *parent = nullptr);
    // False (and an empty picture area) when the file cannot be read.
    bool loadPicture(const QString &path);
    QLabel *picture3() const { return picture3_; }

private:
    QLabel *picture3_;
};

} // namespace lunex
