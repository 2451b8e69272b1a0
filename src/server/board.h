#pragma once

// The results as the hall's board and the listing API show them: the six classifications of
// groups A to C (only the birds that every judge has scored: judging is blind), the five group D
// categories and the provinces, built from the listing builders with the final scores brought up
// to date first. Kept between requests and built again only when the file changed, so that many
// screens refreshing every few seconds cost one build per change; kept as the JSON text itself,
// so that answering a screen costs no more than sharing it.

#include <QByteArray>
#include <QHash>
#include <QString>
#include <optional>

namespace store
{
class Database;
class Recordset;
} // namespace store

namespace server
{

class Board
{
public:
    // Builds the results again when version differs from the one they were built at.
    void update(store::Database& db, store::Recordset& clubs, qint64 version);
    bool builtAt(qint64 version) const { return version == m_version; }

    // Whether a name is one of the listings: "AM" to "CH", and "A" to "E" for group D.
    static bool isClassificationName(const QString& name);
    static bool isGroupDName(const QString& categ);

    // The JSON texts (UTF-8, compact).
    const QByteArray& all() const { return m_all; }
    // By group and sex ("AM", "CH"), by group D category ("A" to "E"); nothing for another name.
    std::optional<QByteArray> classification(const QString& name) const;
    std::optional<QByteArray> groupD(const QString& categ) const;
    const QByteArray& provinces() const { return m_provinces; }

private:
    qint64 m_version = -1;
    QByteArray m_all;
    QHash<QString, QByteArray> m_classifications;
    QHash<QString, QByteArray> m_groupD;
    QByteArray m_provinces;
};

} // namespace server
