#include "editor/fenetres/KorLigneCommande.h"

#include <QApplication>
#include <QFile>

#include <utility>

#include "platform/bureau/Boites.h"

namespace {

bool DialogueModalOuvert() { return QApplication::activeModalWidget() != nullptr; }

}  // namespace

TReceptionLigneCommande::TReceptionLigneCommande(TFileLigneCommande::FExecute execute,
                                                 TFileLigneCommande::FDialogueOuvert dialogueOuvert,
                                                 QObject* parent)
    : QObject(parent),
      FFile(dialogueOuvert ? std::move(dialogueOuvert) : TFileLigneCommande::FDialogueOuvert(DialogueModalOuvert),
            std::move(execute)) {
  FReprise.setInterval(IntervalleReprise);
  connect(&FReprise, &QTimer::timeout, this, &TReceptionLigneCommande::Reprend);
}

void TReceptionLigneCommande::Recoit(const QStringList& arguments) {
  std::vector<std::string> liste;
  liste.reserve(static_cast<std::size_t>(arguments.size()));
  for (const QString& a : arguments) liste.push_back(DepuisChemin(a));
  FFile.Recoit(std::move(liste));
  if (FFile.EnAttente()) FReprise.start();
}

void TReceptionLigneCommande::Reprend() {
  FFile.Reprend();
  if (!FFile.EnAttente()) FReprise.stop();
}
