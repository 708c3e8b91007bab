#pragma once

// The real program on a desktop with a real Japanese input method, typed into with xdotool as a
// person types: for tests that run inside tests/support/ime-session (Xvfb, openbox, a session bus,
// fcitx5 with Mozc). Outside such a session the tests skip and say why.
#include "tests/support/ProgramHarness.h"

#include <QElapsedTimer>
#include <QJsonArray>
#include <QJsonObject>
#include <QProcess>
#include <QRect>
#include <QThread>
#include <gtest/gtest.h>

#define VX_REQUIRE_IME_SESSION()                                                                                       \
    do {                                                                                                               \
        if (qEnvironmentVariable("VX_IME_SESSION") != QStringLiteral("1"))                                             \
            GTEST_SKIP() << "no input-method session: "                                                                \
                         << (qEnvironmentVariableIsSet("VX_IME_SESSION_FAULT")                                         \
                                 ? qPrintable(qEnvironmentVariable("VX_IME_SESSION_FAULT"))                            \
                                 : "not run through tests/support/ime-session");                                       \
    } while (false)

namespace ImeDesktop {

// Mozc shows each key's effect on its own time; a person types slower than this.
inline constexpr int KeyDelay = 120;
inline constexpr int Settle = 700;

inline bool Xdo(const QStringList& Arguments)
{
    QProcess Tool;
    Tool.start(QStringLiteral("xdotool"), Arguments);
    const bool Done = Tool.waitForFinished(20000) && Tool.exitCode() == 0;
    QThread::msleep(Settle);
    return Done;
}

// Letters as typed on the keyboard (romaji while Mozc is on).
inline bool Type(const QString& Letters)
{
    return Xdo({QStringLiteral("type"), QStringLiteral("--delay"), QString::number(KeyDelay), Letters});
}

// Keys by their X names, one after the other ("space", "Return", "ctrl+Down", "F7").
inline bool Keys(const QStringList& Names)
{
    QStringList Arguments{QStringLiteral("key"), QStringLiteral("--delay"), QString::number(KeyDelay * 2)};
    return Xdo(Arguments + Names);
}

inline bool Click(const QPoint& At, int Count = 1)
{
    return Xdo({QStringLiteral("mousemove"), QString::number(At.x()), QString::number(At.y()), QStringLiteral("click"),
                QStringLiteral("--repeat"), QString::number(Count), QStringLiteral("--delay"), QStringLiteral("80"),
                QStringLiteral("1")});
}

// Raises the program's window of that title, as the desktop does when a person clicks it.
inline bool Activate(const QString& Title)
{
    return Xdo({QStringLiteral("search"), QStringLiteral("--sync"), QStringLiteral("--onlyvisible"),
                QStringLiteral("--name"), QStringLiteral("^") + Title + QStringLiteral("$"),
                QStringLiteral("windowactivate"), QStringLiteral("--sync")});
}

// The whole screen as a PNG for a person to look at (with VX_SCREENSHOT_DIR, else the temp folder).
inline QString Screenshot(const QString& Name)
{
    QString Folder = qEnvironmentVariable("VX_SCREENSHOT_DIR");
    if (Folder.isEmpty())
        Folder = QDir::tempPath();
    const QString File = Folder + QStringLiteral("/") + Name + QStringLiteral(".png");
    QProcess::execute(QStringLiteral("import"), {QStringLiteral("-window"), QStringLiteral("root"), File});
    return File;
}

// The last state a window logged, once it logged at least Count times.
inline QJsonObject LastFill(const TProgramHarness& Program, const QString& Window, qsizetype Count = 1)
{
    QElapsedTimer Clock;
    Clock.start();
    QList<QJsonObject> Fills = Program.WindowFills(Window);
    while (Fills.size() < Count && Clock.elapsed() < TProgramHarness::Patience) {
        QThread::msleep(50);
        Fills = Program.WindowFills(Window);
    }
    return Fills.size() >= Count ? Fills.last() : QJsonObject();
}

inline QString Field(const QJsonObject& Fill, const QString& Name)
{
    return Fill.value(QStringLiteral("fields")).toObject().value(Name).toString();
}

inline QRect Place(const QJsonObject& Fill, const QString& Name)
{
    const QJsonArray Rect = Fill.value(QStringLiteral("places")).toObject().value(Name).toArray();
    return Rect.size() == 4 ? QRect(Rect[0].toInt(), Rect[1].toInt(), Rect[2].toInt(), Rect[3].toInt()) : QRect();
}

// The texts of a window's controls now: the window logs itself on request.
inline QJsonObject Fields(TProgramHarness& Program, const QString& Window)
{
    const qsizetype Before = Program.WindowFills(Window).size();
    Program.ScriptLine({{QStringLiteral("window"), Window}, {QStringLiteral("log"), true}});
    return LastFill(Program, Window, Before + 1);
}

// Puts the focus into a control of the window, as a click into it would.
inline void FocusOn(TProgramHarness& Program, const QString& Window, const QString& Control)
{
    Program.ScriptLine({{QStringLiteral("window"), Window}, {QStringLiteral("focus"), Control}});
    QThread::msleep(Settle);
}

} // namespace ImeDesktop
