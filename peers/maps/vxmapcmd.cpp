// Stand-in for the three map programs that take their request on the command line: ZENRIN EmapZ,
// ZENRIN its-mo Navi and GrandMap. One program, installed under each of their names
// (scripts/install-map-standins):
//
//   EmapZ | its-moNavi | GrandMap ARGS...   shows what it was asked until the window is closed
//   EmapZ | its-moNavi | GrandMap --install writes the registry entry the real installer would
//
// With VX_MAP_LOG=FILE each start appends {"program", "cwd", "args"} to FILE as one JSON line;
// with VX_MAP_EXIT=1 it ends right after that, for tests. Exit codes: 0 done, 1 the registry
// could not be written, 2 a name it does not stand in for.

#include "peers/maps/MapCmdArgs.h"
#include "platform/sys/Folders.h"
#include "platform/sys/Registry.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFormLayout>
#include <QFrame>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QPushButton>
#include <QTextStream>
#include <QVBoxLayout>
#include <cmath>

namespace {

void LogStart(const QString& Program, const QStringList& Args)
{
    const QString LogName = qEnvironmentVariable("VX_MAP_LOG");
    if (LogName.isEmpty())
        return;
    QFile Log(LogName);
    if (!Log.open(QIODevice::WriteOnly | QIODevice::Append))
        return;
    const QJsonObject Line{{QStringLiteral("program"), QFileInfo(Program).fileName()},
                           {QStringLiteral("cwd"), QDir::currentPath()},
                           {QStringLiteral("args"), QJsonArray::fromStringList(Args)}};
    Log.write(QJsonDocument(Line).toJson(QJsonDocument::Compact) + '\n');
}

int Install(TMapCmdKind Kind, const QString& Self)
{
    const QFileInfo Info(Self);
    bool Written = false;
    switch (Kind) {
    case TMapCmdKind::EmapZ:
        Written = WriteRegistryString(QStringLiteral("HKEY_CURRENT_USER\\Software\\ZENRIN\\EmapZ\\InstallInfo"),
                                      QStringLiteral("Directory"), Info.absoluteFilePath());
        break;
    case TMapCmdKind::ItsMoNavi: // installed as <InstallPath>/bin/its-moNavi
        Written = WriteRegistryString(QStringLiteral("HKEY_LOCAL_MACHINE\\SOFTWARE\\ZENRIN\\ZmapNet\\PC"),
                                      QStringLiteral("InstallPath"),
                                      IncludeTrailingDelimiter(QFileInfo(Info.absolutePath()).absolutePath()));
        break;
    case TMapCmdKind::GrandMap:
        Written =
            WriteRegistryString(QStringLiteral("HKEY_LOCAL_MACHINE\\SOFTWARE\\MapNet\\GrandMap"),
                                QStringLiteral("Install Directory"), IncludeTrailingDelimiter(Info.absolutePath()));
        break;
    case TMapCmdKind::Unknown:
        QTextStream(stderr) << "EmapZ, its-moNavi, GrandMap のいずれかの名前で置いてから --install してください\n";
        return 2;
    }
    if (!Written) {
        QTextStream(stderr) << RegistryFileName() << " に書き込めませんでした\n";
        return 1;
    }
    QTextStream(stdout) << RegistryFileName() << " に登録しました\n";
    return 0;
}

// 35.555556 degrees as "35度33分20.00秒".
QString DmsText(double Degrees)
{
    const double Hundredths = std::round(Degrees * 360000.0);
    const auto Whole = static_cast<long long>(Hundredths);
    return QStringLiteral("%1度%2分%3.%4秒")
        .arg(Whole / 360000)
        .arg(Whole / 6000 % 60, 2, 10, QLatin1Char('0'))
        .arg(Whole / 100 % 60, 2, 10, QLatin1Char('0'))
        .arg(Whole % 100, 2, 10, QLatin1Char('0'));
}

QString QuotedArguments(const QStringList& Args)
{
    QStringList Shown;
    for (const QString& Arg : Args)
        Shown << (Arg.isEmpty() || Arg.contains(QLatin1Char(' ')) || Arg.contains(QChar(0x3000))
                      ? QStringLiteral("「%1」").arg(Arg)
                      : Arg);
    return Shown.join(QLatin1Char(' '));
}

QLabel* Value(const QString& Text, const char* Name)
{
    auto* Label = new QLabel(Text);
    Label->setObjectName(QLatin1String(Name));
    Label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    Label->setWordWrap(true);
    return Label;
}

int ShowRequest(TMapCmdKind Kind, const QStringList& Args)
{
    const TMapCmdRequest R = ReadMapCommand(Kind, Args);
    QWidget Window;
    Window.setObjectName(QStringLiteral("MapStandIn"));
    Window.setWindowTitle(MapCmdName(R.Kind) + QStringLiteral("（代用）"));
    auto* Layout = new QVBoxLayout(&Window);
    // Under a bare X server there is no title bar: the text itself says which program this is.
    auto* Note =
        new QLabel(QStringLiteral("「%1」の代わりに、表示を頼まれた場所を示しています。").arg(MapCmdName(R.Kind)));
    Note->setObjectName(QStringLiteral("lblNote"));
    Layout->addWidget(Note);

    auto* Box = new QFrame;
    Box->setFrameShape(QFrame::StyledPanel);
    auto* Form = new QFormLayout(Box);
    if (!R.Error.isEmpty()) {
        Form->addRow(QStringLiteral("読めない指定"), Value(R.Error, "lblError"));
    } else if (R.ByPosition) {
        Form->addRow(QStringLiteral("表示方法"), Value(QStringLiteral("緯度経度で表示"), "lblMode"));
        Form->addRow(QStringLiteral("北緯"),
                     Value(QStringLiteral("%1度（%2）").arg(QString::number(R.Latitude, 'f', 6), DmsText(R.Latitude)),
                           "lblLatitude"));
        Form->addRow(QStringLiteral("東経"),
                     Value(QStringLiteral("%1度（%2）").arg(QString::number(R.Longitude, 'f', 6), DmsText(R.Longitude)),
                           "lblLongitude"));
        if (!R.Address.isEmpty())
            Form->addRow(QStringLiteral("住所（参考）"), Value(R.Address, "lblAddress"));
    } else {
        Form->addRow(QStringLiteral("表示方法"), Value(QStringLiteral("住所で表示"), "lblMode"));
        Form->addRow(QStringLiteral("住所"),
                     Value(R.Address.isEmpty() ? QStringLiteral("（指定なし）") : R.Address, "lblAddress"));
    }
    Form->addRow(QStringLiteral("受け取った引数"), Value(QuotedArguments(Args), "lblArguments"));
    Layout->addWidget(Box);

    auto* Buttons = new QDialogButtonBox;
    QPushButton* Close = Buttons->addButton(QStringLiteral("閉じる"), QDialogButtonBox::AcceptRole);
    Close->setObjectName(QStringLiteral("btnClose"));
    QObject::connect(Close, &QPushButton::clicked, &Window, &QWidget::close);
    Layout->addWidget(Buttons);
    Window.resize(460, Window.sizeHint().height());
    Window.show();
    return QApplication::exec();
}

} // namespace

int main(int argc, char* argv[])
{
    // Logging and installing need no display, so they come before the window system is asked for.
    QStringList Args;
    for (int I = 1; I < argc; ++I)
        Args << QString::fromLocal8Bit(argv[I]);
    // The name it was started under tells which program it stands in for.
    const QString Started = QString::fromLocal8Bit(argv[0]);
    const QString Self = Started.contains(QLatin1Char('/'))
                             ? QFileInfo(Started).absoluteFilePath()
                             : QFileInfo(QStringLiteral("/proc/self/exe")).symLinkTarget();
    const TMapCmdKind Kind = MapCmdKindOf(Self);
    if (Args == QStringList{QStringLiteral("--install")})
        return Install(Kind, Self);
    LogStart(Self, Args);
    if (qEnvironmentVariable("VX_MAP_EXIT") == QLatin1String("1"))
        return 0;
    QApplication App(argc, argv);
    return ShowRequest(Kind, Args);
}
