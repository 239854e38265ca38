#include "scoresheet/KorServeur.h"

#include <QCoreApplication>
#include <QHostAddress>
#include <QTcpServer>
#include <QTcpSocket>
#include <QSocketNotifier>
#include <QThread>
#include <QTimer>

#include <algorithm>
#include <cerrno>
#include <atomic>
#include <chrono>
#include <future>
#include <unordered_map>

#include <sys/resource.h>
#include <sys/socket.h>
#include <unistd.h>

#include "platform/Ansi.h"
#include "platform/Signaux.h"

namespace {

using Horloge = std::chrono::steady_clock;

// Bytes taken from a socket at a time, and the most Qt may hold for one peer: a peer is read
// only while its last reply has gone, so what it sends beyond this waits in the system, which
// then stops the peer itself.
constexpr qint64 TailleMorceau = 16 * 1024;

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

}  // namespace

struct TServeurResultats::TEtat {
  FCommandeSendData Commande;
  TOptionsServeur Options;

  std::atomic<int> Actifs{0};
  std::atomic<bool> EnEcoute{false};
  std::uint16_t Port = 0;
  std::string Erreur;
  std::unique_ptr<QThread> FilEcoute;
};

namespace {

using TEtat = TServeurResultats::TEtat;

// One connection's reader, and the time by which its next line (or the taking of its last reply)
// is due.
struct TConnexion {
  explicit TConnexion(const TOptionsServeur& options)
      : Lecteur(options.LongueurMaxLigne, options.LongueurMaxLigneEntiere) {}
  TLecteurLignes Lecteur;
  Horloge::time_point Limite;
  bool Fermeture = false;  // its last reply is sent: the socket closes once the reply is taken
};

// Accepts and serves every connection on the thread that listens, each event handled at once and
// nothing ever waited for, so that a peer can only slow itself.
class TServeurTcp : public QTcpServer {
 public:
  explicit TServeurTcp(std::shared_ptr<TEtat> etat)
      : FEtat(std::move(etat)),
        FDelai(std::chrono::milliseconds(std::max(FEtat->Options.DelaiInactivite, 1))),
        FMax(std::min(std::max(FEtat->Options.MaxConnexions, 1), ConnexionsPossibles())) {
    // The deadlines are looked at a few times per allowed delay.
    FVeille.setInterval(std::clamp(FEtat->Options.DelaiInactivite / 4, 10, 250));
    connect(&FVeille, &QTimer::timeout, this, [this] { FermeEchues(); });
    FVeille.start();
  }

  // Once listening: connections are taken by the server's own accept rather than Qt's, which,
  // out of descriptors, would try again at once, for ever, without telling.
  void PrendLesConnexions() {
    pauseAccepting();
    FNotification = std::make_unique<QSocketNotifier>(socketDescriptor(), QSocketNotifier::Read);
    connect(FNotification.get(), &QSocketNotifier::activated, this, [this] { Accepte(); });
  }

  ~TServeurTcp() override {
    for (auto& [socket, connexion] : FConnexions) {
      socket->disconnect(this);
      socket->abort();
      delete socket;
    }
    FConnexions.clear();
    FEtat->Actifs = 0;
  }

 private:
  void Accepte() {
    for (;;) {
      const int d = ::accept4(static_cast<int>(socketDescriptor()), nullptr, nullptr, SOCK_CLOEXEC);
      if (d >= 0) {
        Accueille(d);
        continue;
      }
      if (errno == EINTR || errno == ECONNABORTED) continue;
      if (errno == EMFILE || errno == ENFILE || errno == ENOBUFS || errno == ENOMEM) {
        // The rest of the program holds the descriptors: the longest idle connection makes room.
        // With none to close, the waiting connections are looked at again a little later.
        if (!FConnexions.empty()) {
          FermePlusAncienne();
          continue;
        }
        FNotification->setEnabled(false);
        QTimer::singleShot(100, this, [this] {
          FNotification->setEnabled(true);
          Accepte();
        });
      }
      return;  // EAGAIN: none waiting
    }
  }

  void Accueille(int d) {
    if (static_cast<int>(FConnexions.size()) >= FMax) FermePlusAncienne();
    auto* socket = new QTcpSocket();
    if (!socket->setSocketDescriptor(d)) {
      delete socket;
      ::close(d);
      return;
    }
    socket->setReadBufferSize(TailleMorceau);
    auto connexion = std::make_unique<TConnexion>(FEtat->Options);
    connexion->Limite = Horloge::now() + FDelai;
    FConnexions.emplace(socket, std::move(connexion));
    FEtat->Actifs = static_cast<int>(FConnexions.size());
    connect(socket, &QTcpSocket::readyRead, this, [this, socket] { Sert(socket); });
    connect(socket, &QTcpSocket::bytesWritten, this, [this, socket] { Sert(socket); });
    connect(socket, &QTcpSocket::disconnected, this, [this, socket] { Fin(socket); });
    connect(socket, &QTcpSocket::errorOccurred, this, [this, socket] {
      if (socket->state() == QAbstractSocket::UnconnectedState) Fin(socket);
    });
    Envoie(*socket, ReponseBienvenue);
    Sert(socket);
  }

  static void Envoie(QTcpSocket& socket, std::string_view ligne) {
    QByteArray octets(ligne.data(), static_cast<qsizetype>(ligne.size()));
    octets += "\r\n";
    socket.write(octets);
  }

  // Handles the lines that have arrived, one reply at a time: while a reply waits to be taken,
  // the peer is read no further, so a peer that never reads its replies holds at most one.
  void Sert(QTcpSocket* socket) {
    auto it = FConnexions.find(socket);
    if (it == FConnexions.end()) return;
    TConnexion& c = *it->second;
    std::string ligne;
    char morceau[TailleMorceau];
    while (!c.Fermeture && socket->bytesToWrite() == 0) {
      if (c.Lecteur.LigneSuivante(ligne)) {
        const TReponseLigne reponse = TraiteLigne(ligne, FEtat->Commande, c.Lecteur.Tronquee());
        c.Limite = Horloge::now() + FDelai;
        if (reponse.Fermer) {
          c.Fermeture = true;
          if (reponse.Reponse.empty()) {
            Retire(socket);
          } else {
            // Closes once the reply has been taken; a peer that never takes it is closed when
            // its time runs out. The connection may be gone on return: nothing of it is touched.
            Envoie(*socket, reponse.Reponse);
            socket->disconnectFromHost();
          }
          return;
        }
        Envoie(*socket, reponse.Reponse);
        continue;
      }
      if (c.Lecteur.Deborde()) {
        Retire(socket);
        return;
      }
      const qint64 n = socket->read(morceau, TailleMorceau);
      if (n <= 0) return;
      c.Lecteur.Ajoute(morceau, static_cast<std::size_t>(n));
    }
  }

  // The peer has gone: the lines it sent with its close are still handled (their replies go
  // nowhere), then the connection is forgotten.
  void Fin(QTcpSocket* socket) {
    auto it = FConnexions.find(socket);
    if (it == FConnexions.end()) return;
    TConnexion& c = *it->second;
    std::string ligne;
    char morceau[TailleMorceau];
    while (!c.Fermeture && !c.Lecteur.Deborde()) {
      if (c.Lecteur.LigneSuivante(ligne)) {
        c.Fermeture = TraiteLigne(ligne, FEtat->Commande, c.Lecteur.Tronquee()).Fermer;
        continue;
      }
      const qint64 n = socket->read(morceau, TailleMorceau);
      if (n <= 0) break;
      c.Lecteur.Ajoute(morceau, static_cast<std::size_t>(n));
    }
    Retire(socket);
  }

  void Retire(QTcpSocket* socket) {
    auto it = FConnexions.find(socket);
    if (it == FConnexions.end()) return;
    FConnexions.erase(it);
    FEtat->Actifs = static_cast<int>(FConnexions.size());
    socket->disconnect(this);
    socket->abort();
    // Possibly inside one of its own signals.
    socket->deleteLater();
  }

  void FermeEchues() {
    const auto maintenant = Horloge::now();
    std::vector<QTcpSocket*> echues;
    for (const auto& [socket, connexion] : FConnexions)
      if (connexion->Limite <= maintenant) echues.push_back(socket);
    for (QTcpSocket* socket : echues) Retire(socket);
  }

  // The connection that has gone longest without completing a line: a player that reports
  // completes its line at once, so only idle or slow peers are ever closed here.
  void FermePlusAncienne() {
    auto plusAncienne = std::min_element(FConnexions.begin(), FConnexions.end(), [](const auto& a, const auto& b) {
      return a.second->Limite < b.second->Limite;
    });
    if (plusAncienne != FConnexions.end()) Retire(plusAncienne->first);
  }

  std::shared_ptr<TEtat> FEtat;
  Horloge::duration FDelai;
  int FMax;
  QTimer FVeille;
  std::unique_ptr<QSocketNotifier> FNotification;
  std::unordered_map<QTcpSocket*, std::unique_ptr<TConnexion>> FConnexions;
};

class TFilEcoute : public QThread {
 public:
  TFilEcoute(std::shared_ptr<TEtat> etat, std::promise<bool> pret)
      : FEtat(std::move(etat)), FPret(std::move(pret)) {}

 protected:
  void run() override {
    {
      TServeurTcp serveur(FEtat);
      serveur.setListenBacklogSize(FEtat->Options.FileAttente);
      if (!serveur.listen(QHostAddress::AnyIPv4, FEtat->Options.Port)) {
        FEtat->Erreur = ansi::DepuisQString(serveur.errorString());
        FPret.set_value(false);
        return;
      }
      FEtat->Port = serveur.serverPort();
      serveur.PrendLesConnexions();
      FPret.set_value(true);
      exec();
    }
    // Sockets closed from inside their own signals are freed here, on their thread.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  }

 private:
  std::shared_ptr<TEtat> FEtat;
  std::promise<bool> FPret;
};

}  // namespace

TServeurResultats::TServeurResultats(FCommandeSendData commande, TOptionsServeur options)
    : FEtat(std::make_shared<TEtat>()) {
  FEtat->Commande = std::move(commande);
  FEtat->Options = options;
  if (FEtat->Options.FileAttente < 1) FEtat->Options.FileAttente = 1;
}

TServeurResultats::~TServeurResultats() { Arrete(); }

bool TServeurResultats::Ecoute() {
  // Listens once in the object's life.
  if (FEtat->FilEcoute) return FEtat->EnEcoute;
  IgnoreSigpipe();
  std::promise<bool> pret;
  std::future<bool> resultat = pret.get_future();
  FEtat->FilEcoute = std::make_unique<TFilEcoute>(FEtat, std::move(pret));
  FEtat->FilEcoute->start();
  FEtat->EnEcoute = resultat.get();
  if (!FEtat->EnEcoute) FEtat->FilEcoute->wait();
  return FEtat->EnEcoute;
}

void TServeurResultats::Arrete() {
  if (!FEtat->FilEcoute || !FEtat->FilEcoute->isRunning()) {
    FEtat->EnEcoute = false;
    return;
  }
  // The event loop ends; the server, going out of scope on its thread, closes every connection.
  FEtat->FilEcoute->quit();
  FEtat->FilEcoute->wait();
  FEtat->EnEcoute = false;
}

bool TServeurResultats::EnEcoute() const { return FEtat->EnEcoute; }
std::uint16_t TServeurResultats::Port() const { return FEtat->Port; }
const std::string& TServeurResultats::Erreur() const { return FEtat->Erreur; }
int TServeurResultats::ConnexionsActives() const { return FEtat->Actifs; }
