// Draws the pictures of the Pic directory. The build runs it; it can also be run by hand:
//   lunex-pics [--texture FILE | --no-texture] [--features FILE] DIRECTORY

#include "artwork/albedo.h"
#include "artwork/features.h"
#include "artwork/pictures.h"
#include "store/fileio.h"

#include <QCommandLineParser>
#include <QFontInfo>
#include <QGuiApplication>

#include <cstdio>
#include <optional>

using namespace lunex::artwork;

namespace {

void Say(const QString &text) {
    std::fprintf(stderr, "lunex-pics: %s\n", qUtf8Printable(text));
}

struct Options {
    QString dir;
    QString features;
    QString texture;
    bool textureNamed = false; // by the user, not the build's default
    bool noTexture = false;
};

// Leaves with the help text when the command line is not one this program takes.
Options ParseOptions(const QCoreApplication &app) {
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("A Pic könyvtár képeit rajzolja: fázisképek, napképek, holdtérkép."));
    parser.addHelpOption();
    const QCommandLineOption textureOption(
        QStringLiteral("texture"), QStringLiteral("Ekvirektanguláris holdtextúra."),
        QStringLiteral("FILE"), QStringLiteral(LUNEX_DEFAULT_TEXTURE));
    const QCommandLineOption noTextureOption(QStringLiteral("no-texture"),
                                             QStringLiteral("Textúra nélkül, sima felszínnel."));
    const QCommandLineOption featuresOption(
        QStringLiteral("features"), QStringLiteral("A holdi alakzatok CSV-listája."),
        QStringLiteral("FILE"), QStringLiteral(LUNEX_DEFAULT_FEATURES));
    parser.addOption(textureOption);
    parser.addOption(noTextureOption);
    parser.addOption(featuresOption);
    parser.addPositionalArgument(QStringLiteral("DIRECTORY"),
                                 QStringLiteral("Ide kerülnek a képek (a Pic könyvtár)."));
    parser.process(app);
    if (parser.positionalArguments().size() != 1) {
        parser.showHelp(2);
    }
    return {parser.positionalArguments().constFirst(), parser.value(featuresOption),
            parser.value(textureOption), parser.isSet(textureOption),
            parser.isSet(noTextureOption)};
}

// The surface the pictures are drawn from, or none when the texture the user named fails.
// A missing default texture never fails the build: the pictures are then drawn from a
// plain surface with the plains darkened where the catalogue puts them. A texture the
// user names and that fails is an error: plain pictures would hide the mistake.
std::optional<AlbedoMap> LoadSurface(const Options &options, const QList<Feature> &features) {
    std::optional<AlbedoMap> albedo;
    if (!options.noTexture) {
        QString why;
        albedo = AlbedoMap::load(options.texture, &why);
        if (!albedo && options.textureNamed) {
            Say(QStringLiteral("a holdtextúra nem olvasható (%1): %2").arg(options.texture, why));
            return std::nullopt;
        }
        if (!albedo) {
            Say(QStringLiteral("nincs holdtextúra (%1: %2); a képek sima felszínből készülnek")
                    .arg(options.texture, why));
        }
    } else {
        Say(QStringLiteral("textúra nélkül: a képek sima felszínből készülnek"));
    }
    if (!albedo) {
        albedo = AlbedoMap::synthetic(features);
    }
    return albedo;
}

void WarnOfMissingFonts() {
    for (const char *family : {SansFamily, SerifFamily}) {
        const QFontInfo info{QFont(QString::fromLatin1(family))};
        if (info.family() != QLatin1String(family)) {
            Say(QStringLiteral("a(z) %1 betűtípus hiányzik, helyette: %2 (fonts-liberation)")
                    .arg(QLatin1String(family), info.family()));
        }
    }
}

} // namespace

int main(int argc, char **argv) {
    // The build runs without a display; text still needs a platform for its fonts.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QGuiApplication app(argc, argv);
    lunex::IgnoreFileSizeSignal();
    QCoreApplication::setApplicationName(QStringLiteral("lunex-pics"));
    const Options options = ParseOptions(app);

    QString why;
    const auto features = ReadFeatures(options.features, &why);
    if (!features) {
        Say(QStringLiteral("a holdi alakzatok listája nem olvasható (%1): %2")
                .arg(options.features, why));
        return 1;
    }
    const std::optional<AlbedoMap> albedo = LoadSurface(options, *features);
    if (!albedo) {
        return 1;
    }
    WarnOfMissingFonts();

    const PictureMaker maker(*albedo, *features);
    if (!maker.writeAll(options.dir, &why)) {
        Say(why);
        return 1;
    }
    return 0;
}
