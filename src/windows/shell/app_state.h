#pragma once

// The shared state of the windows: what they hand each other. It is alive from start to end;
// the main window's opening sequence fills it, and a window that reopens a shared result
// replaces it for every later reader. Windows receive it by reference; the rules never see it:
// they take the databases and results they read, and return what they computed.

#include "rules/backups/keeper.h"
#include "rules/judging/final_score.h"
#include "store/database.h"

#include <QString>

struct AppState {
    QString programFolder; // where new exhibitions, Club.mdb and the pictures live
    QString dbPath;        // DbPath: the exhibition chosen or created

    store::Database mainDb; // MainDb: the exhibition database
    store::Database clubDb; // ClubDb: the clubs database

    store::Recordset receRs;   // ReceRs: the birds
    store::Recordset configRs; // ConfigRs: the one Config row
    store::Recordset puntosRs; // PuntosRs: judges' scores
    store::Recordset clubRs;   // ClubRs: the clubs

    QString currentJaula;  // CurrentJaula
    QString selGrupo;      // SelGrupo: "A" to "D"
    QString selCateg;      // SelCateg: "A" to "E", or "" for groups A to C
    QString selSexo;       // SelSexo: "M" or "H", or "" for group D
    QString selClubCodigo; // SelClubCodigo
    QString clubPattern;   // ClubPattern

    backups::Keeper backups; // the copies of the open exhibition, and when to take them

    // The configuration through ConfigRs: the scoring rule (read as the rules read it from the
    // file), and a field as text ("" without a value).
    judging::ScoringRule scoringRule() const;
    int jueces() const { return scoringRule().jueces; }
    bool media() const { return scoringRule().criterion == judging::Criterion::Average; }
    QString configText(const QString& field) const;

    // The show's address on the hall's network, set by the network server while it serves the
    // show; empty otherwise. The cage labels encode it in their QR codes.
    QString networkAddress() const { return m_networkAddress; }
    void setNetworkAddress(const QString& address) { m_networkAddress = address; }

private:
    QString m_networkAddress;
};

namespace exhibition
{

// The opening sequence: opens the exhibition and the clubs database (openFiles) and the shared
// results over them. All or nothing: on an error the state is left as it was.
void open(AppState& state, const QString& path);

} // namespace exhibition
