#include "calls/CallTel.h"

#include "main/device/VxComm.h"
#include "main/settings/IPPBXIni.h"
#include "main/settings/Settings.h"
#include "platform/ini/IniFile.h"
#include "platform/msg/WindowMessage.h"
#include "tests/support/Screenshots.h"
#include "tests/support/ScriptedBoxes.h"
#include "tests/support/VxCallRun.h"

#include <QApplication>
#include <QComboBox>
#include <QGroupBox>
#include <QLibrary>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

// The outgoing-call dialog against the stand-in adapters: what it offers, what it asks, and what the
// adapter is told to dial.

namespace {

const QString Confirm = QStringLiteral("「03-1234 5678」に電話をかけます  \r\nよろしいですか？  ");

class CallTelTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        Settings = TSettings();
        SettingsPath = Dir.path() + QLatin1Char('/');
    }
    void TearDown() override
    {
        Dialog.reset();
        if (Wrapper)
            Wrapper->Close();
        VxCommDLL = nullptr;
        Wrapper.reset();
        Settings = TSettings();
        SettingsPath.clear();
        IPPBXPath.clear();
    }
    // The adapter of kind Kind opened from Folder, as the program has it after start-up.
    void OpenLine(int IP, int Kind, const QString& Folder = QStringLiteral(VX_BIN_DIR "/"))
    {
        Wrapper = TVxCommDLL::Create(Target.Handle(), IP, Folder);
        ASSERT_NE(Wrapper, nullptr);
        ASSERT_TRUE(Wrapper->LoadKinds());
        Wrapper->SetKind(Kind);
        Wrapper->SetPort(0);
        Wrapper->OpenEx(0, 0);
        ASSERT_EQ(Wrapper->OpenResult(), 0);
        VxCommDLL = Wrapper.get();
        Settings.Adapter = Kind;
        Settings.IPPBX = IP == 1;
        (IP ? IPDialsBefore : DialsBefore) = NewDials(IP == 1);
    }
    void Open(const QStringList& Numbers)
    {
        Dialog = std::make_unique<TCallsTelephone>();
        Dialog->SetNumbers(Numbers);
        Dialog->show();
        Dialog->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(Dialog.get()));
    }
    static QStringList Items(const QComboBox* Combo)
    {
        QStringList Texts;
        for (int I = 0; I < Combo->count(); ++I)
            Texts << Combo->itemText(I);
        return Texts;
    }
    int StoredPort() const
    {
        return TMemIniFile(SettingsFileName())
            .ReadInteger(QStringLiteral("CALL TELEPHONE"), QStringLiteral("AnalogPort"), -1);
    }

    // What the stand-in was asked to dial since the test began; it keeps its list while it is loaded.
    QString NewDials(bool IP = false) const
    {
        QStringList Arguments{QStringLiteral("dialed")};
        if (IP)
            Arguments.prepend(QStringLiteral("--ip"));
        const QString All = RunVxCall(Arguments).Out;
        const QString& Before = IP ? IPDialsBefore : DialsBefore;
        return All.startsWith(Before) ? All.mid(Before.size()) : All;
    }

    QTemporaryDir Dir;
    TMessageTarget Target;
    QString DialsBefore;
    QString IPDialsBefore;
    std::unique_ptr<TVxCommDLL> Wrapper;
    std::unique_ptr<TCallsTelephone> Dialog;
};

} // namespace

TEST_F(CallTelTest, DialsTheDigitsOfTheNumberAsTypedAfterAskingAndStaysOpen)
{
    OpenLine(0, 3);
    TScriptedBoxes Boxes("Yes");
    Open({QString(), QStringLiteral("03-1234 5678"), QStringLiteral("090-1111-2222")});
    EXPECT_EQ(Dialog->windowTitle(), QStringLiteral("発信"));
    EXPECT_EQ(Items(Dialog->cbxTel), (QStringList{QStringLiteral("03-1234 5678"), QStringLiteral("090-1111-2222")}));
    EXPECT_EQ(Dialog->cbxTel->currentIndex(), 0);
    EXPECT_FALSE(Dialog->gbxExtention->isVisible());
    EXPECT_EQ(Items(Dialog->cbxPort), (QStringList{QStringLiteral("ポート１"), QStringLiteral("ポート２")}));

    Dialog->cbxPort->setCurrentIndex(1);
    QTest::mouseClick(Dialog->btnDial, Qt::LeftButton);
    ASSERT_EQ(Boxes.Boxes().size(), 1);
    EXPECT_EQ(Boxes.Texts().constFirst(), Confirm);
    EXPECT_EQ(Boxes.Boxes().constFirst().value(QStringLiteral("default")).toString(), QStringLiteral("Yes"));
    EXPECT_EQ(NewDials(), QStringLiteral("2 0312345678\n"));
    EXPECT_EQ(StoredPort(), 1);
    EXPECT_TRUE(Dialog->isVisible());
    EXPECT_EQ(QApplication::focusWidget(), Dialog->btnCancel);
}

TEST_F(CallTelTest, NoDialsNothing)
{
    OpenLine(0, 3);
    TScriptedBoxes Boxes("No");
    Open({QStringLiteral("03-1234 5678")});
    QTest::mouseClick(Dialog->btnDial, Qt::LeftButton);
    EXPECT_EQ(Boxes.Texts(), QStringList{Confirm});
    EXPECT_EQ(NewDials(), QString());
    EXPECT_EQ(StoredPort(), -1);
}

TEST_F(CallTelTest, AStoredPortBeyondTheAdaptersPortsFallsBackToTheFirst)
{
    {
        TMemIniFile Ini(SettingsFileName());
        Ini.WriteInteger(QStringLiteral("CALL TELEPHONE"), QStringLiteral("AnalogPort"), 3);
        ASSERT_TRUE(Ini.UpdateFile());
    }
    OpenLine(0, 3);
    Open({QStringLiteral("0312345678")});
    EXPECT_EQ(Dialog->cbxPort->count(), 2);
    EXPECT_EQ(Dialog->cbxPort->currentIndex(), 0);
}

TEST_F(CallTelTest, APortAfterAGapDialsItsOwnLine)
{
    const QString Folder = QStringLiteral(VX_FIXTURE_DIR "/dialgap/");
    OpenLine(0, 7, Folder);
    TScriptedBoxes Boxes("Yes");
    Open({QStringLiteral("0312345678")});
    EXPECT_EQ(Items(Dialog->cbxPort), (QStringList{QStringLiteral("ポート１"), QStringLiteral("ポート３")}));
    Dialog->cbxPort->setCurrentIndex(1);
    QTest::mouseClick(Dialog->btnDial, Qt::LeftButton);
    const auto LastLine =
        reinterpret_cast<int (*)()>(QLibrary::resolve(Folder + QStringLiteral("VxComm3.so"), "FixtureLastDialLine"));
    ASSERT_NE(LastLine, nullptr);
    EXPECT_EQ(LastLine(), 3) << "ポート３ is line 3, not the second entry's 2";
    EXPECT_EQ(StoredPort(), 1) << "the stored value stays the entry's index, as settings files hold it";
}

TEST_F(CallTelTest, AnIPPBXDialsLineOneFromTheExtensionOrRefusesWithoutOne)
{
    IPPBXPath = Dir.path();
    OpenLine(1, 200);
    {
        TScriptedBoxes Boxes("Yes");
        Open({QStringLiteral("03-1234 5678")});
        EXPECT_FALSE(Dialog->gbxPort->isVisible());
        EXPECT_TRUE(Dialog->edtextention->text().isEmpty());
        QTest::mouseClick(Dialog->btnDial, Qt::LeftButton);
        EXPECT_EQ(Boxes.Texts(), QStringList{QStringLiteral("使用する電話機の内線番号が設定されていません  \r\n"
                                                            "環境設定で事前に設定しておく必要があります  ")});
        EXPECT_EQ(NewDials(true), QString());
    }
    TIPPBXValues Values;
    Values.From = QStringLiteral("201");
    ASSERT_TRUE(SaveIPPBXSettings(IPPBXIniFileName(), Values, false));
    TScriptedBoxes Boxes("Yes");
    Open({QStringLiteral("03-1234 5678")});
    EXPECT_EQ(Dialog->edtextention->text(), QStringLiteral("201"));
    EXPECT_TRUE(Dialog->edtextention->isReadOnly());
    QTest::mouseClick(Dialog->btnDial, Qt::LeftButton);
    EXPECT_EQ(Boxes.Texts(), QStringList{Confirm});
    EXPECT_EQ(NewDials(true), QStringLiteral("1 0312345678\n"));
}

TEST_F(CallTelTest, EnterWalksToTheDialButton)
{
    OpenLine(0, 3);
    Open({QStringLiteral("0312345678")});
    Dialog->cbxTel->setFocus();
    QTest::keyClick(Dialog->cbxTel->lineEdit(), Qt::Key_Return);
    EXPECT_EQ(QApplication::focusWidget(), Dialog->cbxPort);
    QTest::keyClick(Dialog->cbxPort, Qt::Key_Return);
    EXPECT_EQ(QApplication::focusWidget(), Dialog->btnDial);
}

TEST_F(CallTelTest, Screenshots)
{
    if (qEnvironmentVariableIsEmpty("VX_SCREENSHOT_DIR"))
        GTEST_SKIP() << "VX_SCREENSHOT_DIR not set";
    OpenLine(0, 3);
    Open({QStringLiteral("03-1234-5678"), QStringLiteral("090-1111-2222")});
    SaveScreenshot(*Dialog, QStringLiteral("calltel-adapter"));
    Dialog.reset();
    Wrapper->Close();
    IPPBXPath = Dir.path();
    TIPPBXValues Values;
    Values.From = QStringLiteral("201");
    ASSERT_TRUE(SaveIPPBXSettings(IPPBXIniFileName(), Values, false));
    OpenLine(1, 200);
    Open({QStringLiteral("03-1234-5678")});
    SaveScreenshot(*Dialog, QStringLiteral("calltel-ippbx"));
}
