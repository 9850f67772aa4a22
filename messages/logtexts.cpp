#include "messages/logtexts.h"

#include <QStringList>

namespace lunex {

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

QString LogImportFailureMessage(const QString &fileName, const QString &reason) {
    return QStringLiteral("A(z) '%1' fájl nem importálható: %2").arg(fileName, reason);
}

QString LogImportedMessage(int added, int held) {
    return held == 0 ? QStringLiteral("%1 új bejegyzés került a naplóba.").arg(added)
                     : QStringLiteral("%1 új bejegyzés került a naplóba; %2 már benne volt.")
                           .arg(added)
                           .arg(held);
}

QString NotAnOalLogReason() {
    return QStringLiteral("nem OpenAstronomyLog-napló.");
}

QString BrokenXmlReason(qint64 line, const QString &detail) {
    return QStringLiteral("hibás XML (%1. sor: %2).").arg(line).arg(detail);
}

} // namespace lunex
