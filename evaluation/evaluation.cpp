#include "evaluation/evaluation.h"

#include "messages/messages.h"
#include "store/codepage.h"
#include "store/datafiles.h"
#include "store/paths.h"
#include "store/picturefile.h"
#include "texts/datetext.h"

#include <QImage>

namespace lunex {
QDateTime SystemClock::now() const {
    return QDateTime::fromSecsSinceEpoch(QDateTime::currentSecsSinceEpoch(), QTimeZone::utc());
}

QString ObservationText(const QDateTime &moment, const QLocale &locale, const QTimeZone &zone) {
    const QDateTime local = moment.toTimeZone(zone);
    const QString general = GeneralDateText(local, locale);
    if (ParseDateTimeText(DecodeAnsi(SingleValueBytes(general)), locale, zone) == local) {
        return general;
    }
    return local.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
}

std::variant<AgeResults, EvaluationFailure> EvaluateAge(const std::optional<QDateTime> &newMoon,
                                                        const std::optional<QDateTime> &observation,
                                                        ObservationKind kind,
                                                        const QLocale &locale) {
    if (!newMoon || !observation) {
        return EvaluationFailure{kind == ObservationKind::PresentMoment ? NewMoonMissingMessage
                                                                        : InvalidDatesMessage,
                                 MessageIcon::Warning};
    }
    const std::optional<LunarAge> age = CalculateLunarAge(*newMoon, *observation);
    if (!age) {
        return EvaluationFailure{TooFarApartMessage, MessageIcon::Critical};
    }
    const PhaseBand &band = SelectPhaseBand(age->cycleAge);
    return AgeResults{&band,
                      BuildResultTexts(kind, *observation, *age, band,
                                       CalculateIllumination(age->elapsedDays, kind), locale)};
}

bool EvaluateLunarAge(const std::optional<QDateTime> &newMoon,
                      const std::optional<QDateTime> &observation, ObservationKind kind,
                      EvaluationPorts &ports) {
    const auto evaluated = EvaluateAge(newMoon, observation, kind, ports.locale);
    if (const auto *failure = std::get_if<EvaluationFailure>(&evaluated)) {
        ports.messages.showMessage(failure->message, failure->icon);
        return false;
    }
    const AgeResults &results = std::get<AgeResults>(evaluated);
    // Decoded before the surface is cleared: a missing picture must not leave
    // the observer with an empty window and the earlier results gone.
    const PhaseBand &band = *results.band;
    const QString pictureFile = PhasePictureFile(band);
    const ReadResult read = ReadPictureFile(AppPath(ports.dirs.pictures, pictureFile));
    const QImage picture = read.bytes ? QImage::fromData(*read.bytes) : QImage();
    if (picture.isNull()) {
        ports.messages.showMessage(PictureFailureMessage(FileNameOf(pictureFile), read.problem),
                                   MessageIcon::Critical);
        return false;
    }
    ports.surface.clearResults();
    ports.picture.showPicture(picture, band.phaseName.toString());
    for (const ResultText &result : results.texts) {
        ports.surface.printResult(result);
    }
    // A failed save reports itself; the results drawn stay, they are right.
    SaveNewMoon(ports.dirs.data, ports.fields, ports.messages);
    return true;
}

void EvaluatePresentMoment(EvaluationPorts &ports) {
    const auto newMoon = ParseDateTimeText(ports.fields.newMoonText(), ports.locale, ports.zone);
    const QDateTime now = ports.clock.now().toTimeZone(ports.zone);
    if (EvaluateLunarAge(newMoon, now, ObservationKind::PresentMoment, ports)) {
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
    EvaluateLunarAge(newMoon, observation, ObservationKind::StoredObservation, ports);
}

} // namespace lunex
