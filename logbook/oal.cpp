#include "logbook/oal.h"

#include "messages/logtexts.h"

#include <QHash>
#include <QSet>
#include <QXmlStreamReader>
#include <QXmlStreamWriter>

#include <cmath>

namespace lunex {
namespace {

const QString Namespace = QStringLiteral("http://groups.google.com/group/openastronomylog");
const QString SchemaInstance = QStringLiteral("http://www.w3.org/2001/XMLSchema-instance");
const QString MoonTarget = QStringLiteral("moon");
const QString SkyPrefix = QStringLiteral("Égbolt: ");
const QString TransparencyPrefix = QStringLiteral(", átlátszóság: ");

// Hungarian names put the family name first: the first word is the surname.
std::pair<QString, QString> SplitName(const QString &observer) {
    const qsizetype blank = observer.indexOf(u' ');
    return blank < 0 ? std::pair(observer, QString())
                     : std::pair(observer.left(blank), observer.mid(blank + 1));
}

QString JoinName(const QString &surname, const QString &name) {
    return name.isEmpty() ? surname : surname.isEmpty() ? name : surname + u' ' + name;
}

QString SiteKey(const LogEntry &e) {
    return QStringLiteral("%1|%2|%3|%4")
        .arg(e.placeName)
        .arg(e.place.latitude, 0, 'g', 17)
        .arg(e.place.longitude, 0, 'g', 17)
        .arg(e.place.elevation, 0, 'g', 17);
}

QString Number(double value) {
    return QString::number(value, 'g', QLocale::FloatingPointShortest);
}

QString AccessoriesText(const LogEntry &e) {
    const QString aid = OpticalAidNames[int(e.aid)].toString();
    return e.aidText.isEmpty() ? aid : aid + QStringLiteral(": ") + e.aidText;
}

QString SkyText(const LogEntry &e) {
    QString text = SkyPrefix + SkyConditionNames[int(e.sky)].toString();
    if (e.transparency) {
        text += TransparencyPrefix + QString::number(*e.transparency);
    }
    return text;
}

// A reader turns a raw CR LF into LF: a typed CR goes as a character
// reference, which QXmlStreamWriter does not write of itself.
void WriteTextElement(QXmlStreamWriter &xml, const QString &element, const QString &text) {
    xml.writeStartElement(element);
    const QStringList parts = text.split(u'\r');
    for (qsizetype i = 0; i < parts.size(); ++i) {
        if (i > 0) {
            xml.writeEntityReference(QStringLiteral("#13"));
        }
        xml.writeCharacters(parts[i]);
    }
    xml.writeEndElement();
}

void WriteResult(QXmlStreamWriter &xml, const QString &description) {
    xml.writeStartElement(QStringLiteral("result"));
    xml.writeAttribute(QStringLiteral("lang"), QStringLiteral("hu"));
    WriteTextElement(xml, QStringLiteral("description"), description);
    xml.writeEndElement();
}

template <std::size_t N>
std::optional<int> IndexOf(const std::array<QStringView, N> &names, QStringView text) {
    for (std::size_t i = 0; i < N; ++i) {
        if (names[i] == text) {
            return int(i);
        }
    }
    return std::nullopt;
}

void ReadAccessories(const QString &text, LogEntry &e) {
    for (int aid = OpticalAidCount - 1; aid >= 0; --aid) {
        const QString name = OpticalAidNames[aid].toString();
        if (text == name) {
            e.aid = OpticalAid(aid);
            return;
        }
        if (text.startsWith(name + QStringLiteral(": "))) {
            e.aid = OpticalAid(aid);
            e.aidText = text.mid(name.size() + 2);
            return;
        }
    }
    // Another program's words: some optical aid, named as it was.
    e.aid = OpticalAid::Telescope;
    e.aidText = text;
}

bool ReadSky(const QString &text, LogEntry &e) {
    if (!text.startsWith(SkyPrefix)) {
        return false;
    }
    const QString rest = text.mid(SkyPrefix.size());
    const qsizetype comma = rest.indexOf(TransparencyPrefix);
    const auto sky = IndexOf(SkyConditionNames, comma < 0 ? rest : rest.left(comma));
    if (!sky) {
        return false;
    }
    e.sky = SkyCondition(*sky);
    if (comma >= 0) {
        bool ok = false;
        const int grade = rest.mid(comma + TransparencyPrefix.size()).toInt(&ok);
        if (!ok || grade < TransparencyBest || grade > TransparencyWorst) {
            return false;
        }
        e.transparency = grade;
    }
    return true;
}

struct Site {
    QString name;
    Place place;
};

// The file's observers and sites, each under the id the observations name it by.
class OalWriter {
public:
    explicit OalWriter(const QList<LogEntry> &entries) {
        for (const LogEntry &e : entries) {
            if (!observers_.contains(e.observer)) {
                observers_.insert(e.observer,
                                  QStringLiteral("observer%1").arg(observers_.size() + 1));
                observerOrder_.append(e.observer);
            }
            if (const QString key = SiteKey(e); !sites_.contains(key)) {
                sites_.insert(key, QStringLiteral("site%1").arg(sites_.size() + 1));
                siteOrder_.append(&e);
            }
        }
    }

    void writeObservers(QXmlStreamWriter &xml) const {
        xml.writeStartElement(QStringLiteral("observers"));
        for (const QString &observer : observerOrder_) {
            const auto [surname, name] = SplitName(observer);
            xml.writeStartElement(QStringLiteral("observer"));
            xml.writeAttribute(QStringLiteral("id"), observers_.value(observer));
            WriteTextElement(xml, QStringLiteral("name"), name);
            WriteTextElement(xml, QStringLiteral("surname"), surname);
            xml.writeEndElement();
        }
        xml.writeEndElement();
    }

    void writeSites(QXmlStreamWriter &xml) const {
        xml.writeStartElement(QStringLiteral("sites"));
        for (const LogEntry *e : siteOrder_) {
            xml.writeStartElement(QStringLiteral("site"));
            xml.writeAttribute(QStringLiteral("id"), sites_.value(SiteKey(*e)));
            WriteTextElement(xml, QStringLiteral("name"), e->placeName);
            for (const auto &[element, value] :
                 {std::pair(QStringLiteral("longitude"), e->place.longitude),
                  std::pair(QStringLiteral("latitude"), e->place.latitude)}) {
                xml.writeStartElement(element);
                xml.writeAttribute(QStringLiteral("unit"), QStringLiteral("deg"));
                xml.writeCharacters(Number(value));
                xml.writeEndElement();
            }
            xml.writeTextElement(QStringLiteral("elevation"), Number(e->place.elevation));
            // The clock's offset without summer time, in minutes.
            xml.writeTextElement(
                QStringLiteral("timezone"),
                QString::number(e->moment.timeZone().standardTimeOffset(e->moment) / 60));
            xml.writeEndElement();
        }
        xml.writeEndElement();
    }

    void writeObservation(QXmlStreamWriter &xml, const LogEntry &e) const {
        xml.writeStartElement(QStringLiteral("observation"));
        xml.writeTextElement(QStringLiteral("observer"), observers_.value(e.observer));
        xml.writeTextElement(QStringLiteral("site"), sites_.value(SiteKey(e)));
        xml.writeTextElement(QStringLiteral("target"), MoonTarget);
        xml.writeTextElement(QStringLiteral("begin"), e.moment.toString(Qt::ISODate));
        if (e.aid != OpticalAid::None || !e.aidText.isEmpty()) {
            WriteTextElement(xml, QStringLiteral("accessories"), AccessoriesText(e));
        }
        WriteResult(xml, SightingResultNames[int(e.result)].toString());
        WriteResult(xml, SkyText(e));
        if (!e.notes.isEmpty()) {
            WriteResult(xml, e.notes);
        }
        xml.writeEndElement();
    }

private:
    QHash<QString, QString> observers_, sites_; // name or key -> id
    QList<QString> observerOrder_;
    QList<const LogEntry *> siteOrder_;
};

// The one target every observation names: the Moon.
void WriteMoonTarget(QXmlStreamWriter &xml) {
    xml.writeStartElement(QStringLiteral("targets"));
    xml.writeStartElement(QStringLiteral("target"));
    xml.writeAttribute(SchemaInstance, QStringLiteral("type"),
                       QStringLiteral("oal:MoonTargetType"));
    xml.writeAttribute(QStringLiteral("id"), MoonTarget);
    xml.writeTextElement(QStringLiteral("datasource"), QStringLiteral("Lunex"));
    xml.writeTextElement(QStringLiteral("name"), QStringLiteral("Moon"));
    xml.writeTextElement(QStringLiteral("alias"), QStringLiteral("Hold"));
    xml.writeEndElement();
    xml.writeEndElement();
}

// One observation's parts, before it is known whether it is a sighting of
// the Moon at a site of the file.
struct ObservationParts {
    LogEntry entry;
    QString site, target;
    bool hasObserver = false, hasAid = false, hasResult = false;
    QStringList rest; // the descriptions that are neither the result nor the sky
};

// Reads the observers, sites and Moon targets first met, then the
// observations that name them.
class OalReader {
public:
    OalReader(const QByteArray &bytes, const QTimeZone &zone) : xml_(bytes), zone_(zone) {}

    OalReading read() {
        // Up to the root, refusing a document type declaration before any
        // entity of it is expanded.
        while (!xml_.atEnd() && xml_.readNext() != QXmlStreamReader::StartElement) {
            if (xml_.tokenType() == QXmlStreamReader::DTD) {
                reading_.error = DoctypeReason();
                return reading_;
            }
        }
        if (!xml_.isStartElement() || xml_.name() != u"observations" ||
            xml_.namespaceUri() != Namespace) {
            reading_.error = xml_.hasError()
                                 ? BrokenXmlReason(xml_.lineNumber(), xml_.errorString())
                                 : NotAnOalLogReason();
            return reading_;
        }
        while (xml_.readNextStartElement()) {
            const QStringView element = xml_.name();
            if (element == u"observers" || element == u"sites" || element == u"targets") {
                readList(element.toString());
            } else if (element == u"observation") {
                readObservation();
            } else {
                xml_.skipCurrentElement();
            }
        }
        if (xml_.hasError()) {
            reading_.entries.clear();
            reading_.error = BrokenXmlReason(xml_.lineNumber(), xml_.errorString());
        }
        return reading_;
    }

private:
    void readList(const QString &list) {
        while (xml_.readNextStartElement()) {
            if (list == u"observers" && xml_.name() == u"observer") {
                readObserver();
            } else if (list == u"sites" && xml_.name() == u"site") {
                readSite();
            } else if (list == u"targets" && xml_.name() == u"target") {
                readTarget();
            } else {
                xml_.skipCurrentElement();
            }
        }
    }

    QString id() const { return xml_.attributes().value(QStringLiteral("id")).toString(); }

    void readObserver() {
        const QString observer = id();
        QString name, surname;
        while (xml_.readNextStartElement()) {
            if (xml_.name() == u"name") {
                name = xml_.readElementText();
            } else if (xml_.name() == u"surname") {
                surname = xml_.readElementText();
            } else {
                xml_.skipCurrentElement();
            }
        }
        observers_.insert(observer, JoinName(surname, name));
    }

    // A coordinate that is no number is kept as none (NaN), for the check of
    // each entry to name.
    void readSite() {
        const QString key = id();
        Site site;
        bool latitude = false, longitude = false;
        while (xml_.readNextStartElement()) {
            const QString element = xml_.name().toString();
            const bool radians = xml_.attributes().value(QStringLiteral("unit")) == u"rad";
            const QString text = xml_.readElementText();
            bool ok = false;
            double value = text.toDouble(&ok) * (radians ? 180.0 / M_PI : 1.0);
            value = ok ? value : std::nan("");
            if (element == u"name") {
                site.name = text;
            } else if (element == u"latitude") {
                site.place.latitude = value;
                latitude = true;
            } else if (element == u"longitude") {
                // East of Greenwich up to 360°, as some programs count.
                site.place.longitude = value > 180 && value <= 360 ? value - 360 : value;
                longitude = true;
            } else if (element == u"elevation") {
                site.place.elevation = value;
            }
        }
        if (latitude && longitude) {
            sites_.insert(key, site);
        }
    }

    void readTarget() {
        const QStringView type = xml_.attributes().value(SchemaInstance, QStringLiteral("type"));
        if (type.endsWith(u"MoonTargetType")) {
            moonTargets_.insert(id());
        }
        xml_.skipCurrentElement();
    }

    void readResult(ObservationParts &o) {
        while (xml_.readNextStartElement()) {
            if (xml_.name() != u"description") {
                xml_.skipCurrentElement();
                continue;
            }
            const QString text = xml_.readElementText();
            if (const auto result = IndexOf(SightingResultNames, text); result && !o.hasResult) {
                o.entry.result = SightingResult(*result);
                o.hasResult = true;
            } else if (!ReadSky(text, o.entry)) {
                o.rest << text;
            }
        }
    }

    void readObservation() {
        ObservationParts o;
        LogEntry &e = o.entry;
        while (xml_.readNextStartElement()) {
            const QStringView element = xml_.name();
            if (element == u"observer") {
                e.observer = observers_.value(xml_.readElementText());
                o.hasObserver = true;
            } else if (element == u"site") {
                o.site = xml_.readElementText();
            } else if (element == u"target") {
                o.target = xml_.readElementText();
            } else if (element == u"begin") {
                e.moment = QDateTime::fromString(xml_.readElementText(), Qt::ISODate);
            } else if (element == u"accessories") {
                ReadAccessories(xml_.readElementText(), e);
                o.hasAid = true;
            } else if (element == u"scope") {
                o.hasAid = o.hasAid || !xml_.readElementText().isEmpty();
            } else if (element == u"result") {
                readResult(o);
            } else {
                xml_.skipCurrentElement();
            }
        }
        if (!moonTargets_.contains(o.target) || !sites_.contains(o.site) || !e.moment.isValid() ||
            !o.hasObserver) {
            return;
        }
        if (!o.hasResult) {
            e.result = o.hasAid ? SightingResult::OpticalAidOnly : SightingResult::NakedEye;
        }
        if (e.moment.timeSpec() == Qt::LocalTime) {
            e.moment.setTimeZone(QTimeZone::utc()); // xsd:dateTime without a zone: taken as UT
        }
        if (zone_.isValid() && zone_.offsetFromUtc(e.moment) == e.moment.offsetFromUtc()) {
            e.moment = e.moment.toTimeZone(zone_);
        }
        e.placeName = sites_.value(o.site).name;
        e.place = sites_.value(o.site).place;
        e.notes = o.rest.join(u'\n');
        reading_.entries.append(e);
    }

    QXmlStreamReader xml_;
    QTimeZone zone_;
    OalReading reading_;
    QHash<QString, QString> observers_;
    QHash<QString, Site> sites_;
    QSet<QString> moonTargets_;
};

} // namespace

QByteArray FormatOal(const QList<LogEntry> &entries) {
    const OalWriter writer(entries);
    QByteArray out;
    QXmlStreamWriter xml(&out);
    xml.setAutoFormatting(true);
    xml.writeStartDocument();
    xml.writeNamespace(Namespace, QStringLiteral("oal"));
    xml.writeNamespace(SchemaInstance, QStringLiteral("xsi"));
    xml.writeStartElement(Namespace, QStringLiteral("observations"));
    xml.writeAttribute(QStringLiteral("version"), QStringLiteral("2.1"));
    xml.writeAttribute(SchemaInstance, QStringLiteral("schemaLocation"),
                       Namespace + QStringLiteral(" oal21.xsd"));
    writer.writeObservers(xml);
    writer.writeSites(xml);
    xml.writeEmptyElement(QStringLiteral("sessions"));
    WriteMoonTarget(xml);
    for (const char *container : {"scopes", "eyepieces", "lenses", "filters", "imagers"}) {
        xml.writeEmptyElement(QLatin1String(container));
    }
    for (const LogEntry &e : entries) {
        writer.writeObservation(xml, e);
    }
    xml.writeEndElement();
    xml.writeEndDocument();
    return out;
}

OalReading ReadOal(const QByteArray &bytes, const QTimeZone &zone, const OalProgress &progress) {
    OalReading reading = OalReader(bytes, zone).read();
    const QList<LogEntry> read = std::exchange(reading.entries, {});
    for (qsizetype i = 0; i < read.size(); ++i) {
        if (progress && !progress(i, read.size())) {
            return {{}, {}, {}, true};
        }
        // Checked before the prediction too: outside the years served, or
        // off the globe, there is none to make.
        LogEntryFault fault = CheckLogEntry(read[i]);
        if (fault == LogEntryFault::Prediction) {
            LogEntry predicted = Predicted(read[i]);
            fault = CheckLogEntry(predicted);
            if (fault == LogEntryFault::None) {
                reading.entries.append(std::move(predicted));
                continue;
            }
        }
        ++reading.skipped[int(fault)];
    }
    if (progress) {
        progress(read.size(), read.size());
    }
    return reading;
}

QList<LogEntry> NewEntries(const QList<LogRow> &rows, const QList<LogEntry> &entries) {
    const auto key = [](const LogEntry &e) {
        return QStringLiteral("%1|%2|%3|%4")
            .arg(e.moment.toSecsSinceEpoch() / 60)
            .arg(std::lround(e.place.latitude * 1e6))
            .arg(std::lround(e.place.longitude * 1e6))
            .arg(e.observer);
    };
    QSet<QString> held;
    for (const LogRow &row : rows) {
        if (row.entry) {
            held.insert(key(*row.entry));
        }
    }
    QList<LogEntry> fresh;
    for (const LogEntry &e : entries) {
        if (!held.contains(key(e))) {
            held.insert(key(e)); // a file that names one observation twice
            fresh.append(e);
        }
    }
    return fresh;
}

} // namespace lunex
