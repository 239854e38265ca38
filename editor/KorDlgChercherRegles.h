#pragma once
// The search dialog's rules: what its controls hold, their set-up for each file shown, and the
// search state they start. The dialog keeps its controls between searches; nothing refills
// them before a search.

#include <string>

#include "cards/KorFichierX.h"
#include "editor/KorRecherche.h"

class TLogiqueChercher {
 public:
  std::string EChercher;               // "Expression à chercher :"
  bool CBDifferencier = false;         // "Différencier majuscules/minuscules"
  bool CBChampUnique = false;          // search the index field only
  bool CBChampUniqueActif = true;
  std::string LegendeChampUnique;      // "Chercher seulement dans le champ "%s""
  bool CBArriere = false;              // "Chercher vers l'arrière"

  // Set-up when a file is shown: the single-field box checked for a one-line field 1 and
  // enabled when the file has a field 1; backwards for a Notes file when the setting says so.
  void PrepareFichier(const TFichierX& fichier, bool champUneLigne, bool notes, bool chercheArriere);
  // The single-field box's caption from the label of the index field (when the labels are shown).
  void PrepareEtiquettes(const TFichierX& fichier);
  // The search state that the dialog's OK starts; RechercheActive and the start card are the
  // main window's to set.
  void Demarre(TEtatRecherche& etat) const;
};
