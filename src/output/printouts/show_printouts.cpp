#include "output/printouts/show_printouts.h"

#include "output/printout_painter.h"
#include "output/text_document.h"
#include "rules/records/closed_state.h"

namespace printouts
{

namespace
{

struct KindNames {
    Kind kind;
    const char* command;
    const char* title;
};

constexpr KindNames kindNames[] = {
    {Kind::Etiquetas, "etiquetas", "Etiquetas de jaula"},
    {Kind::HojasJueces, "hojas-jueces", "Hojas de los jueces"},
    {Kind::Catalogo, "catalogo", "Catálogo"},
    {Kind::Resguardos, "resguardos", "Resguardos"},
};

const KindNames& namesOf(Kind kind)
{
    for (const KindNames& names : kindNames)
        if (names.kind == kind)
            return names;
    return kindNames[0];
}

} // namespace

QString commandName(Kind kind)
{
    return QString::fromUtf8(namesOf(kind).command);
}

std::optional<Kind> kindOfCommand(const QString& name)
{
    for (const KindNames& names : kindNames)
        if (name == QLatin1String(names.command))
            return names.kind;
    return std::nullopt;
}

QString title(Kind kind)
{
    return QString::fromUtf8(namesOf(kind).title);
}

namespace
{

listings::Printout pagesOf(Kind kind, const Show& show, const Options& options)
{
    if (show.birds.empty())
        throw listings::OutputError(
            QStringLiteral("No hay ninguna paloma recibida en esta exposición: no hay nada que imprimir."));
    switch (kind) {
    case Kind::Etiquetas:
        return labels(show, options.sheet, options.networkAddress);
    case Kind::HojasJueces:
        // The judging window's own refusal, for the same lack.
        if (show.jueces <= 0)
            throw listings::OutputError(
                QStringLiteral("No Hay Jueces en la Configuración,debes poner al menos Uno"));
        if (judgedBirds(show).empty())
            throw listings::OutputError(QStringLiteral(
                "No hay ninguna paloma de los grupos A, B o C: las del grupo D no se puntúan."));
        return judgesSheets(show);
    case Kind::Catalogo:
        return catalogue(show);
    case Kind::Resguardos:
        return receipts(show);
    }
    return {};
}

} // namespace

// The seal ends every printout of a closed show but the labels, whose sheet has no room left and
// which are cut apart.
listings::Printout build(Kind kind, const Show& show, const Options& options)
{
    listings::Printout pages = pagesOf(kind, show, options);
    if (kind != Kind::Etiquetas && !show.sello.isEmpty() && !pages.empty())
        pages.back().lines.push_back({records::sealLine(show.sello)});
    return pages;
}

int writePdf(Kind kind, const Show& show, const Options& options, const QString& path)
{
    const listings::Printout pages = build(kind, show, options);
    listings::writePdf(pages, path, title(kind));
    return int(pages.size());
}

} // namespace printouts
