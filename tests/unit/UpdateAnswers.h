#pragma once

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

// Answers of the update server and the folders of one check, for the update tests.

inline QByteArray FileXml(const QString& Name, const QString& DLFile, qint64 Size, const QString& DateTime,
                          const QString& Extra = {})
{
    return QStringLiteral("<file><name>%1</name><size>%2</size><datetime>%3</datetime><dlfile>%4</dlfile>"
                          "<dlparam>%4</dlparam>%5</file>")
        .arg(Name)
        .arg(Size)
        .arg(DateTime, DLFile, Extra)
        .toUtf8();
}

inline QByteArray AnswerXml(int Count, const QList<QByteArray>& Files, const QByteArray& App = "vxRELVO16")
{
    QByteArray Xml = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<update><app>" + App + "</app><count>" +
                     QByteArray::number(Count) + "</count><dlpath>/dl/</dlpath>";
    for (const QByteArray& File : Files)
        Xml += File;
    return Xml + "</update>\n";
}

inline QByteArray ReadFile(const QString& Name)
{
    QFile File(Name);
    return File.open(QIODevice::ReadOnly) ? File.readAll() : QByteArray();
}

inline void WriteFile(const QString& Name, const QByteArray& Bytes, const QDateTime& Time = {})
{
    QDir().mkpath(QFileInfo(Name).absolutePath());
    QFile File(Name);
    ASSERT_TRUE(File.open(QIODevice::WriteOnly));
    File.write(Bytes);
    File.flush();
    if (Time.isValid())
        File.setFileTime(Time, QFileDevice::FileModificationTime);
}

struct TCheckFolders
{
    QTemporaryDir Dir;
    QString Program = Dir.path() + QStringLiteral("/program/");
    QString Settings = Dir.path() + QStringLiteral("/settings/");
    QString Update = Settings + QStringLiteral("update/");
};

inline const QString Stamp = QStringLiteral("2026/03/04 05:06:07");
