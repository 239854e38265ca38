#include "editor/KorDlgOptionsRegles.h"


#include "cards/KorOutils.h"
#include "platform/Ansi.h"

std::uint8_t OctetOption(const std::string& texte) {
  const std::string t = Rogne(texte);
  std::size_t debut = 0;
  bool negatif = false;
  if (!t.empty() && (t[0] == '-' || t[0] == '+')) {
    negatif = t[0] == '-';
    debut = 1;
  }
  if (debut == t.size()) return 0;
  for (std::size_t i = debut; i < t.size(); ++i)
    if (t[i] < '0' || t[i] > '9') return 0;
  if (negatif) return 0;
  // Digits only: any value past 255, however long, is 255.
  unsigned valeur = 0;
  for (std::size_t i = debut; i < t.size() && valeur <= 255; ++i) valeur = valeur * 10 + unsigned(t[i] - '0');
  return static_cast<std::uint8_t>(valeur > 255 ? 255 : valeur);
}

void TLogiqueOptions::Remplit(const TFichierX& fichier) {
  CBRepose = fichier.FReposerErreurs;
  CBCorrection = fichier.FCorrection;
  CBBriderEntree = fichier.FBriderEntree;
  ENbreQuestions = fichier.FNombreQuestions == 0 ? std::string("toutes") : std::to_string(fichier.FNombreQuestions);
  CBOrdre = fichier.FSuivreOrdre;
  CBMotAMot = fichier.FMotAMot;
  CBDiffMaj = fichier.FDifferencierCasse && !fichier.FPhonetique;
  CBPhonetique = fichier.FPhonetique;
  ESeuil = std::to_string(fichier.FScoreSatisfaisant);
  ETemps = fichier.FTemps == 0 ? "illimité"_a : std::to_string(fichier.FTemps);
  GBOptionsActif = fichier.FModifiable;
}

void TLogiqueOptions::FormShow() {
  TLogiqueDialogue::FormShow();
  CBDiffMajActif = !CBPhonetique;
}

void TLogiqueOptions::CBPhonetiqueClick() {
  Changement();
  if (CBPhonetique) CBDiffMaj = false;
  CBDiffMajActif = !CBPhonetique;
}

void TLogiqueOptions::Stocke(TFichierX& fichier) const {
  fichier.FReposerErreurs = CBRepose;
  fichier.FCorrection = CBCorrection;
  fichier.FBriderEntree = CBBriderEntree;
  fichier.FNombreQuestions = OctetOption(ENbreQuestions);
  fichier.FSuivreOrdre = CBOrdre;
  fichier.FMotAMot = CBMotAMot;
  fichier.FDifferencierCasse = CBDiffMaj;
  fichier.FPhonetique = CBPhonetique;
  fichier.FScoreSatisfaisant = OctetOption(ESeuil);
  fichier.FTemps = OctetOption(ETemps);
  fichier.FModifie = true;
}
