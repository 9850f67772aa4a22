#include "app/main/mainwindow.h"
#include "look/look.h"
#include "lunex_version.h"
#include "programs/common/cli.h"
#include "store/appdirs.h"
#include "store/fileio.h"

#include <QApplication>
#include <QCommandLineParser>

#include <optional>

namespace {

const char HelpText[] =
    "Használat: lunex\n"
    "           lunex --help | --version\n"
    "A fiatal Hold megfigyelőinek: kiszámolja a holdsarló korát, fázisát és\n"
    "megvilágítottságát az utolsó újholdtól a mostani pillanatig vagy a tárolt\n"
    "megfigyelésig. Ablakos program; argumentum nélkül indul.\n"
    "\n"
    "Kapcsolók:\n"
    "  -h, --help   ez a súgó\n"
    "  --version    a program változata\n";

// Both kinds of start name the program, and speak the user's language.
void Introduce() {
    QCoreApplication::setApplicationName(QString::fromLatin1(lunex::AppName));
    lunex::cli::InstallQtTranslations();
}

// What the command line asks for besides the window: the exit status when the
// program ends here, nothing when the window is to start.
std::optional<int> AnswerCommandLine(const QStringList &arguments) {
    using namespace lunex::cli;
    QCommandLineParser parser;
    AddStandardOptions(parser);
    if (const std::optional<int> refused = ParseArguments(parser, arguments)) {
        return refused;
    }
    if (!parser.positionalArguments().isEmpty()) {
        return UsageError(QStringLiteral("Fölösleges argumentum: '%1'.")
                              .arg(parser.positionalArguments().first()));
    }
    if (const std::optional<int> status =
            AnswerStandardOptions(parser, QString::fromUtf8(HelpText))) {
        return status;
    }
    return std::nullopt;
}

} // namespace

int main(int argc, char *argv[]) {
    // Help and version need no display: a window system that is not there
    // must not keep them from a terminal.
    for (int i = 1; i < argc; ++i) {
        const QByteArrayView arg(argv[i]);
        if (arg == "-h" || arg == "--help" || arg == "--version") {
            QCoreApplication app(argc, argv);
            Introduce();
            return AnswerCommandLine(QCoreApplication::arguments()).value_or(0);
        }
    }
    // Qt takes its own options (-platform, -style, ...) before the rest is read.
    QApplication app(argc, argv);
    QApplication::setStyle(lunex::look::NewAppStyle());
    Introduce();
    if (const std::optional<int> status = AnswerCommandLine(QCoreApplication::arguments())) {
        return *status;
    }
    lunex::IgnoreFileSizeSignal();
    QGuiApplication::setDesktopFileName(QString::fromLatin1(lunex::AppId));
    QApplication::setWindowIcon(lunex::look::AppIcon());
    const lunex::AppDirs dirs =
        lunex::PrepareAppDirs(QCoreApplication::applicationDirPath(), lunex::UserDataDir());
    // The program ends when its last window closes: closing the main window
    // alone leaves the other windows, and the program, running.
    auto *window = new lunex::MainWindow(dirs);
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->show();
    return app.exec();
}
