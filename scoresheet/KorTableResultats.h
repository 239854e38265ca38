#pragma once
// The score sheet's table of results: the rows of GridResults, row 0 the titles, and the flag
// ResultatsEnregistres, all guarded by one lock (Verrou). Connection threads add rows through
// TCPServerCommandSendDataCommand; the window reads copies taken under the lock, so that it never
// shows, saves or tests a half-written row. Texts are 1252 bytes.

#include <QObject>

#include <array>
#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

inline constexpr int NbColonnesResultats = 5;
using TLigneResultat = std::array<std::string, NbColonnesResultats>;
using TGrilleResultats = std::vector<TLigneResultat>;

// Row 0: "Ordinateur", "Candidat", "Questionnaire", "Résultat", "Maximum".
const TLigneResultat& TitresResultats();

// A copy of the rows, with the number of results added when it was taken.
struct TInstantane {
  TGrilleResultats Lignes;
  std::uint64_t Generation = 0;
};

// A copy of the rows from Premiere on (row 0 being the titles): the rows of the table are
// Premiere + Lignes.size().
struct TSuiteResultats {
  std::size_t Premiere = 0;
  TGrilleResultats Lignes;
};

class TTableResultats : public QObject {
  Q_OBJECT
 public:
  TTableResultats();

  // The command handler, on the connection's thread: takes Verrou, adds the row, releases it
  // (also when adding fails), then signals the window.
  void TCPServerCommandSendDataCommand(const std::vector<std::string>& parametres);
  // Fewer than five parameters: nothing. Else the first five fill row 1 while it is free,
  // or a new last row. Only with Verrou held.
  void AjouteResultat(const std::vector<std::string>& parametres);

  TInstantane Instantane() const;
  // Only the rows from premiere on, so that the lock is held no longer than their copy takes
  // (none past the last row).
  TSuiteResultats LignesDepuis(std::size_t premiere) const;
  // The rows saved were those of this copy: the table counts as saved only if no result was
  // added since, so that a row arriving during the save is still asked about at closing.
  void MarqueEnregistre(std::uint64_t generation);
  bool ResultatsEnregistres() const;
  int NbLignes() const;
  // The number of results added so far.
  std::uint64_t Generation() const;

  // Serialises every use of the rows and of the flag.
  mutable std::mutex Verrou;

 signals:
  // A row was added or rewritten; emitted on the thread that added it, outside the lock.
  void ResultatAjoute();

 private:
  TGrilleResultats FLignes;
  bool FResultatsEnregistres = true;
  std::uint64_t FGeneration = 0;
};
