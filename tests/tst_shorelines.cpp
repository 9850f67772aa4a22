// The coastlines and borders of the regional maps: read by lunex-shorelines in
// a process of its own, whatever the files or the reader do wrong.

#include "store/fileio.h"
#include "store/shorelines.h"
#include "store/shorelinetext.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace lunex;

namespace {

// A country's region, read at the intermediate detail, and the whole Earth,
// read at the crude detail.
const MapRegion Country{40, 10, 50, 30};
const MapRegion Earth{-60, -180, 80, 180};

// Two bytes of the crude coastlines' file changed where the HDF5 library,
// reading it, writes through a pointer it took from the damaged bytes.
QByteArray DamagedCoasts() {
    QFile file(ShorelineFolder() + QStringLiteral("/binned_GSHHS_c.nc"));
    if (!file.open(QIODevice::ReadOnly)) {
        return {};
    }
    QByteArray bytes = file.readAll();
    bytes[19194] = char(157);
    bytes[19414] = char(99);
    return bytes;
}

// A stand-in for the reader: a shell script that does what `body` says.
QString FakeReader(const QTemporaryDir &dir, const QByteArray &body) {
    const QString path = dir.filePath(QStringLiteral("fake-reader"));
    QFile script(path);
    if (!script.open(QIODevice::WriteOnly) || script.write("#!/bin/sh\n" + body + '\n') < 0) {
        return {};
    }
    script.close();
    script.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    return path;
}

} // namespace

class TestShorelines : public QObject {
    Q_OBJECT

private slots:
    // The files missing, not netCDF, damaged or a folder in their place: no
    // lines, and the sentence says which file and why. The reader is the one
    // the build puts where the running program finds it.
    void filesThatCannotBeRead_data() {
        QTest::addColumn<QByteArray>("content"); // "-" none, "/" a folder
        QTest::addColumn<bool>("earth");
        QTest::addColumn<QString>("reason");
        QTest::newRow("not installed") << QByteArray("-") << false << "gmt-gshhg-low";
        QTest::newRow("not netCDF") << QByteArray("CDF\x01 but no more") << false << "sérült";
        QTest::newRow("a folder") << QByteArray("/") << false << "mappa van";
        QTest::newRow("empty") << QByteArray() << false << "sérült";
        const QByteArray damaged = DamagedCoasts();
        QVERIFY2(!damaged.isEmpty(), "gmt-gshhg-low is missing: scripts/setup-deps.sh installs it");
        QTest::newRow("two bytes changed, the library dies on it")
            << damaged << true << "sérült, vagy nem GSHHG-fájl";
    }
    void filesThatCannotBeRead() {
        QFETCH(QByteArray, content);
        QFETCH(bool, earth);
        QFETCH(QString, reason);
        QTemporaryDir folder;
        const QString file =
            folder.filePath(earth ? "binned_GSHHS_c.nc" : QStringLiteral("binned_GSHHS_i.nc"));
        if (content == "/") {
            QVERIFY(QDir().mkdir(file));
        } else if (content != "-") {
            QVERIFY(WriteFileAtomically(file, content) == FileProblem::None);
        }
        const Shorelines shores = ReadShorelines(folder.path(), earth ? Earth : Country);
        QVERIFY(shores.lines.empty());
        QVERIFY2(shores.problem.contains(file) && shores.problem.contains(reason),
                 qPrintable(shores.problem));
    }

    // A reader that cannot be found, dies, hangs or answers nonsense: no
    // lines, and the sentence says so; the caller goes on.
    void readerFaults_data() {
        QTest::addColumn<QByteArray>("script"); // empty: no reader there
        QTest::addColumn<QString>("reason");
        const QString damaged = QStringLiteral("sérült, vagy nem GSHHG-fájl");
        const QString nonsense = QStringLiteral("értelmetlen választ adott");
        QTest::newRow("not found") << QByteArray() << "olvasója";
        QTest::newRow("killed by a signal") << QByteArray("kill -SEGV $$") << damaged;
        QTest::newRow("ends with a failure") << QByteArray("exit 1") << damaged;
        QTest::newRow("hangs") << QByteArray("exec sleep 60") << "1 másodperc alatt sem";
        QTest::newRow("says the file is none") << QByteArray("exit 3") << damaged + u'.';
        QTest::newRow("garbage") << QByteArray("echo '<html>'") << nonsense;
        QTest::newRow("nothing") << QByteArray("true") << nonsense;
        QTest::newRow("cut short") << QByteArray("printf 'C 1 2 3 4\\n'") << nonsense;
        QTest::newRow("cut inside a line") << QByteArray("printf 'C 1 2 3 4\\nC 1 2'") << nonsense;
        QTest::newRow("miscounted") << QByteArray("printf 'C 1 2 3 4\\nend 2\\n'") << nonsense;
        QTest::newRow("more after the end")
            << QByteArray("printf 'end 0\\nC 1 2 3 4\\n'") << nonsense;
        QTest::newRow("unknown kind") << QByteArray("printf 'X 1 2 3 4\\nend 1\\n'") << nonsense;
        QTest::newRow("a lone point") << QByteArray("printf 'C 1 2\\nend 1\\n'") << nonsense;
        QTest::newRow("a half point") << QByteArray("printf 'C 1 2 3\\nend 1\\n'") << nonsense;
        QTest::newRow("not a number") << QByteArray("printf 'C 1 2 3 x\\nend 1\\n'") << nonsense;
        QTest::newRow("not finite") << QByteArray("printf 'C nan 2 3 4\\nend 1\\n'") << nonsense;
        QTest::newRow("too far north") << QByteArray("printf 'C 1 91 3 4\\nend 1\\n'") << nonsense;
        QTest::newRow("too far east") << QByteArray("printf 'C 1 2 721 4\\nend 1\\n'") << nonsense;
        QTest::newRow("two blanks") << QByteArray("printf 'C 1  2 3 4\\nend 1\\n'") << nonsense;
    }
    void readerFaults() {
        QFETCH(QByteArray, script);
        QFETCH(QString, reason);
        QTemporaryDir folder;
        QVERIFY(WriteFileAtomically(folder.filePath("binned_GSHHS_i.nc"), "CDF") ==
                FileProblem::None);
        const QString program = script.isEmpty() ? folder.filePath("nowhere/lunex-shorelines")
                                                 : FakeReader(folder, script);
        const Shorelines shores = ReadShorelines(folder.path(), Country, {program, 1000});
        QVERIFY(shores.lines.empty());
        QVERIFY2(shores.problem.contains(reason), qPrintable(shores.problem));
        QVERIFY2(shores.problem.contains(script.isEmpty() ? program
                                                          : folder.filePath("binned_GSHHS_i.nc")),
                 qPrintable(shores.problem));
    }

    // A whole reply is taken as it is written, from both files: the reader is
    // asked for the region to the last digit (this one says it back as its
    // line's corners), and each kind of line keeps its kind.
    void readerRepliesAreTaken() {
        QTemporaryDir folder;
        for (const char *name : {"binned_GSHHS_i.nc", "binned_border_i.nc"}) {
            QVERIFY(WriteFileAtomically(folder.filePath(name), "CDF") == FileProblem::None);
        }
        const QString reader = FakeReader(
            folder,
            "if [ \"$1\" = coasts ]; then printf 'C 1 2 3 4\\nL -1.5 -2 -3 -4e-5\\nend "
            "2\\n'; else printf 'B %s %s %s %s\\nend 1\\n' \"$3\" \"$2\" \"$5\" \"$4\"; fi");
        const MapRegion region{46.123456789012345, 1.0 / 3, 47.000000000000014, 40.1};
        const Shorelines shores = ReadShorelines(folder.path(), region, {reader, 10000});
        QVERIFY2(shores.problem.isEmpty(), qPrintable(shores.problem));
        QCOMPARE(shores.lines.size(), std::size_t(3));
        QCOMPARE(shores.lines[0].kind, ShoreKind::Coast);
        QCOMPARE(shores.lines[0].points, (QList<QPointF>{{1, 2}, {3, 4}}));
        QCOMPARE(shores.lines[1].kind, ShoreKind::Lake);
        QCOMPARE(shores.lines[1].points, (QList<QPointF>{{-1.5, -2}, {-3, -4e-5}}));
        QCOMPARE(shores.lines[2].kind, ShoreKind::Border);
        QVERIFY(shores.lines[2].points[0].x() == region.west &&
                shores.lines[2].points[0].y() == region.south &&
                shores.lines[2].points[1].x() == region.east &&
                shores.lines[2].points[1].y() == region.north);
    }

    // The reader's form keeps every number exactly, so the map draws what
    // the files hold.
    void textFormKeepsEveryBit() {
        const std::vector<ShoreLine> lines{
            {ShoreKind::Border, {{0.1 + 0.2, 1e-300}, {-179.99999237048, -89.99999999999999}}},
            {ShoreKind::Lake, {{539.9999999999999, 0}, {-0.0, 2.5e-7}}}};
        const std::optional<std::vector<ShoreLine>> read =
            ReadShoreLinesText(ShoreLinesText(lines));
        QVERIFY(read);
        QCOMPARE(read->size(), lines.size());
        for (std::size_t i = 0; i < lines.size(); ++i) {
            QCOMPARE((*read)[i].kind, lines[i].kind);
            for (qsizetype p = 0; p < lines[i].points.size(); ++p) {
                // Exactly: QPointF's own comparison allows for rounding.
                const QPointF &back = (*read)[i].points[p];
                QVERIFY(back.x() == lines[i].points[p].x() && back.y() == lines[i].points[p].y());
            }
        }
    }
};

QTEST_GUILESS_MAIN(TestShorelines)
#include "tst_shorelines.moc"
