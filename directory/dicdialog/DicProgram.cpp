#include "directory/dicdialog/DicProgram.h"

#include <QtGlobal>

namespace {

TDicProgram& Link()
{
    static TDicProgram Program;
    return Program;
}

} // namespace

void InstallDicProgram(TDicProgram Program)
{
    Link() = std::move(Program);
}

const TDicProgram& DicProgram()
{
    if (!Link().Installed())
        qFatal("The dictionary dialog was opened before the program installed its link");
    return Link();
}
