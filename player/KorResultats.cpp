#include "player/KorResultats.h"

#include <QHostAddress>
#include <QHostInfo>
#include <QTcpSocket>

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdint>
#include <cstring>
#include <exception>
#include <future>
#include <map>
#include <mutex>
#include <optional>
#include <system_error>
#include <thread>

#include "cards/KorInit.h"
#include "cards/KorOutils.h"
#include "platform/Ansi.h"
#include "platform/Chemin.h"
#include "platform/Fichier.h"
#include "platform/Ordinateur.h"
#include "platform/Signaux.h"

namespace {

using Horloge = std::chrono::steady_clock;

// A reply longer than this is no reply of the score sheet.
constexpr qint64 LongueurMaxReponse = 8192;

// What the score sheet keeps of a field: TAB, CR and LF would cut it, and a field trimmed to
// nothing would be dropped, moving the next ones into its place.
std::string Champ(std::string texte, const std::string& remplacant) {
  for (char& c : texte)
    if (c == '\t' || c == '\r' || c == '\n') c = ' ';
  for (char c : texte)
    if (!EstBlanc(c)) return texte;
  return remplacant;
}

[[noreturn]] void Echoue(EGenreEchec genre, const std::string& message) {
  throw EErreurResultats(genre, message);
}

std::string MessageDe(EGenreEchec genre, const QTcpSocket* socket) {
  switch (genre) {
    case EGenreEchec::ConnexionRefusee: return "Connexion refusée."_a;
    case EGenreEchec::HoteIntrouvable: return "Ordinateur introuvable."_a;
    case EGenreEchec::AccesRefuse: return "Accès au réseau refusé."_a;
    case EGenreEchec::DelaiConnexion: return "Temps de connexion dépassé."_a;
    case EGenreEchec::DelaiReponse: return "La Feuille de Notes ne répond pas."_a;
    case EGenreEchec::FermetureServeur: return "La Feuille de Notes a fermé la connexion."_a;
    case EGenreEchec::ErreurSocket: break;
  }
  std::string message = "Erreur de connexion"_a;
  if (socket != nullptr && !socket->errorString().isEmpty())
    message += " : " + ansi::DepuisQString(socket->errorString());
  return message + ".";
}

// The kind of a system error met while connecting.
EGenreEchec GenreEchecSysteme(int erreur) {
  switch (erreur) {
    case ECONNREFUSED: return GenreEchecConnexion(QAbstractSocket::ConnectionRefusedError);
    case EACCES:
    case EPERM: return GenreEchecConnexion(QAbstractSocket::SocketAccessError);
    case ETIMEDOUT: return GenreEchecConnexion(QAbstractSocket::SocketTimeoutError);
    default: return GenreEchecConnexion(QAbstractSocket::NetworkError);
  }
}

[[noreturn]] void EchoueSysteme(int erreur) {
  const EGenreEchec genre = GenreEchecSysteme(erreur);
  if (genre != EGenreEchec::ErreurSocket) Echoue(genre, MessageDe(genre, nullptr));
  Echoue(genre, "Erreur de connexion : "_a + RaisonSysteme(erreur));
}

int MsRestant(Horloge::time_point limite) {
  const auto reste = std::chrono::duration_cast<std::chrono::milliseconds>(limite - Horloge::now()).count();
  return reste > 0 ? static_cast<int>(reste) : 0;
}

// The lookups running, one per name as the resolver reads it (see CleRecherche), shared by every
// report that comes while one runs. A lookup removes its own entry when its answer is in, before
// handing it out: whoever comes after that asks again, nothing is kept of a past answer.
struct TRecherches {
  struct TEnCours {
    std::uint64_t Numero;
    std::shared_future<QHostInfo> Reponse;
  };
  std::mutex Verrou;
  std::map<QString, TEnCours> EnCours;
  std::uint64_t Dernier = 0;
};

TRecherches& Recherches() {
  // Never destroyed: a lookup given up on may still end while the program exits.
  static TRecherches* recherches = new TRecherches;
  return *recherches;
}

// The key of a name among the lookups: names that differ only by ASCII case or by a final dot
// name the same host, and the resolver looks up the same name for them.
QString CleRecherche(const QString& hote) {
  QString cle = hote;
  for (QChar& c : cle)
    if (c >= u'A' && c <= u'Z') c = QChar(c.unicode() - u'A' + u'a');
  if (cle.endsWith(u'.')) cle.chop(1);
  return cle;
}

// The lookup of hote: the one running for that name if there is one, whichever client's resolver
// and whichever spelling started it, or a new one of hote as given, on a thread of its own.
std::shared_future<QHostInfo> Recherche(const QString& hote, const std::function<QHostInfo(const QString&)>& resolveurClient) {
  TRecherches& recherches = Recherches();
  const QString cle = CleRecherche(hote);
  std::lock_guard<std::mutex> garde(recherches.Verrou);
  if (const auto i = recherches.EnCours.find(cle); i != recherches.EnCours.end()) return i->second.Reponse;
  std::function<QHostInfo(const QString&)> resolveur = resolveurClient;
  if (!resolveur) resolveur = [](const QString& nom) { return QHostInfo::fromName(nom); };
  const std::uint64_t numero = ++recherches.Dernier;
  std::promise<QHostInfo> promesse;
  std::shared_future<QHostInfo> reponse = promesse.get_future().share();
  auto recherche = [resolveur = std::move(resolveur), hote, cle, numero, promesse = std::move(promesse)]() mutable {
    std::optional<QHostInfo> info;
    std::exception_ptr erreur;
    try {
      info = resolveur(hote);
    } catch (...) {
      erreur = std::current_exception();
    }
    {
      TRecherches& r = Recherches();
      std::lock_guard<std::mutex> g(r.Verrou);
      const auto i = r.EnCours.find(cle);
      if (i != r.EnCours.end() && i->second.Numero == numero) r.EnCours.erase(i);
    }
    if (erreur)
      promesse.set_exception(erreur);
    else
      promesse.set_value(std::move(*info));
  };
  try {
    std::thread(std::move(recherche)).detach();
  } catch (const std::system_error& e) {
    Echoue(EGenreEchec::ErreurSocket, "Erreur de connexion : "_a + ansi::DepuisQString(QString::fromLocal8Bit(e.what())) + ".");
  }
  // Entered under the lock that the thread takes to remove it: never before its start, nor after
  // its end.
  recherches.EnCours.emplace(cle, TRecherches::TEnCours{numero, reponse});
  return reponse;
}

// The host's address, found before the limit. The lookup runs on a thread of its own, so that a
// name service that does not answer holds the window no longer than the connect time-out; a
// lookup given up on ends in the background, and its answer goes only to the reports still
// waiting for it. A name is looked up once at a time, however many reports come meanwhile.
QHostAddress Adresse(const TClientResultats& client, Horloge::time_point limite) {
  const QString hote = ansi::VersQString(client.Hote).trimmed();
  QHostAddress adresse;
  if (adresse.setAddress(hote)) return adresse;
  const std::shared_future<QHostInfo> reponse = Recherche(hote, client.Resolveur);
  if (reponse.wait_until(limite) != std::future_status::ready)
    Echoue(EGenreEchec::DelaiConnexion, MessageDe(EGenreEchec::DelaiConnexion, nullptr));
  const QHostInfo info = reponse.get();
  if (info.error() == QHostInfo::HostNotFound || (info.error() == QHostInfo::NoError && info.addresses().isEmpty()))
    Echoue(EGenreEchec::HoteIntrouvable, MessageDe(EGenreEchec::HoteIntrouvable, nullptr));
  if (info.error() != QHostInfo::NoError)
    Echoue(EGenreEchec::ErreurSocket, "Erreur de connexion : "_a + ansi::DepuisQString(info.errorString()) + ".");
  // The protocol is IPv4; another family only when the name has no IPv4 address.
  for (const QHostAddress& a : info.addresses())
    if (a.protocol() == QAbstractSocket::IPv4Protocol) return a;
  return info.addresses().front();
}

// A socket connected to the address before the limit, or the failure raised. The connection is
// made here rather than by Qt, which, when the peer resets a connection it is still completing,
// calls connect again on the same socket and so opens a second connection to the score sheet.
int ConnecteAvant(const QHostAddress& adresse, std::uint16_t port, Horloge::time_point limite) {
  sockaddr_storage a{};
  socklen_t longueur = 0;
  if (adresse.protocol() == QAbstractSocket::IPv6Protocol) {
    auto* a6 = reinterpret_cast<sockaddr_in6*>(&a);
    a6->sin6_family = AF_INET6;
    a6->sin6_port = htons(port);
    const Q_IPV6ADDR octets = adresse.toIPv6Address();
    std::memcpy(&a6->sin6_addr, &octets, sizeof a6->sin6_addr);
    a6->sin6_scope_id = adresse.scopeId().toUInt();
    longueur = sizeof *a6;
  } else {
    auto* a4 = reinterpret_cast<sockaddr_in*>(&a);
    a4->sin_family = AF_INET;
    a4->sin_port = htons(port);
    a4->sin_addr.s_addr = htonl(adresse.toIPv4Address());
    longueur = sizeof *a4;
  }
  const int fd = ::socket(a.ss_family, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
  if (fd < 0) EchoueSysteme(errno);
  auto echec = [fd](int erreur) {
    ::close(fd);
    EchoueSysteme(erreur);
  };
  if (::connect(fd, reinterpret_cast<const sockaddr*>(&a), longueur) != 0) {
    if (errno != EINPROGRESS) echec(errno);
    for (;;) {
      pollfd p{fd, POLLOUT, 0};
      const int r = ::poll(&p, 1, MsRestant(limite));
      if (r < 0 && errno == EINTR) continue;
      if (r < 0) echec(errno);
      if (r == 0) echec(ETIMEDOUT);
      break;
    }
    int erreur = 0;
    socklen_t taille = sizeof erreur;
    if (::getsockopt(fd, SOL_SOCKET, SO_ERROR, &erreur, &taille) != 0) erreur = errno;
    if (erreur != 0) echec(erreur);
  }
  return fd;
}

// Both descriptors are open and name the same file.
bool MemeFichier(int a, int b) {
  struct stat sa {}, sb {};
  return ::fstat(a, &sa) == 0 && ::fstat(b, &sb) == 0 && sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
}

// One connection to the score sheet, closed when it goes out of scope whichever way the exchange
// ends.
class TConnexion {
 public:
  // Connects within the client's DelaiConnexion, the name lookup included.
  explicit TConnexion(const TClientResultats& client) : FDelaiReponse(client.DelaiReponse > 0 ? client.DelaiReponse : 10000) {
    // A time-out of 0 or less would mean no bound at all: the default then holds.
    const auto limite = Horloge::now() + std::chrono::milliseconds(client.DelaiConnexion > 0 ? client.DelaiConnexion : 3000);
    // A write to a score sheet that has gone must fail, not end the player.
    IgnoreSigpipe();
    const QHostAddress adresse = Adresse(client, limite);
    const int fd = ConnecteAvant(adresse, client.Port, limite);
    // Qt gets the connected socket; the duplicate stays ours (see EchoueFermeture). A process
    // out of descriptors goes without it: the report still goes, only a reset would then be told
    // as a close. On failure they are seen to here, the destructor not running for a constructor
    // that throws.
    FTemoin = ::fcntl(fd, F_DUPFD_CLOEXEC, 0);
    const bool pose = client.PoseDescripteur ? client.PoseDescripteur(FSocket, fd)
                                             : FSocket.setSocketDescriptor(fd, QAbstractSocket::ConnectedState);
    if (!pose) {
      // Qt may have closed fd before refusing it (it does when it cannot make it non-blocking),
      // and another thread may have opened a file under that number since: fd is closed only
      // when it still names the socket that the duplicate holds, which keeps the socket, and so
      // its inode, from going meanwhile. Without the duplicate nobody can tell whose fd is now,
      // and it is left open: one descriptor lost at most, when two faults meet.
      if (FTemoin >= 0) {
        if (MemeFichier(fd, FTemoin)) ::close(fd);
        ::close(FTemoin);
        FTemoin = -1;
      }
      EchoueSocket(EGenreEchec::ErreurSocket);
    }
  }
  ~TConnexion() {
    FSocket.abort();
    if (FTemoin >= 0) ::close(FTemoin);
  }
  TConnexion(const TConnexion&) = delete;
  TConnexion& operator=(const TConnexion&) = delete;

  // One line from the score sheet, within the time allowed.
  std::string LitLigne() {
    const auto limite = Horloge::now() + std::chrono::milliseconds(FDelaiReponse);
    while (!FSocket.canReadLine()) {
      if (FSocket.bytesAvailable() > LongueurMaxReponse) EchoueSocket(EGenreEchec::ErreurSocket);
      const int reste = MsRestant(limite);
      if (reste == 0) EchoueSocket(EGenreEchec::DelaiReponse);
      if (!FSocket.waitForReadyRead(reste)) {
        if (FSocket.canReadLine()) break;
        if (FSocket.error() == QAbstractSocket::SocketTimeoutError &&
            FSocket.state() == QAbstractSocket::ConnectedState)
          EchoueSocket(EGenreEchec::DelaiReponse);
        if (FSocket.error() == QAbstractSocket::RemoteHostClosedError ||
            FSocket.state() == QAbstractSocket::UnconnectedState)
          EchoueFermeture();
        EchoueSocket(EGenreEchec::ErreurSocket);
      }
    }
    QByteArray ligne = FSocket.readLine();
    while (!ligne.isEmpty() && (ligne.back() == '\n' || ligne.back() == '\r')) ligne.chop(1);
    return std::string(ligne.constData(), static_cast<std::size_t>(ligne.size()));
  }

  void EcritLigne(const std::string& ligne) {
    QByteArray octets(ligne.data(), static_cast<qsizetype>(ligne.size()));
    octets += "\r\n";
    if (FSocket.write(octets) != octets.size()) EchoueSocket(EGenreEchec::ErreurSocket);
    const auto limite = Horloge::now() + std::chrono::milliseconds(FDelaiReponse);
    while (FSocket.bytesToWrite() > 0) {
      const int reste = MsRestant(limite);
      if (reste == 0) EchoueSocket(EGenreEchec::DelaiReponse);
      if (!FSocket.waitForBytesWritten(reste)) {
        if (FSocket.error() == QAbstractSocket::SocketTimeoutError) EchoueSocket(EGenreEchec::DelaiReponse);
        if (FSocket.error() == QAbstractSocket::RemoteHostClosedError) EchoueFermeture();
        EchoueSocket(EGenreEchec::ErreurSocket);
      }
    }
  }

  void Deconnecte() { FSocket.disconnectFromHost(); }

 private:
  [[noreturn]] void EchoueSocket(EGenreEchec genre) { Echoue(genre, MessageDe(genre, &FSocket)); }

  // Qt reads a reset (ECONNRESET) as the end of the stream and reports both as the peer closing,
  // then drops its descriptor. The second descriptor FTemoin keeps the socket, so the kernel's
  // state of the connection still tells them apart: CLOSE_WAIT once the peer's FIN came, CLOSE
  // after a reset. A reset is a socket error like any other, dropped without a word.
  [[noreturn]] void EchoueFermeture() {
    tcp_info info{};
    socklen_t taille = sizeof info;
    if (FTemoin >= 0 && ::getsockopt(FTemoin, IPPROTO_TCP, TCP_INFO, &info, &taille) == 0 &&
        info.tcpi_state == TCP_CLOSE)
      Echoue(EGenreEchec::ErreurSocket, "Erreur de connexion : connexion réinitialisée par la Feuille de Notes."_a);
    EchoueSocket(EGenreEchec::FermetureServeur);
  }

  int FDelaiReponse;
  QTcpSocket FSocket;
  int FTemoin = -1;  // a duplicate of FSocket's descriptor once connected
};

}  // namespace

TDecisionRapport DecideRapport(int nbQuestionsPosees, int nbQuestionsAPoser, int nbBonnesReponses,
                               const TReglages& reglages) {
  TDecisionRapport decision;
  const bool complete = nbQuestionsAPoser == 0;
  decision.Du = nbQuestionsPosees > 0 && (complete || reglages.RapporteInterrompues) &&
                !reglages.HoteFeuilleNotes.empty();
  if (!decision.Du) return decision;
  if (reglages.NoteSur100 && complete) {
    decision.Score = nbBonnesReponses * 100 / nbQuestionsPosees;
    decision.Maximum = 100;
  } else {
    decision.Score = nbBonnesReponses;
    decision.Maximum = nbQuestionsPosees;
  }
  return decision;
}

EGenreEchec GenreEchecConnexion(QAbstractSocket::SocketError erreur) {
  switch (erreur) {
    case QAbstractSocket::ConnectionRefusedError: return EGenreEchec::ConnexionRefusee;
    case QAbstractSocket::HostNotFoundError: return EGenreEchec::HoteIntrouvable;
    case QAbstractSocket::SocketAccessError: return EGenreEchec::AccesRefuse;
    case QAbstractSocket::SocketTimeoutError: return EGenreEchec::DelaiConnexion;
    default: return EGenreEchec::ErreurSocket;
  }
}

bool EstEchecSilencieux(EGenreEchec genre) { return genre != EGenreEchec::FermetureServeur; }

std::string LigneSendData(const std::string& ordinateur, const std::string& candidat,
                          const std::string& fichier, int score, int maximum) {
  return std::string(MotSendData) + "\t" + Champ(ordinateur, NomOrdinateur()) + "\t" + Champ(candidat, "anonyme") +
         "\t" + Champ(fichier, "?") + "\t" + std::to_string(score) + "\t" + std::to_string(maximum);
}

std::string EchangeResultat(const TClientResultats& client, const std::string& candidat,
                            const std::string& fichier, int score, int maximum) {
  const std::string ordinateur =
      client.NomOrdinateurLocal.empty() ? NomOrdinateur() : client.NomOrdinateurLocal;
  const std::string ligne =
      LigneSendData(ordinateur, candidat, ansi::Utf8VersAnsi(NomSansDossier(fichier)), score, maximum);
  TConnexion connexion(client);
  connexion.LitLigne();  // the greeting; its content is not checked
  connexion.EcritLigne(ligne);
  std::string reponse = connexion.LitLigne();
  connexion.Deconnecte();
  return reponse;
}

bool EnvoieResultat(const TClientResultats& client, const std::string& candidat,
                    const std::string& fichier, int score, int maximum) {
  try {
    EchangeResultat(client, candidat, fichier, score, maximum);
    return true;
  } catch (const EErreurResultats& e) {
    if (EstEchecSilencieux(e.Genre)) return false;
    throw;
  }
}

void TesteConnexion(const TClientResultats& client) {
  TConnexion connexion(client);
  connexion.LitLigne();
  connexion.Deconnecte();
}

std::string NomOrdinateur() { return GetComputerNameA(); }
