#include "platform/ui/WindowLog.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <gtest/gtest.h>

namespace {

// A control of Window with Text, Width wide, named Name.
template <typename TControl> TControl* Control(QWidget& Window, const char* Name, const QString& Text, int Width)
{
    auto* Made = new TControl(&Window);
    Made->setObjectName(QLatin1String(Name));
    Made->setText(Text);
    Made->setGeometry(10, 10, Width, 30);
    return Made;
}

} // namespace

// Each kind of control is cut once it is narrower than its text and whole when it is wide enough; a hidden
// control, an empty one and a label that wraps within its height are never cut, and one without a name
// is told by its class and text.
TEST(WindowLogTest, CutTextsTellsTheControlsTooNarrowForTheirText)
{
    const QString Text = QStringLiteral("データベースファイルを最適化します");
    QWidget Window;
    Control<QLabel>(Window, "lblNarrow", Text, 60);
    Control<QLabel>(Window, "lblWide", Text, 600);
    Control<QLineEdit>(Window, "edtNarrow", Text, 60);
    Control<QLineEdit>(Window, "edtWide", Text, 600);
    Control<QLineEdit>(Window, "edtEmpty", QString(), 10);
    Control<QCheckBox>(Window, "chkNarrow", Text, 60);
    Control<QCheckBox>(Window, "chkWide", Text, 600);
    Control<QRadioButton>(Window, "rbNarrow", Text, 60);
    Control<QPushButton>(Window, "btnNarrow", Text, 60);
    Control<QPushButton>(Window, "btnWide", Text, 600);
    Control<QPushButton>(Window, "btnHidden", Text, 60)->hide();
    auto* Wrapped = Control<QLabel>(Window, "lblWrapped", Text, 120);
    Wrapped->setWordWrap(true);
    Wrapped->setFixedHeight(Wrapped->heightForWidth(120));
    auto* Short = Control<QLabel>(Window, "lblWrappedShort", Text, 120);
    Short->setWordWrap(true);
    Short->setFixedHeight(Short->fontMetrics().height());
    Control<QLabel>(Window, "", QStringLiteral("名無し") + Text, 60);
    Window.resize(700, 100);
    Window.show();

    QStringList Cut = CutTexts(&Window);
    Cut.sort();
    QStringList Expected{QStringLiteral("btnNarrow"),           QStringLiteral("chkNarrow"),
                         QStringLiteral("edtNarrow"),           QStringLiteral("lblNarrow"),
                         QStringLiteral("lblWrappedShort"),     QStringLiteral("rbNarrow"),
                         QStringLiteral("QLabel 名無し") + Text};
    Expected.sort();
    EXPECT_EQ(Cut, Expected) << Cut.join(u' ').toStdString();
}
