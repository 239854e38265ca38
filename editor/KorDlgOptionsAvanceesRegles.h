#pragma once
// The advanced quiz options dialog's rules: the visible conjunction, the hidden alternative
// separator, the punctuation and the ignored words (the file's own, or the default list).

#include <string>

#include "cards/KorFichierX.h"
#include "platform/Dialogue.h"

class TLogiqueOptionsAvancees : public TLogiqueDialogue {
 public:
  std::string EOu;
  std::string ECarOu;
  std::string EXDelim;
  bool CBMIgDefaut = false;  // "défaut": the default list of ignored words applies
  std::string EMotsIgnores;
  bool GBOptionsActif = true;
  bool EMotsIgnoresActif = true;

  void Remplit(const TFichierX& fichier, const TReglages& reglages);
  void FormShow() override;
  // ChangeOptionsAvancees: one of the four edits.
  void ChangeOptionsAvancees() { Changement(); }
  // The user clicked "défaut" (CBMIgDefaut already holds its new state).
  void CBMIgDefautClick();
  // OK: the three texts without their spaces; the file's own list only when "défaut" is
  // unchecked, as typed; the file is modified.
  void Stocke(TFichierX& fichier) const;

 private:
  std::string MotsIgnoresDefaut;  // the default list of the open file
};
