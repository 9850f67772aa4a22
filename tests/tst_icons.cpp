// SPDX-FileCopyrightText: 2026 Lunex developers
// SPDX-License-Identifier: GPL-2.0-or-later

// The program's icon is one picture at every size, and the icon files that a
// desktop shows are that picture.

#include "look/look.h"
#include "lunex_version.h"

#include <QDir>
#include <QPainter>
#include <QSvgRenderer>
#include <QTest>

#include <cstdlib>

namespace {

// The mean difference of two images of one size, per channel, from 0 to 255.
double MeanDifference(const QImage &first, const QImage &second) {
    const QImage a = first.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    const QImage b = second.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    double sum = 0;
    for (int y = 0; y < a.height(); ++y) {
        const uchar *p = a.constScanLine(y);
        const uchar *q = b.constScanLine(y);
        for (int i = 0; i < a.width() * 4; ++i) {
            sum += std::abs(int(p[i]) - int(q[i]));
        }
    }
    return sum / (a.width() * a.height() * 4.0);
}

} // namespace

class TestIcons : public QObject {
    Q_OBJECT

private slots:
    void sameAtEverySize_data() {
        QTest::addColumn<int>("size");
        QTest::newRow("16") << 16;
        QTest::newRow("32") << 32;
        QTest::newRow("64") << 64;
    }
    void sameAtEverySize() {
        QFETCH(int, size);
        const QImage large = lunex::look::AppIconImage(256).scaled(
            size, size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        const double difference = MeanDifference(lunex::look::AppIconImage(size), large);
        QVERIFY2(difference < 2, qPrintable(QString::number(difference)));
    }

    // On a screen of twice the density the icon is drawn at twice the pixels,
    // not scaled up from its 32.
    void crispOnHighDensityScreens() {
        const QPixmap icon = lunex::look::AppIcon().pixmap(QSize(32, 32), 2.0);
        QCOMPARE(icon.devicePixelRatio(), 2.0);
        QCOMPARE(icon.size(), QSize(64, 64));
        QCOMPARE(MeanDifference(icon.toImage(), lunex::look::AppIconImage(64)), 0.0);
    }

    // Each file at the size its theme directory names, as icon themes require;
    // the scalable one rendered at 64.
    void iconFiles_data() {
        QTest::addColumn<QString>("path");
        QTest::addColumn<int>("size");
        const QDir root(QStringLiteral(LUNEX_ICON_DIR));
        const QString png = QStringLiteral("%1x%1/apps/%2.png");
        for (const QString &size : QStringLiteral(LUNEX_ICON_SIZES).split(QLatin1Char(','))) {
            QTest::newRow(qPrintable(size))
                << root.filePath(png.arg(size, QLatin1String(lunex::AppId))) << size.toInt();
        }
        QTest::newRow("scalable") << root.filePath(QStringLiteral("scalable/apps/%1.svg")
                                                       .arg(QLatin1String(lunex::AppId)))
                                  << 64;
    }
    void iconFiles() {
        QFETCH(QString, path);
        QFETCH(int, size);
        QImage image;
        if (path.endsWith(QLatin1String(".svg"))) {
            QSvgRenderer svg(path);
            QVERIFY(svg.isValid());
            image = QImage(size, size, QImage::Format_ARGB32_Premultiplied);
            image.fill(Qt::transparent);
            QPainter painter(&image);
            svg.render(&painter);
        } else {
            QVERIFY(image.load(path));
        }
        QCOMPARE(image.size(), QSize(size, size));
        const double difference = MeanDifference(image, lunex::look::AppIconImage(size));
        QVERIFY2(difference < 1, qPrintable(QString::number(difference)));
    }
};

QTEST_MAIN(TestIcons)
#include "tst_icons.moc"
