#include "programs/common/cli.h"

#include "lunex_version.h"
#include "messages/messages.h"
#include "store/fileio.h"

#include <QLibraryInfo>
#include <QTranslator>

namespace lunex::cli {

bool InstallQtTranslations(const QLocale &locale) {
    auto *translator = new QTranslator(QCoreApplication::instance());
    // qtbase holds the texts of Core, Gui and Widgets alike.
    if (!translator->load(locale, QStringLiteral("qtbase"), QStringLiteral("_"),
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        delete translator;
        return false;
    }
    return QCoreApplication::installTranslator(translator);
}

QString VersionLine() {
    return QStringLiteral("%1 (%2) %3.%4.%5")
        .arg(QCoreApplication::applicationName(), QString::fromLatin1(ShortTitle))
        .arg(VersionMajor)
        .arg(VersionMinor)
        .arg(VersionRevision);
}

void AddStandardOptions(QCommandLineParser &parser) {
    parser.addOption({{QStringLiteral("h"), QStringLiteral("help")}, QStringLiteral("Ez a súgó.")});
    parser.addOption({QStringLiteral("version"), QStringLiteral("A program változata.")});
}

std::optional<int> AnswerStandardOptions(const QCommandLineParser &parser,
                                         const QString &helpText) {
    if (parser.isSet(QStringLiteral("help"))) {
        Out() << helpText << Qt::flush;
        return 0;
    }
    if (parser.isSet(QStringLiteral("version"))) {
        Out() << VersionLine() << Qt::endl;
        return 0;
    }
    return std::nullopt;
}

bool SaveUserFile(const QString &path, const QByteArray &bytes) {
    const FileProblem problem = WriteFileAtomically(path, bytes);
    if (problem == FileProblem::None) {
        return true;
    }
    Err() << UserFileWriteFailureMessage(path, problem) << Qt::endl;
    return false;
}

} // namespace lunex::cli
