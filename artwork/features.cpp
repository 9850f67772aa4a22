#include "artwork/features.h"

#include "artwork/inputfile.h"

#include <QFile>

#include <algorithm>
#include <array>
#include <cmath>

namespace lunex::artwork {

std::optional<QList<Feature>> ParseFeatures(const QByteArray &csv, QString *error) {
    QList<Feature> features;
    const QList<QByteArray> lines = csv.split('\n');
    bool header = true;
    int lineNo = 0;
    for (const QByteArray &raw : lines) {
        ++lineNo;
        const QByteArray line = raw.trimmed();
        if (line.isEmpty()) {
            continue;
        }
        if (header) {
            header = false;
            if (line.startsWith("name,")) {
                continue;
            }
        }
        const QList<QByteArray> fields = line.split(',');
        bool okLat = false;
        bool okLon = false;
        bool okDiam = false;
        Feature f;
        if (fields.size() == 5) {
            f.name = QString::fromUtf8(fields[0]).trimmed();
            f.type = QString::fromUtf8(fields[1]).trimmed();
            f.latDeg = fields[2].toDouble(&okLat);
            f.lonDeg = fields[3].toDouble(&okLon);
            f.diameterKm = fields[4].toDouble(&okDiam);
        }
        if (!okLat || !okLon || !okDiam || f.name.isEmpty() || std::abs(f.latDeg) > 90 ||
            std::abs(f.lonDeg) > 180 || f.diameterKm < 0) {
            if (error) {
                *error =
                    QStringLiteral("hibás sor (%1): %2").arg(lineNo).arg(QString::fromUtf8(line));
            }
            return std::nullopt;
        }
        features.append(f);
    }
    if (features.isEmpty()) {
        if (error) {
            *error = QStringLiteral("nincs benne egyetlen alakzat sem");
        }
        return std::nullopt;
    }
    return features;
}

std::optional<QList<Feature>> ReadFeatures(const QString &path, QString *error) {
    if (!IsReadableFile(path, error)) {
        return std::nullopt;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        if (error) {
            *error = file.errorString();
        }
        return std::nullopt;
    }
    return ParseFeatures(file.readAll(), error);
}

bool IsPlain(const QString &type) {
    static const std::array<QString, 5> Plains = {QStringLiteral("mare"), QStringLiteral("oceanus"),
                                                  QStringLiteral("sinus"), QStringLiteral("lacus"),
                                                  QStringLiteral("palus")};
    return std::find(Plains.begin(), Plains.end(), type) != Plains.end();
}

} // namespace lunex::artwork
