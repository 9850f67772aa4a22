// A save that is killed at any moment leaves the complete old or the complete
// new file: never an empty or a partial one.

#include "fakes.h"
#include "store/codepage.h"
#include "store/datafiles.h"
#include "storehelper.h"

#include <QRandomGenerator>
#include <QTest>
#include <QThread>

#include <csignal>
#include <sys/types.h>

using namespace lunex;
using namespace lunex::test;

class TestAtomicWrite : public QObject {
    Q_OBJECT

private slots:
    void killedSaveLosesNothing_data() {
        QTest::addColumn<QString>("which");
        QTest::addColumn<QString>("file");
        QTest::newRow("ujhold.txt") << "newmoon"
                                    << "ujhold.txt";
        QTest::newRow("utolso.txt") << "observation"
                                    << "utolso.txt";
    }
    void killedSaveLosesNothing() {
        QFETCH(QString, which);
        QFETCH(QString, file);
        AppDir dir;
        const QByteArray old = "2026-10-21 14:25\r\n";
        dir.write(file, old);
        QList<QByteArray> complete{old};
        for (const QString &text : LoopContents()) {
            complete.append(SingleValueBytes(text));
        }
        // Seeded, so that a failure can be replayed.
        QRandomGenerator random(20261120);
        constexpr int Kills = 150;
        int midSave = 0; // kills that struck inside a save
        int changed = 0; // kills after which the file held a new content
        int copies = 0;  // temporary copies left beside the file
        for (int i = 0; i < Kills; ++i) {
            QProcess writer;
            writer.start(QStringLiteral(LUNEX_STOREHELPER_PATH), {"write-loop", dir.path(), which});
            QVERIFY(writer.waitForStarted());
            // Kill from before the first save starts to deep into the loop.
            QVERIFY(writer.waitForReadyRead(30000));
            QThread::usleep(random.bounded(4000));
            ::kill(pid_t(writer.processId()), SIGKILL);
            QVERIFY(writer.waitForFinished(30000));
            QCOMPARE(writer.exitStatus(), QProcess::CrashExit);
            midSave += writer.readAllStandardOutput().endsWith('<') ? 1 : 0;

            const QByteArray now = dir.read(file);
            const auto at = complete.indexOf(now);
            QVERIFY2(at >= 0, qPrintable(QStringLiteral("kill %1 left %2 bytes: %3...")
                                             .arg(i)
                                             .arg(now.size())
                                             .arg(QString::fromLatin1(now.left(40).toHex()))));
            changed += at > 0 ? 1 : 0;
            // A killed save may leave its temporary copy, which is never read;
            // the next start removes it once it is a minute old.
            for (const QString &name : QDir(dir.pic("")).entryList(QDir::Files | QDir::Hidden)) {
                QFile left(dir.pic(name));
                QVERIFY(name == file ||
                        (left.open(QIODevice::ReadWrite) &&
                         left.setFileTime(QDateTime::currentDateTimeUtc().addSecs(-61),
                                          QFileDevice::FileModificationTime)));
                copies += name == file ? 0 : 1;
            }
            RemoveStaleSaveCopies(dir.path());
            // Only a copy whose random letters came out in one case stays,
            // as a copy the user named would.
            for (const QString &name : QDir(dir.pic("")).entryList(QDir::Files | QDir::Hidden)) {
                const QString letters = name.mid(file.size() + 1);
                QVERIFY2(name == file || letters == letters.toLower() ||
                             letters == letters.toUpper(),
                         qPrintable(name));
                QVERIFY(name == file || QFile::remove(dir.pic(name)));
            }
        }
        qInfo("%d kills: %d in the middle of a save, %d after a new content was complete, %d "
              "temporary copies left and removed",
              Kills, midSave, changed, copies);
        // Otherwise the test would have proven nothing.
        QVERIFY(midSave > 0);
        QVERIFY(changed > 0);
    }
};

QTEST_GUILESS_MAIN(TestAtomicWrite)
#include "tst_atomicwrite.moc"
