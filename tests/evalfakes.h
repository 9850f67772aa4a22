#pragma once

// Stand-ins for the result surface, the phase picture box and the clock.

#include "dates.h"
#include "evaluation/evaluation.h"
#include "fakes.h"
#include "resulttext.h"
#include "store/paths.h"

#include <QImage>

namespace lunex::test {

struct FakeSurface : ResultSurface {
    QStringList printed; // "line:text"
    int clears = 0;
    void clearResults() override {
        printed.clear();
        ++clears;
    }
    void printResult(const ResultText &result) override { printed << Shown(result); }
};

struct FakePicture : PictureBox {
    QImage shown;
    int loads = 0;
    void showPicture(const QImage &picture, const QString &) override {
        shown = picture;
        ++loads;
    }
};

struct FakeClock : Clock {
    QDateTime at;
    QDateTime now() const override { return at; }
};

// A 1 x 1 GIF: enough for the picture box, small enough to spell out.
inline const QByteArray TinyGif = QByteArray::fromHex(
    "47494638396101000100800000ffffff00000021f90401000000002c00000000010001000002024401003b");

inline void writePhasePictures(const AppDir &dir) {
    for (const PhaseBand &band : PhaseBands) {
        dir.write(FileNameOf(PhasePictureFile(band)), TinyGif);
    }
}

// Everything an evaluation needs, wired to the fakes. The pictures and the data
// files are apart, as installed: each is looked for in its own place.
struct EvalRig {
    AppDir dir; // the data files
    AppDir pictures;
    FakeFields fields;
    FakeSurface surface;
    FakePicture picture;
    FakeMessenger messages;
    FakeClock clock;
    EvaluationPorts ports{{pictures.path(), dir.path()},
                          fields,
                          surface,
                          picture,
                          messages,
                          clock,
                          QLocale(),
                          UtcZone};

    explicit EvalRig(const QLocale &locale, const QString &tempBase = QDir::tempPath())
        : dir(tempBase) {
        ports.locale = locale;
        writePhasePictures(pictures);
    }
};

} // namespace lunex::test
