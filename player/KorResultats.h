#pragma once
// The player's side of the results protocol: whether an ended game is reported and with which
// score, the exchange with the score sheet (connect, greeting, one SENDDATA line, reply,
// disconnect), and this computer's name. The exchange is blocking, as the window expects, and
// every wait in it is bounded (the connection, name lookup included, by DelaiConnexion); its
// socket is closed on every path.

#include <cstdint>
#include <functional>
#include <string>

#include <QAbstractSocket>
#include <QHostInfo>
#include <QString>

#include "platform/Erreur.h"
#include "platform/ProtocoleResultats.h"

struct TReglages;

// RapporteResultat's decision: due when at least one question was asked, the game is complete or
// interrupted games are reported, and a score sheet host is set. Score on 100 only for a
// complete game under NoteSur100.
struct TDecisionRapport {
  bool Du = false;
  int Score = 0;
  int Maximum = 0;
};
TDecisionRapport DecideRapport(int nbQuestionsPosees, int nbQuestionsAPoser, int nbBonnesReponses,
                               const TReglages& reglages);

// What went wrong in an exchange, by kind rather than by text.
enum class EGenreEchec {
  ConnexionRefusee,  // nothing listens on the port
  HoteIntrouvable,   // the host's name does not resolve
  AccesRefuse,       // the system forbids the connection (a firewall, for example)
  DelaiConnexion,    // the connect time-out expired
  ErreurSocket,      // any other socket error: unreachable, connection reset...
  DelaiReponse,      // connected, but the greeting or the reply did not come in time
  FermetureServeur,  // the score sheet closed the connection in order before its greeting or its reply
};

// A failed exchange; its message is French (1252).
class EErreurResultats : public EErreur {
 public:
  EErreurResultats(EGenreEchec genre, const std::string& message) : EErreur(message), Genre(genre) {}
  EGenreEchec Genre;
};

// The kind of a socket error met while connecting.
EGenreEchec GenreEchecConnexion(QAbstractSocket::SocketError erreur);

// Failures dropped without a word: socket errors (a reset among them) and every time-out. The
// score sheet closing the connection early, in order, is shown to the user.
bool EstEchecSilencieux(EGenreEchec genre);

struct TClientResultats {
  std::string Hote;                       // HoteFeuilleNotes (1252): a name or an address
  std::uint16_t Port = PortFeuilleNotes;
  int DelaiConnexion = 3000;              // ms, DelaiConnexion (cotout), name lookup included; 0 or less: 3000
  int DelaiReponse = 10000;               // ms for the greeting, and again for the reply; 0 or less: 10000
  std::string NomOrdinateurLocal;         // empty: NomOrdinateur()
  // Resolves the host's name; empty: the system's resolver. Tests put their own. It runs on a
  // thread of its own, which a lookup given up on leaves running with its own copy. One lookup of
  // a name (its ASCII case and a final dot aside) runs at a time in the process: a report that
  // comes meanwhile waits for that one, whichever client's resolver it runs.
  std::function<QHostInfo(const QString&)> Resolveur;
  // Hands the connected descriptor to the socket and tells whether the socket took it; empty:
  // QAbstractSocket::setSocketDescriptor. Tests put their own to have it refused, as Qt may.
  std::function<bool(QAbstractSocket& socket, int descripteur)> PoseDescripteur;
};

// The command line, without its CR LF: "SENDDATA\t%s\t%s\t%s\t%d\t%d". TAB, CR and LF inside a
// field become spaces; a field that the score sheet would trim to nothing (and drop, shifting the
// others) is replaced: the computer by NomOrdinateur, the candidate by "anonyme", the file by "?".
std::string LigneSendData(const std::string& ordinateur, const std::string& candidat,
                          const std::string& fichier, int score, int maximum);

// One whole exchange; returns the reply line (without CR LF), whatever its code.
// fichier is the questionnaire's path or name (file system, UTF-8): its folder is dropped and
// the name sent in 1252. Raises EErreurResultats.
std::string EchangeResultat(const TClientResultats& client, const std::string& candidat,
                            const std::string& fichier, int score, int maximum);

// EnvoieResultat: the report of a game. True when the reply came (its content is not checked),
// false when the report was dropped without a word; raises EErreurResultats when the failure is
// to be shown (FermetureServeur).
bool EnvoieResultat(const TClientResultats& client, const std::string& candidat,
                    const std::string& fichier, int score, int maximum);

// The preferences dialog's connection test: connect, read the greeting, disconnect.
// Raises EErreurResultats on any failure, whose Genre the dialog classifies.
void TesteConnexion(const TClientResultats& client);

// This computer's name (1252), at most 15 characters, never empty.
std::string NomOrdinateur();
