// Stand-in for the maker's address-book product Fernbook, built once per edition: "fbarea18"
// (Fernbook2013) and "fbtype18" (Fernbook2013 Trade). It installs itself as the real product would
// (settings file, data folder, App Paths entry in the registry file) whenever it runs, and then:
//
//   fbarea18                                  shows its books; a second start brings it forward
//   fbarea18 --list [BOOK]                    lists the books, or the entries of one
//   fbarea18 --new BOOK                       creates an empty book
//   fbarea18 --add BOOK TEL NAME [KANA [COMPANY]]   adds an entry to a book
//
// Exit codes: 0 done, 1 the request failed (the reason on stderr), 2 a wrong command line.

#include "peers/fernbook/FernbookBooks.h"
#include "platform/sys/SingleInstance.h"

#include <QApplication>
#include <QCoreApplication>
#include <QLabel>
#include <QListWidget>
#include <QTextStream>
#include <QVBoxLayout>
#include <QWidget>
#include <memory>

namespace {

int Usage(const QString& Program)
{
    QTextStream(stderr) << "使い方:\n"
                        << "  " << Program << "\n"
                        << "  " << Program << " --list [アドレス帳]\n"
                        << "  " << Program << " --new アドレス帳\n"
                        << "  " << Program << " --add アドレス帳 電話番号 名前 [フリガナ [会社名]]\n";
    return 2;
}

int Report(const QString& Error)
{
    if (Error.isEmpty())
        return 0;
    QTextStream(stderr) << Error << '\n';
    return 1;
}

int RunCommand(const TFbEdition& Edition, const QStringList& Args)
{
    const QString& Command = Args.at(0);
    QTextStream Out(stdout);
    if (Command == QLatin1String("--list") && Args.size() <= 2) {
        const QStringList Lines = Args.size() == 1 ? ListFbBooks(Edition) : ListFbEntries(Edition, Args.at(1));
        for (const QString& Line : Lines)
            Out << Line << '\n';
        return 0;
    }
    if (Command == QLatin1String("--new") && Args.size() == 2)
        return Report(CreateFbBook(Edition, Args.at(1)));
    if (Command == QLatin1String("--add") && Args.size() >= 4 && Args.size() <= 6)
        return Report(AddFbEntry(Edition, Args.at(1), {Args.at(2), Args.at(3), Args.value(4), Args.value(5)}));
    return Usage(Edition.ProgramName);
}

// The product's window: what it keeps where, enough to see that it runs and which books it has.
int RunWindow(const TFbEdition& Edition)
{
    TSingleInstance Instance(QStringLiteral("Pelmar.") + Edition.ProgramName);
    if (Instance.Acquire() != TSingleInstance::EAcquire::Acquired) {
        TSingleInstance::RequestActivation(Instance.Name());
        return 0;
    }
    QWidget Window;
    Window.setObjectName(QStringLiteral("Fernbook"));
    Window.setWindowTitle(Edition.DisplayName);
    auto* Layout = new QVBoxLayout(&Window);
    Layout->addWidget(new QLabel(QStringLiteral("データフォルダー： ") + FbDataFolder(Edition), &Window));
    Layout->addWidget(new QLabel(QStringLiteral("アドレス帳："), &Window));
    auto* Books = new QListWidget(&Window);
    Books->setObjectName(QStringLiteral("lbxBooks"));
    for (const QString& Book : ListFbBooks(Edition))
        Books->addItem(Book + QStringLiteral("（") + QString::number(ListFbEntries(Edition, Book).size()) +
                       QStringLiteral("件）"));
    Layout->addWidget(Books);
    QObject::connect(&Instance, &TSingleInstance::ActivationRequested, &Window, [&Window] {
        Window.showNormal();
        Window.raise();
        Window.activateWindow();
    });
    Window.resize(360, 240);
    Window.show();
    return QApplication::exec();
}

} // namespace

int main(int argc, char** argv)
{
    const TFbEdition Edition = FbEditionOf(FB_SERIES);
    std::unique_ptr<QCoreApplication> App;
    if (argc > 1)
        App = std::make_unique<QCoreApplication>(argc, argv);
    else
        App = std::make_unique<QApplication>(argc, argv);
    if (const int Failed = Report(InstallFbEdition(Edition, QCoreApplication::applicationDirPath())); Failed != 0)
        return Failed;
    const QStringList Args = QCoreApplication::arguments().mid(1);
    return Args.isEmpty() ? RunWindow(Edition) : RunCommand(Edition, Args);
}
