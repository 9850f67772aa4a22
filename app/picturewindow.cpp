#include "app/picturewindow.h"

#include "app/look.h"
#include "store/picturefile.h"

#include <QImage>
#include <QPixmap>

namespace lunex {

Form3::Form3(QWidget *parent) : QWidget(parent) {
    setObjectName(QStringLiteral("Form3"));
    setWindowTitle(QStringLiteral("Hold térképek"));
    setWindowIcon(look::AppIcon());
    resize(look::Px(17505), look::Px(10935));
    look::SetColours(this, Qt::black, Qt::white);
    picture3_ = new QLabel(this);
    picture3_->setObjectName(QStringLiteral("Picture3"));
    picture3_->setGeometry(look::TwipsRect(240, 240, 17055, 15255));
    picture3_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    picture3_->setScaledContents(false);
    look::SetColours(picture3_, Qt::black, Qt::white);
}

bool Form3::loadPicture(const QString &path) {
    const auto bytes = ReadPictureFile(path);
    const QImage image = bytes ? QImage::fromData(*bytes) : QImage();
    picture3_->setPixmap(image.isNull() ? QPixmap() : QPixmap::fromImage(image));
    return !image.isNull();
}

} // namespace lunex
