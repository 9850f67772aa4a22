#pragma once

#include <QKeySequence>
#include <QList>
#include <QString>

namespace lunex {

// The reference pictures of the menu "&Hold - térképek", with each item's
// name, caption and shortcut and the picture it shows. The picture window
// takes the same shortcuts, so that the days can be paged through there.
struct MoonPictureItem {
    const char *name;
    QString caption;
    QKeySequence shortcut;
    QString file;
};
QList<MoonPictureItem> MoonPictureItems();

} // namespace lunex
