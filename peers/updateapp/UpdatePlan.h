#pragma once

#include <QList>
#include <QString>

// What the updater makes of updateinfo.dat: where the program lives, whether to start it again,
// and each downloaded file with the place it goes. Kept apart from the updater's main so that the
// program's tests can read a hand-over file exactly as the updater does.

struct TUpdateMove
{
    QString Name;         // [FILEn] Name
    QString Path;         // [FILEn] Path, relative to the program folder
    QString DLFile;       // [FILEn] DLFile, in the update folder
    QString Target;       // the program folder + Path + Name
    bool Allowed = false; // false: the entry would lead out of its folder and is left alone
};

struct TUpdatePlan
{
    bool Usable = false;   // [APP] names the program and its folder
    QString ProgramFolder; // absolute, with a trailing "/"
    QString Exe;
    bool Restart = false;
    QList<TUpdateMove> Moves; // FILE1, FILE2, ... up to the first number missing
};

[[nodiscard]] TUpdatePlan ReadUpdatePlan(const QString& InfoFileName);
