#pragma once

#include "charts/earthtexture.h"
#include "charts/visibilitychart.h"
#include "lunar/visibilitymap.h"

#include <QDate>
#include <QFutureWatcher>
#include <QImage>
#include <QWidget>

#include <memory>
#include <optional>

class QComboBox;
class QLabel;
class QProgressBar;
class QScrollArea;

namespace lunex {

// What one drawing of the map needs, and what it gives back: the cells are
// kept, so that another criterion for the same evening only draws anew.
struct MapJob {
    QDate date;
    Criterion criterion = Criterion::Yallop;
    MapMark mark;
    int width = DefaultMapWidth;
    std::shared_ptr<const VisibilityMap> cells; // reused when of the same date
    EarthTexture earth;
    bool earthTried = false;
};
struct MapOutcome {
    MapJob job;
    QImage picture;
};

// The grid of the window's map, in degrees.
inline constexpr double WindowMapStep = 1.0;

// Computes and draws a map away from the window's thread.
MapOutcome DrawMapJob(MapJob job);

// "Térkép": the world map of the selected evening by the chosen criterion,
// the observer's place marked. It is computed and drawn on other threads
// while the panel is in view; the window stays usable meanwhile.
class MapPanel : public QWidget {
    Q_OBJECT
public:
    explicit MapPanel(QWidget *parent = nullptr);
    void showEvening(const QDate &date, const MapMark &mark);
    // The map on show at its full size, for saving; null while none is shown.
    QImage picture() const;
    bool isDrawing() const { return watcher_.isRunning(); }
    QComboBox *criterionBox() const { return criterion_; }

signals:
    void drawn(); // the wanted map is on show

protected:
    void showEvent(QShowEvent *event) override;

private:
    bool showsWanted() const;
    void request();
    void finish();

    MapJob wanted_;
    MapJob shown_; // what the picture on show was drawn from
    QFutureWatcher<MapOutcome> watcher_;
    QComboBox *criterion_;
    QProgressBar *progress_;
    QLabel *status_;
    QScrollArea *scroll_;
    QLabel *map_;
};

} // namespace lunex
