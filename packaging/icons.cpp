// SPDX-FileCopyrightText: 2026 Lunex developers
// SPDX-License-Identifier: GPL-2.0-or-later

// lunex-icons: the windows' icon as the files of a desktop icon theme, drawn by
// the very code that draws it in the windows. The build runs it:
//   lunex-icons DIRECTORY NAME SIZE...
// writes DIRECTORY/<SIZE>x<SIZE>/apps/NAME.png for each size and
// DIRECTORY/scalable/apps/NAME.svg.

#include "look/look.h"
#include "lunex_version.h"

#include <QDir>
#include <QGuiApplication>
#include <QPainter>
#include <QSvgGenerator>

#include <cstdio>

namespace {

// The nominal size of the scalable icon; its paths are exact at any size.
constexpr int SvgSize = 256;

int Fail(const QString &text, int status) {
    std::fprintf(stderr, "lunex-icons: %s\n", qUtf8Printable(text));
    return status;
}

// DIRECTORY/sub/NAME.suffix, its directory made.
QString IconPath(const QString &root, const QString &sub, const QString &fileName) {
    const QDir dir(root + QLatin1Char('/') + sub);
    dir.mkpath(QStringLiteral("."));
    return dir.filePath(fileName);
}

} // namespace

int main(int argc, char *argv[]) {
    // The SVG carries the painter's font whatever is drawn: a font needs a platform.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QGuiApplication app(argc, argv);
    if (argc < 4) {
        return Fail(QStringLiteral("Használat: lunex-icons MAPPA NÉV MÉRET..."), 2);
    }
    const QString root = QString::fromLocal8Bit(argv[1]);
    const QString name = QString::fromLocal8Bit(argv[2]);
    for (int i = 3; i < argc; ++i) {
        bool ok = false;
        const int size = QByteArray(argv[i]).toInt(&ok);
        if (!ok || size < 1) {
            return Fail(QStringLiteral("Hibás méret: '%1'.").arg(QString::fromLocal8Bit(argv[i])),
                        2);
        }
        const QString path =
            IconPath(root, QStringLiteral("%1x%1/apps").arg(size), name + QStringLiteral(".png"));
        if (!lunex::look::AppIconImage(size).save(path, "PNG")) {
            return Fail(QStringLiteral("A(z) '%1' fájl nem írható.").arg(path), 1);
        }
    }

    QSvgGenerator svg;
    const QString svgPath =
        IconPath(root, QStringLiteral("scalable/apps"), name + QStringLiteral(".svg"));
    svg.setFileName(svgPath);
    svg.setSize({SvgSize, SvgSize});
    svg.setViewBox(QRect(0, 0, SvgSize, SvgSize));
    svg.setTitle(QString::fromLatin1(lunex::ShortTitle));
    QPainter painter;
    if (!painter.begin(&svg)) {
        return Fail(QStringLiteral("A(z) '%1' fájl nem írható.").arg(svgPath), 1);
    }
    // A generic family, so that the file does not name this machine's fonts.
    painter.setFont(QFont(QStringLiteral("sans-serif"), 8));
    lunex::look::PaintAppIcon(painter, QRectF(0, 0, SvgSize, SvgSize));
    painter.end();
    return 0;
}
