#pragma once
// The labels dialog's rules: the three field labels of the open card file.

#include <string>

#include "cards/KorFichierX.h"
#include "platform/Dialogue.h"

class TLogiqueEtiquettes : public TLogiqueDialogue {
 public:
  std::string EEtiquette0;
  std::string EEtiquette1;
  std::string EEtiquette2;

  // The labels in use: the file's own, or the defaults put there when the file was shown.
  void Remplit(const TFichierX& fichier);
  void EEtiquetteChange() { Changement(); }
  // OK: the three labels as typed; the file has labels of its own and is modified.
  void Stocke(TFichierX& fichier) const;
};
