#include "rules/listings/classifications.h"

namespace listings
{

const std::vector<ClassificationKey>& classifications()
{
    static const std::vector<ClassificationKey> all = [] {
        std::vector<ClassificationKey> keys;
        for (const QString grupo : {QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("C")})
            for (const QString sexo : {QStringLiteral("M"), QStringLiteral("H")})
                keys.push_back({grupo, sexo, QString()});
        for (const QChar categ : QStringLiteral("ABCDE"))
            keys.push_back({QStringLiteral("D"), QString(), QString(categ)});
        return keys;
    }();
    return all;
}

bool isJudgedGroup(const QString& grupo)
{
    return grupo == u"A" || grupo == u"B" || grupo == u"C";
}

} // namespace listings
