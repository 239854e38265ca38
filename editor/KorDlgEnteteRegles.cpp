#include "editor/KorDlgEnteteRegles.h"

void TLogiqueEntete::Remplit(const TFichierX& fichier) {
  ETitre = fichier.FTitre;
  MDescription = fichier.FDescription;
  ESignature = fichier.FSignature;
  GBEnteteActif = fichier.FModifiable;
}

void TLogiqueEntete::Stocke(TFichierX& fichier) const {
  fichier.SetTitre(ETitre);
  fichier.FDescription = MDescription;
  fichier.FSignature = ESignature;
}
