#include "platform/dynlib/DynLib.h"

#include <gtest/gtest.h>

TEST(DynLib, LoadsByAbsolutePathOnlyAndTellsWhy)
{
    TDynLib Library;
    EXPECT_FALSE(Library.Load(QStringLiteral("VxComm3.so")));
    EXPECT_TRUE(Library.ErrorText().contains(QStringLiteral("absolute"))) << Library.ErrorText().toStdString();
    EXPECT_FALSE(Library.Load(QStringLiteral("/nonexistent/VxComm3.so")));
    EXPECT_TRUE(Library.ErrorText().contains(QStringLiteral("/nonexistent/VxComm3.so")));
    EXPECT_EQ(Library.Symbol("GetKinds2"), nullptr);

    ASSERT_TRUE(Library.Load(QStringLiteral(VX_BIN_DIR "/VxComm3.so"))) << Library.ErrorText().toStdString();
    EXPECT_NE(Library.Symbol("GetKinds2"), nullptr);
    EXPECT_EQ(Library.Symbol("NoSuchExport"), nullptr);
    EXPECT_FALSE(Library.ErrorText().isEmpty());

    TDynLib Moved(std::move(Library));
    EXPECT_FALSE(Library.Loaded());
    EXPECT_TRUE(Moved.Loaded());
    Moved.Free();
    EXPECT_FALSE(Moved.Loaded());
}
