// KorEdit, the card editor: one window that creates, opens, edits and saves card files of every
// type and format. The optional argument is a file to open. With the setting "uninst" only one
// runs: a later start hands its command line to it and ends.

#include <QApplication>
#include <QFileInfo>

#include <memory>

#include "cards/KorInit.h"
#include "editor/fenetres/KorFenetreFiche.h"
#include "platform/bureau/Application.h"
#include "platform/bureau/InstanceUnique.h"

int main(int argc, char** argv) {
  // The editor's settings, before any window exists.
  LitPreferences(Reglages(), EPartReglages::Editeur);

  TApplication application(argc, argv, QStringLiteral("KorEdit"));

  // A file named on the command line is known by its full name, wherever the program was started.
  QStringList arguments = QApplication::arguments();
  if (arguments.size() > 1) arguments[1] = QFileInfo(arguments[1]).absoluteFilePath();

  std::unique_ptr<TInstanceUnique> instance;
  if (Reglages().InstanceUnique) {
    instance = std::make_unique<TInstanceUnique>(QStringLiteral("KorEdit"));
    if (!instance->Demarre(arguments)) return 0;
  }

  // Every editor marks its presence: only a lone editor reopens the file of the last run.
  TPresenceInstances presence(QStringLiteral("KorEdit"));

  TFormFiche fenetre(arguments.mid(1), Reglages());
  fenetre.NombreInstances = [&presence] { return presence.NombreInstances(); };
  if (instance)
    QObject::connect(instance.get(), &TInstanceUnique::LigneDeCommandeRecue, &fenetre,
                     [&fenetre](const QStringList& arguments) { fenetre.LigneDeCommandeRecue(arguments.mid(1)); });
  if (Reglages().PleinEcran)
    fenetre.showMaximized();
  else
    fenetre.show();
  return QApplication::exec();
}
