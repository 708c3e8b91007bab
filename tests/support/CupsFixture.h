#pragma once

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <QThread>

// A print server of the test's own: Debian's cupsd on a socket in a temporary folder, with queues
// of PPDs written here that print to files of the folder (the queue's output after CUPS's own
// filters: the page size, orientation and copies as a printer would get them, as PDF). Programs
// find it through CUPS_SERVER. Where cupsd is missing or does not start, Error() says why, for the
// test to skip with.
class TCupsServer
{
public:
    struct TQueue
    {
        QString Name;
        // The papers, first the default one, as PPD names with their sizes and printable areas in
        // points: "A4" 595 842 and the area's left, bottom, right and top from the sheet's lower left.
        struct TPaper
        {
            QString Name;
            int Width;
            int Height;
            int Left;
            int Bottom;
            int Right;
            int Top;
        };
        QList<TPaper> Papers;
        int Dpi = 300;
    };

    TCupsServer()
    {
        const QString Daemon = QStandardPaths::findExecutable(QStringLiteral("cupsd"), {QStringLiteral("/usr/sbin")});
        if (Daemon.isEmpty() || QStandardPaths::findExecutable(QStringLiteral("lpadmin")).isEmpty()) {
            FError = QStringLiteral("cupsd or lpadmin is not installed (scripts/bootstrap installs them)");
            return;
        }
        if (!FDir.isValid()) {
            FError = QStringLiteral("no temporary folder");
            return;
        }
        // The filters run as the daemon's user for jobs: every folder they use is open to it.
        for (const char* Sub : {"etc/ppd", "spool", "cache", "state", "log", "tmp", "out"})
            QDir(FDir.path()).mkpath(QLatin1String(Sub));
        for (const char* Sub : {"", "etc", "log"})
            QFile::setPermissions(FDir.filePath(QLatin1String(Sub)), QFile::Permissions(0x7755));
        for (const char* Sub : {"tmp", "out"})
            (void)QProcess::execute(QStringLiteral("chmod"), {QStringLiteral("1777"), FDir.filePath(QLatin1String(Sub))});
        Write(QStringLiteral("etc/cupsd.conf"), QStringLiteral("LogLevel warn\nListen %1\nWebInterface No\nBrowsing No\n"
                                                              "DefaultAuthType None\n"
                                                              "<Location />\n  Order allow,deny\n  Allow all\n</Location>\n"
                                                              "<Location /admin>\n  Order allow,deny\n  Allow all\n"
                                                              "</Location>\n<Policy default>\n  <Limit All>\n"
                                                              "    Order deny,allow\n  </Limit>\n</Policy>\n")
                                                    .arg(Socket()));
        const QString Root = FDir.path();
        Write(QStringLiteral("etc/cups-files.conf"),
              QStringLiteral("ServerRoot %1/etc\nRequestRoot %1/spool\nCacheDir %1/cache\nStateDir %1/state\n"
                             "TempDir %1/tmp\nErrorLog %1/log/error_log\nAccessLog %1/log/access_log\n"
                             "PageLog %1/log/page_log\nFileDevice Yes\nSandboxing Relaxed\n")
                  .arg(Root));
        FDaemon.setProcessChannelMode(QProcess::MergedChannels);
        FDaemon.start(Daemon, {QStringLiteral("-f"), QStringLiteral("-c"), FDir.filePath(QStringLiteral("etc/cupsd.conf")),
                               QStringLiteral("-s"), FDir.filePath(QStringLiteral("etc/cups-files.conf"))});
        if (!FDaemon.waitForStarted(5000)) {
            FError = QStringLiteral("cupsd did not start");
            return;
        }
        for (int Try = 0; Try < 100 && !QFile::exists(Socket()); ++Try)
            QThread::msleep(50);
        if (!QFile::exists(Socket()) || FDaemon.state() != QProcess::Running)
            FError = QStringLiteral("cupsd ended: ") + QString::fromLocal8Bit(FDaemon.readAll()).trimmed();
    }
    ~TCupsServer()
    {
        if (FDaemon.state() == QProcess::Running) {
            FDaemon.terminate();
            if (!FDaemon.waitForFinished(5000))
                FDaemon.kill();
            FDaemon.waitForFinished(2000);
        }
    }
    TCupsServer(const TCupsServer&) = delete;
    TCupsServer& operator=(const TCupsServer&) = delete;

    // Empty when the server runs.
    [[nodiscard]] const QString& Error() const { return FError; }
    [[nodiscard]] QString Socket() const { return FDir.filePath(QStringLiteral("cups.sock")); }
    // The file a queue's jobs are written to.
    [[nodiscard]] QString Output(const QString& Queue) const { return FDir.filePath(QStringLiteral("out/") + Queue + ".pdf"); }

    // Adds an enabled queue that takes jobs; false (and Error()) when lpadmin refused it.
    bool AddQueue(const TQueue& Queue)
    {
        const QString Ppd = FDir.filePath(QStringLiteral("etc/") + Queue.Name + QStringLiteral(".ppd"));
        Write(QStringLiteral("etc/") + Queue.Name + QStringLiteral(".ppd"), PpdText(Queue));
        QProcess Admin;
        Admin.setProcessChannelMode(QProcess::MergedChannels);
        Admin.start(QStringLiteral("lpadmin"), {QStringLiteral("-h"), Socket(), QStringLiteral("-p"), Queue.Name,
                                                 QStringLiteral("-E"), QStringLiteral("-v"),
                                                 QStringLiteral("file://") + Output(Queue.Name), QStringLiteral("-P"), Ppd});
        if (!Admin.waitForFinished(20000) || Admin.exitCode() != 0) {
            FError = QStringLiteral("lpadmin: ") + QString::fromLocal8Bit(Admin.readAll()).trimmed();
            return false;
        }
        return true;
    }

    // Waits until no job is pending and the queue's file is written; false after Seconds.
    [[nodiscard]] bool WaitForOutput(const QString& Queue, int Seconds = 60) const
    {
        for (int Try = 0; Try < Seconds * 10; ++Try) {
            QProcess Stat;
            Stat.start(QStringLiteral("lpstat"), {QStringLiteral("-h"), Socket(), QStringLiteral("-o")});
            Stat.waitForFinished(10000);
            if (Stat.readAllStandardOutput().trimmed().isEmpty() && QFileInfo(Output(Queue)).size() > 0)
                return true;
            QThread::msleep(100);
        }
        return false;
    }

    [[nodiscard]] QString ErrorLog() const
    {
        QFile Log(FDir.filePath(QStringLiteral("log/error_log")));
        return Log.open(QIODevice::ReadOnly) ? QString::fromLocal8Bit(Log.readAll()) : QString();
    }

private:
    void Write(const QString& Name, const QString& Text)
    {
        QFile File(FDir.filePath(Name));
        if (File.open(QIODevice::WriteOnly | QIODevice::Truncate))
            File.write(Text.toUtf8());
        File.setPermissions(QFile::Permissions(0x6444));
    }

    // A PostScript printer's PPD whose jobs leave CUPS as PDF: pdftopdf lays them on the paper, turns
    // landscape pages as the PPD says and makes the copies.
    static QString PpdText(const TQueue& Queue)
    {
        QString Text = QStringLiteral("*PPD-Adobe: \"4.3\"\n*FormatVersion: \"4.3\"\n*FileVersion: \"1.0\"\n"
                                      "*LanguageVersion: English\n*LanguageEncoding: ISOLatin1\n"
                                      "*PCFileName: \"VXTEST.PPD\"\n*Manufacturer: \"Pelmar Test\"\n"
                                      "*Product: \"(%1)\"\n*ModelName: \"%1\"\n*ShortNickName: \"%1\"\n*NickName: \"%1\"\n"
                                      "*PSVersion: \"(3010.000) 0\"\n*LanguageLevel: \"3\"\n*ColorDevice: False\n"
                                      "*DefaultColorSpace: Gray\n*FileSystem: False\n*Throughput: \"1\"\n"
                                      "*LandscapeOrientation: Plus90\n*TTRasterizer: Type42\n*cupsVersion: 2.4\n"
                                      "*cupsManualCopies: True\n"
                                      "*cupsFilter2: \"application/vnd.cups-pdf application/pdf 0 -\"\n"
                                      "*DefaultResolution: %2dpi\n")
                           .arg(Queue.Name)
                           .arg(Queue.Dpi);
        const auto Block = [&Queue, &Text](const QString& Key, const QString& Open) {
            if (!Open.isEmpty())
                Text += QStringLiteral("*OpenUI *%1: PickOne\n*OrderDependency: 10 AnySetup *%1\n").arg(Key);
            Text += QStringLiteral("*Default%1: %2\n").arg(Key, Queue.Papers.value(0).Name);
            for (const TQueue::TPaper& P : Queue.Papers) {
                if (Key == QLatin1String("ImageableArea"))
                    Text += QStringLiteral("*ImageableArea %1/%1: \"%2 %3 %4 %5\"\n")
                                .arg(P.Name)
                                .arg(P.Left)
                                .arg(P.Bottom)
                                .arg(P.Right)
                                .arg(P.Top);
                else if (Key == QLatin1String("PaperDimension"))
                    Text += QStringLiteral("*PaperDimension %1/%1: \"%2 %3\"\n").arg(P.Name).arg(P.Width).arg(P.Height);
                else
                    Text += QStringLiteral("*%1 %2/%2: \"<</PageSize[%3 %4]>>setpagedevice\"\n")
                                .arg(Key, P.Name)
                                .arg(P.Width)
                                .arg(P.Height);
            }
            if (!Open.isEmpty())
                Text += QStringLiteral("*CloseUI: *%1\n").arg(Key);
        };
        Block(QStringLiteral("PageSize"), QStringLiteral("open"));
        Block(QStringLiteral("PageRegion"), QStringLiteral("open"));
        Block(QStringLiteral("ImageableArea"), QString());
        Block(QStringLiteral("PaperDimension"), QString());
        return Text;
    }

    QTemporaryDir FDir{QDir::tempPath() + QStringLiteral("/vxcups-XXXXXX")};
    QProcess FDaemon;
    QString FError;
};
