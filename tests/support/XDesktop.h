#pragma once

#include "tests/support/ProgramHarness.h"

#include <QElapsedTimer>
#include <QFile>
#include <QPoint>
#include <QRect>
#include <QHash>
#include <QProcess>
#include <QStandardPaths>
#include <QThread>

// A display of the test's own with a real window manager, which frames the program's windows as the
// desktop does: Xvfb finds a free display itself, and openbox says when it is ready. Input goes in
// through xdotool as a person's would: the pointer, the keys, and the window manager's own close.
class TXDesktop
{
public:
    // Screen is Xvfb's screen, width x height x depth.
    explicit TXDesktop(const QString& ReadyFile, const QString& Screen = QStringLiteral("1280x1024x24"))
    {
        Server.start(QStringLiteral("Xvfb"),
                     {QStringLiteral("-displayfd"), QStringLiteral("1"), QStringLiteral("-screen"), QStringLiteral("0"),
                      Screen, QStringLiteral("-nolisten"), QStringLiteral("tcp")});
        if (!Server.waitForStarted() || !Server.waitForReadyRead(TProgramHarness::Patience))
            return;
        Display = QStringLiteral(":") + QString::fromLatin1(Server.readLine().trimmed());
        Env = QProcessEnvironment::systemEnvironment();
        Env.insert(QStringLiteral("DISPLAY"), Display);
        Manager.setProcessEnvironment(Env);
        Manager.start(QStringLiteral("openbox"), {QStringLiteral("--startup"), QStringLiteral("touch ") + ReadyFile});
        QElapsedTimer Clock;
        Clock.start();
        while (!QFile::exists(ReadyFile) && Clock.elapsed() < TProgramHarness::Patience)
            QThread::msleep(50);
        Ready = QFile::exists(ReadyFile);
    }
    ~TXDesktop()
    {
        for (QProcess* Process : {&Manager, &Server}) {
            Process->terminate();
            if (!Process->waitForFinished(3000)) {
                Process->kill();
                Process->waitForFinished();
            }
        }
    }
    TXDesktop(const TXDesktop&) = delete;
    TXDesktop& operator=(const TXDesktop&) = delete;

    // Why the desktop cannot be had on this machine; empty when it can.
    [[nodiscard]] static QString Missing(bool WithInput = false, bool WithWindowInfo = false)
    {
        for (const char* Tool : {"Xvfb", "openbox", "xdotool", "xwininfo"})
            if ((WithInput || QLatin1String(Tool) != QLatin1String("xdotool")) &&
                (WithWindowInfo || QLatin1String(Tool) != QLatin1String("xwininfo")) &&
                QStandardPaths::findExecutable(QLatin1String(Tool)).isEmpty())
                return QStringLiteral("%1 is installed by scripts/bootstrap").arg(QLatin1String(Tool));
        return {};
    }

    // Puts the program on this display, as a user's desktop session would run it.
    void Host(TProgramHarness& Program) const
    {
        Program.Environment().insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
        Program.Environment().insert(QStringLiteral("DISPLAY"), Display);
        // On a real display the X keyboard library hands strndup a text without its terminator, which
        // is sound (strndup stops at its length) but which the sanitizers' strict string checks report.
        if (QString Options = Program.Environment().value(QStringLiteral("ASAN_OPTIONS")); !Options.isEmpty())
            Program.Environment().insert(
                QStringLiteral("ASAN_OPTIONS"),
                Options.replace(QStringLiteral("strict_string_checks=1"), QStringLiteral("strict_string_checks=0")));
    }

    // xdotool with Arguments on this display; its output, trimmed. Ok tells whether it succeeded.
    QString XDoTool(const QStringList& Arguments, bool* Ok = nullptr) const
    {
        QProcess Tool;
        Tool.setProcessEnvironment(Env);
        Tool.start(QStringLiteral("xdotool"), Arguments);
        const bool Done = Tool.waitForFinished(TProgramHarness::Patience);
        if (Ok)
            *Ok = Done && Tool.exitStatus() == QProcess::NormalExit && Tool.exitCode() == 0;
        return QString::fromUtf8(Tool.readAllStandardOutput()).trimmed();
    }

    // The mapped windows whose titles contain Title (compared here: xdotool's patterns are regular
    // expressions, which a title need not be).
    [[nodiscard]] QList<qulonglong> Windows(const QString& Title) const
    {
        bool Ok = false;
        const QString Ids = XDoTool(
            {QStringLiteral("search"), QStringLiteral("--onlyvisible"), QStringLiteral("--name"), QStringLiteral(".")},
            &Ok);
        QList<qulonglong> Found;
        if (!Ok)
            return Found;
        for (const QString& Id : Ids.split(QLatin1Char('\n'), Qt::SkipEmptyParts))
            if (XDoTool({QStringLiteral("getwindowname"), Id}).contains(Title))
                Found << Id.toULongLong();
        return Found;
    }
    // The first window whose title contains Title, once it is mapped; 0 when none came in time.
    [[nodiscard]] qulonglong WaitForWindow(const QString& Title) const
    {
        QElapsedTimer Clock;
        Clock.start();
        do {
            if (const QList<qulonglong> Found = Windows(Title); !Found.isEmpty())
                return Found.first();
            QThread::msleep(100);
        } while (Clock.elapsed() < TProgramHarness::Patience);
        return 0;
    }
    // Whether a window of that title is still mapped.
    [[nodiscard]] bool Shows(const QString& Title) const { return !Windows(Title).isEmpty(); }

    // A click (or a double click) of the left button at a point of the screen.
    void ClickAt(QPoint Point, int Count = 1) const
    {
        XDoTool({QStringLiteral("mousemove"), QString::number(Point.x()), QString::number(Point.y()),
                 QStringLiteral("click"), QStringLiteral("--repeat"), QString::number(Count), QStringLiteral("--delay"),
                 QStringLiteral("80"), QStringLiteral("1")});
    }
    // A click at a point of a window, counted from its top-left corner inside the frame.
    void ClickIn(qulonglong Window, QPoint Point, int Count = 1) const
    {
        XDoTool({QStringLiteral("mousemove"), QStringLiteral("--window"), QString::number(Window),
                 QString::number(Point.x()), QString::number(Point.y()), QStringLiteral("click"),
                 QStringLiteral("--repeat"), QString::number(Count), QStringLiteral("--delay"), QStringLiteral("80"),
                 QStringLiteral("1")});
    }
    // Keys typed into a window once the window manager has made it the active one.
    // An activation the window manager has not carried out yet is asked for again, rather than
    // waited for without end ("--sync" hangs when a busy machine loses the first request).
    void KeyIn(qulonglong Window, const QString& Keys) const
    {
        QElapsedTimer Clock;
        Clock.start();
        while (Clock.elapsed() < TProgramHarness::Patience) {
            XDoTool({QStringLiteral("windowactivate"), QString::number(Window)});
            for (int Poll = 0; Poll < 20; ++Poll) {
                if (XDoTool({QStringLiteral("getactivewindow")}).toULongLong() == Window) {
                    XDoTool({QStringLiteral("key"), Keys});
                    return;
                }
                QThread::msleep(100);
            }
        }
    }

    // A window's own area on the screen (inside the frame), as the window manager placed it; xwininfo
    // counts from the root window (xdotool's geometry adds the frame's offset once more).
    [[nodiscard]] QRect ClientArea(qulonglong Window) const
    {
        QProcess Info;
        Info.setProcessEnvironment(Env);
        Info.start(QStringLiteral("xwininfo"), {QStringLiteral("-id"), QString::number(Window)});
        Info.waitForFinished(TProgramHarness::Patience);
        QHash<QString, int> Values;
        for (const QString& Line : QString::fromUtf8(Info.readAllStandardOutput()).split(QLatin1Char('\n'))) {
            const int Colon = Line.indexOf(QLatin1Char(':'));
            if (Colon > 0)
                Values.insert(Line.left(Colon).trimmed(), Line.mid(Colon + 1).trimmed().toInt());
        }
        return {Values.value(QStringLiteral("Absolute upper-left X")), Values.value(QStringLiteral("Absolute upper-left Y")),
                Values.value(QStringLiteral("Width")), Values.value(QStringLiteral("Height"))};
    }

    // With VX_SCREENSHOT_DIR set, the whole screen as a person sees it, saved there as Name.png.
    void Screenshot(const QString& Name) const
    {
        const QString Folder = qEnvironmentVariable("VX_SCREENSHOT_DIR");
        if (Folder.isEmpty())
            return;
        QProcess Import;
        Import.setProcessEnvironment(Env);
        Import.start(QStringLiteral("import"), {QStringLiteral("-window"), QStringLiteral("root"),
                                                Folder + QLatin1Char('/') + Name + QStringLiteral(".png")});
        Import.waitForFinished(TProgramHarness::Patience);
    }

    QProcess Server;
    QProcess Manager;
    QProcessEnvironment Env;
    QString Display;
    bool Ready = false;
};
