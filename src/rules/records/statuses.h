#pragma once

// A bird received in the census is present unless the table Estado says it is absent (never
// brought to the show) or disqualified (with its reason). Neither is ranked nor scored: the
// listings read the ranked birds through unrankedCondition(), and every path that stores a score
// asks scoreRefusal() first.

#include <QString>
#include <optional>
#include <vector>

namespace store
{
class Database;
}

namespace records
{

enum class Status { Presente, Ausente, Descalificada };

// "Presente", "Ausente", "Descalificada".
QString statusName(Status status);
// The status named by text, in any case ("ausente", "Descalificada"); none for another text.
std::optional<Status> parseStatus(const QString& text);

struct BirdStatus {
    int jaula = 0;
    QString anilla; // the bird's ring when its cage holds two birds; empty otherwise
    Status status = Status::Presente;
    QString motivo; // the reason of a disqualification

    // "" for a present bird, "Ausente", "Descalificada: MOTIVO".
    QString text() const;
};

// The status of the bird of the cage (of the ring, when the cage holds two).
BirdStatus statusOf(const store::Database& db, int jaula, const QString& anilla = {});

// Sets the status of the bird of the cage, in one transaction; "Presente" deletes its row. Refuses
// (base::ValidationError, nothing written) a cage without a bird, a cage of two birds without one
// of their rings, a ring not in the cage, and a disqualification without a reason.
void setStatus(store::Database& db, int jaula, const QString& anilla, Status status, const QString& motivo);

// Every absent or disqualified bird, by cage.
std::vector<BirdStatus> unrankedBirds(const store::Database& db);

// A condition of the query subset on Recepcion that leaves out the absent and disqualified birds,
// to be added to a listing's condition: "" when every bird is present (the listings' queries stay
// as they are), " and not (jaula = 3 or (jaula = 5 and anilla = '123'))" otherwise.
QString rankedCondition(const store::Database& db);

// Why a score for the cage is refused: "Paloma ausente", "Paloma descalificada: MOTIVO"; empty
// when the bird may be scored. A cage's scores are the cage's: a status on either of its birds
// refuses them.
QString scoreRefusal(const store::Database& db, int jaula);

} // namespace records
