#include "platform/bureau/FinDeSession.h"

#include <fcntl.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QGuiApplication>
#include <QSessionManager>
#include <QSocketNotifier>
#include <QTimer>

#include <mutex>
#include <vector>

// libICE's headers last: they define macros (Bool, Status) that Qt's headers must not see.
#include <X11/ICE/ICElib.h>

namespace {

// How long after the manager's word the session is taken to go on: a Die is handled at once,
// in the same turn of the event loop, so this is only a margin.
constexpr int DelaiConfirmation = 200;
// Without a connection to watch (none was found), the session is taken to go on after this.
constexpr int DelaiSansConnexion = 5000;

// The descriptors of the process's ICE connections: the session manager's, opened by Qt.
std::vector<int>& ConnexionsIce() {
  static std::vector<int> connexions;
  return connexions;
}

void SuitConnexionIce(IceConn connexion, IcePointer, Bool ouverture, IcePointer*) {
  std::vector<int>& connexions = ConnexionsIce();
  const int fd = IceConnectionNumber(connexion);
  if (ouverture) {
    connexions.push_back(fd);
  } else {
    std::erase(connexions, fd);
  }
}

void SuisLesConnexionsIce() {
  // Told at once of the connections already open, then of every one opened or closed later.
  static std::once_flag fait;
  std::call_once(fait, [] { IceAddConnectionWatch(SuitConnexionIce, nullptr); });
}

}  // namespace

TFinDeSession::TFinDeSession(IFinDeSession& fenetre, QObject* parent) : QObject(parent), FFenetre(fenetre) {
  SuisLesConnexionsIce();
  if (auto* application = qobject_cast<QGuiApplication*>(QCoreApplication::instance())) {
    connect(application, &QGuiApplication::commitDataRequest, this, &TFinDeSession::DemandeSauvegarde,
            Qt::DirectConnection);
    application->installEventFilter(this);
  }
}

TFinDeSession::~TFinDeSession() { ArreteLEcoute(); }

void TFinDeSession::DemandeSauvegarde(QSessionManager& gestionnaire) {
  ++FTour;
  FFin = false;
  // A new request while an answer waits: the session went on meanwhile.
  if (FEnAttente) Reprend();
  // Nothing to ask: the answer goes at once. Nor may anything be asked without the manager's leave.
  if (!FFenetre.TravailNonSauve() || !gestionnaire.allowsInteraction()) return;
  // From the leave on, whatever the manager says is its answer to the logout as a whole.
  EcouteLeGestionnaire();
  if (!FFenetre.QuestionFinDeSession()) {
    ArreteLEcoute();
    gestionnaire.cancel();
    return;
  }
  FEnAttente = true;
  // It already spoke while the question was up, or cannot be heard.
  if (FParole || !FEcoute) VerifieLaFinDans(FEcoute ? DelaiConfirmation : DelaiSansConnexion);
}

void TFinDeSession::EcouteLeGestionnaire() {
  ArreteLEcoute();
  FParole = false;
  const std::vector<int>& connexions = ConnexionsIce();
  if (connexions.empty()) return;
  // A duplicate of Qt's own connection, so that Qt's notifier on it is left as it is; what comes
  // is read by Qt, this one only tells that something came.
  FDouble = ::fcntl(connexions.front(), F_DUPFD_CLOEXEC, 0);
  if (FDouble < 0) return;
  FEcoute = std::make_unique<QSocketNotifier>(FDouble, QSocketNotifier::Read);
  connect(FEcoute.get(), &QSocketNotifier::activated, this, &TFinDeSession::ParoleDuGestionnaire);
}

void TFinDeSession::ParoleDuGestionnaire() {
  // Once is enough, and Qt may not have read the message yet.
  FEcoute->setEnabled(false);
  FParole = true;
  if (FEnAttente) VerifieLaFinDans(DelaiConfirmation);  // else seen once the question is answered
}

void TFinDeSession::VerifieLaFinDans(int delai) {
  // A Die has made the application quit by then; anything else means the session goes on. A
  // later request to save makes this one's check void.
  const unsigned tour = FTour;
  QTimer::singleShot(delai, this, [this, tour] {
    if (tour == FTour && FEnAttente && !FFin) Reprend();
  });
}

void TFinDeSession::Reprend() {
  ArreteLEcoute();
  FEnAttente = false;
  FFenetre.FinDeSessionAbandonnee();
}

void TFinDeSession::ArreteLEcoute() {
  FEcoute.reset();
  if (FDouble >= 0) ::close(FDouble);
  FDouble = -1;
}

bool TFinDeSession::eventFilter(QObject* objet, QEvent* evenement) {
  // The manager's Die reaches the application as its quit.
  if (objet == QCoreApplication::instance() && evenement->type() == QEvent::Quit) FFin = true;
  return QObject::eventFilter(objet, evenement);
}
