#pragma once

#include "platform/ui/MessageBox.h"

#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>

// Message boxes answered from a script for one test: each box is logged and answered by the next
// name of Answers (its default button once they run out).
class TScriptedBoxes
{
public:
    explicit TScriptedBoxes(const QByteArray& Answers = {})
    {
        qputenv("VX_MSGBOX_LOG", QFile::encodeName(Dir.filePath(QStringLiteral("boxes.jsonl"))));
        qputenv("VX_MSGBOX_ANSWERS", Answers);
        ResetMessageBoxAnswers();
    }
    ~TScriptedBoxes()
    {
        SetMessageBoxWatcher({});
        qunsetenv("VX_MSGBOX_LOG");
        qunsetenv("VX_MSGBOX_ANSWERS");
        ResetMessageBoxAnswers();
    }
    TScriptedBoxes(const TScriptedBoxes&) = delete;
    TScriptedBoxes& operator=(const TScriptedBoxes&) = delete;

    // Watch runs with each box's text while the box is up (before it is answered).
    void WhileShown(std::function<void(const QString& Text)> Watch) { SetMessageBoxWatcher(std::move(Watch)); }

    // The logged boxes, oldest first (a file or colour prompt is logged among them, with its "prompt").
    [[nodiscard]] QList<QJsonObject> Boxes() const
    {
        QList<QJsonObject> Result;
        QFile File(Dir.filePath(QStringLiteral("boxes.jsonl")));
        if (File.open(QIODevice::ReadOnly))
            for (const QByteArray& Line : File.readAll().split('\n'))
                if (!Line.isEmpty())
                    Result << QJsonDocument::fromJson(Line).object();
        return Result;
    }
    [[nodiscard]] QStringList Texts() const
    {
        QStringList Result;
        for (const QJsonObject& Box : Boxes())
            if (!Box.contains(QStringLiteral("prompt")))
                Result << Box.value(QStringLiteral("text")).toString();
        return Result;
    }

private:
    QTemporaryDir Dir;
};
