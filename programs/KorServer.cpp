// KorServer, the score sheet: one window that collects the results the quiz players send over
// TCP (port 6784) and saves them. Only one runs: a later start brings it to the front and ends.

#include <QApplication>
#include <QMessageBox>

#include <exception>

#include "platform/Ansi.h"
#include "platform/Erreur.h"
#include "platform/bureau/InstanceUnique.h"
#include "platform/bureau/Traductions.h"
#include "scoresheet/KorServeur.h"
#include "scoresheet/fenetres/KorServerMain.h"

namespace {

// The general error display: a failure that no command caught is shown, and the program goes on.
class TApplication : public QApplication {
 public:
  using QApplication::QApplication;
  bool notify(QObject* destinataire, QEvent* evenement) override {
    try {
      return QApplication::notify(destinataire, evenement);
    } catch (const EErreur& e) {
      QMessageBox::critical(activeWindow(), QStringLiteral("Erreur"), ansi::VersQString(e.Message()));
    } catch (const std::exception& e) {
      QMessageBox::critical(activeWindow(), QStringLiteral("Erreur"), QString::fromLocal8Bit(e.what()));
    }
    return false;
  }
};

}  // namespace

int main(int argc, char** argv) {
  IgnoreSigpipe();
  TApplication application(argc, argv);
  QApplication::setApplicationName(QStringLiteral("KorServer"));

  ChargeTraductionsQt();

  TInstanceUnique instance(QStringLiteral("KorServer"));
  if (!instance.Demarre(QApplication::arguments())) return 0;

  TFormMain fenetre;
  QObject::connect(&instance, &TInstanceUnique::LigneDeCommandeRecue, &fenetre,
                   &TFormMain::AmeneAuPremierPlan);
  fenetre.show();
  return QApplication::exec();
}
