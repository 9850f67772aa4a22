#include "programs/common/cli.h"

#include "clock/civiltime.h"
#include "lunex_version.h"
#include "messages/messages.h"
#include "store/fileio.h"

#include <QLibraryInfo>
#include <QTranslator>

#include <cstdio>

namespace lunex::cli {

void QuietQtDiagnostics() {
    static const QtMessageHandler qtHandler = qInstallMessageHandler(
        [](QtMsgType type, const QMessageLogContext &context, const QString &message) {
            if (type == QtCriticalMsg || type == QtFatalMsg) {
                qtHandler(type, context, message);
            }
        });
}

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

namespace {

// Why the parser refused the arguments. Qt refuses, besides unknown options,
// only an option that lacks its value (the last argument) and a value given
// to an option that takes none (--name=value), and says which only in its
// own text: each such argument is tried alone to find it.
QString RefusalText(QCommandLineParser &parser, const QStringList &arguments) {
    if (!parser.unknownOptionNames().isEmpty()) {
        const QString name = parser.unknownOptionNames().constFirst();
        return QStringLiteral("Ismeretlen kapcsoló: '%1%2'.")
            .arg(name.size() == 1 ? QStringLiteral("-") : QStringLiteral("--"), name);
    }
    const qsizetype dashes = arguments.indexOf(QStringLiteral("--"));
    const qsizetype end = dashes < 0 ? arguments.size() : dashes;
    const auto refusedAlone = [&](const QString &argument) {
        return !parser.parse({arguments.constFirst(), argument});
    };
    for (qsizetype i = 1; i < end; ++i) {
        const QString &argument = arguments[i];
        if (argument.startsWith(u"--") && argument.contains(u'=') && refusedAlone(argument)) {
            return QStringLiteral("A(z) '%1' kapcsoló nem kap értéket.")
                .arg(argument.section(u'=', 0, 0));
        }
    }
    const QString last = arguments.value(end - 1);
    if (end > 1 && last.startsWith(u'-') && refusedAlone(last)) {
        return QStringLiteral("Hiányzik a(z) '%1' kapcsoló értéke.").arg(last);
    }
    return QStringLiteral("Hibás parancssor.");
}

} // namespace

std::optional<int> ParseArguments(QCommandLineParser &parser, const QStringList &arguments) {
    if (parser.parse(arguments)) {
        return std::nullopt;
    }
    return UsageError(RefusalText(parser, arguments));
}

std::optional<int> AnswerStandardOptions(const QCommandLineParser &parser,
                                         const QString &helpText) {
    // Output that cannot be written (a full disk) is said and fails, as the
    // tables' does.
    if (parser.isSet(QStringLiteral("help"))) {
        Out() << helpText;
        return FinishOutput();
    }
    if (parser.isSet(QStringLiteral("version"))) {
        Out() << VersionLine() << '\n';
        return FinishOutput();
    }
    return std::nullopt;
}

QTimeZone ReportedSystemZone() {
    const SystemZoneSetting system = ReadSystemZone();
    if (!system.unknown.isEmpty()) {
        Err() << UnknownZoneMessage(system.unknown) << Qt::endl;
    }
    return system.zone;
}

int FinishOutput() {
    Out().flush();
    if (Out().status() == QTextStream::Ok && std::fflush(stdout) == 0 && !std::ferror(stdout)) {
        return 0;
    }
    Err() << QStringLiteral("A kimenet nem írható ki: megtelt a lemez, vagy írási hiba történt.")
          << Qt::endl;
    return ExitFailure;
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
