#include "platform/sys/FileVersion.h"

#include <QFile>
#include <QtEndian>

namespace {

const QByteArray SectionName = QByteArrayLiteral(".note.file-version");
const QByteArray OwnerName = QByteArrayLiteral("FileVersion");
constexpr std::uint32_t VersionNoteType = 1;
// No note section of ours comes near this; anything larger is not read.
constexpr qint64 MaxNoteSectionBytes = 4096;
constexpr qint64 MaxNameTableBytes = 1024 * 1024;

// Reads integers of either width in the file's byte order.
struct TElfBytes
{
    bool BigEndian = false;

    [[nodiscard]] quint64 Read(const QByteArray& Bytes, qsizetype Offset, int Width) const
    {
        if (Offset < 0 || Offset + Width > Bytes.size())
            return 0;
        const uchar* At = reinterpret_cast<const uchar*>(Bytes.constData()) + Offset;
        switch (Width) {
        case 2:
            return BigEndian ? qFromBigEndian<quint16>(At) : qFromLittleEndian<quint16>(At);
        case 4:
            return BigEndian ? qFromBigEndian<quint32>(At) : qFromLittleEndian<quint32>(At);
        default:
            return BigEndian ? qFromBigEndian<quint64>(At) : qFromLittleEndian<quint64>(At);
        }
    }
};

QByteArray ReadAt(QFile& File, quint64 Offset, quint64 Size)
{
    if (Offset > static_cast<quint64>(File.size()) || Size > static_cast<quint64>(File.size()) - Offset ||
        !File.seek(static_cast<qint64>(Offset)))
        return {};
    return File.read(static_cast<qint64>(Size));
}

std::optional<std::array<int, 4>> FindVersionNote(const QByteArray& Notes, const TElfBytes& Elf)
{
    qsizetype At = 0;
    while (At + 12 <= Notes.size()) {
        const quint64 NameSize = Elf.Read(Notes, At, 4);
        const quint64 DescriptionSize = Elf.Read(Notes, At + 4, 4);
        const quint64 Type = Elf.Read(Notes, At + 8, 4);
        const quint64 NameStart = At + 12;
        const quint64 DescriptionStart = NameStart + ((NameSize + 3) & ~quint64(3));
        const quint64 Next = DescriptionStart + ((DescriptionSize + 3) & ~quint64(3));
        if (NameSize > MaxNoteSectionBytes || DescriptionSize > MaxNoteSectionBytes ||
            Next > static_cast<quint64>(Notes.size()))
            return std::nullopt;
        const QByteArray Name = Notes.mid(static_cast<qsizetype>(NameStart), static_cast<qsizetype>(NameSize));
        if (Type == VersionNoteType && DescriptionSize == 16 && Name == OwnerName + '\0') {
            std::array<int, 4> Version{};
            for (int I = 0; I < 4; ++I)
                Version[I] = static_cast<int>(Elf.Read(Notes, static_cast<qsizetype>(DescriptionStart) + 4 * I, 4));
            return Version;
        }
        At = static_cast<qsizetype>(Next);
    }
    return std::nullopt;
}

} // namespace

std::optional<std::array<int, 4>> ReadFileVersion(const QString& Path)
{
    QFile File(Path);
    if (!File.open(QIODevice::ReadOnly))
        return std::nullopt;
    const QByteArray Header = File.read(64);
    if (Header.size() < 52 || !Header.startsWith("\x7f"
                                                 "ELF"))
        return std::nullopt;
    const bool Wide = Header[4] == 2;
    if ((Header[4] != 1 && !Wide) || (Header[5] != 1 && Header[5] != 2) || (Wide && Header.size() < 64))
        return std::nullopt;
    const TElfBytes Elf{Header[5] == 2};

    // Where the section headers lie, and which of them names the sections.
    const quint64 TableOffset = Elf.Read(Header, Wide ? 0x28 : 0x20, Wide ? 8 : 4);
    const quint64 EntrySize = Elf.Read(Header, Wide ? 0x3A : 0x2E, 2);
    const quint64 Count = Elf.Read(Header, Wide ? 0x3C : 0x30, 2);
    const quint64 NamesIndex = Elf.Read(Header, Wide ? 0x3E : 0x32, 2);
    if (EntrySize < (Wide ? 64u : 40u) || Count == 0 || NamesIndex >= Count)
        return std::nullopt;
    const QByteArray Table = ReadAt(File, TableOffset, EntrySize * Count);
    if (static_cast<quint64>(Table.size()) != EntrySize * Count)
        return std::nullopt;
    struct TSection
    {
        quint64 Name, Offset, Size;
    };
    const auto SectionAt = [&](quint64 Index) {
        const qsizetype Base = static_cast<qsizetype>(Index * EntrySize);
        return TSection{Elf.Read(Table, Base, 4), Elf.Read(Table, Base + (Wide ? 24 : 16), Wide ? 8 : 4),
                        Elf.Read(Table, Base + (Wide ? 32 : 20), Wide ? 8 : 4)};
    };
    const TSection NamesSection = SectionAt(NamesIndex);
    if (NamesSection.Size > MaxNameTableBytes)
        return std::nullopt;
    const QByteArray Names = ReadAt(File, NamesSection.Offset, NamesSection.Size);

    for (quint64 Index = 0; Index < Count; ++Index) {
        const TSection Section = SectionAt(Index);
        if (Section.Name >= static_cast<quint64>(Names.size()))
            continue;
        const qsizetype NameStart = static_cast<qsizetype>(Section.Name);
        const qsizetype NameEnd = Names.indexOf('\0', NameStart);
        if (NameEnd < 0 || Names.mid(NameStart, NameEnd - NameStart) != SectionName)
            continue;
        if (Section.Size > MaxNoteSectionBytes)
            return std::nullopt;
        return FindVersionNote(ReadAt(File, Section.Offset, Section.Size), Elf);
    }
    return std::nullopt;
}
