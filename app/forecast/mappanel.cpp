#include "app/forecast/mappanel.h"

#include "look/look.h"
#include "messages/crescenttexts.h"

#include <QBoxLayout>
#include <QComboBox>
#include <QCoreApplication>
#include <QLabel>
#include <QPixmap>
#include <QPointer>
#include <QProgressBar>
#include <QScrollArea>
#include <QScrollBar>
#include <QThread>
#include <QThreadPool>
#include <QtConcurrent/QtConcurrentRun>

#include <algorithm>

namespace lunex {
namespace {

constexpr int MinimumMapWidth = 640;

bool SameMap(const MapJob &a, const MapJob &b) {
    return a.date == b.date && a.clockDate == b.clockDate && a.direction == b.direction &&
           a.criterion == b.criterion && a.view == b.view && a.mark.name == b.mark.name &&
           a.mark.latitude == b.mark.latitude && a.mark.longitude == b.mark.longitude;
}

QString MapDescription(const MapJob &job) {
    return MapTitle(job.clockDate, job.direction) + QStringLiteral("; ") +
           MarkedPlaceText(job.mark.name);
}

// The map's own threads. Qt's global pool is left free for the painting of
// the windows: the raster engine shares its work out there and waits for it,
// and would wait for the whole map if the map held the pool's threads.
QThreadPool *MapThreads() {
    static QPointer<QThreadPool> pool;
    if (pool == nullptr) {
        pool = new QThreadPool(QCoreApplication::instance());
        // One thread more than the cores: the job's own waits while the
        // others compute the rows.
        pool->setMaxThreadCount(QThread::idealThreadCount() + 1);
    }
    return pool;
}

// The widest map that the view shows whole, but never too small to read.
int FittingWidth(const QSize &view, Criterion criterion, const MapRegion &region) {
    const int width = view.width() - 2;
    const double tall = double(MapPictureHeight(width, criterion, region)) / (view.height() - 2);
    return std::max(MinimumMapWidth, int(width / std::max(1.0, tall)));
}

const std::vector<ShoreLine> &LinesOf(const MapJob &job) {
    static const std::vector<ShoreLine> none;
    return job.shores ? job.shores->shores.lines : none;
}

// What could not be had for the map: the Earth's picture, the coastlines.
QString ProblemsOf(const MapJob &job) {
    QStringList problems;
    for (const QString &problem :
         {job.earth.problem, job.shores ? job.shores->shores.problem : QString()}) {
        if (!problem.isEmpty()) {
            problems.append(problem);
        }
    }
    return problems.join(u' ');
}

} // namespace

MapRegion RegionOf(MapView view, const MapMark &mark) {
    switch (view) {
    case MapView::World:
        break;
    case MapView::AroundPlace:
        return RegionAround(mark.latitude, mark.longitude);
    case MapView::Europe:
        return EuropeRegion();
    }
    return {};
}

double StepOf(MapView view) {
    switch (view) {
    case MapView::World:
        break;
    case MapView::AroundPlace:
        return 0.1;
    case MapView::Europe:
        return 0.25;
    }
    return 1.0;
}

MapOutcome DrawMapJob(MapJob job) {
    if (!job.earthTried) {
        job.earth = LoadEarthTexture(EarthTexturePath());
        job.earthTried = true;
    }
    const MapRegion region = RegionOf(job.view, job.mark);
    const double step = StepOf(job.view);
    if (!job.cells || job.cells->date != job.date || job.cells->direction != job.direction ||
        job.cells->step != step || !(job.cellsRegion == region)) {
        job.cells = std::make_shared<const VisibilityMap>(
            ComputeVisibilityMap(job.date, region, step, MapThreads(), job.direction));
        job.cellsRegion = region;
    }
    if (region.isWorld()) {
        job.shores.reset();
    } else if (!job.shores || !(job.shores->region == job.cells->region())) {
        job.shores = std::make_shared<const RegionShores>(RegionShores{
            job.cells->region(), ReadShorelines(ShorelineFolder(), job.cells->region())});
    }
    QImage picture = RenderVisibilityMap(*job.cells, job.criterion, job.earth.image, job.width,
                                         job.mark, LinesOf(job), job.clockDate);
    return {std::move(job), std::move(picture)};
}

MapPanel::MapPanel(QWidget *parent) : QWidget(parent) {
    setObjectName(QStringLiteral("mapPanel"));
    criterion_ = new QComboBox(this);
    criterion_->setObjectName(QStringLiteral("criterionBox"));
    criterion_->addItem(QStringLiteral("Yallop"), int(Criterion::Yallop));
    criterion_->addItem(QStringLiteral("Odeh"), int(Criterion::Odeh));
    view_ = new QComboBox(this);
    view_->setObjectName(QStringLiteral("viewBox"));
    view_->addItem(QStringLiteral("Az egész világ"), int(MapView::World));
    view_->addItem(QStringLiteral("A hely környéke"), int(MapView::AroundPlace));
    view_->addItem(QStringLiteral("Európa"), int(MapView::Europe));
    view_->setAccessibleName(QStringLiteral("Nagyítás"));
    auto *viewCaption = new QLabel(QStringLiteral("Na&gyítás:"), this);
    viewCaption->setObjectName(QStringLiteral("viewCaption"));
    viewCaption->setBuddy(view_);
    auto *caption = new QLabel(QStringLiteral("&Feltétel:"), this);
    caption->setObjectName(QStringLiteral("criterionCaption"));
    caption->setBuddy(criterion_);
    criterion_->setAccessibleName(QStringLiteral("Feltétel"));
    progress_ = new QProgressBar(this);
    progress_->setObjectName(QStringLiteral("mapProgress"));
    progress_->setRange(0, 0); // busy: the computation tells no share done
    progress_->setMaximumWidth(160);
    progress_->setAccessibleName(QStringLiteral("A térkép készül"));
    progress_->hide();
    status_ = new QLabel(this);
    status_->setObjectName(QStringLiteral("mapStatus"));
    map_ = new QLabel(this);
    map_->setObjectName(QStringLiteral("worldMap"));
    map_->setAccessibleName(QStringLiteral("Térkép"));
    map_->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    scroll_ = new QScrollArea(this);
    scroll_->setWidget(map_);
    scroll_->setWidgetResizable(true);
    scroll_->setFocusPolicy(Qt::NoFocus);

    auto *controls = new QHBoxLayout;
    controls->addWidget(caption);
    controls->addWidget(criterion_);
    controls->addWidget(viewCaption);
    controls->addWidget(view_);
    controls->addWidget(progress_);
    controls->addWidget(status_, 1);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 6, 0, 0);
    layout->addLayout(controls);
    layout->addWidget(scroll_, 1);

    connect(criterion_, &QComboBox::currentIndexChanged, this, [this] {
        wanted_.criterion = Criterion(criterion_->currentData().toInt());
        request();
    });
    connect(view_, &QComboBox::currentIndexChanged, this, [this] {
        wanted_.view = MapView(view_->currentData().toInt());
        request();
    });
    connect(&watcher_, &QFutureWatcher<MapOutcome>::finished, this, &MapPanel::finish);
}

void MapPanel::showEvening(const QDate &date, const QDate &clockDate, Direction direction,
                           const MapMark &mark) {
    wanted_.date = date;
    wanted_.clockDate = clockDate;
    wanted_.direction = direction;
    wanted_.mark = mark;
    request();
}

void MapPanel::showEvent(QShowEvent *event) {
    QWidget::showEvent(event);
    request();
}

bool MapPanel::showsWanted() const {
    return !map_->pixmap().isNull() && SameMap(shown_, wanted_);
}

// One drawing at a time; whatever was asked for meanwhile follows it.
void MapPanel::request() {
    if (!isVisible() || !wanted_.date.isValid() || watcher_.isRunning() || showsWanted()) {
        return;
    }
    MapJob job = wanted_;
    job.width =
        FittingWidth(scroll_->viewport()->size(), job.criterion, RegionOf(job.view, job.mark));
    job.cells = shown_.cells;
    job.cellsRegion = shown_.cellsRegion;
    job.shores = shown_.shores;
    job.earth = shown_.earth;
    job.earthTried = shown_.earthTried;
    progress_->show();
    status_->setText(MapInProgressText());
    watcher_.setFuture(QtConcurrent::run(MapThreads(), DrawMapJob, std::move(job)));
}

void MapPanel::finish() {
    const MapOutcome outcome = watcher_.result();
    shown_ = outcome.job;
    map_->setPixmap(QPixmap::fromImage(outcome.picture));
    map_->setAccessibleDescription(MapDescription(shown_));
    progress_->hide();
    status_->setText(ProblemsOf(shown_));
    if (showsWanted()) {
        emit drawn();
    } else {
        request();
    }
}

QImage MapPanel::picture() const {
    if (!shown_.cells || map_->pixmap().isNull()) {
        return {};
    }
    return RenderVisibilityMap(*shown_.cells, shown_.criterion, shown_.earth.image, DefaultMapWidth,
                               shown_.mark, LinesOf(shown_), shown_.clockDate);
}

} // namespace lunex
