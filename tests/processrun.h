#pragma once

// A companion program run as a process, the way scripts and users run it: with
// the locale, the zone and limits the test chooses, never the machine's.

#include <QMap>
#include <QProcess>
#include <QString>
#include <QStringList>

#include <csignal>
#include <sys/resource.h>

namespace lunex::test {

struct Run {
    int code = -1; // -1 when the program crashed or did not end in time
    QString out, err;
};

struct RunOptions {
    QMap<QString, QString> environment; // added to, or replacing, the test's own
    rlim_t fileSizeLimit = 0;           // RLIMIT_FSIZE in bytes; 0 for none
    int timeoutMs = 60000;
};

inline Run RunProgram(const QString &program, const QStringList &args,
                      const RunOptions &options = {}) {
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (auto it = options.environment.begin(); it != options.environment.end(); ++it) {
        env.insert(it.key(), it.value());
    }
    p.setProcessEnvironment(env);
    if (const rlim_t limit = options.fileSizeLimit; limit > 0) {
        p.setChildProcessModifier([limit] {
            const rlimit fsize{limit, limit};
            setrlimit(RLIMIT_FSIZE, &fsize);
            std::signal(SIGXFSZ, SIG_DFL); // not ignored by inheritance
        });
    }
    p.start(program, args);
    if (!p.waitForFinished(options.timeoutMs)) {
        p.kill();
        p.waitForFinished();
        return {};
    }
    return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1,
            QString::fromUtf8(p.readAllStandardOutput()),
            QString::fromUtf8(p.readAllStandardError())};
}

} // namespace lunex::test
