#pragma once

#include <QByteArray>
#include <QHash>
#include <QHostAddress>
#include <QStringList>
#include <QTcpServer>
#include <QTcpSocket>
#include <memory>

/// A tiny HTTP server on 127.0.0.1 for the update suites: it answers GET requests from a
/// table of paths and records which paths were asked for.
class MendServer
{
public:
    /// What one path answers.
    struct Answer
    {
        int status = 200;
        QByteArray body;
        bool cut = false; ///< announce the whole body but close the connection halfway
    };

    MendServer()
    {
        if (!m_server.listen(QHostAddress::LocalHost, 0))
            qFatal("cannot listen on 127.0.0.1");
        QObject::connect(&m_server, &QTcpServer::newConnection, &m_server, [this] {
            while (QTcpSocket* socket = m_server.nextPendingConnection())
                take(socket);
        });
    }

    /// The base address, ending in "/".
    QString base() const
    {
        return QStringLiteral("http://127.0.0.1:%1/").arg(m_server.serverPort());
    }
    /// Makes \a path (starting with "/") answer \a answer.
    void serve(const QString& path, const Answer& answer) { m_answers.insert(path, answer); }
    /// Forgets every path and every recorded request.
    void clear()
    {
        m_answers.clear();
        requests.clear();
    }

    /// The paths asked for, in order.
    QStringList requests;

private:
    void take(QTcpSocket* socket)
    {
        QObject::connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
        auto head = std::make_shared<QByteArray>();
        QObject::connect(socket, &QTcpSocket::readyRead, socket, [this, socket, head] {
            head->append(socket->readAll());
            if (!head->contains("\r\n\r\n"))
                return;
            const QList<QByteArray> words = head->left(head->indexOf("\r\n")).split(' ');
            const QString path = words.size() > 1 ? QString::fromLatin1(words.at(1)) : QString();
            requests << path;
            const Answer answer = m_answers.value(path, Answer{404, "not here", false});
            QByteArray reply = "HTTP/1.1 " + QByteArray::number(answer.status) +
                               (answer.status == 200 ? " OK" : " Not Found") +
                               "\r\nContent-Type: application/octet-stream"
                               "\r\nConnection: close\r\nContent-Length: " +
                               QByteArray::number(answer.body.size()) + "\r\n\r\n";
            reply += answer.cut ? answer.body.left(answer.body.size() / 2) : answer.body;
            socket->write(reply);
            socket->disconnectFromHost();
        });
    }

    QTcpServer m_server;
    QHash<QString, Answer> m_answers;
};
