#pragma once

#include <QDir>
#include <QLabel>
#include <QWidget>
#include <gtest/gtest.h>

// With VX_SCREENSHOT_DIR set (scripts/screenshots sets it), a window's picture is saved there for
// a person to look at; without it nothing is written.
inline void SaveScreenshot(QWidget& Window, const QString& Name)
{
    const QString Folder = qEnvironmentVariable("VX_SCREENSHOT_DIR");
    if (Folder.isEmpty())
        return;
    QDir().mkpath(Folder);
    EXPECT_TRUE(Window.grab().save(QDir(Folder).filePath(Name + QStringLiteral(".png")))) << Name.toStdString();
}

// Every label the window shows has room for its whole text: no line of it is wider than the label.
inline void ExpectLabelsWhole(QWidget& Window, const QString& Where)
{
    for (QLabel* Label : Window.findChildren<QLabel*>()) {
        if (!Label->isVisibleTo(&Window) || Label->text().isEmpty() || Label->wordWrap() ||
            Label->textFormat() == Qt::RichText)
            continue;
        for (const QString& Line : Label->text().split(QLatin1Char('\n')))
            EXPECT_LE(Label->fontMetrics().horizontalAdvance(Line), Label->contentsRect().width())
                << Where.toStdString() << ": " << Label->objectName().toStdString() << " \"" << Line.toStdString()
                << "\"";
    }
}
