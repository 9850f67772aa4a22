#pragma once

// What the command-line companions share: their output streams and the way
// they refuse a command line.

#include <QCoreApplication>
#include <QString>
#include <QTextStream>

namespace lunex::cli {

inline constexpr int ExitFailure = 1;
inline constexpr int ExitUsage = 2;

inline QTextStream &Out() {
    static QTextStream stream(stdout);
    return stream;
}

inline QTextStream &Err() {
    static QTextStream stream(stderr);
    return stream;
}

// The message and where help is, on stderr; returns the exit status of a usage error.
inline int UsageError(const QString &message) {
    Err() << message << "\n"
          << QStringLiteral("Segítség: %1 --help").arg(QCoreApplication::applicationName())
          << Qt::endl;
    return ExitUsage;
}

} // namespace lunex::cli
