#pragma once

// The look shared by the three listing windows.

class QAbstractItemView;
class QLabel;
class QPlainTextEdit;

namespace listings
{

// The exhibition's name large, the other titles below it.
void styleTitles(QLabel* name, QLabel* general, QLabel* subtitle);

// The fixed-pitch preview box of the classification: 95-character lines shown unbroken.
void stylePreview(QPlainTextEdit* box);

} // namespace listings
