#pragma once
// CSV files (one line per card, one column per field or field-2 item, no header line) and the
// plain-text export (the fields one per line). The column separator is the setting
// SeparateurCSV; with CSVUtf8 the files are UTF-8, else 1252. The character 175 stands for a
// space while a line is split or joined, so that spaces never end or start a column.

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "cards/KorFichierX.h"

inline constexpr char EspaceProtege = '\xAF';

class TFichierCSV {
 public:
  // Reading: decodes the text of a CSV file into a new card file (FLu) of the given type.
  void Ouvre(std::string_view octets, char typeFichier, const TReglages& r);
  // Writing: keeps the card file and the target.
  void Prepare(TFichierX& fichier, const std::string& chemin);
  // csv: saves as CSV through a temporary file renamed over the target, and the card file then
  // holds the new stream; otherwise exports plain text to a file of its own and leaves the card
  // file alone. On failure the card file and the file on disk are as they were.
  void Enregistre(bool csv, bool nouveau, const TReglages& r);
  // The bytes of the whole file, as Enregistre writes them.
  std::string Octets(bool csv, const TReglages& r);

  std::string FNomFichier;
  std::unique_ptr<TFichierX> FLu;  // the card file being read, until the caller takes it
  TFichierX* FFichier = nullptr;   // the card file read or written (not owned)
  std::string FSeparateur;         // separator of the field-2 items as this format uses it
  bool FSeparateurLigne = false;   // FSeparateur is CR LF: the items are lines
};

// A column separator that no CSV line can carry: the double quote, CR, LF, NUL and the
// character 175 that stands for spaces. The writer refuses them with MessageSeparateurCSVRefuse.
bool SeparateurCSVRefuse(char separateur);
std::string MessageSeparateurCSVRefuse();

// Whether card files of this type may be saved as CSV (the setting TypesCSV).
bool EstTypeCSV(char type, const TReglages& r);

// The number of leading columns that a card of this card file takes: 1 without field 1 or for
// type F, 3 with field 0, else 2. The columns after the first N - 1 belong to field 2.
int NombreColonnesCSV(const TFichierX& fichier);

// The columns of one line, as the reader splits it with this column separator (every
// character 175 given back as a space).
std::vector<std::string> DecoupeLigneCSV(std::string_view ligne, char separateur);

// Reads a CSV file as a card file of type typeFichier. ecriture: opened read-write and locked
// against every other opening (else read-only, others may read); the stream stays open in the
// card file. Raises EFOpenError, or ErreurIdInvalide "Le nombre de champs du fichier CSV n'est
// pas valide !" (a line with too few columns) or, with CSVUtf8, "Le fichier CSV n'est pas un
// texte UTF-8 valide !". A UTF-8 byte-order mark is skipped.
std::unique_ptr<TFichierX> LitFichierCSV(const std::string& chemin, char typeFichier, bool ecriture,
                                         const TReglages& r);
// The same reader over bytes in memory (no stream, no name; the card file is writable).
std::unique_ptr<TFichierX> LitFichierCSVOctets(std::string_view octets, char typeFichier,
                                               const TReglages& r);

// format 's' saves the card file as CSV (nouveau creates the file at the path, else the card
// file's own file is the one replaced); any other letter ('t') exports plain text to a file of
// its own, closed once written, whatever nouveau says, and refuses the card file's own file.
// Raises the file errors, or EErreur for a column separator that no CSV line can carry.
void EcritFichierCSV(TFichierX& fichier, char format, const std::string& chemin, bool nouveau,
                     const TReglages& r);
// The bytes EcritFichierCSV writes, without touching any file.
std::string OctetsFichierCSV(TFichierX& fichier, char format, const TReglages& r);
