#include "app/picturewindow.h"

#include "look/look.h"
#include "store/picturefile.h"

#include <QImage>
#include <QPixmap>

namespace lunex {

PictureWindow::PictureWindow(QWidget *parent) : QWidget(parent) {
    setObjectName(QStringLiteral("Form3"));
    setWindowTitle(QStringLiteral("Hold térképek"));
    setWindowIcon(look::AppIcon());
    resize(look::Px(17505), look::Px(10935));
    look::SetColours(this, Qt::black, Qt::white);
    picture_ = new QLabel(this);
    picture_->setObjectName(QStringLiteral("Picture3"));
    picture_->setGeometry(look::TwipsRect(240, 240, 17055, 15255));
    picture_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    picture_->setScaledContents(false);
    look::SetColours(picture_, Qt::black, Qt::white);
}

bool PictureWindow::loadPicture(const QString &path) {
    const auto bytes = ReadPictureFile(path);
    const QImage image = bytes ? QImage::fromData(*bytes) : QImage();
    picture_->setPixmap(image.isNull() ? QPixmap() : QPixmap::fromImage(image));
    return !image.isNull();
}

} // namespace lunex
