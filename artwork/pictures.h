#pragma once

// The pictures of the Pic directory: the phase pictures of the main window, the day
// pictures and the labelled map of the picture window.

#include "artwork/albedo.h"
#include "artwork/features.h"
#include "artwork/labels.h"
#include "artwork/render.h"

#include <QImage>
#include <QList>
#include <QString>
#include <QStringList>

#include <memory>

namespace lunex::artwork {

// The fonts of the pictures. The windows' Windows fonts are not on a Debian machine;
// fonts-liberation has metric-compatible stand-ins.
inline constexpr char SansFamily[] = "Liberation Sans";   // for Arial
inline constexpr char SerifFamily[] = "Liberation Serif"; // for Times New Roman

struct PhasePicture {
    QString file;
    double ageDays; // a representative age of the phase band that shows this picture
};

// The twelve phase pictures in the order of the phase table.
QList<PhasePicture> PhasePictures();
// The names of every picture drawn: the phase pictures, the day pictures and the map.
QStringList AllPictureFiles();

// The phase pictures fill the main window's picture box; the day pictures and the map fit
// the visible part of the picture window, which shows them unscaled from the top left.
DiscView PhaseView();
DiscView ChartView();

struct Label {
    QString text;
    Placement place;
};

struct Chart {
    QImage image; // grey
    QList<Label> labels;
    QStringList unplaced; // names that found no room
};

class PictureMaker {
public:
    PictureMaker(const AlbedoMap &albedo, QList<Feature> features);
    ~PictureMaker();

    QImage phaseImage(double ageDays) const;
    Chart dayChart(int day) const;
    Chart mapChart() const;

    // Writes every picture into dir, creating it if need be. Each file is replaced whole
    // or not at all, and nothing else in dir is touched: the user's data files live there.
    bool writeAll(const QString &dir, QString *error) const;

private:
    QList<Feature> features_;
    std::unique_ptr<DiscRenderer> phase_;
    std::unique_ptr<DiscRenderer> chart_;
};

} // namespace lunex::artwork
