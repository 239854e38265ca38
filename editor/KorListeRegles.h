#pragma once
// The card list: one line per card of the open file, read from the file when a line is drawn
// (the view asks only for the lines it shows, so a large file opens its list at once). A Notes
// file lists its newest card first. The list window draws this model.

#include <QAbstractListModel>

#include "cards/KorFichierX.h"

// BaseInverse of a list: 0 when the lines are in card order, else the index of the last card
// (the lines of a Notes file, newest first).
int BaseInverseListe(const TFichierX& fichier);
// The card of a line, and the line of a card.
int IndexDeLigne(int ligne, int baseInverse);
inline int LigneDeIndex(int index, int baseInverse) { return baseInverse != 0 ? baseInverse - index : index; }

class TModeleListe : public QAbstractListModel {
  Q_OBJECT
 public:
  using QAbstractListModel::QAbstractListModel;

  // The lines of this file (none without a file): field 1 of the cards from the last to the
  // first for a Notes file, else the cards' titles (GetTitreFiche) in card order.
  void FixeFichier(const TFichierX* fichier);
  // The file changed (a card added, deleted or moved): the lines are read again.
  void Rafraichit();
  const TFichierX* Fichier() const { return FFichier; }
  int BaseInverse() const { return FBaseInverse; }
  // The card of a line, within the cards the file holds now; -1 when it has none.
  int IndexDeLigne(int ligne) const;
  // The text of a line (1252); empty past the end of the file.
  std::string Ligne(int ligne) const;

  int rowCount(const QModelIndex& parent = QModelIndex()) const override;
  QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;

 private:
  const TFichierX* FFichier = nullptr;
  int FNombre = 0;
  int FBaseInverse = 0;
  bool FNotes = false;
};
