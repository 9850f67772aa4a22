#pragma once

#include "charts/skychart.h"
#include "lunar/evenings.h"

#include <QImage>
#include <QLocale>
#include <QTimeZone>
#include <QWidget>

#include <optional>

class QLabel;
class QPushButton;
class QSlider;

namespace lunex {

// The drawing of where to look on one evening, as a widget.
class SkyChartWidget : public QWidget {
    Q_OBJECT
public:
    explicit SkyChartWidget(QWidget *parent = nullptr);
    // Without a view it shows `why` instead.
    void showView(const SkyView *view, const QString &why = {});
    QSize sizeHint() const override { return {900, 360}; }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    const SkyView *view_ = nullptr;
    QString why_;
};

// "Hova nézzünk?": the drawing of the selected evening (morning) and the
// moment it shows, from sunset to moonset (moonrise to sunrise) by the
// minute, the best time at first.
class SkyPanel : public QWidget {
    Q_OBJECT
public:
    explicit SkyPanel(QWidget *parent = nullptr);
    // With the place's skyline, when it has one.
    void showEvening(const QString &placeName, const Place &place, const Evening &evening,
                     const QTimeZone &zone, const QLocale &locale,
                     const HorizonProfile &skyline = {});
    // The drawing as a picture, for saving; null when there is nothing drawn.
    QImage picture(const QSize &size) const;
    const std::optional<SkyView> &view() const { return view_; }
    QSlider *momentSlider() const { return slider_; }

private:
    void moveMoment(int minutes);

    std::optional<SkyView> view_;
    double startJd_ = 0; // the slider's first minute
    std::optional<double> bestJd_;
    int bestMinute_ = 0;
    QTimeZone zone_;
    QLocale locale_;
    SkyChartWidget *chart_;
    QSlider *slider_;
    QLabel *momentLabel_;
    QPushButton *bestTimeButton_;
};

} // namespace lunex
