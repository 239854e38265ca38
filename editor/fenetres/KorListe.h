#pragma once
// The card list window "Liste des fiches": one line per card; moving the selection (mouse or
// arrow keys) shows that card at once in the main window while the list stays open. Enter, F12
// and a double-click close it keeping the card (OK), Esc closes it going back to the former
// card (Abandon); the close box keeps the last card chosen.

#include <QDialog>

#include <QMargins>

#include <functional>

#include "editor/KorListeRegles.h"

class QTableView;
class QKeyEvent;
class QModelIndex;

class TListe : public QDialog {
  Q_OBJECT
 public:
  enum EResultat { Fermeture = 0, OK = 1, Abandon = 3 };

  explicit TListe(QWidget* parent = nullptr);

  // Shows the lines of the file modally with that line selected; returns how it closed.
  EResultat Execute(const TFichierX& fichier, int ligneSelectionnee);
  // The file changed while the list is shown: the lines are read again (none when fichier is
  // null: the file was closed).
  void FichierChange(const TFichierX* fichier);

  // Called with the card of a line chosen by the user; none: nothing is called.
  std::function<void(int index)> OnSelection;
  int BaseInverse() const { return Modele.BaseInverse(); }

  // The list box: one column of lines of one height, without headers or grid. A table view
  // rather than a list view: its layout costs nothing per line, so a file of 100,000 cards opens
  // its list as fast as one of ten.
  QTableView* LBListe = nullptr;
  TModeleListe Modele;
  static constexpr int ContexteAide = 6;
  static constexpr int Largeur = 280;

 protected:
  bool eventFilter(QObject* objet, QEvent* evenement) override;  // the form sees keys first
  void keyPressEvent(QKeyEvent* evenement) override;
  void showEvent(QShowEvent* evenement) override;
  void moveEvent(QMoveEvent* evenement) override;

 private:
  // Enter, F12 and Esc close the list; false for any other key.
  bool Touche(int touche);
  void LBListeClick(const QModelIndex& courant);
  // Every line the height of one line of the list's font.
  void AjusteHauteurLignes();
  // At the top-left corner of the work area, as high as it is, frame included.
  void Place();
  QMargins FCadre;  // the frame the window was placed with
  bool FSelectionParProgramme = false;
};
