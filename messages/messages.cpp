#include "messages/messages.h"

#include "lunar/horizon.h"
#include "lunar/places.h"

#include <QFileInfo>
#include <QStringList>

#include <algorithm>

namespace lunex {
namespace {

// "Az" before a vowel, "A" before a consonant: az 'ujhold.txt', a 'hely.txt'.
QString Article(QStringView word) {
    static const QString vowels = QStringLiteral("aáeéiíoóöőuúüű");
    return !word.isEmpty() && vowels.contains(word.front().toLower()) ? QStringLiteral("Az")
                                                                      : QStringLiteral("A");
}

// "Az 'ujhold.txt' fájl nem menthető: <reason>"
QString FileSentence(QStringView fileName, QStringView what, QStringView reason) {
    return QStringLiteral("%1 '%2' fájl %3: %4").arg(Article(fileName), fileName, what, reason);
}

// A number of the examples, "47,5" or "47.5".
QString Example(int whole, int tenths, const QLocale &locale) {
    return QString::number(whole) + locale.decimalPoint() + QString::number(tenths);
}

} // namespace

QString UnknownZoneMessage(QStringView setting) {
    return QStringLiteral("A rendszer időzónája ('%1') ismeretlen; a Lunex helyette világidőt "
                          "(UTC) használ.")
        .arg(setting);
}

QString ProblemText(FileProblem problem) {
    switch (problem) {
    case FileProblem::None:
        return {};
    case FileProblem::NoDirectory:
        return QStringLiteral("a 'Pic' mappa nem létezik.");
    case FileProblem::IsDirectory:
        return QStringLiteral("a fájl helyén egy mappa van.");
    case FileProblem::BrokenLink:
        return QStringLiteral("a fájl helyén egy sehová sem mutató hivatkozás van.");
    case FileProblem::NoPermission:
        return QStringLiteral("nincs hozzá jogosultság.");
    case FileProblem::DiskFull:
        return QStringLiteral("megtelt a lemez, vagy írási hiba történt.");
    case FileProblem::NotAFile:
        return QStringLiteral("a fájl helyén egy eszköz vagy csővezeték van.");
    case FileProblem::IsLink:
        return QStringLiteral(
            "a fájl helyén egy másik fájlra mutató hivatkozás van, azon át nem írok.");
    case FileProblem::TooLarge:
        return QStringLiteral("túl nagy (legfeljebb %1 MiB).")
            .arg(SingleValueFileLimit / (1024 * 1024));
    case FileProblem::PictureTooLarge:
        return QStringLiteral("túl nagy (legfeljebb %1 MiB).")
            .arg(PictureFileLimit / (1024 * 1024));
    case FileProblem::ReadOnlyDisk:
        return QStringLiteral("a lemez csak olvasható.");
    case FileProblem::CannotCreate:
        return QStringLiteral("a mappájában nem hozható létre fájl.");
    case FileProblem::NoHome:
        return QStringLiteral("nincs saját mappa, ahová menthetném (HOME).");
    case FileProblem::Other:
        break;
    }
    return QStringLiteral("ismeretlen hiba történt.");
}

QString WriteFailureMessage(QStringView fileName, FileProblem problem) {
    return FileSentence(fileName, u"nem menthető", ProblemText(problem));
}

QString ReadFailureMessage(QStringView fileName, FileProblem problem) {
    return FileSentence(fileName, u"nem olvasható", ProblemText(problem));
}

QString PictureFailureMessage(QStringView fileName, FileProblem problem) {
    if (problem == FileProblem::PictureTooLarge) {
        return QStringLiteral("A(z) '%1' kép nem tölthető be: %2")
            .arg(fileName, ProblemText(problem));
    }
    return QStringLiteral("A(z) '%1' kép nem tölthető be!").arg(fileName);
}

QString UserFileWriteFailureMessage(const QString &path, FileProblem problem) {
    const QString reason =
        problem == FileProblem::NoDirectory
            ? QStringLiteral("a(z) '%1' mappa nem létezik.").arg(QFileInfo(path).path())
            : ProblemText(problem);
    return QStringLiteral("A(z) '%1' fájl nem menthető: %2").arg(path, reason);
}

QString UserFileReadFailureMessage(const QString &path, FileProblem problem) {
    const QFileInfo info(path);
    if (!info.exists() && !info.isSymLink()) {
        return QStringLiteral("A(z) '%1' fájl nem található.").arg(path);
    }
    return QStringLiteral("A(z) '%1' fájl nem olvasható: %2").arg(path, ProblemText(problem));
}

QString InvalidLatitudeMessage(const QLocale &locale) {
    return QStringLiteral("Kérem, adjon meg érvényes FÖLDRAJZI SZÉLESSÉGET (-90 és 90 fok között, "
                          "például %1 vagy 47° %2′ É)!")
        .arg(Example(47, 5, locale), Example(29, 9, locale));
}

QString InvalidLongitudeMessage(const QLocale &locale) {
    return QStringLiteral("Kérem, adjon meg érvényes FÖLDRAJZI HOSSZÚSÁGOT (-180 és 180 fok "
                          "között, például %1 vagy 19° %2′ K)!")
        .arg(Example(19, 1, locale), Example(2, 4, locale));
}

QString InvalidElevationMessage() {
    return QStringLiteral("Kérem, adjon meg érvényes TENGERSZINT FELETTI MAGASSÁGOT (%1 és %2 "
                          "méter között)!")
        .arg(LowestElevation)
        .arg(HighestElevation);
}

QString SkylineFormsHint() {
    return QStringLiteral("A helyi horizont azimut;magasság párok fokban (az azimut északtól "
                          "keletre), | jellel vagy soronként elválasztva; a pontok között "
                          "egyenes vonal. Üresen a horizont sík. A horizont a helyhez tartozik: "
                          "másik hely választásakor vagy a koordináták átírásakor kiürül.");
}

QString InvalidSkylineMessage(const QList<int> &badPairs) {
    QStringList numbers;
    for (const int number : badPairs) {
        numbers << QString::number(number);
    }
    return QStringLiteral("Kérem, adjon meg érvényes HELYI HORIZONTOT: azimut;magasság párokat "
                          "fokban, | jellel elválasztva (például 250;2 | 260;6 | 280;1), a "
                          "magasságot %1 és %2 fok között! A hibás párok sorszáma: %3.")
        .arg(LowestSkyline)
        .arg(HighestSkyline)
        .arg(numbers.join(QStringLiteral(", ")));
}

QString HorizonFileEmptyMessage(QStringView fileName) {
    return QStringLiteral("%1 '%2' fájlban nincs egyetlen azimut–magasság pár sem: a horizont "
                          "nem változott.")
        .arg(Article(fileName), fileName);
}

QString CoordinateFormsHint(const QLocale &locale) {
    return QStringLiteral("Fokban (%1) vagy fokban és percben (47° %2′), az északi és déli (É, D), "
                          "a keleti és nyugati (K, Ny) oldal betűjével vagy előjellel; a magasság "
                          "méterben.")
        .arg(Example(47, 5, locale), Example(29, 9, locale));
}

QString UnknownPlaceZoneMessage(QStringView fileName, QStringView zone) {
    return QStringLiteral("%1 '%2' fájlban megadott időzóna ('%3') ismeretlen; helyette a "
                          "rendszer időzónáját használom.")
        .arg(Article(fileName), fileName, zone);
}

QString PlaceFileFallbackMessage(QStringView fileName, QStringView reason,
                                 QStringView fallbackName) {
    return QStringLiteral("%1 Helyette %2 adataival számolok.")
        .arg(FileSentence(fileName, u"nem olvasható", reason), fallbackName);
}

QString HorizonBadLinesMessage(QStringView fileName, const QList<int> &lines) {
    // A file of garbage could have thousands: the first ones tell the user
    // where to look.
    constexpr qsizetype named = 5;
    QStringList numbers;
    for (qsizetype i = 0; i < std::min(named, lines.size()); ++i) {
        numbers << QStringLiteral("%1.").arg(lines[i]);
    }
    QString which = numbers.join(QStringLiteral(", "));
    if (lines.size() > named) {
        which += QStringLiteral(" és további %1").arg(lines.size() - named);
    } else if (numbers.size() > 1) {
        const QString last = numbers.takeLast();
        which = numbers.join(QStringLiteral(", ")) + QStringLiteral(" és ") + last;
    }
    return QStringLiteral("%1 '%2' fájl %3 sorát kihagyom: nem AZIMUT MAGASSÁG alakú (fokban, "
                          "például 250 2), vagy a magasság nincs %4 és %5 fok között.")
        .arg(Article(fileName), fileName, which)
        .arg(LowestSkyline)
        .arg(HighestSkyline);
}

QString HorizonFileFallbackMessage(QStringView fileName, FileProblem problem) {
    return ReadFailureMessage(fileName, problem) +
           QStringLiteral(" Helyette sík horizonttal számolok.");
}

} // namespace lunex
