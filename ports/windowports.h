#pragma once

#include "texts/resulttexts.h"

#include <QDateTime>
#include <QString>
#include <QStringList>

class QImage;

// What the stored-date operations and the evaluations need of the main window.
// The window implements these; tests implement them with plain members, so
// everything below runs without a window.

namespace lunex {

class TimeFields {
public:
    virtual ~TimeFields() = default;
    virtual QString newMoonText() const = 0; // the last new moon
    virtual void setNewMoonText(const QString &text) = 0;
    virtual QString observationText() const = 0; // the observation
    virtual void setObservationText(const QString &text) = 0;
};

// The drop-down list of known new moons (`Ujholdak`).
class NewMoonList {
public:
    virtual ~NewMoonList() = default;
    virtual void clearEntries() = 0;
    // Appends in order; one call for a whole file keeps a long list fast.
    virtual void appendEntries(const QStringList &entries) = 0;
    // 0 for the first entry, -1 while nothing is picked.
    virtual int selectedIndex() const = 0;
    virtual QString currentText() const = 0;
};

enum class MessageIcon { Warning, Critical };

// A modal message box with one OK button and the caption "Lunex".
class Messenger {
public:
    virtual ~Messenger() = default;
    virtual void showMessage(const QString &text, MessageIcon icon) = 0;
};

// The main window's drawing surface: it knows where each result line goes.
class ResultSurface {
public:
    virtual ~ResultSurface() = default;
    virtual void clearResults() = 0;
    virtual void printResult(const ResultText &result) = 0;
};

// The phase picture box `Picture1`: the phase's picture, named after it.
class PictureBox {
public:
    virtual ~PictureBox() = default;
    virtual void showPicture(const QImage &picture, const QString &phaseName) = 0;
};

class Clock {
public:
    virtual ~Clock() = default;
    // The present instant, to the second.
    virtual QDateTime now() const = 0;
};

} // namespace lunex
