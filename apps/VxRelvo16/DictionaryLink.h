#pragma once

#include "directory/dicdialog/DicProgram.h"
#include "main/identify/AppSub.h"
#include "main/settings/Settings.h"
#include "platform/sys/Folders.h"

// The dictionary dialog of both record windows identifies a number as an incoming call is
// identified and loads its libraries from the program folder.
inline void InstallDictionaryLink()
{
    InstallDicProgram({[](bool EarlierSearch, const QString& Number, TCallerRecord& Record) {
                           const int Result = IdentifyCaller(EarlierSearch, true, Number, Record);
                           if (Result == IdentifyFound)
                               return TDicCallerAnswer::Found;
                           return NeedsAreaCodeSearch(Result) ? TDicCallerAnswer::Unknown : TDicCallerAnswer::Stopped;
                       },
                       [] { return ProgramPath.isEmpty() ? GetProgramFolder() : ProgramPath; }});
}
