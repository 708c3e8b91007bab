#pragma once

#include "platform/msg/CoreMessage.h"

#include <QList>
#include <QString>

// Records the message boxes of the logic units and answers them from a list (then 0).
struct TBoxRecorder
{
    struct TBox
    {
        QString Text;
        QString Caption;
        unsigned Flags;
    };
    QList<TBox> Boxes;
    QList<int> Answers;

    TBoxRecorder()
    {
        SetCoreMessageBox([this](const QString& Text, const QString& Caption, unsigned Flags) {
            Boxes.append({Text, Caption, Flags});
            return Answers.isEmpty() ? 0 : Answers.takeFirst();
        });
    }
    ~TBoxRecorder() { SetCoreMessageBox({}); }
    TBoxRecorder(const TBoxRecorder&) = delete;
    TBoxRecorder& operator=(const TBoxRecorder&) = delete;
};
