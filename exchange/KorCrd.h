#pragma once
// Files of the Windows card-file accessory ("MGC"): a 5-byte header (signature and card count),
// an index of 52-byte entries (the offset of the card's data block and its index line of up to
// 40 bytes), then one data block per card (picture size, text size, text). Integers are
// little-endian; texts are the cards' own 1252 bytes. A file reads as a card file of type R
// whose field 1 is each card's index line and field 2 its text; field 0 is not stored.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "cards/KorFichierX.h"

inline constexpr std::size_t TailleEnteteCardfile = 5;
inline constexpr std::size_t TailleEntreeIndex = 52;
inline constexpr std::size_t TailleEnteteCarte = 4;
inline constexpr std::size_t PositionLigneIndex = 11;  // offset of the index line in an entry
inline constexpr std::size_t TailleLigneIndex = 40;

class TFichierCrd {
 public:
  // Reading: decodes the bytes of a Cardfile file into a new card file (FLu). Every offset and
  // length is checked against the bytes there are.
  void Ouvre(std::string_view octets, const TReglages& r);
  // Writing: keeps the card file and the target.
  void Prepare(TFichierX& fichier, const std::string& chemin);
  // Saves through a temporary file renamed over the target; the card file then holds the new
  // stream. On failure the card file and the file on disk are as they were.
  void Enregistre(bool nouveau);
  // The bytes of the whole file, as Enregistre writes them. Refuses (EErreur) a card file
  // that the format's 16-bit counts and 32-bit offsets cannot hold.
  std::string Octets() const;

  std::string FNomFichier;
  std::unique_ptr<TFichierX> FLu;  // the card file being read, until the caller takes it
  TFichierX* FFichier = nullptr;   // the card file read or written (not owned)
};

// Reads a Cardfile file. ecriture: opened read-write and locked against every other opening
// (else read-only, others may read); the stream stays open in the card file.
// Raises EFOpenError, or ErreurIdInvalide "Pas un fichier Cardfile valide !" (also for a file
// that is cut short or whose offsets and lengths do not fit), or ErreurIdInvalide for a file
// whose cards hold pictures, which are not read.
std::unique_ptr<TFichierX> LitFichierCrd(const std::string& chemin, bool ecriture, const TReglages& r);
// The same reader over bytes in memory (no stream, no name; the card file is writable).
std::unique_ptr<TFichierX> LitFichierCrdOctets(std::string_view octets, const TReglages& r);

// Writes the card file as a Cardfile file (field 1 as the index line, cut to 40 bytes; field 2
// as the text): nouveau creates the file at the path, else the card file's own file is the one
// replaced. Refuses, before any file is touched, more than 65535 cards or a field 2 longer than
// 65535 bytes. On failure the card file keeps its name, format, flags and stream.
void EcritFichierCrd(TFichierX& fichier, const std::string& chemin, bool nouveau);
// The bytes EcritFichierCrd writes, without touching any file.
std::string OctetsFichierCrd(TFichierX& fichier);
