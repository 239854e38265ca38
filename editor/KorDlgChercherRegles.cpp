#include "editor/KorDlgChercherRegles.h"

#include "cards/KorOutils.h"
#include "platform/Ansi.h"

void TLogiqueChercher::PrepareFichier(const TFichierX& fichier, bool champUneLigne, bool notes,
                                      bool chercheArriere) {
  CBChampUnique = champUneLigne && !fichier.FSansChamp1;
  CBChampUniqueActif = !fichier.FSansChamp1;
  CBArriere = chercheArriere && notes;
}

void TLogiqueChercher::PrepareEtiquettes(const TFichierX& fichier) {
  const std::string& etiquette = fichier.FAvecChamp0 ? fichier.FEtiquettes.Champ0 : fichier.FEtiquettes.Champ1;
  LegendeChampUnique = "Chercher seulement dans le champ \""_a + etiquette + "\"";
}

void TLogiqueChercher::Demarre(TEtatRecherche& etat) const {
  etat.RespecterCasse = CBDifferencier;
  etat.TousChamps = !CBChampUnique;
  etat.RechercheArriere = CBArriere;
  etat.TexteRecherche = Rogne(EChercher);
}
