#pragma once
// The score sheet's TCP server: listens on every IPv4 address and serves all its connections
// from one event loop on a thread of its own (greeting, lines, replies; KorProtocole), so that an
// idle or slow peer costs a few bytes and never holds up a player. A connection is a descriptor
// and a line reader, nothing more, so that a storm of connections that open and close costs
// little memory and is closed as fast as it comes. It guards the machine against its peers: a
// line is kept up to a cap (a longer one is read to its end in bounded memory), a connection
// that completes no line for a while is closed, a peer is read no further while its reply waits
// to be taken, and when the number of connections reaches its bound the one that has gone
// longest without a line makes room for the newcomer. Writes to a peer that has gone never
// raise SIGPIPE.

#include <cstdint>
#include <memory>
#include <string>

#include "scoresheet/KorProtocole.h"

struct TOptionsServeur {
  std::uint16_t Port = PortFeuilleNotes;  // 0: any free port (see TServeurResultats::Port)
  // Connections held at once; also kept below what the process may open. Past it, the
  // connection that has gone longest without a line is closed to make room once it has gone
  // InactiviteAvantPlace without one; newcomers wait in the system's queue until then.
  int MaxConnexions = 16384;
  int DelaiInactivite = 60000;            // ms allowed for each line, and for a reply to be taken
  // ms without a line after which a connection may be closed for a newcomer. A player sends its
  // command within milliseconds of the greeting on a local network, and waits 10 s for the
  // greeting: 2 s closes no player in its exchange and lets a waiting one in before it gives up.
  int InactiviteAvantPlace = 2000;
  std::size_t LongueurMaxLigne = TLecteurLignes::LongueurMaxDefaut;
  std::size_t LongueurMaxLigneEntiere = TLecteurLignes::LongueurMaxEntiereDefaut;
  // Connections the system may hold before they are accepted (within its own bound, somaxconn):
  // room for a storm of them while the server thread waits for the processor.
  int FileAttente = 4096;
};

class TServeurResultats {
 public:
  // The handler runs on the server's own thread, one line at a time.
  explicit TServeurResultats(FCommandeSendData commande, TOptionsServeur options = {});
  ~TServeurResultats();  // Arrete
  TServeurResultats(const TServeurResultats&) = delete;
  TServeurResultats& operator=(const TServeurResultats&) = delete;

  // Starts listening; false when the port cannot be opened (Erreur says why, in 1252).
  bool Ecoute();
  // Stops listening, closes every connection and waits for the server's thread. Idempotent.
  void Arrete();

  bool EnEcoute() const;
  // The port listened on (the one chosen by the system when the options said 0).
  std::uint16_t Port() const;
  const std::string& Erreur() const;
  // Connections held now.
  int ConnexionsActives() const;

  struct TEtat;

 private:
  std::unique_ptr<TEtat> FEtat;
};
