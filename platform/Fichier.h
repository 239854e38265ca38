#pragma once
// Files as byte streams, with the three openings the card formats use.
// Locks are flock locks, so they hold between the programs of the suite.

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "Erreur.h"

enum class EModeOuverture {
  Lecture,          // read; others may read but not write (shared lock)
  LectureEcriture,  // read and write; locked against every other opening (exclusive lock)
  Creation,         // create or replace, read and write, locked; never truncates a file someone else holds
};

class TFlux {
 public:
  // Paths are file-system paths (UTF-8). Failures raise EFOpenError or EFCreateError
  // whose message names the file (converted to 1252) and gives the system's reason.
  static std::unique_ptr<TFlux> Ouvre(const std::string& chemin, EModeOuverture mode);
  ~TFlux();
  TFlux(const TFlux&) = delete;
  TFlux& operator=(const TFlux&) = delete;

  // Reads up to n bytes; returns how many were read (0 at the end of the file).
  std::size_t Lit(void* tampon, std::size_t n);
  // Reads exactly n bytes or raises EReadError.
  void LitTout(void* tampon, std::size_t n);
  // Writes all n bytes or raises EWriteError.
  void Ecrit(const void* tampon, std::size_t n);
  void Ecrit(const std::string& octets) { Ecrit(octets.data(), octets.size()); }
  // The rest of the file from the current position, read to the file's end even if it grew
  // since its size was taken.
  std::string LitReste();
  // The same into a buffer that nothing fills first; taille receives the number of bytes read.
  std::unique_ptr<char[]> LitReste(std::size_t& taille);

  std::int64_t Position() const;
  void Positionne(std::int64_t position);
  std::int64_t Taille() const;
  // Empties the file and goes back to its first byte.
  void Vide();
  const std::string& Chemin() const { return FChemin; }
  EModeOuverture Mode() const { return FMode; }

 private:
  TFlux(int fd, std::string chemin, EModeOuverture mode);
  // EnregistreSur's way when the folder refuses the temporary file: the held stream rewritten.
  static std::unique_ptr<TFlux> RecritSurPlace(const std::string& cible, const TFlux& tenu,
                                               const std::function<void(TFlux&)>& ecrire);
  friend std::unique_ptr<TFlux> EnregistreSur(const std::string&, const TFlux*,
                                              const std::function<void(TFlux&)>&);
  int FFd;
  std::string FChemin;
  EModeOuverture FMode;
};

// A file (not a folder) of that name exists; a link counts as what it points to.
bool FichierExiste(const std::string& chemin);
// The read-only attribute: the file exists and its owner has no write permission.
bool EstLectureSeule(const std::string& chemin);
// Set: every write permission removed. Cleared: the owner may write. False when that fails.
bool FixeLectureSeule(const std::string& chemin, bool lectureSeule);

// The system's reason for an error number, in French (1252), as the file errors give it.
std::string RaisonSysteme(int erreur);

// Saves a file without risking what is on disk: ecrire fills a temporary file in the target's
// folder, which is flushed to disk and renamed over the target (its permissions kept, a link
// followed); the returned stream is that new file, open read-write and locked, named cible,
// and left where ecrire left it (seek to 0 before reading it back).
// fluxTenu is the stream this program already holds on the target (the card file's own), or
// null; a target that another opening holds locked, or whose read-only attribute is set, is not
// replaced (EFCreateError). fluxTenu itself is never touched: the caller drops it for the result.
// On any failure the temporary file is removed, the target is as it was, and the error goes on.
// The temporary file is locked while the save runs; those that earlier saves of the same target
// left when they died are removed first (never one that a running save holds).
// When the folder refuses the temporary file but fluxTenu is the target, open for writing, the
// file is rewritten through it instead: the new bytes are built whole in memory first, then
// written from the first byte, the file cut to their length and flushed. The stream returned then
// shares fluxTenu's opening and lock, which it keeps when the caller drops fluxTenu; a failure
// of that rewrite may leave the file part-written, as rewriting an open file always could.
std::unique_ptr<TFlux> EnregistreSur(const std::string& cible, const TFlux* fluxTenu,
                                     const std::function<void(TFlux&)>& ecrire);
