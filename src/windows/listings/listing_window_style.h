#pragma once

#include "rules/listings/listing.h"

// The look shared by the three listing windows.

class QAbstractItemView;
class QLabel;
class QWidget;
class QPlainTextEdit;

namespace listings
{

// The exhibition's name large, the other titles below it.
void styleTitles(QLabel* name, QLabel* general, QLabel* subtitle);

// The caption and the three title labels of a classification window.
void showTitles(QWidget* window, const ListingTitles& titles, QLabel* name, QLabel* general,
                QLabel* subtitle);

// The fixed-pitch preview box of the classification: 95-character lines shown unbroken.
void stylePreview(QPlainTextEdit* box);

} // namespace listings
