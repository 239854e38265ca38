#include "GestionnaireSession.h"

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <X11/ICE/ICElib.h>
#include <X11/SM/SMlib.h>

#include <algorithm>
#include <cstdlib>

// Not in the headers: keeps libICE from listening on TCP (every desktop manager calls it so).
extern "C" int _IceTransNoListen(const char* protocole);

namespace test_session {

struct TGestionnaireSession::TClient {
  TGestionnaireSession* Gestionnaire = nullptr;
  SmsConn Connexion = nullptr;
  IceConn Ice = nullptr;
  int Numero = 0;
  bool Enregistre = false;
};

// libSM's callbacks, which reach the manager through their client.
struct TRappels {
  using TClient = TGestionnaireSession::TClient;

  static Status Enregistre(SmsConn connexion, SmPointer donnees, char* idPrecedent) {
    auto* client = static_cast<TClient*>(donnees);
    char* id = idPrecedent ? idPrecedent : SmsGenerateClientID(connexion);
    const Status ok = id ? SmsRegisterClientReply(connexion, id) : 0;
    std::free(id);
    if (ok) {
      client->Enregistre = true;
      client->Gestionnaire->Note(EGenre::Client, client->Numero, true);
    }
    return ok;
  }

  static void DemandeInteraction(SmsConn, SmPointer donnees, int) {
    auto* client = static_cast<TClient*>(donnees);
    client->Gestionnaire->FFileInteraction.push_back(client);
    client->Gestionnaire->AccordeInteraction();
  }

  static void FinInteraction(SmsConn, SmPointer donnees, Bool annule) {
    auto* client = static_cast<TClient*>(donnees);
    TGestionnaireSession& g = *client->Gestionnaire;
    g.Note(EGenre::FinInteraction, client->Numero, annule);
    if (g.FInteractif == client) g.FInteractif = nullptr;
    if (annule) {
      // As a desktop's manager does: the shutdown is over for everybody.
      g.FFileInteraction.clear();
      for (TClient* c : g.FClients) SmsShutdownCancelled(c->Connexion);
      g.Note(EGenre::Annulation, 0, true);
      return;
    }
    g.AccordeInteraction();
  }

  static void DemandeSauvegarde(SmsConn, SmPointer, int, Bool, int, Bool, Bool) {}

  static void DemandePhase2(SmsConn connexion, SmPointer) { SmsSaveYourselfPhase2(connexion); }

  static void FinSauvegarde(SmsConn, SmPointer donnees, Bool succes) {
    auto* client = static_cast<TClient*>(donnees);
    client->Gestionnaire->Note(EGenre::FinSauvegarde, client->Numero, succes);
  }

  static void Ferme(SmsConn, SmPointer donnees, int nombre, char** raisons) {
    SmFreeReasons(nombre, raisons);
    auto* client = static_cast<TClient*>(donnees);
    client->Gestionnaire->Retire(client);
  }

  static void FixeProprietes(SmsConn, SmPointer, int nombre, SmProp** proprietes) {
    for (int i = 0; i < nombre; ++i) SmFreeProperty(proprietes[i]);
    std::free(proprietes);
  }

  static void EffaceProprietes(SmsConn, SmPointer, int nombre, char** noms) {
    for (int i = 0; i < nombre; ++i) std::free(noms[i]);
    std::free(noms);
  }

  static void DonneProprietes(SmsConn connexion, SmPointer) { SmsReturnProperties(connexion, 0, nullptr); }

  static Status NouveauClient(SmsConn connexion, SmPointer donnees, unsigned long* masque, SmsCallbacks* rappels,
                              char** raison) {
    auto* g = static_cast<TGestionnaireSession*>(donnees);
    auto* client = new TClient{g, connexion, SmsGetIceConnection(connexion), g->FNumeroSuivant++, false};
    g->FClients.push_back(client);
    *raison = nullptr;
    *masque = SmsRegisterClientProcMask | SmsInteractRequestProcMask | SmsInteractDoneProcMask |
              SmsSaveYourselfRequestProcMask | SmsSaveYourselfP2RequestProcMask | SmsSaveYourselfDoneProcMask |
              SmsCloseConnectionProcMask | SmsSetPropertiesProcMask | SmsDeletePropertiesProcMask |
              SmsGetPropertiesProcMask;
    rappels->register_client = {Enregistre, client};
    rappels->interact_request = {DemandeInteraction, client};
    rappels->interact_done = {FinInteraction, client};
    rappels->save_yourself_request = {DemandeSauvegarde, client};
    rappels->save_yourself_phase2_request = {DemandePhase2, client};
    rappels->save_yourself_done = {FinSauvegarde, client};
    rappels->close_connection = {Ferme, client};
    rappels->set_properties = {FixeProprietes, client};
    rappels->delete_properties = {EffaceProprietes, client};
    rappels->get_properties = {DonneProprietes, client};
    return 1;
  }

  // Clients of this machine's local socket only: no authentication.
  static Bool ParHote(char*) { return True; }
};

namespace {

// A client's connection that breaks (a program killed) is closed like any other; libICE's own
// handler would end the whole test.
void ConnexionRompue(IceConn) {}

}  // namespace

TGestionnaireSession::TGestionnaireSession() {
  IceSetIOErrorHandler(ConnexionRompue);
  char erreur[256] = {};
  if (!SmsInitialize("orvaline-test", "1.0", TRappels::NouveauClient, this, TRappels::ParHote, sizeof erreur, erreur)) {
    FErreur = erreur;
    return;
  }
  _IceTransNoListen("tcp");
  int nombre = 0;
  IceListenObj* ecoutes = nullptr;
  if (!IceListenForConnections(&nombre, &ecoutes, sizeof erreur, erreur) || nombre == 0) {
    FErreur = erreur;
    return;
  }
  for (int i = 0; i < nombre; ++i) IceSetHostBasedAuthProc(ecoutes[i], TRappels::ParHote);
  FNombreEcoutes = nombre;
  FEcoutes = reinterpret_cast<void**>(ecoutes);
  char* adresse = IceComposeNetworkIdList(nombre, ecoutes);
  FAdresse = adresse ? adresse : "";
  std::free(adresse);
  if (::pipe2(FReveil, O_CLOEXEC) != 0) {
    FErreur = "pipe";
    FAdresse.clear();
    return;
  }
  FFil = std::thread([this] { Boucle(); });
}

TGestionnaireSession::~TGestionnaireSession() {
  if (FFil.joinable()) {
    {
      std::lock_guard<std::mutex> verrou(FVerrou);
      FFin = true;
    }
    (void)!::write(FReveil[1], "x", 1);
    FFil.join();
  }
  for (TClient* c : FClients) {
    SmsCleanUp(c->Connexion);
    IceSetShutdownNegotiation(c->Ice, False);
    IceCloseConnection(c->Ice);
    delete c;
  }
  if (FEcoutes) IceFreeListenObjs(FNombreEcoutes, reinterpret_cast<IceListenObj*>(FEcoutes));
  for (int fd : FReveil)
    if (fd >= 0) ::close(fd);
}

void TGestionnaireSession::Execute(std::function<void()> ordre) {
  {
    std::lock_guard<std::mutex> verrou(FVerrou);
    FOrdres.push_back(std::move(ordre));
  }
  (void)!::write(FReveil[1], "x", 1);
}

void TGestionnaireSession::DemandeSauvegarde(bool arret, EInteraction interaction, int client) {
  Execute([this, arret, interaction, client] {
    for (TClient* c : FClients)
      if (c->Enregistre && (client == 0 || c->Numero == client)) SmsSaveYourself(c->Connexion, SmSaveBoth, arret, static_cast<int>(interaction), False);
  });
}

void TGestionnaireSession::Die() {
  Execute([this] {
    for (TClient* c : FClients) SmsDie(c->Connexion);
  });
}

void TGestionnaireSession::AnnuleArret() {
  Execute([this] {
    FFileInteraction.clear();
    FInteractif = nullptr;
    for (TClient* c : FClients) SmsShutdownCancelled(c->Connexion);
    Note(EGenre::Annulation, 0, true);
  });
}

void TGestionnaireSession::Note(EGenre genre, int client, bool valeur) {
  const TEvenement evenement{genre, client, valeur, std::chrono::steady_clock::now()};
  if (AuMoment) AuMoment(evenement);
  {
    std::lock_guard<std::mutex> verrou(FVerrou);
    FEvenements.push_back(evenement);
  }
  FSignal.notify_all();
}

void TGestionnaireSession::AccordeInteraction() {
  if (FInteractif || FFileInteraction.empty()) return;
  FInteractif = FFileInteraction.front();
  FFileInteraction.pop_front();
  SmsInteract(FInteractif->Connexion);
  Note(EGenre::Interaction, FInteractif->Numero, true);
}

void TGestionnaireSession::Retire(TClient* client) {
  Note(EGenre::Fermeture, client->Numero, true);
  FClients.erase(std::remove(FClients.begin(), FClients.end(), client), FClients.end());
  FFileInteraction.erase(std::remove(FFileInteraction.begin(), FFileInteraction.end(), client),
                         FFileInteraction.end());
  if (FInteractif == client) {
    FInteractif = nullptr;
    AccordeInteraction();
  }
  SmsCleanUp(client->Connexion);
  IceSetShutdownNegotiation(client->Ice, False);
  IceCloseConnection(client->Ice);
  delete client;
}

std::vector<TEvenement> TGestionnaireSession::Evenements() const {
  std::lock_guard<std::mutex> verrou(FVerrou);
  return FEvenements;
}

std::optional<std::size_t> TGestionnaireSession::Attends(EGenre genre, std::size_t depuis,
                                                         std::chrono::milliseconds delai) const {
  std::unique_lock<std::mutex> verrou(FVerrou);
  std::optional<std::size_t> trouve;
  FSignal.wait_for(verrou, delai, [&] {
    for (std::size_t i = depuis; i < FEvenements.size(); ++i)
      if (FEvenements[i].Genre == genre) {
        trouve = i;
        return true;
      }
    return false;
  });
  return trouve;
}

void TGestionnaireSession::Boucle() {
  auto* ecoutes = reinterpret_cast<IceListenObj*>(FEcoutes);
  // Every ICE connection accepted: the XSMP setup on one makes its client.
  std::vector<IceConn> connexions;
  const auto clientDe = [this](IceConn c) -> TClient* {
    for (TClient* client : FClients)
      if (client->Ice == c) return client;
    return nullptr;
  };
  for (;;) {
    std::vector<pollfd> attente{{FReveil[0], POLLIN, 0}};
    for (int i = 0; i < FNombreEcoutes; ++i) attente.push_back({IceGetListenConnectionNumber(ecoutes[i]), POLLIN, 0});
    const std::size_t debut = attente.size();
    for (IceConn c : connexions) attente.push_back({IceConnectionNumber(c), POLLIN, 0});
    if (::poll(attente.data(), attente.size(), 1000) < 0) continue;

    if (attente[0].revents) {
      char tampon[64];
      (void)!::read(FReveil[0], tampon, sizeof tampon);
      std::deque<std::function<void()>> ordres;
      {
        std::lock_guard<std::mutex> verrou(FVerrou);
        if (FFin) return;
        ordres.swap(FOrdres);
      }
      for (auto& ordre : ordres) ordre();
    }
    std::vector<IceConn> restent;
    for (std::size_t k = 0; k < connexions.size(); ++k) {
      IceConn c = connexions[k];
      const bool avaitClient = clientDe(c) != nullptr;
      if (attente[debut + k].revents && IceProcessMessages(c, nullptr, nullptr) == IceProcessMessagesIOError) {
        if (TClient* client = clientDe(c)) {
          Retire(client);
        } else {
          IceSetShutdownNegotiation(c, False);
          IceCloseConnection(c);
        }
        continue;
      }
      if (clientDe(c)) {
        restent.push_back(c);
        continue;
      }
      // A client that said goodbye was closed, connection and all, by its callback.
      if (avaitClient) continue;
      const IceConnectStatus etat = IceConnectionStatus(c);
      if (etat == IceConnectPending || etat == IceConnectAccepted) {
        restent.push_back(c);
      } else {
        IceSetShutdownNegotiation(c, False);
        IceCloseConnection(c);
      }
    }
    connexions.swap(restent);
    for (int i = 0; i < FNombreEcoutes; ++i)
      if (attente[1 + static_cast<std::size_t>(i)].revents & POLLIN) {
        IceAcceptStatus statut;
        if (IceConn c = IceAcceptConnection(ecoutes[i], &statut)) connexions.push_back(c);
      }
  }
}

}  // namespace test_session
