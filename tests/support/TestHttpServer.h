#pragma once

#include <QEventLoop>
#include <QFile>
#include <QHash>
#include <QHostAddress>
#include <QMutex>
#include <QMutexLocker>
#include <QSslCertificate>
#include <QSslConfiguration>
#include <QSslKey>
#include <QSslServer>
#include <QSslSocket>
#include <QStringList>
#include <QTcpServer>
#include <QTcpSocket>
#include <QThread>
#include <QTimer>
#include <algorithm>
#include <future>
#include <memory>

// A small HTTP server on 127.0.0.1 that answers from a table of paths, over plain HTTP or over HTTPS
// with a certificate of tests/data (made once with openssl):
//
//   update-tls-ca.pem                    a test authority, trusted by nothing but the tests that name it
//   update-tls-server.pem / .key         signed by it, valid for 127.0.0.1 and localhost
//   update-tls-othername.pem / .key      signed by it, valid for update.example.invalid only
//
// all valid until 2126.
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
        int DripMs = 0;      // with Filler: one byte of it every DripMs instead
        QByteArray Location; // a Location header, for a redirect
    };

    enum class TTransport
    {
        Http,
        Https
    };
    // Https serves the certificate named Certificate ("server" or "othername").
    explicit TTestServer(TTransport Transport = TTransport::Http, const QString& Certificate = QStringLiteral("server"))
    {
        if (Transport == TTransport::Https) {
            auto Tls = std::make_unique<QSslServer>();
            QSslConfiguration Config = QSslConfiguration::defaultConfiguration();
            const QString Base = QStringLiteral(VX_TEST_DATA_DIR "/update-tls-") + Certificate;
            Config.setLocalCertificateChain(QSslCertificate::fromPath(Base + QStringLiteral(".pem")));
            QFile Key(Base + QStringLiteral(".key"));
            if (Key.open(QIODevice::ReadOnly))
                Config.setPrivateKey(QSslKey(Key.readAll(), QSsl::Rsa, QSsl::Pem));
            Config.setPeerVerifyMode(QSslSocket::VerifyNone);
            Tls->setSslConfiguration(Config);
            QObject::connect(Tls.get(), &QSslServer::startedEncryptionHandshake, [this] { CountConnection(); });
            Server = std::move(Tls);
        } else {
            Server = std::make_unique<QTcpServer>();
            QObject::connect(Server.get(), &QTcpServer::pendingConnectionAvailable, [this] { CountConnection(); });
        }
        Server->listen(QHostAddress::LocalHost);
        // A TLS connection is handed out once its handshake is done, after newConnection.
        QObject::connect(Server.get(), &QTcpServer::pendingConnectionAvailable, [this] {
            while (QTcpSocket* Socket = Server->nextPendingConnection()) {
                QObject::connect(Socket, &QTcpSocket::readyRead, Socket, [this, Socket] { Serve(Socket); });
                QObject::connect(Socket, &QTcpSocket::disconnected, Socket, &QObject::deleteLater);
                if (Socket->bytesAvailable() > 0)
                    Serve(Socket);
            }
        });
    }

    QString Domain() const { return QStringLiteral("127.0.0.1:%1").arg(Server->serverPort()); }
    quint16 Port() const { return Server->serverPort(); }

    QHash<QString, TAnswer> Answers;
    QStringList Requested;
    // Bytes of filler each path handed to the connection before the client let go of it.
    QHash<QString, qint64> FillerSent;
    // Connections that came at all, a request in them or not (for TLS: its handshake begun).
    int Connections = 0;

    // The same, for a server that runs on a thread of its own.
    QStringList RequestedPaths() const
    {
        QMutexLocker Lock(&Mutex);
        return Requested;
    }
    int ConnectionCount() const
    {
        QMutexLocker Lock(&Mutex);
        return Connections;
    }

private:
    void CountConnection()
    {
        QMutexLocker Lock(&Mutex);
        ++Connections;
    }

    void Serve(QTcpSocket* Socket)
    {
        QByteArray& Bytes = Pending[Socket];
        Bytes += Socket->readAll();
        // A client that starts a TLS handshake with a plain server gets what a web server answers it.
        if (!Bytes.isEmpty() && (Bytes[0] < 'A' || Bytes[0] > 'Z')) {
            Pending.remove(Socket);
            Socket->write("HTTP/1.1 400 Bad Request\r\nContent-Length: 0\r\nConnection: close\r\n\r\n");
            Socket->disconnectFromHost();
            return;
        }
        if (!Bytes.contains("\r\n\r\n"))
            return;
        const QList<QByteArray> Line = Pending.take(Socket).split('\r').first().split(' ');
        const QString Path = QString::fromUtf8(Line.value(1));
        TAnswer Answer;
        {
            QMutexLocker Lock(&Mutex);
            Requested << Path;
            Answer = Answers.value(Path, {404, "not here"});
        }
        QByteArray Head = "HTTP/1.1 " + QByteArray::number(Answer.Status) + " X\r\n";
        if (Answer.DeclaredLength >= 0 || Answer.Filler == 0)
            Head += "Content-Length: " +
                    QByteArray::number(Answer.DeclaredLength >= 0 ? Answer.DeclaredLength : Answer.Body.size()) +
                    "\r\n";
        if (!Answer.Location.isEmpty())
            Head += "Location: " + Answer.Location + "\r\n";
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

    // Keeps a few pieces queued, no more, so that what was sent is what the client took. Over TLS the
    // queue holds what waits to be encrypted and what waits encrypted.
    void Stream(QTcpSocket* Socket, const QString& Path, qint64 Total)
    {
        auto* Tls = qobject_cast<QSslSocket*>(Socket);
        const auto Queued = [Socket, Tls] { return Socket->bytesToWrite() + (Tls ? Tls->encryptedBytesToWrite() : 0); };
        const auto Refill = [this, Socket, Path, Total, Queued] {
            constexpr qint64 Piece = 64 * 1024;
            while (Socket->state() == QAbstractSocket::ConnectedState && Queued() < 2 * Piece &&
                   FillerSent[Path] < Total) {
                const qint64 Size = std::min(Piece, Total - FillerSent[Path]);
                Socket->write(QByteArray(Size, 'x'));
                FillerSent[Path] += Size;
            }
            if (FillerSent[Path] >= Total && Queued() == 0)
                Socket->disconnectFromHost();
        };
        QObject::connect(Socket, &QTcpSocket::bytesWritten, Socket, Refill);
        if (Tls)
            QObject::connect(Tls, &QSslSocket::encryptedBytesWritten, Socket, Refill);
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

    std::unique_ptr<QTcpServer> Server;
    QHash<QTcpSocket*, QByteArray> Pending;
    mutable QMutex Mutex;
};

// A TTestServer on a thread of its own, for tests whose own thread sleeps while a program under test
// talks to it. The answers are fixed when it starts.
class TTestServerThread
{
public:
    TTestServerThread(TTestServer::TTransport Transport, const QHash<QString, TTestServer::TAnswer>& Answers,
                      const QString& Certificate = QStringLiteral("server"))
    {
        std::promise<TTestServer*> Started;
        std::future<TTestServer*> Ready = Started.get_future();
        Thread.reset(QThread::create([&Started, Transport, Answers, Certificate, this] {
            TTestServer Server(Transport, Certificate);
            Server.Answers = Answers;
            QEventLoop Running;
            Loop = &Running;
            Started.set_value(&Server);
            Running.exec();
        }));
        Thread->start();
        Served = Ready.get();
    }
    ~TTestServerThread()
    {
        QMetaObject::invokeMethod(Loop, [this] { Loop->quit(); });
        Thread->wait();
    }
    TTestServerThread(const TTestServerThread&) = delete;
    TTestServerThread& operator=(const TTestServerThread&) = delete;

    [[nodiscard]] QString Domain() const { return Served->Domain(); }
    [[nodiscard]] quint16 Port() const { return Served->Port(); }
    [[nodiscard]] QStringList Requested() const { return Served->RequestedPaths(); }
    [[nodiscard]] int Connections() const { return Served->ConnectionCount(); }

private:
    std::unique_ptr<QThread> Thread;
    QEventLoop* Loop = nullptr;
    TTestServer* Served = nullptr;
};
