#pragma once

#include "platform/ui/MessageBox.h"

#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QStringList>
#include <QTemporaryDir>

// Message boxes answered from a script for the life of one test; Texts() gives what they said.
class TScriptedBoxes
{
public:
    explicit TScriptedBoxes(const QByteArray& Answers = {})
    {
        FLog = FDir.filePath(QStringLiteral("boxes.jsonl"));
        qputenv("VX_MSGBOX_LOG", QFile::encodeName(FLog));
        if (Answers.isEmpty())
            qunsetenv("VX_MSGBOX_ANSWERS");
        else
            qputenv("VX_MSGBOX_ANSWERS", Answers);
        ResetMessageBoxAnswers();
    }
    ~TScriptedBoxes()
    {
        qunsetenv("VX_MSGBOX_LOG");
        qunsetenv("VX_MSGBOX_ANSWERS");
        ResetMessageBoxAnswers();
    }
    [[nodiscard]] QStringList Texts() const { return Field("text"); }
    [[nodiscard]] QStringList Field(const char* Name) const
    {
        QFile File(FLog);
        QStringList Result;
        if (!File.open(QIODevice::ReadOnly))
            return Result;
        for (const QByteArray& Line : File.readAll().split('\n'))
            if (!Line.isEmpty())
                Result << QJsonDocument::fromJson(Line).object().value(QLatin1String(Name)).toVariant().toString();
        return Result;
    }

private:
    QTemporaryDir FDir;
    QString FLog;
};
