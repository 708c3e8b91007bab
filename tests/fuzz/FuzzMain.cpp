// Outside a libFuzzer build each target gets this driver: it runs the target once over every file
// named (a folder: every file in it), so the ordinary test run replays the seeds and the inputs
// that once broke a reader.

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cstdint>
#include <cstdio>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size);
extern "C" __attribute__((weak)) int LLVMFuzzerInitialize(int* argc, char*** argv);

int main(int argc, char** argv)
{
    if (LLVMFuzzerInitialize)
        LLVMFuzzerInitialize(&argc, &argv);
    QStringList Files;
    for (int I = 1; I < argc; ++I) {
        const QString Path = QFile::decodeName(argv[I]);
        if (QFileInfo(Path).isDir()) {
            const QDir Dir(Path);
            for (const QString& Name : Dir.entryList(QDir::Files | QDir::Hidden, QDir::Name))
                Files.append(Dir.filePath(Name));
        } else {
            Files.append(Path);
        }
    }
    if (Files.isEmpty()) {
        std::fprintf(stderr, "usage: %s FILE-OR-FOLDER...\n", argv[0]);
        return 2;
    }
    for (const QString& Name : Files) {
        QFile File(Name);
        if (!File.open(QIODevice::ReadOnly)) {
            std::fprintf(stderr, "cannot read %s\n", qPrintable(Name));
            return 1;
        }
        const QByteArray Bytes = File.readAll();
        std::fprintf(stderr, "%s\n", qPrintable(Name));
        LLVMFuzzerTestOneInput(reinterpret_cast<const std::uint8_t*>(Bytes.constData()),
                               static_cast<std::size_t>(Bytes.size()));
    }
    std::fprintf(stderr, "%lld inputs passed\n", static_cast<long long>(Files.size()));
    return 0;
}
