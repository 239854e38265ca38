#include "scoresheet/KorServeur.h"

#include <QHostAddress>
#include <QTcpServer>
#include <QTcpSocket>
#include <QThread>

#include <atomic>
#include <chrono>
#include <deque>
#include <future>
#include <map>
#include <mutex>
#include <set>
#include <vector>

#include <sys/socket.h>
#include <unistd.h>

#include "platform/Ansi.h"
#include "platform/Signaux.h"

namespace {

using Horloge = std::chrono::steady_clock;

}  // namespace

struct TServeurResultats::TEtat {
  FCommandeSendData Commande;
  TOptionsServeur Options;

  std::mutex Mutex;                 // guards everything below it
  bool Arret = false;
  std::set<int> Descripteurs;       // sockets being served, shut down by Arrete
  std::map<std::uint64_t, std::unique_ptr<QThread>> Fils;

  std::atomic<int> Actifs{0};
  std::atomic<bool> EnEcoute{false};
  std::uint16_t Port = 0;
  std::string Erreur;
  std::unique_ptr<QThread> FilEcoute;
};

namespace {

using TEtat = TServeurResultats::TEtat;

void ServeConnexion(TEtat& etat, int descripteur);

// Accepts connections on the listening thread and hands each one to a thread of its own; past
// the bound it stops accepting, and what the system had already queued waits its turn.
class TServeurTcp : public QTcpServer {
 public:
  explicit TServeurTcp(std::shared_ptr<TEtat> etat) : FEtat(std::move(etat)) {}

  ~TServeurTcp() override {
    for (int d : FAttente) ::close(d);
  }

  // On the listening thread, once a connection's thread has ended.
  void Termine(std::uint64_t id) {
    std::unique_ptr<QThread> fil;
    {
      std::lock_guard<std::mutex> garde(FEtat->Mutex);
      auto it = FEtat->Fils.find(id);
      if (it != FEtat->Fils.end()) {
        fil = std::move(it->second);
        FEtat->Fils.erase(it);
      }
    }
    if (fil) fil->wait();
    --FEnService;
    while (FEnService < FEtat->Options.MaxConnexions && !FAttente.empty()) {
      const int d = FAttente.front();
      FAttente.pop_front();
      Lance(d);
    }
    if (FPause && FEnService < FEtat->Options.MaxConnexions) {
      FPause = false;
      resumeAccepting();
    }
  }

 protected:
  void incomingConnection(qintptr descripteur) override {
    const int d = static_cast<int>(descripteur);
    if (FEnService < FEtat->Options.MaxConnexions && FAttente.empty()) {
      Lance(d);
    } else if (FAttente.size() < static_cast<std::size_t>(FEtat->Options.FileAttente)) {
      FAttente.push_back(d);
    } else {
      ::close(d);  // refused: the queue is full
    }
    if (FEnService >= FEtat->Options.MaxConnexions && !FPause) {
      FPause = true;
      pauseAccepting();
    }
  }

 private:
  void Lance(int d) {
    const std::uint64_t id = ++FProchainId;
    std::shared_ptr<TEtat> etat = FEtat;
    TServeurTcp* moi = this;
    std::unique_ptr<QThread> fil(QThread::create([etat, d, id, moi] {
      ServeConnexion(*etat, d);
      --etat->Actifs;
      QMetaObject::invokeMethod(moi, [moi, id] { moi->Termine(id); }, Qt::QueuedConnection);
    }));
    fil->setStackSize(512 * 1024);
    // Registered and started under the lock, so that Arrete either refuses it here or finds
    // it among the threads to wait for.
    std::lock_guard<std::mutex> garde(FEtat->Mutex);
    if (FEtat->Arret) {
      ::close(d);
      return;
    }
    FEtat->Descripteurs.insert(d);
    ++FEnService;
    ++FEtat->Actifs;
    QThread* brut = fil.get();
    FEtat->Fils.emplace(id, std::move(fil));
    brut->start();
  }

  std::shared_ptr<TEtat> FEtat;
  std::deque<int> FAttente;
  int FEnService = 0;
  bool FPause = false;
  std::uint64_t FProchainId = 0;
};

class TFilEcoute : public QThread {
 public:
  TFilEcoute(std::shared_ptr<TEtat> etat, std::promise<bool> pret)
      : FEtat(std::move(etat)), FPret(std::move(pret)) {}

 protected:
  void run() override {
    TServeurTcp serveur(FEtat);
    serveur.setListenBacklogSize(FEtat->Options.FileAttente);
    if (!serveur.listen(QHostAddress::AnyIPv4, FEtat->Options.Port)) {
      FEtat->Erreur = ansi::DepuisQString(serveur.errorString());
      FPret.set_value(false);
      return;
    }
    FEtat->Port = serveur.serverPort();
    FPret.set_value(true);
    exec();
  }

 private:
  std::shared_ptr<TEtat> FEtat;
  std::promise<bool> FPret;
};

// Sends one reply line and waits until the system has taken it, within the time allowed.
bool EnvoieLigne(QTcpSocket& socket, std::string_view ligne, int delai) {
  QByteArray octets(ligne.data(), static_cast<qsizetype>(ligne.size()));
  octets += "\r\n";
  if (socket.write(octets) != octets.size()) return false;
  const auto limite = Horloge::now() + std::chrono::milliseconds(delai);
  while (socket.bytesToWrite() > 0) {
    const auto reste =
        std::chrono::duration_cast<std::chrono::milliseconds>(limite - Horloge::now()).count();
    if (reste <= 0 || !socket.waitForBytesWritten(static_cast<int>(reste))) return false;
  }
  return true;
}

void ServeConnexion(TEtat& etat, int descripteur) {
  const int delai = etat.Options.DelaiInactivite;
  {
    QTcpSocket socket;
    if (socket.setSocketDescriptor(descripteur)) {
      if (EnvoieLigne(socket, ReponseBienvenue, delai)) {
        TLecteurLignes lecteur(etat.Options.LongueurMaxLigne);
        std::string ligne;
        // Each line must arrive whole within the time allowed, counted from the previous one.
        auto limite = Horloge::now() + std::chrono::milliseconds(delai);
        bool fin = false;
        while (!fin) {
          while (!fin && lecteur.LigneSuivante(ligne)) {
            const TReponseLigne reponse = TraiteLigne(ligne, etat.Commande);
            fin = !EnvoieLigne(socket, reponse.Reponse, delai) || reponse.Fermer;
            limite = Horloge::now() + std::chrono::milliseconds(delai);
          }
          if (fin || lecteur.Deborde()) break;
          const auto reste =
              std::chrono::duration_cast<std::chrono::milliseconds>(limite - Horloge::now()).count();
          if (reste <= 0) break;
          const bool arrive = socket.bytesAvailable() > 0 || socket.waitForReadyRead(static_cast<int>(reste));
          const QByteArray octets = socket.readAll();
          // A peer that closed may have sent its last lines with the close.
          if (!arrive && octets.isEmpty()) break;
          lecteur.Ajoute(octets.constData(), static_cast<std::size_t>(octets.size()));
        }
      }
      {
        std::lock_guard<std::mutex> garde(etat.Mutex);
        etat.Descripteurs.erase(descripteur);
      }
      if (socket.state() == QAbstractSocket::ConnectedState) {
        socket.disconnectFromHost();
        if (socket.state() != QAbstractSocket::UnconnectedState) socket.waitForDisconnected(100);
      }
      socket.abort();
      return;
    }
  }
  std::lock_guard<std::mutex> garde(etat.Mutex);
  etat.Descripteurs.erase(descripteur);
  ::close(descripteur);
}

}  // namespace

TServeurResultats::TServeurResultats(FCommandeSendData commande, TOptionsServeur options)
    : FEtat(std::make_shared<TEtat>()) {
  FEtat->Commande = std::move(commande);
  FEtat->Options = options;
  if (FEtat->Options.MaxConnexions < 1) FEtat->Options.MaxConnexions = 1;
  if (FEtat->Options.FileAttente < 1) FEtat->Options.FileAttente = 1;
}

TServeurResultats::~TServeurResultats() { Arrete(); }

bool TServeurResultats::Ecoute() {
  // Listens once in the object's life.
  if (FEtat->FilEcoute || FEtat->Arret) return FEtat->EnEcoute;
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
  if (!FEtat->FilEcoute) return;
  {
    std::lock_guard<std::mutex> garde(FEtat->Mutex);
    FEtat->Arret = true;
    // Wakes every connection's thread out of its wait; each then closes its socket.
    for (int d : FEtat->Descripteurs) ::shutdown(d, SHUT_RDWR);
  }
  // The threads are freed once the listening thread, which made them, has ended.
  std::vector<std::unique_ptr<QThread>> finis;
  for (;;) {
    std::map<std::uint64_t, std::unique_ptr<QThread>> fils;
    {
      std::lock_guard<std::mutex> garde(FEtat->Mutex);
      fils.swap(FEtat->Fils);
    }
    if (fils.empty()) break;
    for (auto& [id, fil] : fils) {
      fil->wait();
      finis.push_back(std::move(fil));
    }
  }
  FEtat->FilEcoute->quit();
  FEtat->FilEcoute->wait();
  FEtat->FilEcoute.reset();
  FEtat->EnEcoute = false;
}

bool TServeurResultats::EnEcoute() const { return FEtat->EnEcoute; }
std::uint16_t TServeurResultats::Port() const { return FEtat->Port; }
const std::string& TServeurResultats::Erreur() const { return FEtat->Erreur; }
int TServeurResultats::ConnexionsActives() const { return FEtat->Actifs; }
