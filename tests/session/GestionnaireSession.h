#pragma once
// A session manager of the test's own, speaking XSMP through libSM as a desktop's does: the
// programs under test connect to it (SESSION_MANAGER names it), and the test asks them to save
// before a shutdown, tells them to die or that the shutdown is called off, and reads what each
// answered, in order. Like a desktop's manager it grants interaction to one client at a time,
// and when a client cancels the shutdown it tells every client so. It listens on a local socket
// only, and runs on a thread of its own (libICE is used on that thread alone).

#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace test_session {

enum class EGenre {
  Client,           // a client registered
  Interaction,      // a client asked for interaction, and was granted it
  FinInteraction,   // InteractDone; Valeur: the client cancels the shutdown
  FinSauvegarde,    // SaveYourselfDone; Valeur: success
  Annulation,       // the manager told every client that the shutdown is called off
  Fermeture,        // a client's connection closed
};

struct TEvenement {
  EGenre Genre;
  int Client = 0;  // 1 for the first client that connected, and so on
  bool Valeur = false;
  std::chrono::steady_clock::time_point Instant;
};

// How much interaction a save allows (SmInteractStyleNone, Errors, Any).
enum class EInteraction { Aucune = 0, Erreurs = 1, Toute = 2 };

class TGestionnaireSession {
 public:
  TGestionnaireSession();
  ~TGestionnaireSession();
  TGestionnaireSession(const TGestionnaireSession&) = delete;
  TGestionnaireSession& operator=(const TGestionnaireSession&) = delete;

  // What SESSION_MANAGER is to hold; empty when the manager could not listen (Erreur tells why).
  const std::string& Adresse() const { return FAdresse; }
  const std::string& Erreur() const { return FErreur; }

  // Asks every client to save (both local and global state), as a logout does when arret is
  // true; or only that client (its number), so that a test chooses who is asked first.
  void DemandeSauvegarde(bool arret, EInteraction interaction, int client = 0);
  // Tells every client to die, or that the shutdown is called off.
  void Die();
  void AnnuleArret();

  // Runs on the manager's thread as each event is noted, before the client is answered or
  // anything else is read: what the test sees there is what holds at that instant. Set it
  // before the clients connect.
  std::function<void(const TEvenement&)> AuMoment;

  // The events so far, in order.
  std::vector<TEvenement> Evenements() const;
  // The first event of that kind from that index on (the index of the events list), within the time.
  std::optional<std::size_t> Attends(EGenre genre, std::size_t depuis, std::chrono::milliseconds delai) const;

 private:
  struct TClient;
  void Boucle();
  void Execute(std::function<void()> ordre);
  void Note(EGenre genre, int client, bool valeur);
  void AccordeInteraction();
  void Retire(TClient* client);

  friend struct TRappels;

  std::string FAdresse;
  std::string FErreur;
  int FReveil[2] = {-1, -1};
  std::thread FFil;

  mutable std::mutex FVerrou;
  mutable std::condition_variable FSignal;
  std::vector<TEvenement> FEvenements;
  std::deque<std::function<void()>> FOrdres;
  bool FFin = false;

  // On the manager's thread only.
  int FNombreEcoutes = 0;
  void** FEcoutes = nullptr;
  std::vector<TClient*> FClients;
  std::deque<TClient*> FFileInteraction;
  TClient* FInteractif = nullptr;
  int FNumeroSuivant = 1;
};

}  // namespace test_session
