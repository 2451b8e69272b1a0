#pragma once

// The show's eleven classifications, in the one order the menu, the documents, the workbook,
// the board and the province ranking all follow: groups A to C by sex (A Machos, A Hembras ...
// C Hembras), then the five categories of group D.

#include <QString>
#include <vector>

namespace listings
{

struct ClassificationKey {
    QString grupo; // "A" to "D"
    QString sexo;  // "M" or "H"; "" for group D
    QString categ; // "A" to "E" for group D; "" otherwise

    bool groupD() const { return !categ.isEmpty(); }
    // "AM" ... "CH" for groups A to C, the category ("A" ... "E") for group D: the names of the
    // show's network.
    QString name() const { return groupD() ? categ : grupo + sexo; }
};

const std::vector<ClassificationKey>& classifications();

// The judged groups, "A" to "C" (group D is not judged).
bool isJudgedGroup(const QString& grupo);

} // namespace listings
