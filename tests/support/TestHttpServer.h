#pragma once

#include <QHash>
#include <QHostAddress>
#include <QStringList>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>
#include <algorithm>

// A small HTTP server on 127.0.0.1 that answers from a table of paths.
class TTestServer
{
public:
    struct TAnswer
    {
        int Status = 200;
        QByteArray Body;
        qint64 DeclaredLength = -1; // a Content-Length other than the body's: the connection breaks off
        // After Body, this many bytes of "x" follow, handed out as the client takes them (the answer
        // then has no Content-Length unless DeclaredLength gives one, and ends with the connection).
        qint64 Filler = 0;
        int DripMs = 0; // with Filler: one byte of it every DripMs instead
    };

    TTestServer()
    {
        Server.listen(QHostAddress::LocalHost);
        QObject::connect(&Server, &QTcpServer::newConnection, [this] {
            while (QTcpSocket* Socket = Server.nextPendingConnection()) {
                QObject::connect(Socket, &QTcpSocket::readyRead, Socket, [this, Socket] { Serve(Socket); });
                QObject::connect(Socket, &QTcpSocket::disconnected, Socket, &QObject::deleteLater);
            }
        });
    }

    QString Domain() const { return QStringLiteral("127.0.0.1:%1").arg(Server.serverPort()); }

    QHash<QString, TAnswer> Answers;
    QStringList Requested;
    // Bytes of filler each path handed to the connection before the client let go of it.
    QHash<QString, qint64> FillerSent;

private:
    void Serve(QTcpSocket* Socket)
    {
        Pending[Socket] += Socket->readAll();
        if (!Pending[Socket].contains("\r\n\r\n"))
            return;
        const QList<QByteArray> Line = Pending.take(Socket).split('\r').first().split(' ');
        const QString Path = QString::fromUtf8(Line.value(1));
        Requested << Path;
        const TAnswer Answer = Answers.value(Path, {404, "not here"});
        QByteArray Head = "HTTP/1.1 " + QByteArray::number(Answer.Status) + " X\r\n";
        if (Answer.DeclaredLength >= 0 || Answer.Filler == 0)
            Head += "Content-Length: " +
                    QByteArray::number(Answer.DeclaredLength >= 0 ? Answer.DeclaredLength : Answer.Body.size()) +
                    "\r\n";
        Socket->write(Head + "Connection: close\r\n\r\n" + Answer.Body);
        if (Answer.Filler == 0) {
            Socket->disconnectFromHost();
            return;
        }
        FillerSent[Path] = 0;
        if (Answer.DripMs > 0)
            Drip(Socket, Path, Answer);
        else
            Stream(Socket, Path, Answer.Filler);
    }

    // Keeps a few pieces queued, no more, so that what was sent is what the client took.
    void Stream(QTcpSocket* Socket, const QString& Path, qint64 Total)
    {
        const auto Refill = [this, Socket, Path, Total] {
            constexpr qint64 Piece = 64 * 1024;
            while (Socket->state() == QAbstractSocket::ConnectedState && Socket->bytesToWrite() < 2 * Piece &&
                   FillerSent[Path] < Total) {
                const qint64 Size = std::min(Piece, Total - FillerSent[Path]);
                Socket->write(QByteArray(Size, 'x'));
                FillerSent[Path] += Size;
            }
            if (FillerSent[Path] >= Total && Socket->bytesToWrite() == 0)
                Socket->disconnectFromHost();
        };
        QObject::connect(Socket, &QTcpSocket::bytesWritten, Socket, Refill);
        Refill();
    }

    void Drip(QTcpSocket* Socket, const QString& Path, const TAnswer& Answer)
    {
        auto* Timer = new QTimer(Socket);
        QObject::connect(Timer, &QTimer::timeout, Socket, [this, Socket, Path, Total = Answer.Filler] {
            if (Socket->state() != QAbstractSocket::ConnectedState)
                return;
            if (FillerSent[Path] >= Total) {
                Socket->disconnectFromHost();
                return;
            }
            Socket->write("x");
            ++FillerSent[Path];
        });
        Timer->start(Answer.DripMs);
    }

    QTcpServer Server;
    QHash<QTcpSocket*, QByteArray> Pending;
};
