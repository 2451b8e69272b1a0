#pragma once

// The board's own thread: it answers the board and the listings from a Board built on a copy of
// the file in memory, so that building it never holds the file against a score being stored,
// nor stalls the thread that stores them. The copy takes the file's read lock for the time of
// reading its pages (about a millisecond for a show of a thousand birds); the build runs on the
// copy. The board is built again when the file changed since (another connection committed:
// the phones' scores, the windows, another program) and someone asks for it, at most once a
// second: while scores pour in, a screen is answered at once with the board of the last second
// and the next build is left for the second's end. The hall's screens read it every few seconds.

#include "server/board.h"
#include "server/http_exchange.h"
#include "store/database.h"

#include <QElapsedTimer>
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

    // The longest a board may be answered while a newer one waits to be built.
    static constexpr int staleMs = 1000;

private:
    // The file's version: it moves at every commit of another connection to either file.
    qint64 version();
    void build(qint64 at);

    QString m_exhibitionPath;
    QString m_clubsPath;
    store::Database m_db;
    store::Database m_clubs;
    Board m_board;
    QElapsedTimer m_built;    // since the last build ended
    bool m_buildAhead = false; // a build is set for the end of the second
};

} // namespace server
