#pragma once
// The XML card file: one element per line under the root ORVALINE, in UTF-8 or in the file's
// ANSI code page ("windows-N"), with an optional style-sheet instruction. The writer assembles
// the text itself; the reader parses it as a stream with libxml2 (no network, no DTD loading, no
// entity substitution, libxml2's limits on).

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "cards/KorFichierX.h"

class TFichierXML {
 public:
  TFichierXML() = default;
  TFichierXML(const TFichierXML&) = delete;
  TFichierXML& operator=(const TFichierXML&) = delete;

  // Writing: keeps the card file and the target.
  void Prepare(TFichierX& fichier, const std::string& chemin);
  // Saves through a temporary file renamed over the target; the card file then holds the new
  // stream. On failure the card file and the file on disk are as they were.
  void Enregistre(bool nouveau, const TReglages& r);
  // The bytes of the whole file, as Enregistre writes them.
  std::string Octets(const TReglages& r);

  // Reading: parses the bytes of an XML card file into a new card file (FLu). With the model's
  // questionnaire variant (the player), a file of another type than Q is refused.
  void Ouvre(std::string_view octets, bool complet, EVarianteModele variante, const TReglages& r);

  std::string FNomFichier;
  std::unique_ptr<TFichierX> FLu;  // the card file being read, until the caller takes it
  TFichierX* FFichier = nullptr;   // the card file written or read (not owned)
  bool FAvecBalisesControles = false;
  bool FPreserveEspaces = false;
};

// Reads an XML card file. ecriture: opened read-write and locked against every other opening
// (else read-only, others may read); complet: full load (the stream stays open in the card file)
// or template load (type, element names, style sheet, options, labels and template; the file is
// closed). The player's variant (EVarianteModele::Questionnaire) reads questionnaires only and
// never opens for writing.
// Raises EFOpenError, or ErreurIdInvalide "Erreur dans l'écriture du code XML !",
// "Pas un fichier XML d'Orvaline valide !" (and in the player "Ce fichier n'est pas un
// questionnaire !").
std::unique_ptr<TFichierX> LitFichierXML(const std::string& chemin, bool ecriture, bool complet,
                                         EVarianteModele variante,
                                         const TReglages& r);
// The same reader over bytes in memory (no stream, no name; the card file is writable).
std::unique_ptr<TFichierX> LitFichierXMLOctets(std::string_view octets, bool complet,
                                               EVarianteModele variante,
                                               const TReglages& r);
// The libxml2 options of the readers' parse: no network, no DTD loading, no entity substitution,
// libxml2's messages kept quiet, its limits on.
int OptionsAnalyseXML();

// Writes the card file as an XML card file (UTF-8 when the setting XMLUtf8 is on): nouveau
// creates the file at the path, else the card file's own open stream is the one replaced.
// Raises the file errors; on failure the card file keeps its name, format, flags and stream,
// and the file on disk is as it was.
void EcritFichierXML(TFichierX& fichier, const std::string& chemin, bool nouveau,
                     const TReglages& r);
// The bytes EcritFichierXML writes, without touching any file.
std::string OctetsFichierXML(TFichierX& fichier, const TReglages& r);
