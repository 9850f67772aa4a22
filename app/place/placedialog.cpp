#include "app/place/placedialog.h"

#include "clock/civiltime.h"
#include "look/colours.h"
#include "look/look.h"
#include "lunar/places.h"
#include "messages/messages.h"
#include "store/codepage.h"
#include "store/fileio.h"
#include "store/horizonfile.h"
#include "store/paths.h"
#include "texts/placereader.h"

#include <QBoxLayout>
#include <QComboBox>
#include <QCompleter>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QFormLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>

namespace lunex {
namespace {

using look::Face;

QLineEdit *AddField(QWidget *parent, const char *name, const QString &accessibleName) {
    auto *field = new QLineEdit(parent);
    field->setObjectName(QString::fromLatin1(name));
    field->setAccessibleName(accessibleName);
    // A name or a coordinate; nothing longer belongs in a line of hely.txt.
    field->setMaxLength(int(PlaceNameLimit));
    look::StyleLightField(field);
    return field;
}

// "Bécs (Vienna, Wien)": the names it is found by.
QString ListText(const NamedPlace &p) {
    QStringList aliases;
    for (const QStringView alias : p.aliases) {
        if (!alias.isEmpty()) {
            aliases << alias.toString();
        }
    }
    return aliases.isEmpty() ? p.name.toString()
                             : QStringLiteral("%1 (%2)").arg(p.name, aliases.join(u", "));
}

// The zone the dialog shows for a place: its own, or for a place on the
// system's clock the system's zone, when the database names it.
QString ShownZone(const ObserverPlace &place) {
    if (!place.zone.isEmpty()) {
        return place.zone;
    }
    const QString system = QString::fromUtf8(SystemZone().id());
    return NamedZone(system) ? system : QString();
}

// The skyline as the field shows it: "250;2 | 260;6,5 | 280;1", the user's
// decimal separator, which the ';' between the two keeps apart.
QString SkylineFieldText(const HorizonProfile &skyline) {
    QLocale locale;
    locale.setNumberOptions(QLocale::OmitGroupSeparator);
    QStringList pairs;
    for (const SkylinePoint &p : skyline.points()) {
        pairs << QStringLiteral("%1;%2").arg(
            locale.toString(p.azimuth, 'f', QLocale::FloatingPointShortest),
            locale.toString(p.altitude, 'f', QLocale::FloatingPointShortest));
    }
    return pairs.join(QStringLiteral(" | "));
}

} // namespace

PlaceDialog::PlaceDialog(const AppDirs &dirs, const ObserverPlace &current, QWidget *parent)
    : QDialog(parent), dataDir_(dirs.data) {
    setObjectName(QStringLiteral("placeDialog"));
    setWindowTitle(QStringLiteral("Megfigyelési hely"));
    setWindowIcon(look::AppIcon());
    setFont(look::Font(Face::Arial, 10));
    look::SetColours(this, look::LightCyan, look::ClassicWindowText);
    buildFields();
    showPlaces({});
    fill(current);
    // What the file holds decides whether OK writes it; what goes with the
    // place is shown.
    storedSkyline_ = LoadHorizon(dataDir_).skyline;
    showSkyline(LoadStoredPlaceHorizon(dataDir_).skyline);
    skylineSite_ = typedSite();
    for (int row = 0; row < places_->count(); ++row) {
        if (places_->item(row)->data(Qt::UserRole).toString() == current.name) {
            const QSignalBlocker quiet(places_);
            places_->setCurrentRow(row);
            places_->scrollToItem(places_->item(row), QAbstractItemView::PositionAtCenter);
        }
    }
    search_->setFocus();
}

void PlaceDialog::buildFields() {
    auto *layout = new QVBoxLayout(this);
    buildSearch(layout);
    buildForm(layout);
    buildButtons(layout);
}

void PlaceDialog::buildSearch(QVBoxLayout *layout) {
    search_ = AddField(this, "placeSearch", QStringLiteral("Keresés a beépített helyek között"));
    search_->setPlaceholderText(QStringLiteral("Keresés, például szekesfehervar"));
    search_->installEventFilter(this);
    places_ = new QListWidget(this);
    places_->setObjectName(QStringLiteral("placeList"));
    places_->setAccessibleName(QStringLiteral("Beépített helyek"));
    places_->setSelectionMode(QAbstractItemView::SingleSelection);
    look::StyleLightField(places_);
    auto *caption = new QLabel(QStringLiteral("&Beépített helyek:"), this);
    caption->setBuddy(search_);
    layout->addWidget(caption);
    layout->addWidget(search_);
    layout->addWidget(places_);
    connect(search_, &QLineEdit::textChanged, this, &PlaceDialog::showPlaces);
    connect(places_, &QListWidget::itemSelectionChanged, this, [this] {
        const QList<QListWidgetItem *> picked = places_->selectedItems();
        const auto place =
            picked.isEmpty() ? std::nullopt : FindPlace(picked[0]->data(Qt::UserRole).toString());
        if (place) {
            fill({place->name.toString(), place->place, place->zone.toString()});
            keepSkylineToItsSite();
        }
    });
}

void PlaceDialog::buildForm(QVBoxLayout *layout) {
    auto *form = new QFormLayout;
    name_ = AddField(this, "placeName", QStringLiteral("Név"));
    latitude_ = AddField(this, "latitude", QStringLiteral("Földrajzi szélesség"));
    longitude_ = AddField(this, "longitude", QStringLiteral("Földrajzi hosszúság"));
    elevation_ = AddField(this, "elevation", QStringLiteral("Tengerszint feletti magasság"));
    form->addRow(QStringLiteral("&Név:"), name_);
    form->addRow(QStringLiteral("Földrajzi &szélesség:"), latitude_);
    form->addRow(QStringLiteral("Földrajzi &hosszúság:"), longitude_);
    form->addRow(QStringLiteral("&Magasság (méter):"), elevation_);
    // Hundreds of names: typing any part of one finds it.
    zone_ = new QComboBox(this);
    zone_->setObjectName(QStringLiteral("zoneList"));
    zone_->setAccessibleName(QStringLiteral("Időzóna"));
    zone_->setEditable(true);
    zone_->lineEdit()->setObjectName(QStringLiteral("zone"));
    zone_->lineEdit()->setAccessibleName(zone_->accessibleName());
    zone_->setInsertPolicy(QComboBox::NoInsert);
    zone_->addItems(ZoneNames());
    zone_->completer()->setFilterMode(Qt::MatchContains);
    zone_->completer()->setCaseSensitivity(Qt::CaseInsensitive);
    zone_->completer()->setCompletionMode(QCompleter::PopupCompletion);
    look::StyleLightField(zone_);
    form->addRow(QStringLiteral("&Időzóna:"), zone_);
    buildSkyline(form);
    layout->addLayout(form);
    auto *hint = new QLabel(CoordinateFormsHint(QLocale()), this);
    hint->setWordWrap(true);
    for (QLineEdit *field : {latitude_, longitude_, elevation_}) {
        field->setAccessibleDescription(hint->text());
        connect(field, &QLineEdit::textEdited, this, &PlaceDialog::keepSkylineToItsSite);
    }
    layout->addWidget(hint);
    layout->addWidget(horizonHint_);
}

void PlaceDialog::buildSkyline(QFormLayout *form) {
    form_ = form;
    horizon_ = AddField(this, "horizon", QStringLiteral("Helyi horizont"));
    // A measured skyline runs to hundreds of points, far beyond a name; the
    // stored file's whole, never cut.
    horizon_->setMaxLength(int(2 * SingleValueFileLimit));
    horizon_->setPlaceholderText(QStringLiteral("sík (például 250;2 | 260;6 | 280;1)"));
    auto *fromFile = new QPushButton(QStringLiteral("Betöltés fá&jlból…"), this);
    fromFile->setObjectName(QStringLiteral("horizonFileButton"));
    look::StyleButton(fromFile, look::PaleGreen, look::Font(Face::Arial, 10), look::Black);
    horizonRow_ = new QWidget(this);
    horizonRow_->setFocusProxy(horizon_);
    auto *row = new QHBoxLayout(horizonRow_);
    row->setContentsMargins(0, 0, 0, 0);
    row->addWidget(horizon_, 1);
    row->addWidget(fromFile);
    // The row takes no focus itself: the caption leads to the field.
    auto *caption = new QLabel(QStringLiteral("Helyi hori&zont:"), this);
    caption->setBuddy(horizon_);
    form->addRow(caption, horizonRow_);
    horizonHint_ = new QLabel(SkylineFormsHint(), this);
    horizonHint_->setObjectName(QStringLiteral("horizonHint"));
    horizonHint_->setWordWrap(true);
    horizon_->setAccessibleDescription(horizonHint_->text());
    horizon_->setToolTip(horizonHint_->text());
    // What is typed there is the skyline seen from the coordinates in the fields.
    connect(horizon_, &QLineEdit::textEdited, this, [this] { skylineSite_ = typedSite(); });
    connect(fromFile, &QPushButton::clicked, this, &PlaceDialog::chooseHorizonFile);
}

void PlaceDialog::keepUnsaved() {
    storing_ = false;
    form_->setRowVisible(horizonRow_, false);
    horizonHint_->hide();
}

void PlaceDialog::buildButtons(QVBoxLayout *layout) {
    auto *buttons = new QHBoxLayout;
    const QFont font = look::Font(Face::ArialNarrow, 11, true);
    auto *ok = new QPushButton(QStringLiteral("OK"), this);
    auto *cancel = new QPushButton(QStringLiteral("Mégse"), this);
    ok->setObjectName(QStringLiteral("placeOk"));
    cancel->setObjectName(QStringLiteral("placeCancel"));
    for (QPushButton *button : {ok, cancel}) {
        look::StyleButton(button, look::PaleGreen, font, look::Black);
        button->setMinimumWidth(90);
    }
    ok->setDefault(true);
    buttons->addStretch();
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    layout->addLayout(buttons);
    connect(ok, &QPushButton::clicked, this, &PlaceDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &PlaceDialog::reject);
}

void PlaceDialog::showPlaces(const QString &typed) {
    // Only a pick fills the fields: a list that changes under the search
    // leaves what was typed there alone.
    const QSignalBlocker quiet(places_);
    places_->clear();
    for (const NamedPlace &p : SearchPlaces(typed)) {
        auto *item = new QListWidgetItem(ListText(p), places_);
        item->setData(Qt::UserRole, p.name.toString());
    }
}

void PlaceDialog::fill(const ObserverPlace &place) {
    const QLocale locale;
    name_->setText(place.name);
    latitude_->setText(CoordinateText(place.place.latitude, Axis::Latitude, locale));
    longitude_->setText(CoordinateText(place.place.longitude, Axis::Longitude, locale));
    elevation_->setText(ElevationText(place.place.elevation, locale));
    zone_->setCurrentText(ShownZone(place));
    for (QLineEdit *field : {name_, latitude_, longitude_, elevation_}) {
        field->setCursorPosition(0);
    }
}

void PlaceDialog::showSkyline(const HorizonProfile &skyline) {
    horizon_->setText(SkylineFieldText(skyline));
    horizon_->setCursorPosition(0);
}

// The coordinates in the fields, when they can be read.
std::optional<Place> PlaceDialog::typedSite() const {
    const QLocale locale;
    const auto latitude = ReadCoordinate(latitude_->text(), Axis::Latitude, locale);
    const auto longitude = ReadCoordinate(longitude_->text(), Axis::Longitude, locale);
    if (!latitude || !longitude) {
        return std::nullopt;
    }
    return Place{*latitude, *longitude, 0};
}

// A skyline belongs to the spot it was measured from: other coordinates,
// typed or picked, empty the field rather than keep hills that are not there.
void PlaceDialog::keepSkylineToItsSite() {
    if (horizon_->text().trimmed().isEmpty()) {
        return;
    }
    const std::optional<Place> site = typedSite();
    // A hundredth of an arc second: what the fields' forms can tell apart.
    constexpr double Same = 1e-6;
    const bool same = site && skylineSite_ &&
                      std::abs(site->latitude - skylineSite_->latitude) < Same &&
                      std::abs(site->longitude - skylineSite_->longitude) < Same;
    if (!same) {
        horizon_->clear();
    }
}

void PlaceDialog::chooseHorizonFile() {
    const QString path = QFileDialog::getOpenFileName(
        this, QStringLiteral("Horizont betöltése"), QDir::homePath(),
        QStringLiteral("Horizontlista (*.txt *.hzn *.dat *.csv);;Minden fájl (*)"));
    if (!path.isEmpty()) {
        loadHorizonFile(path);
    }
}

bool PlaceDialog::loadHorizonFile(const QString &path) {
    const ReadResult read = ReadAllBytes(path);
    if (!read.bytes) {
        look::ShowMessageBox(this, UserFileReadFailureMessage(path, read.problem),
                             QMessageBox::Warning);
        return false;
    }
    const HorizonReading reading = ReadHorizonList(DecodeTextFile(*read.bytes));
    const QString name = QFileInfo(path).fileName();
    if (reading.profile.isFlat()) {
        look::ShowMessageBox(this, HorizonFileEmptyMessage(name), QMessageBox::Warning);
        return false;
    }
    showSkyline(reading.profile);
    skylineSite_ = typedSite();
    if (!reading.badLines.isEmpty()) {
        look::ShowMessageBox(this, HorizonBadLinesMessage(name, reading.badLines),
                             QMessageBox::Warning);
    }
    return true;
}

bool PlaceDialog::eventFilter(QObject *watched, QEvent *event) {
    // Enter in the search picks the first place found, rather than closing
    // the dialog with whatever the fields held.
    if (watched == search_ && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            if (places_->count() > 0) {
                places_->setCurrentRow(0);
                places_->setFocus();
            }
            return true;
        }
        // Down goes on into the results, to the place picked there or the first.
        if (key == Qt::Key_Down && places_->count() > 0) {
            if (places_->currentRow() < 0) {
                places_->setCurrentRow(0);
            }
            places_->setFocus();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

std::optional<ObserverPlace> PlaceDialog::typedPlace() {
    const QLocale locale;
    const QString name = name_->text().simplified();
    const auto latitude = ReadCoordinate(latitude_->text(), Axis::Latitude, locale);
    const auto longitude = ReadCoordinate(longitude_->text(), Axis::Longitude, locale);
    // No height given is sea level, as on the command line.
    const auto elevation = elevation_->text().trimmed().isEmpty()
                               ? std::optional(0.0)
                               : ReadElevation(elevation_->text(), locale);
    // No zone chosen keeps the place on the system's clock.
    const QString zone = zone_->currentText().trimmed();
    // A log entry's place has no skyline to refuse.
    const QList<int> badSkyline =
        storing_ ? ReadHorizonList(horizon_->text()).badLines : QList<int>{};
    const std::pair<QLineEdit *, QString> refusals[] = {
        {name_, IsBlankPlaceName(name) ? PlaceNameMissingMessage : QString()},
        {latitude_, latitude ? QString() : InvalidLatitudeMessage(locale)},
        {longitude_, longitude ? QString() : InvalidLongitudeMessage(locale)},
        {elevation_, elevation ? QString() : InvalidElevationMessage()},
        {zone_->lineEdit(), zone.isEmpty() || NamedZone(zone) ? QString() : UnknownZoneNameMessage},
        {horizon_, badSkyline.isEmpty() ? QString() : InvalidSkylineMessage(badSkyline)},
    };
    for (const auto &[field, message] : refusals) {
        if (!message.isEmpty()) {
            look::ShowMessageBox(this, message, QMessageBox::Warning);
            field->setFocus();
            field->selectAll();
            return std::nullopt;
        }
    }
    return ObserverPlace{name, {*latitude, *longitude, *elevation}, zone};
}

void PlaceDialog::accept() {
    const std::optional<ObserverPlace> place = typedPlace();
    if (!place) {
        return;
    }
    if (!storing_) {
        saved_ = place;
        QDialog::accept();
        return;
    }
    const FileProblem problem = SaveObserverPlace(dataDir_, *place);
    if (problem != FileProblem::None) {
        look::ShowMessageBox(this, WriteFailureMessage(FileNameOf(PlaceFile), problem),
                             QMessageBox::Critical);
        return;
    }
    // The name as the file keeps it, so that this run and the next agree.
    const PlaceReading stored = LoadObserverPlace(dataDir_);
    saved_ = stored.unreadable ? *place : stored.place;
    if (saveSkyline(ReadHorizonList(horizon_->text()).profile)) {
        QDialog::accept();
    }
}

// Only a skyline that changed is written; a failure keeps the dialog open
// with it, the place already stored.
bool PlaceDialog::saveSkyline(const HorizonProfile &skyline) {
    if (skyline == storedSkyline_) {
        return true;
    }
    const FileProblem problem = SaveHorizon(dataDir_, skyline);
    if (problem != FileProblem::None) {
        look::ShowMessageBox(this, WriteFailureMessage(FileNameOf(HorizonFile), problem),
                             QMessageBox::Critical);
        return false;
    }
    storedSkyline_ = skyline;
    return true;
}

std::optional<ObserverPlace> ChooseObserverPlace(QWidget *parent, const AppDirs &dirs,
                                                 const ObserverPlace &current) {
    PlaceDialog dialog(dirs, current, parent);
    dialog.exec();
    return dialog.saved();
}

} // namespace lunex
