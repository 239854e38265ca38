// KorServer, the score sheet: one window that collects the results the quiz players send over
// TCP (port 6784) and saves them. Only one runs: a later start brings it to the front and ends.

#include <QApplication>

#include "platform/bureau/Application.h"
#include "platform/bureau/InstanceUnique.h"
#include "scoresheet/fenetres/KorServerMain.h"

int main(int argc, char** argv) {
  TApplication application(argc, argv, QStringLiteral("KorServer"));

  TInstanceUnique instance(QStringLiteral("KorServer"));
  if (!instance.Demarre(QApplication::arguments())) return 0;

  TFormMain fenetre;
  QObject::connect(&instance, &TInstanceUnique::LigneDeCommandeRecue, &fenetre,
                   &TFormMain::AmeneAuPremierPlan);
  fenetre.show();
  return QApplication::exec();
}
