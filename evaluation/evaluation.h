#pragma once

#include "ports/windowports.h"
#include "store/appdirs.h"
#include "texts/resulttexts.h"

#include <QDateTime>
#include <QLocale>
#include <QString>
#include <QTimeZone>

#include <optional>
#include <variant>

namespace lunex {

// The system clock, in UTC: each use reads it in its own zone.
class SystemClock : public Clock {
public:
    QDateTime now() const override;
};

// Everything an evaluation reads and writes besides the computation.
struct EvaluationPorts {
    AppDirs dirs;
    TimeFields &fields;
    ResultSurface &surface;
    PictureBox &picture;
    Messenger &messages;
    const Clock &clock;
    QLocale locale;
    // The zone whose civil time the texts are read and printed in.
    QTimeZone zone;
};

// What an evaluation shows: the phase band, whose picture goes beside the
// texts, and the result texts.
struct AgeResults {
    const PhaseBand *band = nullptr;
    QList<ResultText> texts;
};

// Why an evaluation shows nothing: the message and its icon.
struct EvaluationFailure {
    QString message;
    MessageIcon icon;
};

// The evaluation itself, for the window and for lunex-age alike: the results
// of an observation against a new moon, each time empty where its text did
// not convert; or why there are none.
std::variant<AgeResults, EvaluationFailure> EvaluateAge(const std::optional<QDateTime> &newMoon,
                                                        const std::optional<QDateTime> &observation,
                                                        ObservationKind kind,
                                                        const QLocale &locale);

// Evaluates, clears the surface, shows the phase picture, draws the texts and
// stores the new moon. What can fail before anything is shown (the times,
// the minute count, the picture) is checked first and reported, and then
// nothing changes. True when the results were drawn.
bool EvaluateLunarAge(const std::optional<QDateTime> &newMoon,
                      const std::optional<QDateTime> &observation, ObservationKind kind,
                      EvaluationPorts &ports);

// "Most!": the new moon of the new-moon field against the present moment.
void EvaluatePresentMoment(EvaluationPorts &ports);

// The text "Most!" puts into the observation field for the moment it evaluated: the locale's
// general date where utolso.txt can hold it and it reads back as the same
// moment, otherwise "yyyy-MM-dd HH:mm:ss", which reads back in every locale.
QString ObservationText(const QDateTime &moment, const QLocale &locale, const QTimeZone &zone);

// "Utolsó megfigyelés": loads utolso.txt into the observation field and evaluates it.
void EvaluateStoredObservation(EvaluationPorts &ports);

} // namespace lunex
