#pragma once

#include <cstdint>

// The fixed file version that a Windows program or library carries in its version resource, re-made
// for ELF files: a note section ".note.file-version" whose note, owned by "FileVersion" and of type 1,
// holds four 32-bit numbers (major, minor, release, build) in the file's byte order. A program or
// library states its own version with VX_FILE_VERSION in exactly one of its source files; anyone reads
// it from the file with ReadFileVersion (FileVersion.h), without loading or running it. This header
// needs nothing but the compiler, so that outside libraries use it too.

struct TFileVersionNote
{
    std::uint32_t NameSize;
    std::uint32_t DescriptionSize;
    std::uint32_t Type;
    char Name[12];
    std::uint32_t Version[4];
};
static_assert(sizeof(TFileVersionNote) == 40);

// The linker keeps the note even though nothing refers to it ("used"); "a" sections named ".note..."
// become a note segment of the file.
#define VX_FILE_VERSION(Major, Minor, Release, Build)                                                                  \
    extern "C" __attribute__((used, section(".note.file-version"), aligned(4)))                                        \
    const TFileVersionNote VxFileVersionNote = {12, 16, 1, "FileVersion", {(Major), (Minor), (Release), (Build)}}
