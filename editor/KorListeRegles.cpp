#include "editor/KorListeRegles.h"

#include <algorithm>

#include "platform/Ansi.h"

int BaseInverseListe(const TFichierX& fichier) {
  return fichier.FType == 'N' ? fichier.GetNombreFiches() - 1 : 0;
}

int IndexDeLigne(int ligne, int baseInverse) { return baseInverse != 0 ? baseInverse - ligne : ligne; }

void TModeleListe::FixeFichier(const TFichierX* fichier) {
  beginResetModel();
  FFichier = fichier;
  FNotes = fichier && fichier->FType == 'N';
  FNombre = fichier ? fichier->GetNombreFiches() : 0;
  FBaseInverse = fichier ? BaseInverseListe(*fichier) : 0;
  endResetModel();
}

void TModeleListe::Rafraichit() { FixeFichier(FFichier); }

int TModeleListe::IndexDeLigne(int ligne) const {
  if (!FFichier || FFichier->GetNombreFiches() == 0) return -1;
  return std::clamp(::IndexDeLigne(ligne, FBaseInverse), 0, FFichier->GetNombreFiches() - 1);
}

std::string TModeleListe::Ligne(int ligne) const {
  if (!FFichier) return {};
  const int index = ::IndexDeLigne(ligne, FBaseInverse);
  // The file may have changed since the lines were counted: no line reads past its end.
  if (index < 0 || index >= FFichier->GetNombreFiches()) return {};
  return FNotes ? FFichier->Fiche(index).Champ1 : FFichier->GetTitreFiche(index);
}

int TModeleListe::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : FNombre; }

QVariant TModeleListe::data(const QModelIndex& index, int role) const {
  if (role != Qt::DisplayRole || !index.isValid() || index.row() >= FNombre) return {};
  return ansi::VersQString(Ligne(index.row()));
}
