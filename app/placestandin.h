#pragma once
// Stands in for the stored place and its dialog until they arrive: Budapest.
#include "lunar/ephemeris.h"
#include "lunar/places.h"
#include "store/appdirs.h"
#include <QString>
#include <QWidget>
#include <optional>
namespace lunex {
struct ObserverPlace {
    QString name;
    Place place;
};
inline ObserverPlace CurrentObserverPlace(const AppDirs &, QWidget *) {
    const auto p = FindPlace(u"Budapest");
    return {p->name.toString(), p->place};
}
inline std::optional<ObserverPlace> ChooseObserverPlace(QWidget *, const AppDirs &,
                                                        const ObserverPlace &) {
    const auto p = FindPlace(u"Szeged");
    return ObserverPlace{p->name.toString(), p->place};
}
} // namespace lunex
