#pragma once

// Plain stand-ins for the main window's fields, so that the stored-date
// operations and the evaluations run without a window.

#include "ports/windowports.h"
#include "store/appdirs.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QList>
#include <QTemporaryDir>

namespace lunex::test {

struct FakeFields : TimeFields {
    QString newMoon, observation;
    QString newMoonText() const override { return newMoon; }
    void setNewMoonText(const QString &t) override { newMoon = t; }
    QString observationText() const override { return observation; }
    void setObservationText(const QString &t) override { observation = t; }
};

struct FakeList : NewMoonList {
    QStringList entries;
    int selected = -1;
    QString editText; // what the box shows while nothing is picked
    void clearEntries() override { entries.clear(), selected = -1; }
    void appendEntries(const QStringList &e) override { entries += e; }
    int selectedIndex() const override { return selected; }
    QString currentText() const override {
        return selected >= 0 ? entries.value(selected) : editText;
    }
};

struct Message {
    QString text;
    MessageIcon icon;
};

struct FakeMessenger : Messenger {
    QList<Message> shown;
    void showMessage(const QString &text, MessageIcon icon) override { shown.append({text, icon}); }
};

// Where a test that saves many times keeps its files: a memory file system
// syncs at once.
inline QString MemoryBackedTemp() {
    return QFileInfo(QStringLiteral("/dev/shm")).isWritable() ? QStringLiteral("/dev/shm")
                                                              : QDir::tempPath();
}

// A temporary application directory with an empty Pic directory in it.
struct AppDir {
    QTemporaryDir tmp;
    explicit AppDir(const QString &base = QDir::tempPath())
        : tmp(base + QStringLiteral("/lunex-XXXXXX")) {
        QDir(tmp.path()).mkdir(QStringLiteral("Pic"));
    }
    QString path() const { return tmp.path(); }
    // Both places in this one directory, as in the build tree.
    AppDirs portable() const { return {path(), path()}; }
    QString pic(const QString &name) const { return tmp.path() + "/Pic/" + name; }
    void write(const QString &name, const QByteArray &bytes) const {
        QFile f(pic(name));
        if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size()) {
            qFatal("cannot write test file");
        }
    }
    QByteArray read(const QString &name) const {
        QFile f(pic(name));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<absent>");
    }
};

} // namespace lunex::test
