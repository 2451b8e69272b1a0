#include "server/board_keeper.h"

#include "server/responses.h"
#include "store/error.h"
#include "store/schema.h"

#include <QTimer>

namespace server
{

BoardKeeper::BoardKeeper(QString exhibitionPath, QString clubsPath)
    : m_exhibitionPath(std::move(exhibitionPath)), m_clubsPath(std::move(clubsPath))
{
}

void BoardKeeper::open()
{
    m_db = store::Database::open(m_exhibitionPath, store::schema::exhibition(),
                                 store::Database::Access::ReadOnly);
    m_clubs = store::Database::open(m_clubsPath, store::schema::clubs(), store::Database::Access::ReadOnly);
}

qint64 BoardKeeper::version()
{
    const auto dataVersion = [](store::Database& db) {
        store::Statement version = db.prepare(QStringLiteral("PRAGMA data_version"));
        return version.step() ? version.int64(0) : 0;
    };
    return (dataVersion(m_db) << 32) + dataVersion(m_clubs);
}

void BoardKeeper::build(qint64 at)
{
    store::Database copy = m_db.memoryCopy();
    store::Database clubs = m_clubs.memoryCopy();
    store::Recordset clubRows = clubs.openRecordset(QStringLiteral("select * from club "));
    m_board.update(copy, clubRows, at);
    m_built.start();
}

void BoardKeeper::serve(const ExchangePtr& exchange, Part part, const QString& name)
{
    try {
        const qint64 now = version();
        if (m_board.builtAt(now)) {
            // As the file is.
        } else if (m_built.isValid() && m_built.elapsed() < staleMs) {
            if (!m_buildAhead) {
                m_buildAhead = true;
                QTimer::singleShot(int(staleMs - m_built.elapsed()), this, [this] {
                    m_buildAhead = false;
                    try {
                        if (const qint64 at = version(); !m_board.builtAt(at))
                            build(at);
                    } catch (const base::Error&) {
                        // Told to the next reader, whose build fails the same way.
                    }
                });
            }
        } else {
            build(now);
        }
    } catch (const base::Error& e) {
        exchange->answer(storeFailure(e));
        return;
    }
    std::optional<QByteArray> text;
    switch (part) {
    case Part::All:
        text = m_board.all();
        break;
    case Part::Provinces:
        text = m_board.provinces();
        break;
    case Part::Classification:
        text = m_board.classification(name);
        break;
    case Part::GroupD:
        text = m_board.groupD(name);
        break;
    }
    exchange->answer(text ? jsonText(*text) : notFound(exchange->request().path));
}

} // namespace server
