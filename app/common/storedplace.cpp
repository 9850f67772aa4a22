#include "app/common/storedplace.h"

#include "look/look.h"
#include "store/horizonfile.h"
#include "store/paths.h"

#include <QMessageBox>
#include <QSet>

namespace lunex {
namespace {

// Each data file's message once a run, whichever window reads it first.
void ReportOnce(const QString &file, const QString &message, QWidget *parent) {
    static QSet<QString> reported;
    if (!message.isEmpty() && !reported.contains(file)) {
        reported.insert(file);
        look::ShowMessageBox(parent, message, QMessageBox::Warning);
    }
}

} // namespace

ObserverPlace CurrentObserverPlace(const AppDirs &dirs, QWidget *messageParent) {
    const PlaceReading reading = LoadObserverPlace(dirs.data);
    ReportOnce(AppPath(dirs.data, PlaceFile), reading.message, messageParent);
    return reading.place;
}

HorizonProfile CurrentSkyline(const AppDirs &dirs, QWidget *messageParent) {
    const HorizonFileReading reading = LoadStoredPlaceHorizon(dirs.data);
    ReportOnce(AppPath(dirs.data, HorizonFile), reading.message, messageParent);
    return reading.skyline;
}

} // namespace lunex
