#pragma once
// The running editor's side of a later start: the command line handed over is acted on at
// once when no modal dialog is open, else as soon as the last one has closed (TFileLigneCommande).

#include <QObject>
#include <QStringList>
#include <QTimer>

#include "editor/KorFicheCommandes.h"

class TReceptionLigneCommande : public QObject {
  Q_OBJECT
 public:
  // dialogueOuvert: empty means "Qt has a modal widget open".
  explicit TReceptionLigneCommande(TFileLigneCommande::FExecute execute,
                                   TFileLigneCommande::FDialogueOuvert dialogueOuvert = {},
                                   QObject* parent = nullptr);

  // The arguments of a later start, without the program's name (file names, UTF-8 paths).
  void Recoit(const QStringList& arguments);
  bool EnAttente() const { return FFile.EnAttente(); }

  // How often a waiting command line looks whether the dialogs have closed.
  static constexpr int IntervalleReprise = 200;

 private:
  void Reprend();

  TFileLigneCommande FFile;
  QTimer FReprise;
};
