#pragma once

#include "lunar/lunarage.h"
#include "store/fields.h"

#include <QDateTime>
#include <QImage>
#include <QList>
#include <QLocale>
#include <QString>
#include <QTimeZone>

namespace lunex {

// The evaluations' messages.
inline const QString NewMoonMissingMessage =
    QStringLiteral("Kérem, adja meg az UTOLSÓ ÚJHOLD időpontját!");
inline const QString InvalidDatesMessage =
    QStringLiteral("Kérem, adjon meg egy ÉRVÉNYES ÚJHOLD / MEGFIGYELÉSI dátumot!");
inline const QString TooFarApartMessage = QStringLiteral("A két időpont túl messze van egymástól!");

// How the first result line shows the observation: "Most!" prints the present
// date and, separately, the time; the stored observation prints one
// general-date text.
enum class HeaderForm { PresentMoment, StoredObservation };

// One text drawn on the result surface, its top-left corner at (x, y) twips.
struct ResultText {
    int x;
    int y;
    QString text;
    friend bool operator==(const ResultText &, const ResultText &) = default;
};

// The result texts 1 (and 1a for the present moment), 2, 3, 4 and 5.
QList<ResultText> BuildResultTexts(HeaderForm form, const QDateTime &observation,
                                   const LunarAge &age, const PhaseBand &band, double percent,
                                   const QLocale &locale);

// The main window's drawing surface.
class ResultSurface {
public:
    virtual ~ResultSurface() = default;
    virtual void clearResults() = 0;
    virtual void printAt(int xTwips, int yTwips, const QString &text) = 0;
};

// The phase picture box `Picture1`.
class PictureBox {
public:
    virtual ~PictureBox() = default;
    virtual void showPicture(const QImage &picture) = 0;
};

class Clock {
public:
    virtual ~Clock() = default;
    // The present instant, to the second.
    virtual QDateTime now() const = 0;
};

// The system clock.
class SystemClock : public Clock {
public:
    QDateTime now() const override;
};

// Everything an evaluation reads and writes besides the computation.
struct EvaluationPorts {
    QString appDir;
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

// "Most!": the new moon of Text11 against the present moment.
void EvaluatePresentMoment(EvaluationPorts &ports);

// The text "Most!" puts into Text12 for the moment it evaluated: the locale's
// general date where utolso.txt can hold it and it reads back as the same
// moment, otherwise "yyyy-MM-dd HH:mm:ss", which reads back in every locale.
QString ObservationText(const QDateTime &moment, const QLocale &locale, const QTimeZone &zone);

// "Utolsó megfigyelés": loads utolso.txt into Text12 and evaluates it.
void EvaluateStoredObservation(EvaluationPorts &ports);

} // namespace lunex
