#include <QDirIterator>
#include <QFile>
#include <QRegularExpression>
#include <QStringList>
#include <gtest/gtest.h>

// The layers may only reach down: a stand-in of an outside library shares nothing with the program
// but the interface it implements, the platform knows nothing of the product, and the dictionary
// bindings take what they need of the program through interfaces of their own.

namespace {

struct TInclude
{
    QString File;
    QString Header;
};

// Every quoted include of the sources below Folder (relative to the checkout).
QList<TInclude> IncludesUnder(const QString& Folder)
{
    static const QRegularExpression Include(QStringLiteral(R"(^\s*#\s*include\s+"([^"]+)\")"),
                                            QRegularExpression::MultilineOption);
    QList<TInclude> Result;
    const QString Root = QStringLiteral(VX_SOURCE_DIR "/");
    QDirIterator It(Root + Folder, {QStringLiteral("*.cpp"), QStringLiteral("*.h")}, QDir::Files,
                    QDirIterator::Subdirectories);
    while (It.hasNext()) {
        const QString Path = It.next();
        QFile File(Path);
        if (!File.open(QIODevice::ReadOnly))
            continue;
        const QString Text = QString::fromUtf8(File.readAll());
        for (auto Match = Include.globalMatch(Text); Match.hasNext();)
            Result.append({Path.mid(Root.size()), Match.next().captured(1)});
    }
    return Result;
}

QStringList Offending(const QString& Folder, const QStringList& Forbidden, const QStringList& Allowed = {})
{
    QStringList Found;
    for (const TInclude& Each : IncludesUnder(Folder)) {
        const auto Starts = [&](const QString& Prefix) { return Each.Header.startsWith(Prefix); };
        if (std::any_of(Forbidden.begin(), Forbidden.end(), Starts) &&
            std::none_of(Allowed.begin(), Allowed.end(), Starts))
            Found << Each.File + QStringLiteral(" -> ") + Each.Header;
    }
    return Found;
}

const QStringList ProductFolders = {
    QStringLiteral("apps/"),      QStringLiteral("utility/"),  QStringLiteral("main/"),     QStringLiteral("calls/"),
    QStringLiteral("directory/"), QStringLiteral("transfer/"), QStringLiteral("widelayer/")};

} // namespace

TEST(LayerIncludes, LowerLayersIncludeNothingOfTheProduct)
{
    ASSERT_FALSE(IncludesUnder(QStringLiteral("peers")).isEmpty()) << "the sources were not found";
    EXPECT_EQ(Offending(QStringLiteral("peers"), ProductFolders), QStringList());
    EXPECT_EQ(Offending(QStringLiteral("platform"), ProductFolders + QStringList{QStringLiteral("peers/")}),
              QStringList());
}

TEST(LayerIncludes, DictionaryBindingsUseOnlyTheCommonHelpersOfTheCore)
{
    const QStringList Above = {QStringLiteral("main/"), QStringLiteral("apps/"), QStringLiteral("utility/")};
    for (const QString& Folder : {QStringLiteral("directory/dic"), QStringLiteral("directory/dicdialog")}) {
        ASSERT_FALSE(IncludesUnder(Folder).isEmpty()) << Folder.toStdString();
        EXPECT_EQ(Offending(Folder, Above, {QStringLiteral("main/common/")}), QStringList());
    }
}

TEST(LayerIncludes, WindowsReachNothingOfTheProgramsStart)
{
    // The start-up wires the windows together; a window that reached back into it would tie every
    // part to the whole program.
    for (const QString& Folder : {QStringLiteral("calls"), QStringLiteral("directory"), QStringLiteral("transfer")}) {
        ASSERT_FALSE(IncludesUnder(Folder).isEmpty()) << Folder.toStdString();
        EXPECT_EQ(Offending(Folder, {QStringLiteral("main/start/"), QStringLiteral("apps/")}), QStringList())
            << Folder.toStdString();
    }
}
