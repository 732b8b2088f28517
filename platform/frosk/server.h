#pragma once

// The local server of the internet library: a TCP server on the loopback interface, at a port of
// the program's choosing, that lives as long as the object. Nothing outside the machine can reach
// it. What it serves comes from the report module it is initialised with; while that module is
// not installed it takes each connection and closes it at once.
// Callers: the main program's start-up and end.

#include <QString>

class IMODULE;
class QObject;
class QTcpServer;

namespace Internet {

class Server {
public:
    Server(unsigned short port, QObject* parent);
    ~Server();
    Server(const Server&) = delete;
    Server& operator=(const Server&) = delete;

    // Starts listening on 127.0.0.1 at the port for the report interface (null while the report
    // module is not installed): true, or false with the reason in error (a port in use, say).
    bool initialise(IMODULE* reporter, QString& error);
    bool islistening() const;
    unsigned short port() const { return portnumber; }

private:
    unsigned short portnumber;
    QTcpServer* listener; // a child of the parent, deleted with the server
};

} // namespace Internet
