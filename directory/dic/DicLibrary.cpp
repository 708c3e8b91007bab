#include "directory/dic/DicLibrary.h"

#include "directory/dic/AdrsHitRecord.h"
#include "platform/sys/Folders.h"
#include "platform/text/Cp932.h"

QString DicLibraryFolder(const QString& Folder)
{
    return IncludeTrailingDelimiter(Folder.isEmpty() ? GetProgramFolder() : Folder);
}

QString HitField(const QString& Text, int Capacity)
{
    return Cp932Left(Text, Capacity - 1);
}
