// Orvaline, the quiz player: one window that plays a questionnaire, one question at a time, and
// reports the candidate's result to the score sheet. The optional argument is a file to open.

#include <QApplication>

#include "cards/KorInit.h"
#include "platform/bureau/Application.h"
#include "player/fenetres/KorFenetreJeu.h"

int main(int argc, char** argv) {
  // The player's settings, before any window exists.
  LitPreferences(Reglages(), EPartReglages::Joueur);

  TApplication application(argc, argv, QStringLiteral("Orvaline"));

  TForm1 fenetre(QApplication::arguments().mid(1), Reglages());
  fenetre.show();
  return QApplication::exec();
}
