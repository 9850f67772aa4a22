#include "app/log/entrydialog.h"

#include "app/place/placedialog.h"
#include "clock/civiltime.h"
#include "look/look.h"
#include "messages/crescenttexts.h"
#include "messages/logtexts.h"
#include "texts/eveningtexts.h"
#include "texts/placetext.h"

#include <QBoxLayout>
#include <QComboBox>
#include <QDateTimeEdit>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>

#include <algorithm>
#include <cstdlib>

namespace lunex {
namespace {

template <std::size_t N>
QComboBox *ChoiceBox(QWidget *parent, const char *name, const std::array<QStringView, N> &names,
                     int current) {
    auto *box = new QComboBox(parent);
    box->setObjectName(QLatin1String(name));
    for (const QStringView text : names) {
        box->addItem(text.toString());
    }
    box->setCurrentIndex(current);
    return box;
}

// A caption whose underlined letter leads to its field: QFormLayout gives a
// caption a buddy only in a row of a single field, and one without shows its
// '&' as it stands.
QLabel *Caption(QWidget *parent, const QString &text, QWidget *field) {
    auto *label = new QLabel(text, parent);
    label->setBuddy(field);
    return label;
}

} // namespace

QString PredictionAge(const SightingPrediction &p, const QLocale &locale) {
    LunarAge age;
    age.totalMinutes = std::abs(p.ageMinutes);
    age.totalHours = age.totalMinutes / 60;
    age.minutePart = age.totalMinutes % 60;
    return (p.ageMinutes < 0 ? QStringLiteral("−") : QString()) + CrescentAgeText(age, locale);
}

QString PredictionSummary(const SightingPrediction &p, SightingMoment moment,
                          const QLocale &locale) {
    const QString start =
        QStringLiteral("%1, kor %2 · Hold: %3°, %4°")
            .arg(p.direction == Direction::Evening ? QStringLiteral("este")
                                                   : QStringLiteral("reggel"),
                 PredictionAge(p, locale), locale.toString(p.moon.altitude, 'f', 1),
                 locale.toString(p.moon.azimuth, 'f', 1));
    if (moment != SightingMoment::Crescent) {
        return start + QStringLiteral(" · ") +
               (moment == SightingMoment::MoonBelowHorizon ? MoonBelowHorizonText()
                                                           : NoCrescentDayText(p.direction));
    }
    return start + QStringLiteral(" · q = %1 (Yallop %2) · V = %3 (Odeh %4)")
                       .arg(locale.toString(p.q, 'f', 3))
                       .arg(ClassLetter(p.yallop))
                       .arg(locale.toString(p.v, 'f', 2))
                       .arg(ClassLetter(p.odeh));
}

EntryDialog::EntryDialog(const AppDirs &dirs, const LogEntry &entry, QWidget *parent)
    : QDialog(parent), dirs_(dirs), entry_(entry), zone_(entry.moment.timeZone()) {
    setObjectName(QStringLiteral("entryDialog"));
    setWindowTitle(QStringLiteral("Megfigyelés"));
    setWindowIcon(look::AppIcon());

    QPushButton *placeButton = createFields(entry);
    QFormLayout *form = fieldsForm(placeButton);

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("OK"));
    buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("Mégse"));
    connect(buttons, &QDialogButtonBox::accepted, this, &EntryDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &EntryDialog::reject);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(buttons);

    connect(placeButton, &QPushButton::clicked, this, &EntryDialog::choosePlace);
    connect(moment_, &QDateTimeEdit::dateTimeChanged, this, &EntryDialog::showPrediction);
    showPlace();
    showPrediction();
    resize(640, sizeHint().height());
}

// The fields in the order Tab visits them; the place's button among them.
QPushButton *EntryDialog::createFields(const LogEntry &entry) {
    moment_ = new QDateTimeEdit(this);
    moment_->setObjectName(QStringLiteral("moment"));
    moment_->setDisplayFormat(QStringLiteral("yyyy.MM.dd. HH:mm"));
    moment_->setCalendarPopup(true);
    moment_->setDateRange(QDate(LogFirstYear, 1, 1), QDate(LogLastYear, 12, 31));
    moment_->setDateTime(
        QDateTime(entry.moment.toTimeZone(zone_).date(), entry.moment.toTimeZone(zone_).time()));
    zoneText_ = new QLabel(QString::fromLatin1(zone_.id()), this);
    placeText_ = new QLabel(this);
    placeText_->setObjectName(QStringLiteral("placeText"));
    auto *placeButton = new QPushButton(QStringLiteral("&Hely…"), this);
    placeButton->setObjectName(QStringLiteral("placeButton"));
    placeButton->setAccessibleName(QStringLiteral("Megfigyelési hely"));
    result_ = ChoiceBox(this, "result", SightingResultNames, int(entry.result));
    aid_ = ChoiceBox(this, "aid", OpticalAidNames, int(entry.aid));
    aidText_ = new QLineEdit(entry.aidText, this);
    aidText_->setObjectName(QStringLiteral("aidText"));
    aidText_->setMaxLength(int(std::max(LogTextLimit, entry.aidText.size())));
    aidText_->setPlaceholderText(QStringLiteral("például 10×50"));
    aidText_->setAccessibleName(QStringLiteral("Az eszköz leírása"));
    sky_ = ChoiceBox(this, "sky", SkyConditionNames, int(entry.sky));
    transparency_ = new QComboBox(this);
    transparency_->setObjectName(QStringLiteral("transparency"));
    transparency_->setAccessibleName(QStringLiteral("Átlátszóság"));
    transparency_->addItem(QStringLiteral("–"));
    for (int grade = TransparencyBest; grade <= TransparencyWorst; ++grade) {
        transparency_->addItem(grade == TransparencyBest    ? QStringLiteral("1 (kiváló)")
                               : grade == TransparencyWorst ? QStringLiteral("5 (rossz)")
                                                            : QString::number(grade));
    }
    transparency_->setCurrentIndex(entry.transparency ? *entry.transparency : 0);
    observer_ = new QLineEdit(entry.observer, this);
    observer_->setObjectName(QStringLiteral("observer"));
    // A longer text of an older file is kept as it stands.
    observer_->setMaxLength(int(std::max(LogTextLimit, entry.observer.size())));
    notes_ = new QPlainTextEdit(entry.notes, this);
    notes_->setObjectName(QStringLiteral("notes"));
    notes_->setTabChangesFocus(true);
    notes_->setMinimumHeight(70);
    prediction_ = new QLabel(this);
    prediction_->setObjectName(QStringLiteral("prediction"));
    prediction_->setWordWrap(true);
    return placeButton;
}

QFormLayout *EntryDialog::fieldsForm(QPushButton *placeButton) {
    auto *momentRow = new QHBoxLayout;
    momentRow->addWidget(moment_);
    momentRow->addWidget(zoneText_);
    momentRow->addStretch(1);
    auto *placeRow = new QHBoxLayout;
    placeRow->addWidget(placeText_, 1);
    placeRow->addWidget(placeButton);
    auto *aidRow = new QHBoxLayout;
    aidRow->addWidget(aid_);
    aidRow->addWidget(aidText_, 1);
    auto *skyRow = new QHBoxLayout;
    skyRow->addWidget(sky_);
    skyRow->addWidget(Caption(this, QStringLiteral("Á&tlátszóság:"), transparency_));
    skyRow->addWidget(transparency_);
    skyRow->addStretch(1);

    auto *form = new QFormLayout;
    form->addRow(Caption(this, QStringLiteral("&Időpont:"), moment_), momentRow);
    form->addRow(QStringLiteral("Hely:"), placeRow);
    form->addRow(QStringLiteral("&Eredmény:"), result_);
    form->addRow(Caption(this, QStringLiteral("&Optikai eszköz:"), aid_), aidRow);
    form->addRow(Caption(this, QStringLiteral("É&gbolt:"), sky_), skyRow);
    form->addRow(QStringLiteral("&Megfigyelő:"), observer_);
    form->addRow(QStringLiteral("Megjegy&zés:"), notes_);
    form->addRow(QStringLiteral("Előrejelzés:"), prediction_);
    // The labels name their fields for screen readers too.
    for (int row = 0; row < form->rowCount(); ++row) {
        auto *label = qobject_cast<QLabel *>(form->itemAt(row, QFormLayout::LabelRole)->widget());
        QLayoutItem *field = form->itemAt(row, QFormLayout::FieldRole);
        if (label && field && field->widget()) {
            field->widget()->setAccessibleName(label->text().remove(u'&').chopped(1));
        }
    }
    moment_->setAccessibleName(QStringLiteral("Időpont"));
    aid_->setAccessibleName(QStringLiteral("Optikai eszköz"));
    sky_->setAccessibleName(QStringLiteral("Égbolt"));
    return form;
}

std::optional<QDateTime> EntryDialog::typedMoment() const {
    const QDateTime typed = moment_->dateTime();
    const std::optional<QDateTime> instant =
        LocalDateTime(typed.date(), QTime(typed.time().hour(), typed.time().minute()), zone_);
    return instant ? std::optional(instant->toTimeZone(zone_)) : std::nullopt;
}

void EntryDialog::choosePlace() {
    const QString zone = zone_.isValid() && entry_.moment.timeSpec() == Qt::TimeZone
                             ? QString::fromLatin1(zone_.id())
                             : QString();
    PlaceDialog dialog(dirs_, {entry_.placeName, entry_.place, zone}, this);
    dialog.keepUnsaved();
    if (dialog.exec() == QDialog::Accepted && dialog.saved()) {
        entry_.placeName = dialog.saved()->name;
        entry_.place = dialog.saved()->place;
        // The typed moment is read on the new place's clock.
        zone_ = ZoneOf(*dialog.saved());
        zoneText_->setText(QString::fromLatin1(zone_.id()));
        showPlace();
        showPrediction();
    }
}

void EntryDialog::showPlace() {
    placeText_->setText(
        QStringLiteral("%1 (%2)").arg(entry_.placeName, PlaceText(entry_.place, QLocale())));
}

void EntryDialog::showPrediction() {
    if (const std::optional<QDateTime> moment = typedMoment()) {
        const SightingPrediction p = PredictSighting(entry_.place, *moment);
        prediction_->setText(
            PredictionSummary(p, ClassifySightingMoment(p, entry_.place, *moment), QLocale()));
    } else {
        prediction_->setText(QStringLiteral("–"));
    }
}

void EntryDialog::accept() {
    const std::optional<QDateTime> moment = typedMoment();
    if (!moment) {
        look::ShowMessageBox(this,
                             QStringLiteral("Ez az időpont a helyi órán nem létezik (az "
                                            "óraátállításkor kimaradt). Kérem, adjon meg egy "
                                            "másikat!"),
                             QMessageBox::Warning);
        moment_->setFocus();
        return;
    }
    entry_.moment = *moment;
    entry_.result = SightingResult(result_->currentIndex());
    entry_.aid = OpticalAid(aid_->currentIndex());
    entry_.aidText = aidText_->text();
    entry_.sky = SkyCondition(sky_->currentIndex());
    entry_.transparency = transparency_->currentIndex() > 0
                              ? std::optional(transparency_->currentIndex())
                              : std::nullopt;
    entry_.observer = observer_->text();
    entry_.notes = notes_->toPlainText();
    if (entry_.notes.size() > LogNoteLimit) {
        look::ShowMessageBox(this, LogNoteTooLongMessage(LogNoteLimit, entry_.notes.size()),
                             QMessageBox::Warning);
        notes_->setFocus();
        return;
    }
    entry_ = Predicted(entry_);
    if (saver_ && !saver_(entry_)) {
        return;
    }
    QDialog::accept();
}

} // namespace lunex
