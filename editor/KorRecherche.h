#pragma once
// Search in the open card file: the "contains" test of the user's locale, the test of one card,
// and one step of a search, which moves from the shown card to the next card holding the text,
// wrapping at the ends of the file, until it comes back to the card where the search started.
// The editor keeps the search state (one TEtatRecherche) and shows what a step decides.

#include <array>
#include <cstddef>
#include <string>
#include <string_view>

#include "cards/KorFichierX.h"

// The search state of the main window (no search at first).
struct TEtatRecherche {
  int IndexDepartRecherche = 0;  // the card shown when the search started
  std::string TexteRecherche;    // trimmed
  bool RechercheActive = false;  // next and previous continue the search
  bool RespecterCasse = false;   // upper and lower case are told apart
  bool TousChamps = false;       // every field, else the index field only
  bool RechercheArriere = false; // the direction chosen in the dialog is backwards
};

// The searched text, made ready once for the tests of many texts.
class TMotifRecherche {
 public:
  TMotifRecherche(std::string_view motif, bool respecterCasse);
  // The text contains the searched text: as it stands when case is told apart, else on the
  // capitals of the user's locale ("école" is in "ÉCOLE").
  bool EstDans(std::string_view texte) const;

 private:
  std::string FMotif;  // in capitals when case is not told apart
  // Each byte as it is compared: its capital in the locale, or itself when case is told apart.
  std::array<unsigned char, 256> FMajuscules{};
  // How far the searched text may move when the byte under its last character, as compared,
  // is this one (a scan that skips, so that the capitals cost no more than a plain search).
  std::array<std::size_t, 256> FDecalage{};
};

// The locale's "contains" for one text.
bool Contient(std::string_view texte, std::string_view motif, bool respecterCasse);

// The index field of a file: field 0 when the file has one, else field 1.
const std::string& ChampIndex(const TFichierX& fichier, const TFicheX& fiche);

// The card holds the text: with tousChamps field 1, then field 2, then field 0 when the file
// has one; otherwise the index field alone. The stored fields are tested, not what is typed.
bool FicheContient(const TFichierX& fichier, const TFicheX& fiche, const TMotifRecherche& motif, bool tousChamps);

// How a search step ends.
enum class EFinRecherche {
  Aucune,     // a card other than the start card matched: shown silently, the search goes on
  Terminee,   // "Recherche terminée." (warning): no search was under way, or it came back the other way
  Fin,        // "Fin de recherche." (information): back to the start card, which matched
  NonTrouve,  // "Non trouvé !" under the caption "Échec" (error): back to the start card, no match
};

struct TPasRecherche {
  int Index = -1;  // the card to show; -1 when the shown card stays
  EFinRecherche Fin = EFinRecherche::Aucune;
};

// One step (TFormFiche.ChercheProchaine) from the shown card indexCourant, backwards or
// forwards; it clears etat.RechercheActive when the search is over. The shown card is tested
// last. A file changed under the search never leads past its end: with no card shown or an
// empty file the search ends, and a start card past the end is taken as the last card.
TPasRecherche ChercheProchaine(const TFichierX& fichier, TEtatRecherche& etat, int indexCourant, bool arriere);

// The messages that end a search.
std::string TexteFinRecherche(EFinRecherche fin);
// The caption of "Non trouvé !".
std::string TitreEchecRecherche();
