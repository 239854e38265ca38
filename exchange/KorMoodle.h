#pragma once
// Moodle XML quiz files: a root "quiz" holding one "question" element per card. The kind of a
// question, the fractions of its answers, its general feedback, matching pairs and cloze gaps
// are told by short markers in the card texts, built from the card file's option characters:
// with the default ones "(*type*)" in field 1, "(*50*)" or "(*)" before an answer, "(/ ... /)"
// around the feedback, "(:" ":)" around a gap and "::" between the sides of a pair. A card whose
// field 0 begins with the category mark ('%') is a category entry.
// The writer assembles the text itself; libxml2 parses the quizzes read. Files are UTF-8.

#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "cards/KorFichierX.h"

class TFichierMoodle {
 public:
  // Writing: keeps the card file and the target.
  void Prepare(TFichierX& fichier, const std::string& chemin);
  // Saves the quiz through a temporary file renamed over the target. A questionnaire (type Q)
  // is exported: the file written is closed and the card file is left alone (its own file is
  // refused as a target). Any other card file then holds the new stream, format 'm'.
  // On failure the card file and the file on disk are as they were.
  void Enregistre(bool nouveau, const TReglages& r);
  // The bytes of the whole file, as Enregistre writes them.
  std::string Octets(const TReglages& r);

  // Reading: parses the bytes of a quiz into a new card file of type M (FLu).
  void Ouvre(std::string_view octets, const TReglages& r);

  // Fills FSeparateur and the markers from FFichier's option characters.
  void PrepareMarques(const TReglages& r);
  // Takes the first marker (FOuvreReponse ... FFermeReponse) out of a text: marque is what it
  // holds, trimmed (defaut when there is none; with siVide, an empty one becomes *siVide and any
  // other gets its first ',' turned into '.'), reste the text without it, trimmed.
  void ExtraitMarque(const std::string& texte, std::string& marque, std::string& reste, const std::string& defaut,
                     const std::string* siVide = nullptr) const;
  // The marker of a value, ending in a blank; empty when the value is absent or is defaut.
  std::string MarqueDe(const std::optional<std::string>& valeur, const std::string& defaut,
                       const std::string& juste) const;

  std::string FNomFichier;
  std::unique_ptr<TFichierX> FLu;  // the card file being read, until the caller takes it
  TFichierX* FFichier = nullptr;   // the card file written or read (not owned)
  std::string FSeparateur;         // separator of the items of field 2
  std::string FOuvreReponse;       // "(*"
  std::string FFermeReponse;       // "*)"
  std::string FReponseJuste;       // "(*)"
  std::string FOuvreRetour;        // "(/"
  std::string FFermeRetour;        // "/)"
  std::string FOuvreTrou;          // "(:"
  std::string FFermeTrou;          // ":)"
  std::string FAppariement;        // "::"
};

// "100" for "shortanswer" and "numerical", "0" for every other type.
std::string FractionParDefaut(const std::string& type);
// The first ',' of the text becomes '.'.
void VirguleEnPoint(std::string& texte);
std::string BooleenTexte(bool valeur);

// Reads a Moodle quiz as a card file of type M. ecriture: opened read-write and locked against
// every other opening (else read-only, others may read); the stream stays open in the card file.
// The parse reaches no network and loads no DTD. Raises EFOpenError, or ErreurIdInvalide
// "Erreur dans l'écriture du code XML !" (not well-formed) or "Pas un fichier Moodle valide !"
// (another root, or a question without a type).
std::unique_ptr<TFichierX> LitFichierMoodle(const std::string& chemin, bool ecriture,
                                            const TReglages& r);
// The same reader over bytes in memory (no stream, no name; the card file is writable).
std::unique_ptr<TFichierX> LitFichierMoodleOctets(std::string_view octets, const TReglages& r);

// Writes the card file as a Moodle quiz: saves a type M file (nouveau creates the file at the
// path, else the card file's own file is the one replaced) and exports a questionnaire to a file
// of its own. Raises the file errors.
void EcritFichierMoodle(TFichierX& fichier, const std::string& chemin, bool nouveau,
                        const TReglages& r);
// The bytes EcritFichierMoodle writes, without touching any file.
std::string OctetsFichierMoodle(TFichierX& fichier, const TReglages& r);
