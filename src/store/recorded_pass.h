#pragma once

// A bulk insert recorded as one line of the history (see store/records.h): the imports' passes.

#include <QString>

namespace store
{
class Database;

namespace records
{

// Within the pass's transaction, sets the table's insert trigger aside; finish(), before the
// commit, records every row inserted meanwhile in one line and puts the trigger back. A pass that
// fails never calls finish(): its rollback puts the trigger back with everything else. Made just
// before the pass's first insert, so that a pass that stores nothing leaves the file as it was.
class RecordedInsertPass
{
public:
    RecordedInsertPass(Database& db, const QString& table);
    void finish();

private:
    Database& m_db;
    QString m_table;
    qint64 m_lastRowid = 0;
};

} // namespace records
} // namespace store
