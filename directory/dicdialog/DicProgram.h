#pragma once

#include "main/common/CallerRec.h"

#include <QString>
#include <functional>

// What the dictionary dialog takes from the program: the identification its telephone search asks
// first, and the folder its libraries are loaded from. The program installs it as it starts.

// What the identification made of a number.
enum class TDicCallerAnswer
{
    Found,   // the record holds the caller
    Stopped, // the user stopped the search
    Unknown, // nobody known by that number: its area code still tells where it belongs
};

struct TDicProgram
{
    // Fills Record for Number (EarlierSearch: the directory in use first), the user confirming a hit.
    std::function<TDicCallerAnswer(bool EarlierSearch, const QString& Number, TCallerRecord& Record)> IdentifyCaller;
    // The program folder with its trailing delimiter: the libraries lie there, their data in "Dic".
    std::function<QString()> ProgramFolder;
    [[nodiscard]] bool Installed() const { return IdentifyCaller && ProgramFolder; }
};

void InstallDicProgram(TDicProgram Program);
// The installed link; a dialog opened before the program installed it is a fault of the program.
[[nodiscard]] const TDicProgram& DicProgram();
