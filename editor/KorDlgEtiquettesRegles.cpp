#include "editor/KorDlgEtiquettesRegles.h"

void TLogiqueEtiquettes::Remplit(const TFichierX& fichier) {
  EEtiquette0 = fichier.FEtiquettes.Champ0;
  EEtiquette1 = fichier.FEtiquettes.Champ1;
  EEtiquette2 = fichier.FEtiquettes.Champ2;
}

void TLogiqueEtiquettes::Stocke(TFichierX& fichier) const {
  fichier.SetEtiquettes(EEtiquette0, EEtiquette1, EEtiquette2);
}
