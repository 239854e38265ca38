#pragma once
// The quiz options dialog's rules: the flags of the questionnaire and its three numbers
// (questions to ask, satisfactory score, seconds per answer).

#include <cstdint>
#include <string>

#include "cards/KorFichierX.h"
#include "platform/Dialogue.h"

// The value stored for a number typed in an option edit: 0 for a text that is not an integer
// ("toutes", "illimité", letters), else the integer clamped to 0..255 (the fields are bytes; a
// negative number reads "all" or "no limit", a number too large the largest value).
std::uint8_t OctetOption(const std::string& texte);

class TLogiqueOptions : public TLogiqueDialogue {
 public:
  bool CBRepose = false;        // "Reposer la question lorsque la réponse est fausse"
  bool CBOrdre = false;         // "Poser les questions dans l'ordre du fichier"
  bool CBBriderEntree = false;  // "Prévenir l'usage accidentel de la touche Entrée"
  bool CBMotAMot = false;       // "Comparaison mot à mot des réponses"
  bool CBDiffMaj = false;       // "Distinguer minuscules/majuscules"
  bool CBPhonetique = false;    // "Comparaison phonétique des réponses"
  bool CBCorrection = false;    // "Forcer le candidat à corriger ses fautes"
  std::string ETemps;
  std::string ENbreQuestions;
  std::string ESeuil;
  bool GBOptionsActif = true;
  bool CBDiffMajActif = true;  // a phonetic comparison never goes with a case-sensitive one

  void Remplit(const TFichierX& fichier);
  void FormShow() override;
  // ChangeOptions: a box other than the phonetic one, or one of the three edits.
  void ChangeOptions() { Changement(); }
  // The user clicked the phonetic box (CBPhonetique already holds its new state).
  void CBPhonetiqueClick();
  // OK: the flags and the three numbers; the file is modified.
  void Stocke(TFichierX& fichier) const;
};
