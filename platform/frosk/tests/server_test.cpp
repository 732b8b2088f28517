#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QNetworkInterface>
#include <QTcpServer>
#include <QTcpSocket>

#include "platform/frosk/server.h"

namespace {

// A free port of the loopback interface, found by letting the system pick one.
unsigned short freeport()
{
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost, 0);
    return probe.serverPort();
}

TEST(LocalServer, ListensOnTheLoopbackInterfaceOnlyAndClosesConnections)
{
    unsigned short port = freeport();
    Internet::Server server(port, nullptr);
    QString error;
    ASSERT_TRUE(server.initialise(nullptr, error)) << error.toStdString();
    EXPECT_TRUE(server.islistening());

    QTcpSocket client;
    client.connectToHost(QHostAddress::LocalHost, port);
    ASSERT_TRUE(client.waitForConnected(5000));
    for (int i = 0; i < 200 && client.state() == QAbstractSocket::ConnectedState; ++i) {
        QCoreApplication::processEvents();
        client.waitForDisconnected(10);
    }
    EXPECT_EQ(client.state(), QAbstractSocket::UnconnectedState);

    for (const QHostAddress& address : QNetworkInterface::allAddresses()) {
        if (address.isLoopback() || address.protocol() != QAbstractSocket::IPv4Protocol)
            continue;
        QTcpSocket outside;
        outside.connectToHost(address, port);
        EXPECT_FALSE(outside.waitForConnected(1000)) << address.toString().toStdString();
    }
}

TEST(LocalServer, APortInUseIsReportedNotFatal)
{
    QTcpServer holder;
    ASSERT_TRUE(holder.listen(QHostAddress::LocalHost, 0));
    Internet::Server server(holder.serverPort(), nullptr);
    QString error;
    EXPECT_FALSE(server.initialise(nullptr, error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_FALSE(server.islistening());
}

} // namespace
