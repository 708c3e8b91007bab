// The updater the update check downloads and starts with "-auto" from the update folder. It reads
// updateinfo.dat beside itself, waits for the program to end when the update needs a restart, moves the
// downloaded files into the program folder, marks the hand-over file done and starts the program again.

#include "UpdateInfoReader.h"
#include "platform/sys/FileVersionNote.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QSaveFile>
#include <QThread>
#include <cstdio>
#include <stdio.h>

namespace {

// Whether a process runs the executable ExePath.
bool IsRunning(const QString& ExePath)
{
    const QString Wanted = QFileInfo(ExePath).canonicalFilePath();
    const QStringList Pids = QDir(QStringLiteral("/proc")).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    for (const QString& Pid : Pids) {
        bool IsNumber = false;
        if (Pid.toLongLong(&IsNumber) == QCoreApplication::applicationPid() || !IsNumber)
            continue;
        if (QFileInfo(QStringLiteral("/proc/") + Pid + QStringLiteral("/exe")).symLinkTarget() == Wanted)
            return true;
    }
    return false;
}

// Replaces Target with Source, giving it the server file's time (when known) so that the next check
// finds the file as the server has it.
bool MoveInto(const QString& Source, const QString& Target, const QDateTime& Time)
{
    if (!QDir().mkpath(QFileInfo(Target).absolutePath()))
        return false;
    const QFileDevice::Permissions Keep =
        QFileInfo::exists(Target) ? QFile::permissions(Target) : QFile::permissions(Source);
    const QString Staged = Target + QStringLiteral(".new");
    QFile::remove(Staged);
    if (!QFile::copy(Source, Staged))
        return false;
    QFile::setPermissions(Staged, Keep);
    if (Time.isValid()) {
        QFile Stamp(Staged);
        if (Stamp.open(QIODevice::ReadWrite))
            Stamp.setFileTime(Time, QFileDevice::FileModificationTime);
    }
    // rename() replaces the old file in one step, also while it is being executed.
    if (::rename(QFile::encodeName(Staged).constData(), QFile::encodeName(Target).constData()) != 0) {
        QFile::remove(Staged);
        return false;
    }
    QFile::remove(Source);
    return true;
}

} // namespace

VX_FILE_VERSION(1, 0, 0, 0);

int main(int argc, char* argv[])
{
    QCoreApplication App(argc, argv);
    if (!App.arguments().contains(QStringLiteral("-auto"))) {
        std::fprintf(stderr, "usage: updateapp -auto\n");
        return 2;
    }
    const QString Folder = QCoreApplication::applicationDirPath() + QLatin1Char('/');
    const QString InfoName = Folder + QStringLiteral("updateinfo.dat");
    QFile InfoFile(InfoName);
    const std::optional<UpdateInfo::TInfo> Info =
        InfoFile.open(QIODevice::ReadOnly) ? UpdateInfo::Read(InfoFile.readAll()) : std::nullopt;
    InfoFile.close();
    if (!Info) {
        std::fprintf(stderr, "updateapp: no usable updateinfo.dat\n");
        return 1;
    }
    const QString ExePath = Info->ProgramFolder + Info->Exe;
    if (Info->Restart) {
        QDeadlineTimer Deadline(120000);
        while (IsRunning(ExePath)) {
            if (Deadline.hasExpired()) {
                std::fprintf(stderr, "updateapp: the program did not end\n");
                return 1;
            }
            QThread::msleep(200);
        }
    }

    int Failed = 0;
    for (const UpdateInfo::TFile& File : Info->Files) {
        if (!File.Inside || !MoveInto(Folder + File.DLFile, File.Target, File.DateTime)) {
            std::fprintf(stderr, "updateapp: %s not updated\n", qPrintable(File.Target));
            ++Failed;
        }
    }

    // The program removes this key before each update; it tells whether the last one went through.
    if (QFile Marked(InfoName); Marked.open(QIODevice::ReadOnly)) {
        QString Text = QString::fromUtf8(Marked.readAll());
        Marked.close();
        const qsizetype AppLine = Text.indexOf(QStringLiteral("[APP]\n"));
        if (AppLine >= 0) {
            Text.insert(AppLine + 6, QStringLiteral("Done=%1\n").arg(Failed == 0 ? 1 : 0));
            QSaveFile Out(InfoName);
            if (Out.open(QIODevice::WriteOnly)) {
                Out.write(Text.toUtf8());
                (void)Out.commit();
            }
        }
    }

    if (Info->Restart)
        QProcess::startDetached(ExePath, {}, Info->ProgramFolder);
    return Failed == 0 ? 0 : 1;
}
