#pragma once
// The header dialog's rules: title, description and author of the open card file.

#include <string>

#include "cards/KorFichierX.h"
#include "platform/Dialogue.h"

class TLogiqueEntete : public TLogiqueDialogue {
 public:
  // What the controls hold (1252; CR LF in the description).
  std::string ETitre;
  std::string MDescription;
  std::string ESignature;
  bool GBEnteteActif = true;  // a read-only file shows its header without letting it change

  void Remplit(const TFichierX& fichier);
  // ChangeEntete: the user changed one of the three edits.
  void ChangeEntete() { Changement(); }
  // OK: the title trimmed (marks the file modified), description and author as typed.
  void Stocke(TFichierX& fichier) const;
};
