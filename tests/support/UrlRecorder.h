#pragma once

#include <QDesktopServices>
#include <QList>
#include <QObject>
#include <QUrl>

// Takes the place of the desktop's openers for mail and file URLs while it lives, and keeps what
// the program asked them to open.
class TUrlRecorder : public QObject
{
    Q_OBJECT
public:
    TUrlRecorder()
    {
        for (const char* Scheme : {"mailto", "file"})
            QDesktopServices::setUrlHandler(QString::fromLatin1(Scheme), this, "Open");
    }
    ~TUrlRecorder() override
    {
        for (const char* Scheme : {"mailto", "file"})
            QDesktopServices::unsetUrlHandler(QString::fromLatin1(Scheme));
    }
    TUrlRecorder(const TUrlRecorder&) = delete;
    TUrlRecorder& operator=(const TUrlRecorder&) = delete;

    QList<QUrl> Opened;

public slots:
    void Open(const QUrl& Url) { Opened << Url; }
};
