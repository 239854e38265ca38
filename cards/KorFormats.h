#pragma once
// The table of formats. Every format letter has one identity (display name, extension pattern)
// here, and one row: its reader, its writer and which card files it may hold. The rows of the
// card formats (native, XML) are in this file; those of the exchange formats (Cardfile, CSV,
// plain text, Moodle) in exchange/KorFormatsEchange.h, whose ChercheFormat looks in both.

#include <memory>
#include <span>
#include <string>
#include <string_view>

#include "cards/KorFichierX.h"

struct TIdentiteFormat {
  char Lettre;
  std::string_view Nom;    // as the save dialog and the file's properties show it
  std::string_view Motif;  // extension pattern, '*' standing for the type letter
};

inline constexpr TIdentiteFormat IdentitesFormats[] = {
    {'c', "Cardfile", "crd"}, {'m', "Moodle", "xml"}, {'n', "Natif", "kq*"},
    {'s', "CSV", "csv"},      {'t', "Texte", "txt"},  {'x', "XML", "xkq*"},
};

// The identity of a format letter; null for a letter no format has.
constexpr const TIdentiteFormat* IdentiteFormat(char lettre) {
  for (const auto& i : IdentitesFormats)
    if (i.Lettre == lettre) return &i;
  return nullptr;
}

// How a file is opened by a format's reader.
struct TOuverture {
  bool Ecriture = false;  // read-write and locked against every other opening, else read-only
  bool Complet = true;    // a full load, else a template load (card formats only)
  EVarianteModele Variante = EVarianteModele::Complet;
  char TypeCSV = 0;  // the type a CSV file is read as
};

struct TFormat {
  const TIdentiteFormat& Identite;
  // Reads a file into a new card file; null for a format that is only written.
  std::unique_ptr<TFichierX> (*Lit)(const std::string& chemin, const TOuverture& ouverture, const TReglages& r);
  // Writes the card file: nouveau creates the file at the path, else its own file is replaced.
  void (*Ecrit)(TFichierX& fichier, const std::string& chemin, bool nouveau, const TReglages& r);
  // Whether a card file may be saved in this format, and exported to it.
  bool (*Permis)(const TFichierX& fichier, const TReglages& r);
  bool (*Exportable)(const TFichierX& fichier, const TReglages& r);

  char Lettre() const { return Identite.Lettre; }
};

bool FormatToujours(const TFichierX&, const TReglages&);
bool FormatJamais(const TFichierX&, const TReglages&);

// The card formats, native and XML, the only ones a template can be loaded from and the player reads.
std::span<const TFormat> FormatsCartes();
// The row of a card format; null for any other letter.
const TFormat* FormatCarte(char lettre);

// Reads a file in a card format found by its content (DetecteFormat: the player's variant of
// the model recognises as the player does). Raises EFOpenError, the reader's own errors, or
// ErreurIdInvalide for a file in no card format: "Ce fichier n'est pas un questionnaire !"
// with the player's variant, else "Fichier non reconnu !".
std::unique_ptr<TFichierX> LitFichierCarte(const std::string& chemin, const TOuverture& ouverture,
                                           const TReglages& r);
