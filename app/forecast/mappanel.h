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
#include <vector>

class QComboBox;
class QLabel;
class QProgressBar;
class QScrollArea;

namespace lunex {

// How much of the Earth the map shows.
enum class MapView { World, AroundPlace, Europe };

// The region a view shows for a place, and its grid: 1° for the world, finer
// for a region, so that each is drawn in about the same time.
MapRegion RegionOf(MapView view, const MapMark &mark);
double StepOf(MapView view);

// The coastlines and borders read for one region.
struct RegionShores {
    MapRegion region;
    Shorelines shores;
};

// What one drawing of the map needs, and what it gives back: the cells and
// the coastlines are kept, so that another criterion for the same evening
// only draws anew.
struct MapJob {
    QDate date; // the evening's (morning's) date by the place's mean solar time: the cells'
    // The same evening's date on the place's clock, as the table's row names
    // it: the title's. A clock a day ahead of the Sun (Samoa's) names the next day.
    QDate clockDate;
    Direction direction = Direction::Evening;
    Criterion criterion = Criterion::Yallop;
    MapView view = MapView::World;
    MapMark mark;
    int width = DefaultMapWidth;
    // reused when of the same date, direction and region
    std::shared_ptr<const VisibilityMap> cells;
    MapRegion cellsRegion;                      // the region the cells were computed for
    std::shared_ptr<const RegionShores> shores; // reused when of the same region
    EarthTexture earth;
    bool earthTried = false;
};
struct MapOutcome {
    MapJob job;
    QImage picture;
};

// Computes and draws a map away from the window's thread.
MapOutcome DrawMapJob(MapJob job);

// "Térkép": the map of the selected evening (morning) by the chosen
// criterion, of the world or zoomed to the place's region or Europe with the
// coastlines and borders, the observer's place marked. It is computed and
// drawn on other threads while the panel is in view; the window stays usable
// meanwhile.
class MapPanel : public QWidget {
    Q_OBJECT
public:
    explicit MapPanel(QWidget *parent = nullptr);
    void showEvening(const QDate &date, const QDate &clockDate, Direction direction,
                     const MapMark &mark);
    // The map on show at its full size, for saving; null while none is shown.
    QImage picture() const;
    QComboBox *criterionBox() const { return criterion_; }
    QComboBox *viewBox() const { return view_; }

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
    QComboBox *view_;
    QProgressBar *progress_;
    QLabel *status_;
    QScrollArea *scroll_;
    QLabel *map_;
};

} // namespace lunex
