#pragma once

#include "platform/dynlib/DynLib.h"

#include <QString>

// Loading and binding of the dictionary libraries, each raising its wrapper's exception class with
// the texts the dictionary dialog shows.

// Folder with its trailing "/"; an empty folder is the program's own.
[[nodiscard]] QString DicLibraryFolder(const QString& Folder);

template <typename TError> void LoadDicLibrary(TDynLib& Library, const QString& Folder, const QString& FileName)
{
    if (!Library.Load(Folder + FileName))
        throw TError(FileName + QStringLiteral(" LoadLibrary Error\r\nDLLのロードに失敗しました"));
}

// The export, or the library freed and the error raised.
template <typename TError, typename TProc>
void BindDicProc(TDynLib& Library, TProc& Proc, const char* Name, const QString& FileName)
{
    Proc = Library.SymbolAs<TProc>(Name);
    if (!Proc) {
        Library.Free();
        throw TError(QString::fromLatin1(Name) + QStringLiteral(" (") + FileName +
                     QStringLiteral(") GetProcAddress Error\r\n関数の割り当てに失敗しました"));
    }
}

template <typename TError> [[noreturn]] void RaiseDicCallError(const char* Name, const QString& FileName, int Rc)
{
    throw TError(QString::fromLatin1(Name) + QStringLiteral(" (") + FileName + QStringLiteral(") Call Error\r\nRC = ") +
                 QString::number(Rc));
}
