#pragma once

// The board's own thread: it answers the board and the listings from a Board built on a copy of
// the file in memory, so that building it never holds the file against a score being stored,
// nor stalls the thread that stores them. The copy takes the file's read lock for the time of
// reading its pages (about a millisecond for a show of a thousand birds); the build runs on the
// copy. The board is built again when the file changed since (another connection committed:
// the phones' scores, the windows, another program) and only when someone asks for it.

#include "server/board.h"
#include "server/http_exchange.h"
#include "store/database.h"

#include <QObject>

namespace server
{

class BoardKeeper : public QObject
{
    Q_OBJECT

public:
    enum class Part { All, Classification, GroupD, Provinces };

    // The files are opened by open(), in the keeper's thread.
    BoardKeeper(QString exhibitionPath, QString clubsPath);

    // Opens both files, only for reading; raises base::Error when it cannot.
    void open();

    // Answers the exchange with a part of the board (name: "AM" or "A" for the parts of one
    // listing), built again first when the file changed. Called in the keeper's thread.
    void serve(const server::ExchangePtr& exchange, server::BoardKeeper::Part part, const QString& name);

private:
    // The file's version: it moves at every commit of another connection to either file.
    qint64 version();

    QString m_exhibitionPath;
    QString m_clubsPath;
    store::Database m_db;
    store::Database m_clubs;
    Board m_board;
};

} // namespace server
