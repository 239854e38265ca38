#include "player/KorResultats.h"

#include <QHostAddress>
#include <QHostInfo>
#include <QTcpSocket>

#include <chrono>

#include "cards/KorInit.h"
#include "cards/KorOutils.h"
#include "platform/Ansi.h"
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

[[noreturn]] void EchoueSocket(EGenreEchec genre, const QTcpSocket& socket) {
  Echoue(genre, MessageDe(genre, &socket));
}

QHostAddress Adresse(const TClientResultats& client) {
  const QString hote = ansi::VersQString(client.Hote).trimmed();
  QHostAddress adresse;
  if (adresse.setAddress(hote)) return adresse;
  const QHostInfo info = client.Resolveur ? client.Resolveur(hote) : QHostInfo::fromName(hote);
  if (info.error() == QHostInfo::HostNotFound || (info.error() == QHostInfo::NoError && info.addresses().isEmpty()))
    Echoue(EGenreEchec::HoteIntrouvable, MessageDe(EGenreEchec::HoteIntrouvable, nullptr));
  if (info.error() != QHostInfo::NoError)
    Echoue(EGenreEchec::ErreurSocket, "Erreur de connexion : "_a + ansi::DepuisQString(info.errorString()) + ".");
  // The protocol is IPv4; another family only when the name has no IPv4 address.
  for (const QHostAddress& a : info.addresses())
    if (a.protocol() == QAbstractSocket::IPv4Protocol) return a;
  return info.addresses().front();
}

void Connecte(QTcpSocket& socket, const TClientResultats& client) {
  // A write to a score sheet that has gone must fail, not end the player.
  IgnoreSigpipe();
  const QHostAddress adresse = Adresse(client);
  socket.connectToHost(adresse, client.Port);
  // A time-out of 0 or less would mean no bound at all: the default then holds.
  if (!socket.waitForConnected(client.DelaiConnexion > 0 ? client.DelaiConnexion : 3000)) {
    const QAbstractSocket::SocketError erreur = socket.error();
    EchoueSocket(GenreEchecConnexion(erreur), socket);
  }
}

// One line from the score sheet, within the time allowed.
std::string LitLigne(QTcpSocket& socket, int delai) {
  if (delai <= 0) delai = 10000;
  const auto limite = Horloge::now() + std::chrono::milliseconds(delai);
  while (!socket.canReadLine()) {
    if (socket.bytesAvailable() > LongueurMaxReponse) EchoueSocket(EGenreEchec::ErreurSocket, socket);
    const auto reste =
        std::chrono::duration_cast<std::chrono::milliseconds>(limite - Horloge::now()).count();
    if (reste <= 0) EchoueSocket(EGenreEchec::DelaiReponse, socket);
    if (!socket.waitForReadyRead(static_cast<int>(reste))) {
      if (socket.canReadLine()) break;
      if (socket.error() == QAbstractSocket::SocketTimeoutError &&
          socket.state() == QAbstractSocket::ConnectedState)
        EchoueSocket(EGenreEchec::DelaiReponse, socket);
      if (socket.error() == QAbstractSocket::RemoteHostClosedError ||
          socket.state() == QAbstractSocket::UnconnectedState)
        EchoueSocket(EGenreEchec::FermetureServeur, socket);
      EchoueSocket(EGenreEchec::ErreurSocket, socket);
    }
  }
  QByteArray ligne = socket.readLine();
  while (!ligne.isEmpty() && (ligne.back() == '\n' || ligne.back() == '\r')) ligne.chop(1);
  return std::string(ligne.constData(), static_cast<std::size_t>(ligne.size()));
}

void EcritLigne(QTcpSocket& socket, const std::string& ligne, int delai) {
  if (delai <= 0) delai = 10000;
  QByteArray octets(ligne.data(), static_cast<qsizetype>(ligne.size()));
  octets += "\r\n";
  if (socket.write(octets) != octets.size()) EchoueSocket(EGenreEchec::ErreurSocket, socket);
  const auto limite = Horloge::now() + std::chrono::milliseconds(delai);
  while (socket.bytesToWrite() > 0) {
    const auto reste =
        std::chrono::duration_cast<std::chrono::milliseconds>(limite - Horloge::now()).count();
    if (reste <= 0) EchoueSocket(EGenreEchec::DelaiReponse, socket);
    if (!socket.waitForBytesWritten(static_cast<int>(reste))) {
      if (socket.error() == QAbstractSocket::SocketTimeoutError) EchoueSocket(EGenreEchec::DelaiReponse, socket);
      if (socket.error() == QAbstractSocket::RemoteHostClosedError) EchoueSocket(EGenreEchec::FermetureServeur, socket);
      EchoueSocket(EGenreEchec::ErreurSocket, socket);
    }
  }
}

std::string NomSansDossier(const std::string& chemin) {
  const std::size_t barre = chemin.rfind('/');
  return barre == std::string::npos ? chemin : chemin.substr(barre + 1);
}

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
  return "SENDDATA\t" + Champ(ordinateur, NomOrdinateur()) + "\t" + Champ(candidat, "anonyme") +
         "\t" + Champ(fichier, "?") + "\t" + std::to_string(score) + "\t" + std::to_string(maximum);
}

std::string EchangeResultat(const TClientResultats& client, const std::string& candidat,
                            const std::string& fichier, int score, int maximum) {
  const std::string ordinateur =
      client.NomOrdinateurLocal.empty() ? NomOrdinateur() : client.NomOrdinateurLocal;
  const std::string ligne =
      LigneSendData(ordinateur, candidat, ansi::Utf8VersAnsi(NomSansDossier(fichier)), score, maximum);
  // The socket is closed when it goes out of scope, whichever way the exchange ends.
  QTcpSocket socket;
  Connecte(socket, client);
  LitLigne(socket, client.DelaiReponse);  // the greeting; its content is not checked
  EcritLigne(socket, ligne, client.DelaiReponse);
  std::string reponse = LitLigne(socket, client.DelaiReponse);
  socket.disconnectFromHost();
  socket.abort();
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
  QTcpSocket socket;
  Connecte(socket, client);
  LitLigne(socket, client.DelaiReponse);
  socket.disconnectFromHost();
  socket.abort();
}

std::string NomOrdinateur() {
  std::string nom = GetComputerNameA();
  if (nom.size() > 15) nom.resize(15);
  // The platform always has a name; this one is for a system that would not give it.
  if (nom.empty()) nom = "ORDINATEUR";
  return nom;
}
