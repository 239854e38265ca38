#pragma once
// The native card file: fixed-size records of 61-byte lines and a 16-byte trailer. Record 0
// holds the title line, the header and (with three lines or more) the ignored-words line; every
// further record holds one card, field 1 then field 2, and the cards are chained by record
// numbers. Integers are little-endian; texts are single bytes in the header's ANSI code page
// (signature "ÇQ") or in the OEM code page (signature "KQ", old files).

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "cards/KorFichierX.h"

inline constexpr std::size_t TailleLigneNative = 61;
inline constexpr std::size_t TaillePiedEnregistrement = 16;
// At most this many lines a field (c1 and c2 are single bytes).
inline constexpr int MaxLignesChamp = 251;

// One stored line: a length byte (0 to 60) and 60 bytes of text, zero-filled.
struct LigneNative {
  std::array<std::uint8_t, TailleLigneNative> Octets{};
  std::string Texte() const;
  void FixeTexte(std::string_view texte);  // the first 60 bytes
};

// The header record (line 1 of record 0), as bytes; offsets below.
struct EnteteNatif {
  std::array<std::uint8_t, TailleLigneNative> Octets{};
};

// Line starts of a text cut into stored lines: debuts[i] is the start of line i and
// debuts[count] the end of the last line. At most MaxLignesChamp lines; the rest has no line.
using DebutsLignes = std::array<std::size_t, MaxLignesChamp + 1>;
int DecoupeLignes(std::string_view texte, DebutsLignes& debuts);
int CompteLignes(std::string_view texte);

// 'O' or 'N'; J, O, S, T and Y read as true.
char CarOuiNon(bool oui);
bool EstCarOui(std::uint8_t c);

class TFichierNatif {
 public:
  // Reading: decodes the bytes of a native file into a new card file. With the model's
  // questionnaire variant (the player), a file of another type than Q is refused.
  void Ouvre(std::string_view octets, bool complet, EVarianteModele variante, const TReglages& r);
  // Writing: keeps the card file and the target.
  void Prepare(TFichierX& fichier, const std::string& chemin);
  // Saves through a temporary file renamed over the target; the card file then holds the new
  // stream. On failure the card file and the file on disk are as they were.
  void Enregistre(bool nouveau, const TReglages& r);
  // The bytes of the whole file, as Enregistre writes them.
  std::string Octets(const TReglages& r);
  // The same bytes, handed to sortie in pieces.
  void Ecrit(const std::function<void(const char*, std::size_t)>& sortie, const TReglages& r);

  int NombreLignes() const { return FLignesChamp1 + FLignesChamp2; }
  std::size_t TailleEnregistrement() const {
    return static_cast<std::size_t>(NombreLignes()) * TailleLigneNative + TaillePiedEnregistrement;
  }

  std::string FNomFichier;
  std::unique_ptr<TFichierX> FLu;   // the card file being read, until the caller takes it
  TFichierX* FFichier = nullptr;    // the card file read or written (not owned)
  bool FTexteOem = false;
  EnteteNatif FEntete;
  LigneNative FLigneTitre;
  LigneNative FLigneMotsIgnores;
  std::int32_t FLignesChamp1 = 0;
  std::int32_t FLignesChamp2 = 0;
  std::int32_t FEnregistrementSuivant = 0;
  std::int32_t FReserve = 0;
  std::int32_t FNombreFiches = 0;
  bool FComplet = false;

 private:
  void LitEntete();
  std::int32_t LitFiche(std::size_t debut, bool& complet);
  void CalculeLignes();
  void MesureFiche(const TFicheX& fiche);
  void EcritEntete(char* record, const TReglages& r);
  void EcritFiche(char* record, const TFicheX& fiche, int i, int n);
  void EcritChamp(char*& ligne, const std::string& texte, int n);

  std::string_view FOctets;
  EVarianteModele FVariante = EVarianteModele::Complet;
};

// Reads a native card file. ecriture: opened read-write and locked against every other opening
// (else read-only, others may read); complet: full load (the stream stays open in the card file)
// or template load (type, element names and options only; the file is closed).
// The player's variant (EVarianteModele::Questionnaire) reads questionnaires only and never
// opens for writing.
// Raises EFOpenError, or ErreurIdInvalide "Pas un fichier natif d'Orvaline valide !" (and in the
// player "Ce fichier n'est pas un questionnaire !").
std::unique_ptr<TFichierX> LitFichierNatif(const std::string& chemin, bool ecriture, bool complet,
                                           EVarianteModele variante,
                                           const TReglages& r);
// The same reader over bytes in memory (no stream, no name; the card file is writable).
std::unique_ptr<TFichierX> LitFichierNatifOctets(std::string_view octets, bool complet,
                                                 EVarianteModele variante,
                                                 const TReglages& r);

// Writes the card file as a native file: nouveau creates the file at the path, else the card
// file's own open stream is the one replaced. Raises the file errors; on failure the card file
// keeps its name, format, flags and stream, and the file on disk is as it was.
void EcritFichierNatif(TFichierX& fichier, const std::string& chemin, bool nouveau,
                       const TReglages& r);
// The bytes EcritFichierNatif writes, without touching any file.
std::string OctetsFichierNatif(TFichierX& fichier, const TReglages& r);
