#pragma once

// A written PDF read back with poppler's tools and zbar, as a reader of the printout would see it.

#include <QDir>
#include <QProcess>
#include <QRegularExpression>
#include <QStringList>
#include <QTemporaryDir>

namespace pdfpages
{

// The standard output of a tool; the error output (zbar's complaints about D-Bus) is dropped.
inline QString run(const QString& tool, const QStringList& args)
{
    QProcess process;
    process.start(tool, args);
    process.waitForFinished(300000);
    return QString::fromUtf8(process.readAllStandardOutput());
}

// The pages' text as laid out on the page, one entry per page.
inline QStringList pageTexts(const QString& pdf)
{
    QStringList pages =
        run(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), pdf, QStringLiteral("-")}).split(u'\f');
    if (!pages.isEmpty() && pages.last().trimmed().isEmpty())
        pages.removeLast();
    return pages;
}

inline int pageCount(const QString& pdf)
{
    const QRegularExpressionMatch pages =
        QRegularExpression(QStringLiteral("Pages:\\s+(\\d+)")).match(run(QStringLiteral("pdfinfo"), {pdf}));
    return pages.hasMatch() ? pages.captured(1).toInt() : -1;
}

// Every QR code on the pages, rendered at the given resolution, as zbar reads them.
inline QStringList qrCodes(const QString& pdf, int dpi = 150)
{
    QTemporaryDir images;
    run(QStringLiteral("pdftoppm"), {QStringLiteral("-r"), QString::number(dpi), QStringLiteral("-png"), pdf,
                                     images.filePath(QStringLiteral("p"))});
    QStringList codes;
    for (const QString& image :
         QDir(images.path()).entryList({QStringLiteral("*.png")}, QDir::Files, QDir::Name))
        for (const QString& line :
             run(QStringLiteral("zbarimg"), {QStringLiteral("-q"), images.filePath(image)}).split(u'\n'))
            if (line.startsWith(QStringLiteral("QR-Code:")))
                codes << line.mid(8);
    return codes;
}

} // namespace pdfpages
