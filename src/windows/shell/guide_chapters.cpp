#include "windows/shell/guide_chapters.h"

#include "base/install_layout.h"
#include "kit/guide.h"
#include "windows/backups/backups_window.h"
#include "windows/clubs/club_maintenance_window.h"
#include "windows/clubs/club_search_window.h"
#include "windows/config/config_window.h"
#include "windows/import/reception_import_window.h"
#include "windows/import/score_import_window.h"
#include "windows/judging/judging_window.h"
#include "windows/listings/listing_window.h"
#include "windows/network/network_window.h"
#include "windows/printouts/printout_window.h"
#include "windows/reception/reception_window.h"
#include "windows/records/history_window.h"
#include "windows/records/paper_check_window.h"
#include "windows/records/show_check_window.h"
#include "windows/shell/main_window.h"
#include "windows/shell/startup_window.h"

namespace
{

template <class... Windows> bool oneOf(const QWidget* window)
{
    return ((qobject_cast<const Windows*>(window) != nullptr) || ...);
}

} // namespace

QString guideChapter(const QWidget* window)
{
    if (oneOf<StartupWindow, MainWindow>(window))
        return QStringLiteral("02-crear");
    if (oneOf<ConfigWindow>(window))
        return QStringLiteral("03-configurar");
    if (oneOf<ClubMaintenanceWindow, ClubSearchWindow>(window))
        return QStringLiteral("04-clubes");
    if (oneOf<ReceptionWindow>(window))
        return QStringLiteral("05-recepcion");
    if (oneOf<NetworkWindow>(window))
        return QStringLiteral("06-red");
    if (oneOf<PrintoutWindow>(window))
        return QStringLiteral("07-impresos");
    if (oneOf<JudgingWindow>(window))
        return QStringLiteral("08-puntuacion");
    if (oneOf<ReceptionImportWindow, ScoreImportWindow>(window))
        return QStringLiteral("09-importar");
    if (oneOf<listings::ListingWindow>(window))
        return QStringLiteral("10-listados");
    if (oneOf<BackupsWindow>(window))
        return QStringLiteral("12-copias");
    if (oneOf<HistoryWindow, ShowCheckWindow, PaperCheckWindow>(window))
        return QStringLiteral("13-cierre");
    return {};
}

void installGuide()
{
    guide::installForApplication(install::guideFolder(install::current()), guideChapter);
}
