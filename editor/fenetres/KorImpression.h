#pragma once
// Printing the shown card: the lines a memo shows, and one print job that writes text lines on
// the chosen printer in the field font.

#include <QString>

#include <string>
#include <vector>

class QFont;
class QPlainTextEdit;
class QPrinter;

// The lines the memo shows, word-wrapped lines included, as 1252 texts; none for an empty memo.
std::vector<std::string> LignesAffichees(const QPlainTextEdit& memo);

// The margins of a desktop print: a printer's own margins (a few millimetres) put the text where a
// physical printer clips it.
inline constexpr double MargeImpressionMm = 20;
// Widens every margin of the printer's page to at least MargeImpressionMm.
void FixeMargesImpression(QPrinter& imprimante);

// One print job: the lines top to bottom, in that font, from the top left corner of the page's
// area inside the margins (at least MargeImpressionMm), a new page when one is full. Empty when
// the job was written, else the message of the output error.
QString ImprimeLignes(QPrinter& imprimante, const QFont& police, const std::vector<std::string>& lignes);
