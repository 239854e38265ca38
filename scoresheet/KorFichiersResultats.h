#pragma once
// The score sheet's files: the table written whole, titles included, as CSV lines or as a minimal
// spreadsheet stream of BIFF records (opened by spreadsheet programs as an ".xls" file).
// Nothing is ever read back. File names are file-system paths (UTF-8); cell texts are 1252.

#include <cstdint>
#include <string>
#include <string_view>

#include "scoresheet/KorTableResultats.h"

// The CSV text: one line "%s;%s;%s;%s;%s" per row, each ended by CR LF, nothing quoted.
std::string TexteCsv(const TGrilleResultats& lignes);
// Creates or replaces the file with TexteCsv. Both saves go through the safe save (EnregistreSur):
// whatever fails, the previous file stays as it was or the new one is whole.
void EnregistreCsv(const std::string& nom, const TGrilleResultats& lignes);

// One LABEL record (text cell). A text longer than a record can hold (65527 bytes) is cut there.
void EcritCelluleTexte(std::string& flux, int colonne, int ligne, std::string_view texte);
// One RK record (integer cell); a value outside the signed 30-bit range of an RK value is
// written as a NUMBER record (an IEEE double) instead, so that it is neither wrapped nor lost.
void EcritCelluleEntier(std::string& flux, int colonne, int ligne, std::int64_t valeur);
// A cell text read as a whole number: an optional sign and decimal digits; 0 for anything else.
// Digits past the 64-bit range keep the nearest value of that range.
std::int64_t EntierDeCellule(std::string_view texte);

// The spreadsheet stream: BOF, the cells row by row (row 0 and columns 0 to 2 as LABEL, the
// score and the maximum of the other rows as numbers), EOF.
// More rows than the records can number (65536) raise EWriteError, before anything is written.
std::string OctetsXls(const TGrilleResultats& lignes);
void EnregistreXls(const std::string& nom, const TGrilleResultats& lignes);

// The save command's choice of format: CSV when the name's extension (from its last ".") is
// ".csv" in any case, the spreadsheet for any other extension or none.
bool EstNomCsv(const std::string& nom);

// Writes a copy of the table to the file in the format its name calls for, then marks the table
// saved unless a result arrived after the copy was taken. A failure leaves the flag as it was.
void EnregistreResultats(TTableResultats& table, const std::string& nom);
