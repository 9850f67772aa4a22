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

using namespace lunex::artwork;

namespace {

void Say(const QString &text) {
    std::fprintf(stderr, "lunex-pics: %s\n", qUtf8Printable(text));
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
    const QString dir = parser.positionalArguments().constFirst();

    QString why;
    const auto features = ReadFeatures(parser.value(featuresOption), &why);
    if (!features) {
        Say(QStringLiteral("a holdi alakzatok listája nem olvasható (%1): %2")
                .arg(parser.value(featuresOption), why));
        return 1;
    }

    // A missing default texture never fails the build: the pictures are then drawn from
    // a plain surface with the plains darkened where the catalogue puts them. A texture
    // the user names and that fails is an error: plain pictures would hide the mistake.
    std::optional<AlbedoMap> albedo;
    if (!parser.isSet(noTextureOption)) {
        albedo = AlbedoMap::load(parser.value(textureOption), &why);
        if (!albedo && parser.isSet(textureOption)) {
            Say(QStringLiteral("a holdtextúra nem olvasható (%1): %2")
                    .arg(parser.value(textureOption), why));
            return 1;
        }
        if (!albedo) {
            Say(QStringLiteral("nincs holdtextúra (%1: %2); a képek sima felszínből készülnek")
                    .arg(parser.value(textureOption), why));
        }
    } else {
        Say(QStringLiteral("textúra nélkül: a képek sima felszínből készülnek"));
    }
    if (!albedo) {
        albedo = AlbedoMap::synthetic(*features);
    }

    for (const char *family : {SansFamily, SerifFamily}) {
        const QFontInfo info{QFont(QString::fromLatin1(family))};
        if (info.family() != QLatin1String(family)) {
            Say(QStringLiteral("a(z) %1 betűtípus hiányzik, helyette: %2 (fonts-liberation)")
                    .arg(QLatin1String(family), info.family()));
        }
    }

    const PictureMaker maker(*albedo, *features);
    if (!maker.writeAll(dir, &why)) {
        Say(why);
        return 1;
    }
    return 0;
}
