#include "scoresheet/KorServeur.h"

#include <QCoreApplication>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <list>
#include <thread>
#include <utility>

#include <netinet/in.h>
#include <fcntl.h>
#include <poll.h>
#include <sys/epoll.h>
#include <sys/eventfd.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <unistd.h>

#include "platform/Ansi.h"
#include "platform/Signaux.h"

namespace {

using Horloge = std::chrono::steady_clock;

// Bytes taken from a socket at a time: a peer is read only while its last reply has gone, so
// what it sends beyond this waits in the system, which then stops the peer itself.
constexpr std::size_t TailleMorceau = 16 * 1024;
// What is still read from a peer that has gone, for the lines it sent with its close.
constexpr std::size_t LectureMaxFin = 4 * TailleMorceau;

// Connections taken from the system's queue before those already held are served again, so
// that a storm of newcomers never keeps a player's reply waiting.
constexpr int AcceptationsParTour = 64;
constexpr int EvenementsParTour = 256;

// Descriptors kept free for everything else the program opens.
constexpr rlim_t DescripteursReserves = 64;

// The most connections the process may hold: the limit on open descriptors, raised as far as the
// system allows, less those kept for the rest of the program.
int ConnexionsPossibles() {
  rlimit limite{};
  if (getrlimit(RLIMIT_NOFILE, &limite) != 0) return 1;
  if (limite.rlim_cur < limite.rlim_max) {
    rlimit haute = limite;
    haute.rlim_cur = limite.rlim_max;
    if (setrlimit(RLIMIT_NOFILE, &haute) == 0) limite = haute;
  }
  const rlim_t n = limite.rlim_cur > 2 * DescripteursReserves ? limite.rlim_cur - DescripteursReserves
                                                                : limite.rlim_cur / 2;
  return static_cast<int>(std::clamp<rlim_t>(n, 1, 1 << 30));
}

// An open descriptor, closed with its owner.
class TDescripteur {
 public:
  TDescripteur() = default;
  explicit TDescripteur(int fd) : FFd(fd) {}
  ~TDescripteur() { Ferme(); }
  TDescripteur(TDescripteur&& autre) noexcept : FFd(std::exchange(autre.FFd, -1)) {}
  TDescripteur& operator=(TDescripteur&& autre) noexcept {
    if (this != &autre) {
      Ferme();
      FFd = std::exchange(autre.FFd, -1);
    }
    return *this;
  }
  int Fd() const { return FFd; }
  bool Ouvert() const { return FFd >= 0; }
  void Ferme() {
    if (FFd >= 0) ::close(FFd);
    FFd = -1;
  }

 private:
  int FFd = -1;
};

// Why the port cannot be listened on, in the words Qt's own server uses (translated like them).
std::string RaisonEcoute(int erreur, bool enEcoute) {
  const char* texte = nullptr;
  if (enEcoute && erreur == EADDRINUSE) texte = "Another socket is already listening on the same port";
  else if (erreur == EADDRINUSE) texte = "The bound address is already in use";
  else if (erreur == EACCES) texte = "The address is protected";
  else if (erreur == EADDRNOTAVAIL) texte = "The address is not available";
  if (texte) return ansi::DepuisQString(QCoreApplication::translate("QNativeSocketEngine", texte));
  return std::strerror(erreur);
}

}  // namespace

struct TServeurResultats::TEtat {
  FCommandeSendData Commande;
  TOptionsServeur Options;

  std::atomic<int> Actifs{0};
  std::atomic<bool> EnEcoute{false};
  bool Essaye = false;  // listens once in the object's life
  std::uint16_t Port = 0;
  std::string Erreur;
  TDescripteur Ecoute;
  TDescripteur Reveil;  // written to by Arrete: the loop ends
  std::thread Fil;
};

namespace {

using TEtat = TServeurResultats::TEtat;

// One connection: its socket, its reader, what the system has not yet taken of its last reply,
// and the time by which its next line (or the taking of that reply) is due.
struct TConnexion {
  TConnexion(TDescripteur socket, const TOptionsServeur& options)
      : Socket(std::move(socket)), Lecteur(options.LongueurMaxLigne, options.LongueurMaxLigneEntiere) {}
  TDescripteur Socket;
  TLecteurLignes Lecteur;
  std::string Sortie;
  Horloge::time_point Limite;
  std::uint32_t Surveille = 0;  // the events epoll watches for it; 0 before it is added
  bool Fermeture = false;       // its last reply is given: it closes once the reply is taken
  bool FinAnnoncee = false;     // the peer has closed its side
  bool Finie = false;           // closed; freed once the events at hand are handled
  // It had a line answered and stays open: no player's, whose one command ends its connection.
  bool HorsEchange = false;
  std::list<TConnexion>::iterator Place;
};

// Accepts and serves every connection on one thread, each event handled at once and nothing
// ever waited for, so that a peer can only slow itself.
class TBoucle {
 public:
  TBoucle(TEtat& etat, int epoll, int maxConnexions)
      : FEtat(etat),
        FEpoll(epoll),
        FDelai(std::chrono::milliseconds(std::max(etat.Options.DelaiInactivite, 1))),
        FAgeMinPourFairePlace(std::chrono::milliseconds(std::max(etat.Options.InactiviteAvantPlace, 0))),
        FMax(maxConnexions) {
    RepriseReserve();
  }

  ~TBoucle() { FEtat.Actifs = 0; }

  void Tourne() {
    epoll_event evenements[EvenementsParTour];
    for (;;) {
      const int n = ::epoll_wait(FEpoll, evenements, EvenementsParTour, Attente());
      for (int i = 0; i < n; ++i) {
        void* cible = evenements[i].data.ptr;
        if (cible == &FEtat.Reveil) return;
        if (cible == &FEtat.Ecoute) {
          Accepte();
          continue;
        }
        auto* c = static_cast<TConnexion*>(cible);
        if (c->Finie) continue;
        const std::uint32_t e = evenements[i].events;
        if ((e & EPOLLRDHUP) && !c->Sortie.empty()) c->FinAnnoncee = true;
        Sert(c->Place);
      }
      ReprendAcceptations();
      FermeEchues();
      FFinies.clear();
    }
  }

 private:
  using TListe = std::list<TConnexion>;
  using TPlace = TListe::iterator;

  // Until the first deadline, or the end of a pause in accepting.
  int Attente() const {
    Horloge::time_point prochaine = Horloge::time_point::max();
    for (const TListe* liste : {&FConnexions, &FHorsEchange})
      if (!liste->empty()) prochaine = std::min(prochaine, liste->front().Limite);
    if (FAcceptationSuspendue) prochaine = std::min(prochaine, FReprise);
    if (prochaine == Horloge::time_point::max()) return -1;
    const auto reste = std::chrono::ceil<std::chrono::milliseconds>(prochaine - Horloge::now()).count();
    return static_cast<int>(std::clamp<long long>(reste, 0, 60000));
  }

  // Takes the newcomers waiting in the system's queue. At the bound, or when the process has no
  // descriptor left, a connection is closed to make room only once it has gone too long without
  // a line to be a player in its exchange; until then the newcomers wait in the queue, and
  // accepting starts again as soon as a connection ends.
  void Accepte() {
    const int ecoute = FEtat.Ecoute.Fd();
    for (int k = 0; k < AcceptationsParTour; ++k) {
      if (NbConnexions() >= FMax && !FaitPlace()) return;
      int d = ::accept4(ecoute, nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK);
      if (d < 0 && (errno == EMFILE || errno == ENFILE) && FReserve.Ouvert()) {
        // The system wants a free descriptor before it looks at the queue: the spare one, given
        // back for a moment, tells whether anybody waits at all, and serves them if so.
        FReserve.Ferme();
        d = ::accept4(ecoute, nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK);
        const int erreur = errno;
        RepriseReserve();
        errno = erreur;
      }
      if (d >= 0) {
        Accueille(TDescripteur(d));
        continue;
      }
      if (errno == EINTR || errno == ECONNABORTED) continue;
      // No spare left to look with.
      if ((errno == EMFILE || errno == ENFILE) && FaitPlace()) continue;
      if (errno == ENOBUFS || errno == ENOMEM) Suspend(Horloge::now() + std::chrono::milliseconds(100));
      return;  // EAGAIN: none waiting
    }
  }

  // There is no room for a newcomer. If one waits, a connection that cannot be a player in its
  // exchange is closed for it: one that had a line answered and stayed open, else the one that
  // has gone longest without a line once it has gone too long to be a player between the
  // greeting and its command; else accepting waits. False: nothing more to accept now.
  bool FaitPlace() {
    pollfd p{FEtat.Ecoute.Fd(), POLLIN, 0};
    if (::poll(&p, 1, 0) != 1) return false;  // nobody: the queue is watched as before
    if (!FHorsEchange.empty()) {
      Retire(FHorsEchange.begin());
      return true;
    }
    if (!FConnexions.empty() && Horloge::now() >= PeutFairePlace(FConnexions.front())) {
      Retire(FConnexions.begin());
      return true;
    }
    // Accepting waits for a connection to end, or for the oldest to be old enough; with none
    // held, it looks at the queue again a little later.
    Suspend(FConnexions.empty() ? Horloge::now() + std::chrono::milliseconds(100)
                                : PeutFairePlace(FConnexions.front()));
    return false;
  }

  int NbConnexions() const { return static_cast<int>(FConnexions.size() + FHorsEchange.size()); }
  TListe& ListeDe(const TConnexion& c) { return c.HorsEchange ? FHorsEchange : FConnexions; }

  Horloge::time_point PeutFairePlace(const TConnexion& c) const { return c.Limite - FDelai + FAgeMinPourFairePlace; }

  // The listening socket is watched again at reprise, or sooner (ReprendBientot).
  void Suspend(Horloge::time_point reprise) {
    if (!FAcceptationSuspendue) SurveilleEcoute(false);
    FAcceptationSuspendue = true;
    FReprise = reprise;
  }

  // Room may have come: accepting starts again after the events at hand.
  void ReprendBientot() {
    if (FAcceptationSuspendue) FReprise = Horloge::now();
  }

  void ReprendAcceptations() {
    if (!FAcceptationSuspendue || Horloge::now() < FReprise) return;
    FAcceptationSuspendue = false;
    SurveilleEcoute(true);
  }

  void SurveilleEcoute(bool oui) {
    epoll_event e{};
    e.events = oui ? static_cast<std::uint32_t>(EPOLLIN) : 0u;
    e.data.ptr = &FEtat.Ecoute;
    ::epoll_ctl(FEpoll, EPOLL_CTL_MOD, FEtat.Ecoute.Fd(), &e);
  }

  void RepriseReserve() {
    if (!FReserve.Ouvert()) FReserve = TDescripteur(::open("/dev/null", O_RDONLY | O_CLOEXEC));
  }

  void Accueille(TDescripteur socket) {
    FConnexions.emplace_back(std::move(socket), FEtat.Options);
    const TPlace c = std::prev(FConnexions.end());
    c->Place = c;
    c->Limite = Horloge::now() + FDelai;
    FEtat.Actifs = NbConnexions();
    c->Sortie.assign(ReponseBienvenue).append("\r\n");
    // A peer of a storm has often gone already: it is closed here, never watched.
    Sert(c);
  }

  // A line came, or a reply was given: the connection's time starts again, and it goes last in
  // the order of deadlines (all connections have the same delay). horsEchange: the line was
  // answered and the connection stays open.
  void Relance(TPlace c, bool horsEchange) {
    c->Limite = Horloge::now() + FDelai;
    TListe& depuis = ListeDe(*c);
    // A newcomer waiting for room may have it now.
    if (horsEchange && !c->HorsEchange) ReprendBientot();
    c->HorsEchange = c->HorsEchange || horsEchange;
    TListe& vers = ListeDe(*c);
    vers.splice(vers.end(), depuis, c);
  }

  enum class EEnvoi { Fait, Attend, Echec };

  // Hands the system what it will take of the reply.
  static EEnvoi Pousse(TConnexion& c) {
    while (!c.Sortie.empty()) {
      const ssize_t n = ::send(c.Socket.Fd(), c.Sortie.data(), c.Sortie.size(), MSG_NOSIGNAL);
      if (n > 0) {
        c.Sortie.erase(0, static_cast<std::size_t>(n));
        continue;
      }
      if (n < 0 && errno == EINTR) continue;
      if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) return EEnvoi::Attend;
      return EEnvoi::Echec;
    }
    std::string().swap(c.Sortie);
    return EEnvoi::Fait;
  }

  // What epoll is to tell: the end of the reply's taking while one waits, else the next bytes;
  // and the peer's close, until it is known.
  void Surveille(TConnexion& c) {
    std::uint32_t voulus = c.Sortie.empty() ? EPOLLIN : EPOLLOUT;
    if (!c.FinAnnoncee) voulus |= EPOLLRDHUP;
    if (voulus == c.Surveille) return;
    epoll_event e{};
    e.events = voulus;
    e.data.ptr = &c;
    ::epoll_ctl(FEpoll, c.Surveille == 0 ? EPOLL_CTL_ADD : EPOLL_CTL_MOD, c.Socket.Fd(), &e);
    c.Surveille = voulus;
  }

  // Handles the lines that have arrived, one reply at a time: while a reply waits to be taken,
  // the peer is read no further, so a peer that never reads its replies holds at most one. One
  // read at a time: a peer that keeps sending waits for the others' turn.
  void Sert(TPlace c) {
    std::string ligne;
    bool lu = false;
    for (;;) {
      switch (Pousse(*c)) {
        case EEnvoi::Fait:
          break;
        case EEnvoi::Attend:
          Surveille(*c);
          return;
        case EEnvoi::Echec:
          Fin(c, false);
          return;
      }
      if (c->Fermeture) {
        Retire(c);
        return;
      }
      if (c->Lecteur.LigneSuivante(ligne)) {
        const TReponseLigne reponse = TraiteLigne(ligne, FEtat.Commande, c->Lecteur.Tronquee());
        Relance(c, !reponse.Fermer);
        if (reponse.Fermer) {
          c->Fermeture = true;
          if (reponse.Reponse.empty()) {
            Retire(c);
            return;
          }
        }
        c->Sortie.assign(reponse.Reponse).append("\r\n");
        continue;
      }
      if (c->Lecteur.Deborde()) {
        Retire(c);
        return;
      }
      if (lu) {
        Surveille(*c);
        return;
      }
      char morceau[TailleMorceau];
      const ssize_t n = ::recv(c->Socket.Fd(), morceau, sizeof morceau, 0);
      if (n > 0) {
        c->Lecteur.Ajoute(morceau, static_cast<std::size_t>(n));
        lu = true;
        continue;
      }
      if (n < 0 && errno == EINTR) continue;
      if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
        Surveille(*c);
        return;
      }
      Fin(c, true);
      return;
    }
  }

  // The peer has gone: the lines it sent with its close are still handled (their replies go
  // nowhere), then the connection is forgotten. luJusquAuBout: nothing is left to read.
  void Fin(TPlace c, bool luJusquAuBout) {
    std::string ligne;
    char morceau[TailleMorceau];
    std::size_t lus = 0;
    while (!c->Fermeture && !c->Lecteur.Deborde()) {
      if (c->Lecteur.LigneSuivante(ligne)) {
        c->Fermeture = TraiteLigne(ligne, FEtat.Commande, c->Lecteur.Tronquee()).Fermer;
        continue;
      }
      if (luJusquAuBout || lus >= LectureMaxFin) break;
      const ssize_t n = ::recv(c->Socket.Fd(), morceau, sizeof morceau, 0);
      if (n < 0 && errno == EINTR) continue;
      if (n <= 0) break;
      lus += static_cast<std::size_t>(n);
      c->Lecteur.Ajoute(morceau, static_cast<std::size_t>(n));
    }
    Retire(c);
  }

  // Closed at once; its memory goes once the events at hand, which may still name it, are handled.
  // Taken out of epoll first: a copy of the descriptor in a forked process would keep it there.
  void Retire(TPlace c) {
    if (c->Surveille != 0) ::epoll_ctl(FEpoll, EPOLL_CTL_DEL, c->Socket.Fd(), nullptr);
    c->Socket.Ferme();
    c->Finie = true;
    FFinies.splice(FFinies.end(), ListeDe(*c), c);
    FEtat.Actifs = NbConnexions();
    // Room again: the spare descriptor first, then the newcomers that wait.
    RepriseReserve();
    ReprendBientot();
  }

  void FermeEchues() {
    const auto maintenant = Horloge::now();
    for (TListe* liste : {&FConnexions, &FHorsEchange})
      while (!liste->empty() && liste->front().Limite <= maintenant) Retire(liste->begin());
  }

  TEtat& FEtat;
  int FEpoll;
  Horloge::duration FDelai;
  Horloge::duration FAgeMinPourFairePlace;
  int FMax;
  // Held open so that, once the process has no descriptor left, one can be given back to learn
  // whether anybody is waiting.
  TDescripteur FReserve;
  // By deadline, the first due in front: the one that has gone longest without a line. Apart,
  // those that had a line answered and stayed open, which no player does.
  TListe FConnexions;
  TListe FHorsEchange;
  TListe FFinies;
  bool FAcceptationSuspendue = false;
  Horloge::time_point FReprise;
};

}  // namespace

TServeurResultats::TServeurResultats(FCommandeSendData commande, TOptionsServeur options)
    : FEtat(std::make_unique<TEtat>()) {
  FEtat->Commande = std::move(commande);
  FEtat->Options = options;
  if (FEtat->Options.FileAttente < 1) FEtat->Options.FileAttente = 1;
}

TServeurResultats::~TServeurResultats() { Arrete(); }

bool TServeurResultats::Ecoute() {
  TEtat& etat = *FEtat;
  if (etat.Essaye) return etat.EnEcoute;
  etat.Essaye = true;
  IgnoreSigpipe();
  const auto echec = [&etat](int erreur, bool enEcoute) {
    etat.Erreur = RaisonEcoute(erreur, enEcoute);
    etat.Ecoute.Ferme();
    return false;
  };
  etat.Ecoute = TDescripteur(::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0));
  if (!etat.Ecoute.Ouvert()) return echec(errno, false);
  // As any server: the port is taken again at once after a restart.
  int un = 1;
  ::setsockopt(etat.Ecoute.Fd(), SOL_SOCKET, SO_REUSEADDR, &un, sizeof un);
  sockaddr_in adresse{};
  adresse.sin_family = AF_INET;
  adresse.sin_port = htons(etat.Options.Port);
  adresse.sin_addr.s_addr = htonl(INADDR_ANY);
  if (::bind(etat.Ecoute.Fd(), reinterpret_cast<sockaddr*>(&adresse), sizeof adresse) != 0) return echec(errno, false);
  if (::listen(etat.Ecoute.Fd(), etat.Options.FileAttente) != 0) return echec(errno, true);
  socklen_t longueur = sizeof adresse;
  ::getsockname(etat.Ecoute.Fd(), reinterpret_cast<sockaddr*>(&adresse), &longueur);
  etat.Port = ntohs(adresse.sin_port);

  TDescripteur epoll(::epoll_create1(EPOLL_CLOEXEC));
  etat.Reveil = TDescripteur(::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK));
  if (!epoll.Ouvert() || !etat.Reveil.Ouvert()) return echec(errno, false);
  epoll_event e{};
  e.events = EPOLLIN;
  e.data.ptr = &etat.Ecoute;
  ::epoll_ctl(epoll.Fd(), EPOLL_CTL_ADD, etat.Ecoute.Fd(), &e);
  e.data.ptr = &etat.Reveil;
  ::epoll_ctl(epoll.Fd(), EPOLL_CTL_ADD, etat.Reveil.Fd(), &e);
  const int maxConnexions = std::min(std::max(etat.Options.MaxConnexions, 1), ConnexionsPossibles());
  etat.Fil = std::thread([&etat, epoll = std::move(epoll), maxConnexions] {
    TBoucle boucle(etat, epoll.Fd(), maxConnexions);
    boucle.Tourne();
  });
  etat.EnEcoute = true;
  return true;
}

void TServeurResultats::Arrete() {
  TEtat& etat = *FEtat;
  if (etat.Fil.joinable()) {
    // The loop ends; its connections close with it.
    const std::uint64_t un = 1;
    while (::write(etat.Reveil.Fd(), &un, sizeof un) < 0 && errno == EINTR) {
    }
    etat.Fil.join();
  }
  etat.Ecoute.Ferme();
  etat.EnEcoute = false;
}

bool TServeurResultats::EnEcoute() const { return FEtat->EnEcoute; }
std::uint16_t TServeurResultats::Port() const { return FEtat->Port; }
const std::string& TServeurResultats::Erreur() const { return FEtat->Erreur; }
int TServeurResultats::ConnexionsActives() const { return FEtat->Actifs; }
