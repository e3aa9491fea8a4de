#pragma once

#include <QHash>
#include <QTcpServer>
#include <QTcpSocket>

/// A tiny HTTP server on 127.0.0.1 for the update suites: it answers GET requests from a
/// table of paths, and 404 for any other path.
class MendServer : public QTcpServer
{
public:
    struct Answer
    {
        int status = 200;
        QByteArray body;
        bool cut = false; ///< announce the whole body but close the connection halfway
    };
    QHash<QString, Answer> answers;

    MendServer()
    {
        if (!listen(QHostAddress::LocalHost))
            qFatal("cannot listen on 127.0.0.1");
        connect(this, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket* socket = nextPendingConnection())
                connect(socket, &QTcpSocket::readyRead, socket, [this, socket] { reply(socket); });
        });
    }
    QString base() const { return QStringLiteral("http://127.0.0.1:%1/").arg(serverPort()); }

private:
    void reply(QTcpSocket* socket)
    {
        const QByteArray head = socket->property("head").toByteArray() + socket->readAll();
        socket->setProperty("head", head);
        if (!head.contains("\r\n\r\n"))
            return;
        const QString path = QString::fromLatin1(head.split(' ').value(1));
        const Answer answer = answers.value(path, Answer{404, "not here"});
        socket->write(
            "HTTP/1.1 " + QByteArray::number(answer.status) +
            (answer.status == 200 ? " OK" : " Not Found") +
            "\r\nConnection: close\r\nContent-Length: " + QByteArray::number(answer.body.size()) +
            "\r\n\r\n" + (answer.cut ? answer.body.left(answer.body.size() / 2) : answer.body));
        connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
        socket->disconnectFromHost();
    }
};
