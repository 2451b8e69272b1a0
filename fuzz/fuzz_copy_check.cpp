// Any bytes as a backup copy, checked as "Copias de seguridad" and palomas-cli restaurar check a
// copy before they trust it: opened read-only, its tables and fields, then SQLite's integrity
// check and the counts of its rows. A copy that is not sound must end in a base::Error with its
// message; a crash, a hang or a sanitizer report is a fault. Seeds: the damaged copies of
// tests/data/damaged and a sound one.

#include "rules/backups/copies.h"
#include "store/error.h"

#include <QFile>
#include <cstdint>
#include <cstdlib>
#include <unistd.h>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const QString path = QStringLiteral("%1/fuzz_copy_check-%2.mdb")
                                    .arg(qEnvironmentVariable("TMPDIR", QStringLiteral("/tmp")))
                                    .arg(getpid());
    {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
            std::abort();
        file.write(reinterpret_cast<const char*>(data), qint64(size));
    }
    try {
        const backups::Contents contents = backups::contentsOf(path);
        if (contents.cages < 0 || contents.scoreRows < 0)
            __builtin_trap();
    } catch (const base::Error& e) {
        if (e.message().isEmpty())
            __builtin_trap(); // every refusal tells the user why
    }
    return 0;
}
