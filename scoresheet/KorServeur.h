#pragma once
// The score sheet's TCP server: listens on every IPv4 address and serves each connection on a
// thread of its own (greeting, lines, replies; KorProtocole), so that a slow peer never holds up
// the others. It guards the machine against its peers: a line has a cap, a connection that sends
// nothing for a while is closed, and at most a given number of connections are served at once
// (the others wait, accepted by the system, until one ends). Writes to a peer that has gone
// never raise SIGPIPE.

#include <cstdint>
#include <memory>
#include <string>

#include "scoresheet/KorProtocole.h"

struct TOptionsServeur {
  std::uint16_t Port = PortFeuilleNotes;  // 0: any free port (see TServeurResultats::Port)
  int MaxConnexions = 128;                // connections served at once
  int DelaiInactivite = 60000;            // ms allowed for each line, and for a write to drain
  std::size_t LongueurMaxLigne = TLecteurLignes::LongueurMaxDefaut;
  int FileAttente = 1024;                 // connections the system may hold before they are served
};

// Needs the program's QCoreApplication (or QApplication) to exist while it listens.
class TServeurResultats {
 public:
  // The handler runs on the connections' threads, possibly on several at once.
  explicit TServeurResultats(FCommandeSendData commande, TOptionsServeur options = {});
  ~TServeurResultats();  // Arrete
  TServeurResultats(const TServeurResultats&) = delete;
  TServeurResultats& operator=(const TServeurResultats&) = delete;

  // Starts listening; false when the port cannot be opened (Erreur says why, in 1252).
  bool Ecoute();
  // Stops listening, closes every connection and waits for their threads. Idempotent.
  void Arrete();

  bool EnEcoute() const;
  // The port listened on (the one chosen by the system when the options said 0).
  std::uint16_t Port() const;
  const std::string& Erreur() const;
  // Connections being served now.
  int ConnexionsActives() const;

  struct TEtat;

 private:
  std::shared_ptr<TEtat> FEtat;
};
