#include "lunar/evaluation.h"

#include "lunar/civiltime.h"
#include "lunar/textforms.h"
#include "store/codepage.h"
#include "store/datafiles.h"
#include "store/picturefile.h"

#include <QStringBuilder>

namespace lunex {
namespace {

const QString Label = QStringLiteral("Megfigyelés ideje:    ");
const QString Indent = QString(36, u' ');

} // namespace

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

QList<ResultText> BuildResultTexts(HeaderForm form, const QDateTime &observation,
                                   const LunarAge &age, const PhaseBand &band, double percent,
                                   const QLocale &locale) {
    // Built with QStringBuilder (%): one allocation a text, since an evaluation
    // runs on every press and the benchmarks run it a million times.
    const auto n = [](std::int32_t v) { return QString::number(v); };
    QList<ResultText> texts;
    texts.reserve(6);
    if (form == HeaderForm::PresentMoment) {
        texts.append({700, 1265, Label % ShortDateText(observation.date(), locale)});
        texts.append({5020, 1265, LongTimeText(observation.time(), locale)});
    } else {
        texts.append({700, 1265, Label % GeneralDateText(observation, locale)});
    }
    texts.append({700, 2100,
                  QStringView(u"Holdsarló kora:         ") % n(age.totalHours) %
                      QStringView(u" óra ") % n(age.minutePart) % QStringView(u" perc")});
    texts.append({700, 2800,
                  Indent % n(age.wholeDays) % QStringView(u" nap  ") % n(age.hourPart) %
                      QStringView(u" óra ") % n(age.minutePart) % QStringView(u" perc")});
    texts.append(
        {700, 3300, Indent % FormatPattern(age.fractionalDays, 2, locale) % QStringView(u" nap")});
    texts.append({700, 5050,
                  Indent % band.phaseName % QStringView(u"  --  ") %
                      FormatPattern(percent, 1, locale) % QStringView(u" %")});
    return texts;
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
    const auto bytes = ReadPictureFile(AppPath(ports.appDir, band.pictureFile));
    const QImage picture = bytes ? QImage::fromData(*bytes) : QImage();
    if (picture.isNull()) {
        ports.messages.showMessage(PictureFailureMessage(band.pictureFile), MessageIcon::Critical);
        return false;
    }
    ports.surface.clearResults();
    ports.picture.showPicture(picture);
    for (const ResultText &t :
         BuildResultTexts(form, observation, *age, band, percent, ports.locale)) {
        ports.surface.printAt(t.x, t.y, t.text);
    }
    // A failed save reports itself; the results drawn stay, they are right.
    SaveNewMoon(ports.appDir, ports.fields, ports.messages);
    return true;
}

void EvaluatePresentMoment(EvaluationPorts &ports) {
    const auto newMoon = ParseDateTimeText(ports.fields.text11(), ports.locale, ports.zone);
    const QDateTime now = ports.clock.now().toTimeZone(ports.zone);
    if (!newMoon) {
        ports.messages.showMessage(NewMoonMissingMessage, MessageIcon::Warning);
        return;
    }
    if (EvaluateLunarAge(*newMoon, now, PresentMomentGain, HeaderForm::PresentMoment, ports)) {
        // The observation box shows the moment just evaluated, in a form that
        // "Mentés" stores and the conversion reads back, so that it stores
        // exactly this observation (the usage tips promise as much).
        ports.fields.setText12(ObservationText(now, ports.locale, ports.zone));
    }
}

void EvaluateStoredObservation(EvaluationPorts &ports) {
    if (!LoadObservation(ports.appDir, ports.fields, ports.messages)) {
        return;
    }
    // Both conversions run before the one check.
    const auto newMoon = ParseDateTimeText(ports.fields.text11(), ports.locale, ports.zone);
    const auto observation = ParseDateTimeText(ports.fields.text12(), ports.locale, ports.zone);
    if (!newMoon || !observation) {
        ports.messages.showMessage(InvalidDatesMessage, MessageIcon::Warning);
        return;
    }
    EvaluateLunarAge(*newMoon, *observation, StoredObservationGain, HeaderForm::StoredObservation,
                     ports);
}

} // namespace lunex
