#pragma once

#include "MendJob.h"
#include "UpdateNames.h"

#include <QtNetwork>

/// A tiny HTTP server on 127.0.0.1 for the update suites, standing in for the maker's blog and
/// download site: it points both base addresses at itself, past any proxy, and answers GET
/// requests from a table of paths, and 404 for any other path. Its connections live as long
/// as it does.
class MendServer : public QTcpServer
{
public:
    struct Answer
    {
        int status = 200;
        QByteArray body;
        QByteArray location; ///< where a redirect leads
    };
    /// A port that takes connections and never answers.
    QTcpServer silent;
    /// An answer that redirects to the silent port.
    Answer toSilence;
    QHash<QString, Answer> answers;

    MendServer()
    {
        if (!listen(QHostAddress::LocalHost) || !silent.listen(QHostAddress::LocalHost))
            qFatal("cannot listen on 127.0.0.1");
        toSilence = {302, "", "http://127.0.0.1:" + QByteArray::number(silent.serverPort())};
        const QString base = QStringLiteral("http://127.0.0.1:%1/").arg(serverPort());
        updatenames::setBases(base, base);
        mendjob::setDeadline(3000); // what the silent port tests, kept short
        // The blog offers a version beyond any the suites run as, unless a test says otherwise.
        answers.insert("/2014/12/pairwell.html",
                       {200, "\nTallowenworks: Mac OS X アプリケーション: Pairwell 9.0\n"});
        QNetworkProxy::setApplicationProxy(QNetworkProxy::NoProxy);
        connect(this, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket* socket = nextPendingConnection())
                connect(socket, &QTcpSocket::readyRead, socket, [this, socket] {
                    // Wait for the whole head of the request; the path is its second word.
                    if (!socket->peek(socket->bytesAvailable()).contains("\r\n\r\n"))
                        return;
                    const QString path = QString::fromLatin1(socket->readAll().split(' ').value(1));
                    const Answer answer = answers.value(path, Answer{404, "not here"});
                    // Any reason phrase will do: nothing reads it.
                    socket->write(
                        "HTTP/1.1 " + QByteArray::number(answer.status) +
                        " Answer\r\nConnection: close\r\n" +
                        (answer.location.isEmpty() ? "" : "Location: " + answer.location + "\r\n") +
                        "Content-Length: " + QByteArray::number(answer.body.size()) + "\r\n\r\n");
                    socket->write(answer.body);
                    socket->disconnectFromHost();
                });
        });
    }
};
