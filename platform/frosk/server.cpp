#include "platform/frosk/server.h"

#include <QHostAddress>
#include <QTcpServer>
#include <QTcpSocket>

namespace Internet {

Server::Server(unsigned short port, QObject* parent)
    : portnumber(port)
    , listener(new QTcpServer(parent))
{
}

Server::~Server()
{
    delete listener;
}

bool Server::initialise(IMODULE*, QString& error)
{
    if (!listener->listen(QHostAddress::LocalHost, portnumber)) {
        error = listener->errorString();
        return false;
    }
    QObject::connect(listener, &QTcpServer::newConnection, listener, [this] {
        while (QTcpSocket* connection = listener->nextPendingConnection()) {
            connection->close();
            connection->deleteLater();
        }
    });
    return true;
}

bool Server::islistening() const
{
    return listener->isListening();
}

} // namespace Internet
