#pragma once

// What every program of Lunex shares at its start and on its command line: Qt's
// own texts in the user's language (for the window), the output streams, the
// version line and the way a command line is refused, in Lunex's own words.

#include <QByteArray>
#include <QCommandLineParser>
#include <QCoreApplication>
#include <QLocale>
#include <QString>
#include <QTextStream>
#include <QTimeZone>

#include <optional>

namespace lunex::cli {

inline constexpr int ExitFailure = 1;
inline constexpr int ExitUsage = 2;

// Qt's own texts (a field's context menu, the command-line parser's "Usage:" and
// "Options:", its errors) from the system's Qt translations for `locale`; they
// stay English where there is none. Call once the application object exists.
// True when a translation was found.
bool InstallQtTranslations(const QLocale &locale = QLocale());

// Qt's own diagnostics (in English: "QStandardPaths: XDG_RUNTIME_DIR not
// set…") kept off standard error, which carries only Lunex's own Hungarian
// texts; Qt's critical and fatal reports still come through. Call first.
void QuietQtDiagnostics();

// "<program> (Lunex) <version>", the program being the application's name.
QString VersionLine();

// The options every program takes: -h, --help and --version.
void AddStandardOptions(QCommandLineParser &parser);
// Reads the arguments. A refusal is said on stderr in Lunex's words (Qt's
// own are English, or translated in a style of their own), with where help
// is: an unknown option, an option without its value, a value given to one
// that takes none. Then the exit status of a usage error; nothing when the
// arguments are taken.
std::optional<int> ParseArguments(QCommandLineParser &parser, const QStringList &arguments);
// After parsing: prints `helpText` or the version line and gives the exit status
// when one of them was asked for; nothing when the program goes on.
std::optional<int> AnswerStandardOptions(const QCommandLineParser &parser, const QString &helpText);

// The system's zone (lunar/civiltime.h); says on stderr when it is unknown
// and UTC stands in for it.
QTimeZone ReportedSystemZone();

// Writes a file the user named, as the store writes its own (atomically), and
// says on stderr why it could not. The path may lie anywhere, not only in Pic.
bool SaveUserFile(const QString &path, const QByteArray &bytes);

inline QTextStream &Out() {
    static QTextStream stream(stdout);
    return stream;
}

inline QTextStream &Err() {
    static QTextStream stream(stderr);
    return stream;
}

// Once everything is written to stdout: 0, or, when not every byte reached it
// (a full disk, /dev/full), the exit status of a failure, having said so on stderr.
int FinishOutput();

// The message of a refused command line; nothing when it is taken.
using Refusal = std::optional<QString>;

// The message and where help is, on stderr; returns the exit status of a usage error.
inline int UsageError(const QString &message) {
    Err() << message << "\n"
          << QStringLiteral("Segítség: %1 --help").arg(QCoreApplication::applicationName())
          << Qt::endl;
    return ExitUsage;
}

} // namespace lunex::cli
