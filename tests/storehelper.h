#pragma once

// What the tests and lunex-storehelper (storehelper.cpp) share.

#include <QProcess>
#include <QString>
#include <QStringList>

namespace lunex::test {

// What write-loop saves in turn: a short date and two long texts, so that a
// kill can land in the middle of a large write.
inline QStringList LoopContents() {
    return {QStringLiteral("2026-11-20 06:47"), QString(256 * 1024, u'A'),
            QString(64 * 1024, u'ő') + QStringLiteral("vége")};
}

struct HelperRun {
    int exitCode = -1; // -1 when it did not finish in time
    QStringList lines;
    bool has(const QString &line) const { return lines.contains(line); }
    QString value(const QString &label) const {
        for (const QString &line : lines) {
            if (line.startsWith(label + u' ')) {
                return line.mid(label.size() + 1);
            }
        }
        return QStringLiteral("<no %1>").arg(label);
    }
};

#ifdef LUNEX_STOREHELPER_PATH
inline HelperRun RunHelper(const QStringList &steps, int timeoutMs = 60000) {
    QProcess p;
    p.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    p.start(QStringLiteral(LUNEX_STOREHELPER_PATH), steps);
    HelperRun run;
    if (!p.waitForFinished(timeoutMs)) {
        p.kill();
        p.waitForFinished();
        return run;
    }
    run.exitCode = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    run.lines = QString::fromUtf8(p.readAllStandardOutput()).split(u'\n', Qt::SkipEmptyParts);
    return run;
}
#endif

} // namespace lunex::test
