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

// The arguments that are Lunex's, not Qt's own options for the window
// (-platform xcb, -style fusion, -reverse, ...), which QApplication takes.
QStringList OwnArguments(int argc, char *argv[]) {
    static const QStringList withValue{"-platform",
                                       "-platformpluginpath",
                                       "-platformtheme",
                                       "-plugin",
                                       "-qwindowgeometry",
                                       "-geometry",
                                       "-qwindowtitle",
                                       "-title",
                                       "-qwindowicon",
                                       "-icon",
                                       "-session",
                                       "-display",
                                       "-name",
                                       "-style",
                                       "-stylesheet"};
    static const QStringList alone{"-reverse", "-widgetcount", "-nograb", "-dograb"};
    QStringList own;
    for (int i = 0; i < argc; ++i) {
        const QString arg = QString::fromLocal8Bit(argv[i]);
        // Qt takes "--platform" for "-platform" too.
        const QString option = arg.startsWith(u"--") ? arg.mid(1) : arg;
        if (i > 0 && withValue.contains(option)) {
            ++i;
        } else if (i == 0 || !alone.contains(option)) {
            own << arg;
        }
    }
    return own;
}

} // namespace

int main(int argc, char *argv[]) {
    // Any argument of Lunex's own is answered (help, version) or refused
    // before a window system is asked for: one that is not there must not
    // keep them from a terminal, nor end the program with Qt's abort.
    if (const QStringList own = OwnArguments(argc, argv); own.size() > 1) {
        QCoreApplication app(argc, argv);
        Introduce();
        return AnswerCommandLine(own).value_or(0);
    }
    // Qt takes its own options (-platform, -style, ...) before the window starts.
    QApplication app(argc, argv);
    QApplication::setStyle(lunex::look::NewAppStyle());
    Introduce();
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
