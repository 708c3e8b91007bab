// The updater the update check downloads and starts with "-auto" from the update folder. It reads
// updateinfo.dat beside itself, waits for the program to end when the update needs a restart, moves the
// downloaded files into the program folder, marks the hand-over file done and starts the program again.

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QProcess>
#include <QSaveFile>
#include <QThread>
#include <cstdio>
#include <stdio.h>

namespace {

using TSection = QHash<QString, QString>;

QHash<QString, TSection> ReadIni(const QString& FileName, QStringList& Order)
{
    QHash<QString, TSection> Sections;
    QFile File(FileName);
    if (!File.open(QIODevice::ReadOnly))
        return Sections;
    QString Current;
    for (QString Line : QString::fromUtf8(File.readAll()).split(QLatin1Char('\n'))) {
        Line = Line.trimmed();
        if (Line.startsWith(QLatin1Char('[')) && Line.endsWith(QLatin1Char(']'))) {
            Current = Line.mid(1, Line.size() - 2).toUpper();
            Order << Current;
            Sections[Current];
        } else if (const qsizetype Equal = Line.indexOf(QLatin1Char('=')); Equal > 0 && !Current.isEmpty()) {
            Sections[Current][Line.left(Equal).trimmed().toUpper()] = Line.mid(Equal + 1);
        }
    }
    return Sections;
}

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

bool MoveInto(const QString& Source, const QString& Target)
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
    // rename() replaces the old file in one step, also while it is being executed.
    if (::rename(QFile::encodeName(Staged).constData(), QFile::encodeName(Target).constData()) != 0) {
        QFile::remove(Staged);
        return false;
    }
    QFile::remove(Source);
    return true;
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication App(argc, argv);
    if (!App.arguments().contains(QStringLiteral("-auto"))) {
        std::fprintf(stderr, "usage: updateapp -auto\n");
        return 2;
    }
    const QString Folder = QCoreApplication::applicationDirPath() + QLatin1Char('/');
    const QString InfoName = Folder + QStringLiteral("updateinfo.dat");
    QStringList Order;
    const auto Sections = ReadIni(InfoName, Order);
    const TSection AppSection = Sections.value(QStringLiteral("APP"));
    const QString ProgramFolder = QDir(AppSection.value(QStringLiteral("FOLDER"))).absolutePath() + QLatin1Char('/');
    const QString Exe = AppSection.value(QStringLiteral("EXE"));
    const bool Restart = AppSection.value(QStringLiteral("RUN")) == QLatin1String("1");
    if (AppSection.isEmpty() || Exe.isEmpty() || AppSection.value(QStringLiteral("FOLDER")).isEmpty()) {
        std::fprintf(stderr, "updateapp: no usable updateinfo.dat\n");
        return 1;
    }
    const QString ExePath = ProgramFolder + Exe;
    if (Restart) {
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
    for (int Number = 1;; ++Number) {
        const QString Name = QStringLiteral("FILE%1").arg(Number);
        if (!Sections.contains(Name))
            break;
        const TSection File = Sections.value(Name);
        const QString DLFile = File.value(QStringLiteral("DLFILE"));
        const QString Target = ProgramFolder + File.value(QStringLiteral("PATH")) + File.value(QStringLiteral("NAME"));
        if (DLFile.contains(QLatin1Char('/')) || Target.contains(QStringLiteral("..")) ||
            !MoveInto(Folder + DLFile, Target)) {
            std::fprintf(stderr, "updateapp: %s not updated\n", qPrintable(Target));
            ++Failed;
        }
    }

    // The program removes this key before each update; it tells whether the last one went through.
    if (QFile Info(InfoName); Info.open(QIODevice::ReadOnly)) {
        QString Text = QString::fromUtf8(Info.readAll());
        Info.close();
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

    if (Restart)
        QProcess::startDetached(ExePath, {}, ProgramFolder);
    return Failed == 0 ? 0 : 1;
}
