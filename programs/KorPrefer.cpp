// KorPrefer, the preferences program: one window that edits every setting the card editor and
// the quiz player share, saves the groups that changed, or resets them all. No arguments.

#include <QApplication>

#include "cards/KorInit.h"
#include "platform/bureau/Application.h"
#include "preferences/fenetres/KorFenetrePreferences.h"

int main(int argc, char** argv) {
  // The preferences program's share of the settings, before any window exists.
  LitPreferences(Reglages(), EPartReglages::Preferences);

  TApplication application(argc, argv, QStringLiteral("KorPrefer"));

  TKorPref fenetre(Reglages());
  fenetre.show();
  return QApplication::exec();
}
