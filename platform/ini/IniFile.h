#pragma once

#include "platform/ini/IniText.h"
#include "platform/sys/SafeWrite.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

using TIniFileMode = TFileAccess;

// An INI file held whole in memory, read at construction and written back only by UpdateFile.
// Section and key names compare case-insensitively; the file's order, comments (";" lines),
// blank lines and sections nobody asked about survive a read and write. Values are not escaped:
// "Name=value" splits at the first "=", and both sides lose surrounding blanks.
//
// A file keeps its form: every line the program did not change is written back with the bytes it was
// read with, and changed or new lines take the file's encoding and line break (IniText.h). A new file
// is UTF-8 with LF. A CP932 file that has to take a character CP932 lacks becomes UTF-8 as a whole.
//
// A value that would break its line (IniText.h, HoldsLineBreak), and a name that would not read back
// as the same key, is refused rather than written: the write changes nothing, and UpdateFile then
// writes nothing and answers false, so that no value can add keys or sections of its own.
class TMemIniFile
{
public:
    explicit TMemIniFile(const QString& FileName, TIniFileMode Mode = TFileAccess::KeepMode);

    [[nodiscard]] const QString& FileName() const { return FFileName; }

    [[nodiscard]] QString ReadString(const QString& Section, const QString& Ident, const QString& Default) const;
    // Decimal or "$"-hexadecimal with an optional sign; anything else, or a value beyond 32 bits, gives Default.
    [[nodiscard]] int ReadInteger(const QString& Section, const QString& Ident, int Default) const;
    // Any non-zero integer is true; a value that is no integer gives Default.
    [[nodiscard]] bool ReadBool(const QString& Section, const QString& Ident, bool Default) const;
    [[nodiscard]] double ReadFloat(const QString& Section, const QString& Ident, double Default) const;

    void WriteString(const QString& Section, const QString& Ident, const QString& Value);
    void WriteInteger(const QString& Section, const QString& Ident, int Value);
    void WriteBool(const QString& Section, const QString& Ident, bool Value); // "1" / "0"
    void WriteFloat(const QString& Section, const QString& Ident, double Value);

    [[nodiscard]] QStringList ReadSection(const QString& Section) const; // the keys, in file order
    [[nodiscard]] QStringList ReadSections() const;
    [[nodiscard]] QStringList ReadSectionValues(const QString& Section) const; // "Name=value" lines
    [[nodiscard]] bool SectionExists(const QString& Section) const;
    [[nodiscard]] bool ValueExists(const QString& Section, const QString& Ident) const;

    void EraseSection(const QString& Section);
    void DeleteKey(const QString& Section, const QString& Ident);

    // Writes the whole file: a temporary file in the same folder, flushed to disk, renamed into place.
    // A failure, or a write refused since the file was read, leaves the old file as it was.
    [[nodiscard]] bool UpdateFile();
    // Why the last UpdateFile could not write the file, as an errno; 0 after a write, a refused write or
    // a failure the system gave no reason for.
    [[nodiscard]] int LastError() const { return FLastError; }
    // The refused writes, as "Section/Ident".
    [[nodiscard]] const QStringList& RefusedWrites() const { return FRefused; }

    // The encoding of the lines written from now on, for files that others read in a code page of
    // their own: with Cp932 new lines are CP932 (the whole file turns UTF-8 only when a line holds a
    // character CP932 lacks, as for a CP932 file read).
    void SetEncoding(TTextEncoding Encoding) { FEncoding = Encoding; }
    // The line break of the lines written from now on ("\r\n" for files that others read as Windows
    // text); lines read keep their own.
    void SetLineBreak(const QByteArray& Break) { FBreak = Break; }

    // The file as UpdateFile writes it.
    [[nodiscard]] QByteArray ToBytes() const;
    // Replaces the contents with the text of Bytes, decoded as a read file is.
    void FromBytes(const QByteArray& Bytes);

private:
    struct TLine
    {
        // A key line has a name; comments, blank lines and lines without "=" have Text only.
        QString Name;
        QString Value;
        QString Text;                    // the whole line
        std::optional<TTextLine> AsRead; // none for a line the program made or changed
        [[nodiscard]] bool IsKey() const { return !Name.isEmpty(); }
    };
    struct TSection
    {
        QString Name;
        TLine Header;
        QList<TLine> Lines;
    };
    [[nodiscard]] QByteArray NewLineBytes(const QString& Text) const;
    // How LinesToBytes writes lines: Kept keeps each read line's bytes where the file's encoding allows.
    enum class TLineBytes { Kept, AllUtf8 };
    [[nodiscard]] QByteArray LinesToBytes(const QList<const TLine*>& All, bool InCp932, const QByteArray& Bom,
                                          TLineBytes Mode = TLineBytes::Kept) const;
    [[nodiscard]] static bool NewLinesReadBack(const QList<const TLine*>& All, const QByteArray& Bytes);

    [[nodiscard]] const TSection* FindSection(const QString& Section) const;
    [[nodiscard]] TSection* FindSection(const QString& Section);
    [[nodiscard]] std::optional<QString> FindValue(const QString& Section, const QString& Ident) const;
    [[nodiscard]] bool Refuse(const QString& Section, const QString& Ident, const QString& Value);

    QString FFileName;
    TIniFileMode FMode;
    QByteArray FBom;
    TTextEncoding FEncoding = TTextEncoding::Utf8;
    QByteArray FBreak = QByteArrayLiteral("\n"); // for lines the program writes
    QList<TLine> FPreamble;                      // lines before the first section
    QList<TSection> FSections;
    QStringList FRefused;
    int FLastError = 0;
};
