#include "app/pictures/picturewindow.h"

#include "app/pictures/moonpictures.h"
#include "look/look.h"
#include "messages/messages.h"
#include "store/paths.h"
#include "store/picturefile.h"

#include <QAction>
#include <QImage>
#include <QPixmap>

namespace lunex {

PictureWindow::PictureWindow(const QString &picturesDir, const QWidget *keepClear)
    : picturesDir_(picturesDir) {
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
    for (const MoonPictureItem &item : MoonPictureItems()) {
        auto *action = new QAction(this);
        action->setShortcut(item.shortcut);
        action->setShortcutContext(Qt::WindowShortcut);
        addAction(action);
        connect(action, &QAction::triggered, this,
                [this, file = item.file] { showMoonPicture(file); });
    }
    if (keepClear != nullptr) {
        look::PlaceClearOf(this, keepClear);
    }
}

void PictureWindow::showMoonPicture(const QString &relativePath) {
    const ReadResult read = ReadPictureFile(AppPath(picturesDir_, relativePath));
    const QImage image = read.bytes ? QImage::fromData(*read.bytes) : QImage();
    picture_->setPixmap(image.isNull() ? QPixmap() : QPixmap::fromImage(image));
    if (image.isNull()) {
        look::ShowMessageBox(this, PictureFailureMessage(FileNameOf(relativePath), read.problem),
                             QMessageBox::Critical);
    }
}

} // namespace lunex
