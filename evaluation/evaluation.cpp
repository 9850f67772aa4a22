#include "evaluation/evaluation.h"

#include "lunar/civiltime.h"
#include "messages/messages.h"
#include "store/codepage.h"
#include "store/datafiles.h"
#include "store/picturefile.h"
#include "texts/datetext.h"

#include <QImage>

namespace lunex {
QDateTime SystemClock::now() const {
    return QDateTime::fromSecsSinceEpoch(QDateTime::currentSecsSinceEpoch(), SystemZone());
}

QString ObservationText(const QDateTime &moment, const QLocale &locale, const QTimeZone &zone) {
    const QDateTime local = moment.toTimeZone(zone);
    const QString general = GeneralDateText(local, locale);
    if (ParseDateTimeText(DecodeAnsi(SingleValueBytes(general)), locale, zone) == local) {
        return general;
    }
    return local.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
}

bool EvaluateLunarAge(const QDateTime &newMoon, const QDateTime &observation, double gain,
                      HeaderForm form, EvaluationPorts &ports) {
    const std::optional<LunarAge> age = CalculateLunarAge(newMoon, observation);
    if (!age) {
        ports.messages.showMessage(TooFarApartMessage, MessageIcon::Critical);
        return false;
    }
    const double percent = CalculateIllumination(age->elapsedDays, gain);
    const PhaseBand &band = SelectPhaseBand(age->cycleAge);
    // Decoded before the surface is cleared: a missing picture must not leave
    // the observer with an empty window and the earlier results gone.
    const auto bytes = ReadPictureFile(AppPath(ports.dirs.pictures, band.pictureFile));
    const QImage picture = bytes ? QImage::fromData(*bytes) : QImage();
    if (picture.isNull()) {
        ports.messages.showMessage(PictureFailureMessage(FileNameOf(band.pictureFile)),
                                   MessageIcon::Critical);
        return false;
    }
    ports.surface.clearResults();
    ports.picture.showPicture(picture, band.phaseName.toString());
    for (const ResultText &t :
         BuildResultTexts(form, observation, *age, band, percent, ports.locale)) {
        ports.surface.printAt(t.x, t.y, t.text);
    }
    // A failed save reports itself; the results drawn stay, they are right.
    SaveNewMoon(ports.dirs.data, ports.fields, ports.messages);
    return true;
}

void EvaluatePresentMoment(EvaluationPorts &ports) {
    const auto newMoon = ParseDateTimeText(ports.fields.newMoonText(), ports.locale, ports.zone);
    const QDateTime now = ports.clock.now().toTimeZone(ports.zone);
    if (!newMoon) {
        ports.messages.showMessage(NewMoonMissingMessage, MessageIcon::Warning);
        return;
    }
    if (EvaluateLunarAge(*newMoon, now, PresentMomentGain, HeaderForm::PresentMoment, ports)) {
        // The observation box shows the moment just evaluated, in a form that
        // "Mentés" stores and the conversion reads back, so that it stores
        // exactly this observation (the usage tips promise as much).
        ports.fields.setObservationText(ObservationText(now, ports.locale, ports.zone));
    }
}

void EvaluateStoredObservation(EvaluationPorts &ports) {
    if (!LoadObservation(ports.dirs.data, ports.fields, ports.messages)) {
        return;
    }
    // Both conversions run before the one check.
    const auto newMoon = ParseDateTimeText(ports.fields.newMoonText(), ports.locale, ports.zone);
    const auto observation =
        ParseDateTimeText(ports.fields.observationText(), ports.locale, ports.zone);
    if (!newMoon || !observation) {
        ports.messages.showMessage(InvalidDatesMessage, MessageIcon::Warning);
        return;
    }
    EvaluateLunarAge(*newMoon, *observation, StoredObservationGain, HeaderForm::StoredObservation,
                     ports);
}

} // namespace lunex
