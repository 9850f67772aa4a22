#include "messages/logtexts.h"

#include <QStringList>

namespace lunex {

QString MoonBelowHorizonText() {
    return QStringLiteral("a Hold ekkor a horizont alatt van, nincs osztály");
}

QString NoCrescentDayText(Direction direction) {
    return direction == Direction::Evening
               ? QStringLiteral("ez nem holdsarlós este (a fiatal holdsarló az újhold napján és "
                                "az utána következő három estén látszhat), nincs osztály")
               : QStringLiteral("ez nem holdsarlós reggel (az öreg holdsarló az újhold napján "
                                "és az előtte levő három reggelen látszhat), nincs osztály");
}

QString LogRowsUnreadMessage(const QList<int> &lineNumbers) {
    // A handful of line numbers is enough to find them in an editor.
    constexpr int shown = 10;
    QStringList numbers;
    for (int i = 0; i < std::min<int>(shown, lineNumbers.size()); ++i) {
        numbers << QStringLiteral("%1.").arg(lineNumbers[i]);
    }
    if (lineNumbers.size() > shown) {
        numbers << QStringLiteral("…");
    }
    return QStringLiteral("A 'naplo.csv' fájl %1 sora nem olvasható (%2 sor). A Lunex ezeket a "
                          "sorokat változatlanul megőrzi a fájlban.")
        .arg(lineNumbers.size())
        .arg(numbers.join(QStringLiteral(", ")));
}

QString LogTooLargeReason(qint64 limitMiB) {
    return QStringLiteral("túl nagy (legfeljebb %1 MiB).").arg(limitMiB);
}

QString LogTooLargeMessage(qint64 limitMiB) {
    return QStringLiteral("A 'naplo.csv' fájl nem olvasható: %1 A Lunex nem ír bele.")
        .arg(LogTooLargeReason(limitMiB));
}

QString LogKeptUnwrittenMessage() {
    return QStringLiteral("A 'naplo.csv' fájl nem olvasható, ezért a Lunex nem ír bele: a "
                          "változás nem menthető.");
}

QString LogBusyMessage(int seconds) {
    return QStringLiteral(
               "A 'naplo.csv' fájlt egy másik Lunex éppen menti, és %1 másodperc alatt "
               "sem végzett vele. A változás nincs mentve, de megmaradt: kérem, próbálja "
               "újra egy kicsit később!")
        .arg(seconds);
}

QString LogWouldBeTooLargeMessage(qint64 limitMiB) {
    return QStringLiteral("A 'naplo.csv' fájl nem menthető: nagyobb lenne %1 MiB-nál, amekkorát a "
                          "Lunex még beolvas. A változás nincs mentve; a napló változatlan.")
        .arg(limitMiB);
}

QString LogNoteTooLongMessage(qsizetype limit, qsizetype length) {
    return QStringLiteral("A megjegyzés legfeljebb %1 karakter lehet (most %2 karakter). Kérem, "
                          "rövidítse!")
        .arg(limit)
        .arg(length);
}

QString LogImportCancelledMessage() {
    return QStringLiteral("Az importálás megszakítva: a napló változatlan.");
}

QString LogImportFailureMessage(const QString &fileName, const QString &reason) {
    return QStringLiteral("A(z) '%1' fájl nem importálható: %2").arg(fileName, reason);
}

QString LogImportedMessage(int added, int held, const QList<std::pair<QString, int>> &skipped) {
    QString text = held == 0
                       ? QStringLiteral("%1 új bejegyzés került a naplóba.").arg(added)
                       : QStringLiteral("%1 új bejegyzés került a naplóba; %2 már benne volt.")
                             .arg(added)
                             .arg(held);
    int left = 0;
    QStringList reasons;
    for (const auto &[reason, count] : skipped) {
        left += count;
        reasons << QStringLiteral("%1: %2").arg(reason).arg(count);
    }
    if (left > 0) {
        text += QStringLiteral("\n\n%1 megfigyelést a Lunex kihagyott, mert a napló nem tudná "
                               "megőrizni:\n– %2.")
                    .arg(left)
                    .arg(reasons.join(QStringLiteral(";\n– ")));
    }
    return text;
}

QString NotAnOalLogReason() {
    return QStringLiteral("nem OpenAstronomyLog-napló.");
}

QString DoctypeReason() {
    return QStringLiteral("dokumentumtípus-deklarációt (DOCTYPE) tartalmaz. Az OpenAstronomyLog "
                          "nem használ ilyet, és a benne megadott egyedek a kis fájlt is "
                          "gigabájtosra duzzaszthatnák, ezért a Lunex nem olvassa be.");
}

QString BrokenXmlReason(qint64 line, const QString &detail) {
    return QStringLiteral("hibás XML (%1. sor: %2).").arg(line).arg(detail);
}

} // namespace lunex
