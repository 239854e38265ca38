#include "platform/bureau/Application.h"

#include <QMessageBox>

#include <exception>

#include "platform/Ansi.h"
#include "platform/Erreur.h"
#include "platform/Signaux.h"
#include "platform/bureau/Boites.h"
#include "platform/bureau/Traductions.h"

namespace {

// Runs before QApplication's own constructor: signals are set before anything else starts.
int& AvecSignauxPrepares(int& argc) {
  PrepareSignaux();
  return argc;
}

}  // namespace

TApplication::TApplication(int& argc, char** argv, const QString& nom)
    : QApplication(AvecSignauxPrepares(argc), argv) {
  setApplicationName(nom);
  ChargeTraductionsQt();
  ElargitLesBoitesAuTitre(*this);
}

bool TApplication::notify(QObject* destinataire, QEvent* evenement) {
  try {
    return QApplication::notify(destinataire, evenement);
  } catch (const EErreur& e) {
    QMessageBox::critical(activeWindow(), QStringLiteral("Erreur"), ansi::VersQString(e.Message()));
  } catch (const std::exception& e) {
    QMessageBox::critical(activeWindow(), QStringLiteral("Erreur"), QString::fromLocal8Bit(e.what()));
  } catch (...) {
    QMessageBox::critical(activeWindow(), QStringLiteral("Erreur"), QStringLiteral("Erreur inconnue."));
  }
  return false;
}
