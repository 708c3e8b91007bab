#pragma once

#include <QHash>
#include <QHostAddress>
#include <QStringList>
#include <QTcpServer>
#include <QTcpSocket>

// A small HTTP server on 127.0.0.1 that answers from a table of paths.
class TTestServer
{
public:
    struct TAnswer
    {
        int Status = 200;
        QByteArray Body;
        qint64 DeclaredLength = -1; // a Content-Length other than the body's: the connection breaks off
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
        const qint64 Length = Answer.DeclaredLength >= 0 ? Answer.DeclaredLength : Answer.Body.size();
        Socket->write("HTTP/1.1 " + QByteArray::number(Answer.Status) + " X\r\nContent-Length: " +
                      QByteArray::number(Length) + "\r\nConnection: close\r\n\r\n" + Answer.Body);
        Socket->disconnectFromHost();
    }

    QTcpServer Server;
    QHash<QTcpSocket*, QByteArray> Pending;
};
