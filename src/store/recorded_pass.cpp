#include "store/recorded_pass.h"

#include "store/database.h"
#include "store/records.h"

namespace store::records
{

namespace
{

qint64 lastRowid(const Database& db, const QString& table)
{
    Statement last = db.query(QStringLiteral("SELECT coalesce(max(rowid), 0) FROM \"%1\"").arg(table));
    return last.step() ? last.int64(0) : 0;
}

} // namespace

RecordedInsertPass::RecordedInsertPass(Database& db, const QString& table)
    : m_db(db), m_table(table), m_lastRowid(lastRowid(db, table))
{
    m_db.execute(QStringLiteral("DROP TRIGGER IF EXISTS \"%1\"").arg(insertTrigger(table)));
}

void RecordedInsertPass::finish()
{
    m_db.prepare(packedInsertLines(m_table)).bind(1, m_lastRowid).run();
    m_db.execute(createInsertTrigger(m_table));
}

} // namespace store::records
