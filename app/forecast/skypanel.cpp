#include "app/forecast/skypanel.h"

#include "look/colours.h"
#include "look/look.h"
#include "messages/crescenttexts.h"

#include <QBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QSlider>

#include <algorithm>
#include <cmath>

namespace lunex {
namespace {

constexpr double MinutesPerDay = 1440;

// What a screen reader says of the drawing: its caption's lines.
QString Spoken(const SkyView &view) {
    QStringList lines{view.caption, view.twilightLabel, view.skylineLabel};
    lines.removeAll(QString());
    return lines.join(QStringLiteral(" · "));
}

} // namespace

SkyChartWidget::SkyChartWidget(QWidget *parent) : QWidget(parent) {
    setObjectName(QStringLiteral("skyChart"));
    setAccessibleName(QStringLiteral("Hova nézzünk"));
    setMinimumSize(480, 200);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
}

void SkyChartWidget::showView(const SkyView *view, const QString &why) {
    view_ = view;
    why_ = why;
    setAccessibleDescription(view ? Spoken(*view) : why);
    update();
}

void SkyChartWidget::paintEvent(QPaintEvent *) {
    QPainter painter(this);
    if (view_ != nullptr) {
        PaintSkyChart(painter, size(), *view_);
        return;
    }
    painter.fillRect(rect(), look::Black);
    painter.setPen(look::White);
    painter.setFont(look::Font(look::Face::Arial, 11));
    painter.drawText(rect().adjusted(20, 20, -20, -20), Qt::AlignCenter | Qt::TextWordWrap, why_);
}

SkyPanel::SkyPanel(QWidget *parent) : QWidget(parent) {
    setObjectName(QStringLiteral("skyPanel"));
    chart_ = new SkyChartWidget(this);
    slider_ = new QSlider(Qt::Horizontal, this);
    slider_->setObjectName(QStringLiteral("momentSlider"));
    slider_->setAccessibleName(QStringLiteral("Időpont napnyugta és holdnyugta között"));
    slider_->setPageStep(10);
    momentLabel_ = new QLabel(this);
    momentLabel_->setObjectName(QStringLiteral("momentLabel"));
    momentLabel_->setMinimumWidth(60);
    auto *caption = new QLabel(QStringLiteral("&Időpont:"), this);
    caption->setObjectName(QStringLiteral("momentCaption"));
    caption->setBuddy(slider_);
    bestTimeButton_ = look::AddButton(this, "bestTimeButton", QStringLiteral("&Legjobb időpont"),
                                      {}, look::PaleGreen, look::Font(look::Face::Arial, 10, true));

    auto *moment = new QHBoxLayout;
    moment->addWidget(caption);
    moment->addWidget(slider_, 1);
    moment->addWidget(momentLabel_);
    moment->addWidget(bestTimeButton_);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 6, 0, 0);
    layout->addWidget(chart_, 1);
    layout->addLayout(moment);

    connect(slider_, &QSlider::valueChanged, this, &SkyPanel::moveMoment);
    connect(bestTimeButton_, &QPushButton::clicked, this,
            [this] { slider_->setValue(bestMinute_); });
}

void SkyPanel::showEvening(const QString &placeName, const Place &place, const Evening &evening,
                           const QTimeZone &zone, const QLocale &locale,
                           const HorizonProfile &skyline) {
    const CrescentSighting &s = evening.sighting;
    zone_ = zone;
    locale_ = locale;
    const QSignalBlocker quiet(slider_);
    view_ = DaySkyView(placeName, place, evening, zone, locale);
    if (!view_) {
        chart_->showView(nullptr, CrescentStatusText(s.status, evening.direction));
        slider_->setRange(0, 0);
        momentLabel_->clear();
        slider_->setEnabled(false);
        bestTimeButton_->setEnabled(false);
        return;
    }
    SetSkyline(*view_, skyline, evening.skyline, zone, locale);
    // The slider runs forwards in time: in the morning from moonrise to
    // sunrise, the drawing's frame and first moment that of sunrise.
    startJd_ = view_->fromJd;
    const int span = int(std::max(0.0, std::floor((view_->toJd - startJd_) * MinutesPerDay)));
    bestJd_ = s.bestTime;
    bestMinute_ = s.bestTime ? int(std::lround((*s.bestTime - startJd_) * MinutesPerDay))
                             : (evening.isMorning() ? span : 0);
    // A Moon that does not set (rise) that day bounds no span: the hours
    // after sunset (before sunrise) are shown instead.
    const bool moonCrosses = s.moonEvent.has_value();
    slider_->setAccessibleName(
        evening.isMorning()
            ? (moonCrosses ? QStringLiteral("Időpont holdkelte és napkelte között")
                           : QStringLiteral("Időpont napkelte előtt"))
            : (moonCrosses ? QStringLiteral("Időpont napnyugta és holdnyugta között")
                           : QStringLiteral("Időpont napnyugta után")));
    slider_->setRange(0, span);
    slider_->setValue(bestMinute_);
    slider_->setEnabled(span > 0);
    bestTimeButton_->setEnabled(s.bestTime.has_value());
    moveMoment(bestMinute_);
}

void SkyPanel::moveMoment(int minutes) {
    if (!view_) {
        return;
    }
    // The best time itself, not the minute after sunset nearest to it.
    const double jd =
        minutes == bestMinute_ && bestJd_ ? *bestJd_ : startJd_ + minutes / MinutesPerDay;
    SetSkyMoment(*view_, jd, zone_, locale_);
    const QString clock =
        locale_.toString(MinuteOf(jd).toTimeZone(zone_).time(), QLocale::ShortFormat);
    momentLabel_->setText(clock);
    slider_->setAccessibleDescription(Spoken(*view_));
    chart_->showView(&*view_);
}

QImage SkyPanel::picture(const QSize &size) const {
    return view_ ? RenderSkyChart(*view_, size) : QImage();
}

} // namespace lunex
