#include "app/pictures/moonpictures.h"

#include "store/paths.h"

namespace lunex {

QList<MoonPictureItem> MoonPictureItems() {
    // F10 is left out: the 10th and 11th days take F11 and F12.
    const struct {
        int day;
        const char *name;
        const char *caption;
        Qt::Key key;
    } days[] = {
        {2, "hold02", "  2. nap", Qt::Key_F2},  {3, "hold03", "  3. nap", Qt::Key_F3},
        {4, "hold04", "  4. nap", Qt::Key_F4},  {5, "hold05", "  5. nap", Qt::Key_F5},
        {6, "hold06", "  6. nap", Qt::Key_F6},  {7, "hold07", "  7. nap", Qt::Key_F7},
        {8, "hold08", "  8. nap", Qt::Key_F8},  {9, "hold09", "  9. nap", Qt::Key_F9},
        {10, "hold10", "10. nap", Qt::Key_F11}, {11, "hold11", "11. nap", Qt::Key_F12},
    };
    QList<MoonPictureItem> items;
    for (const auto &day : days) {
        items.append(
            {day.name, QLatin1String(day.caption), QKeySequence(day.key), DayPictureFile(day.day)});
    }
    items.append({"hold12", QStringLiteral("Hold-térkép"), QKeySequence(Qt::CTRL | Qt::Key_M),
                  MapPictureFile.toString()});
    return items;
}

} // namespace lunex
