#include "editor/KorDlgOptionsAvanceesRegles.h"

#include "cards/KorOutils.h"

void TLogiqueOptionsAvancees::Remplit(const TFichierX& fichier, const TReglages& reglages) {
  EOu = fichier.FOuVisible;
  ECarOu = fichier.FFragmenteur;
  EXDelim = fichier.FPonctuation;
  CBMIgDefaut = !fichier.FAvecMotsIgnores;
  EMotsIgnores = fichier.GetMotsIgnores(reglages);
  MotsIgnoresDefaut = fichier.MotsIgnoresParDefaut(reglages);
  GBOptionsActif = fichier.FModifiable;
}

void TLogiqueOptionsAvancees::FormShow() {
  EMotsIgnoresActif = !CBMIgDefaut;
  TLogiqueDialogue::FormShow();
}

void TLogiqueOptionsAvancees::CBMIgDefautClick() {
  Changement();
  if (CBMIgDefaut) EMotsIgnores = MotsIgnoresDefaut;
  EMotsIgnoresActif = !CBMIgDefaut;
}

void TLogiqueOptionsAvancees::Stocke(TFichierX& fichier) const {
  fichier.FOuVisible = SansEspaces(EOu);
  // Any text without spaces, of any length: the one-character filter of the model is not applied.
  fichier.FFragmenteur = SansEspaces(ECarOu);
  fichier.FPonctuation = SansEspaces(EXDelim);
  fichier.FAvecMotsIgnores = !CBMIgDefaut;
  if (!CBMIgDefaut) fichier.FMotsIgnores = EMotsIgnores;
  fichier.FModifie = true;
}
