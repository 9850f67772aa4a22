#pragma once

#include "ports/windowports.h"
#include "store/appdirs.h"
#include "texts/resulttexts.h"

#include <QDateTime>
#include <QLocale>
#include <QString>
#include <QTimeZone>

namespace lunex {

// The system clock.
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

// Computes, clears the surface, shows the phase picture, draws the texts and
// stores the new moon. What can fail before anything is shown (the minute
// count, the picture) is checked first and reported, and then nothing changes.
// True when the results were drawn.
bool EvaluateLunarAge(const QDateTime &newMoon, const QDateTime &observation, double gain,
                      HeaderForm form, EvaluationPorts &ports);

// "Most!": the new moon of the new-moon field against the present moment.
void EvaluatePresentMoment(EvaluationPorts &ports);

// The text "Most!" puts into the observation field for the moment it evaluated: the locale's
// general date where utolso.txt can hold it and it reads back as the same
// moment, otherwise "yyyy-MM-dd HH:mm:ss", which reads back in every locale.
QString ObservationText(const QDateTime &moment, const QLocale &locale, const QTimeZone &zone);

// "Utolsó megfigyelés": loads utolso.txt into the observation field and evaluates it.
void EvaluateStoredObservation(EvaluationPorts &ports);

} // namespace lunex
