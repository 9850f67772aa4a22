#include "messages/messages.h"

#include <QFileInfo>

namespace lunex {

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
    case FileProblem::TooLarge:
        return QStringLiteral("túl nagy (legfeljebb %1 MiB).")
            .arg(SingleValueFileLimit / (1024 * 1024));
    case FileProblem::Other:
        break;
    }
    return QStringLiteral("ismeretlen hiba történt.");
}

QString WriteFailureMessage(QStringView fileName, FileProblem problem) {
    return QStringLiteral("Az '%1' fájl nem menthető: %2").arg(fileName, ProblemText(problem));
}

QString ReadFailureMessage(QStringView fileName, FileProblem problem) {
    return QStringLiteral("Az '%1' fájl nem olvasható: %2").arg(fileName, ProblemText(problem));
}

QString PictureFailureMessage(QStringView fileName) {
    return QStringLiteral("A(z) '%1' kép nem tölthető be!").arg(fileName);
}

QString UserFileWriteFailureMessage(const QString &path, FileProblem problem) {
    const QString reason =
        problem == FileProblem::NoDirectory
            ? QStringLiteral("a(z) '%1' mappa nem létezik.").arg(QFileInfo(path).path())
            : ProblemText(problem);
    return QStringLiteral("A(z) '%1' fájl nem menthető: %2").arg(path, reason);
}

} // namespace lunex
