#pragma once

// A companion program run as a process, the way scripts and users run it: with
// the locale, the zone, limits and the user the test chooses, never the machine's.

#include <QMap>
#include <QProcess>
#include <QString>
#include <QStringList>

#include <csignal>
#include <grp.h>
#include <pwd.h>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <unistd.h>

namespace lunex::test {

struct Run {
    int code = -1; // -1 when the program crashed or did not end in time
    QString out, err;
    QByteArray outBytes; // stdout as written, a UTF-8 byte-order mark included
};

// A user the tests become when they run as root, to meet the limits of an
// ordinary user: looked up before a child is forked, where only system calls
// may be made.
struct Identity {
    uid_t uid;
    gid_t gid;
};
inline Identity Nobody() {
    const passwd *pw = getpwnam("nobody");
    return {pw ? pw->pw_uid : 65534, pw ? pw->pw_gid : 65534};
}
// Gives up root's rights for `who`'s; a no-op for other users.
inline bool Become(Identity who) {
    return geteuid() != 0 ||
           (setgroups(0, nullptr) == 0 && setresgid(who.gid, who.gid, who.gid) == 0 &&
            setresuid(who.uid, who.uid, who.uid) == 0);
}

struct RunOptions {
    QMap<QString, QString> environment; // added to, or replacing, the test's own
    rlim_t fileSizeLimit = 0;           // RLIMIT_FSIZE in bytes; 0 for none
    int timeoutMs = 60000;
    bool onlyGivenEnvironment = false; // nothing of the test's own environment
    bool asNobody = false;             // as Nobody() when the test is root
};

// The environment, the limits and the user of `options`, for a process not yet started.
inline void Prepare(QProcess &p, const RunOptions &options) {
    QProcessEnvironment env = options.onlyGivenEnvironment
                                  ? QProcessEnvironment()
                                  : QProcessEnvironment::systemEnvironment();
    for (auto it = options.environment.begin(); it != options.environment.end(); ++it) {
        env.insert(it.key(), it.value());
    }
    p.setProcessEnvironment(env);
    const rlim_t limit = options.fileSizeLimit;
    const bool asNobody = options.asNobody;
    const Identity nobody = Nobody();
    p.setChildProcessModifier([limit, asNobody, nobody] {
        if (limit > 0) {
            const rlimit fsize{limit, limit};
            setrlimit(RLIMIT_FSIZE, &fsize);
            std::signal(SIGXFSZ, SIG_DFL); // not ignored by inheritance
        }
        if (asNobody && !Become(nobody)) {
            _exit(127);
        }
        // Nothing outlives a test that crashed (set last: a change of user clears it).
        prctl(PR_SET_PDEATHSIG, SIGKILL);
    });
}

inline Run RunProgram(const QString &program, const QStringList &args,
                      const RunOptions &options = {}) {
    QProcess p;
    Prepare(p, options);
    p.start(program, args);
    if (!p.waitForFinished(options.timeoutMs)) {
        p.kill();
        p.waitForFinished();
        return {};
    }
    const QByteArray out = p.readAllStandardOutput();
    return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1, QString::fromUtf8(out),
            QString::fromUtf8(p.readAllStandardError()), out};
}

} // namespace lunex::test
