#include "editor/KorRecherche.h"

#include <algorithm>

#include "platform/Ansi.h"
#include "platform/Locale.h"

TMotifRecherche::TMotifRecherche(std::string_view motif, bool respecterCasse)
    : FMotif(respecterCasse ? std::string(motif) : MajusculesLocale(motif)) {
  if (respecterCasse)
    for (int c = 0; c < 256; ++c) FMajuscules[c] = static_cast<unsigned char>(c);
  else
    FMajuscules = TableMajuscules();
  const std::size_t m = FMotif.size();
  FDecalage.fill(m);
  for (std::size_t i = 0; i + 1 < m; ++i) FDecalage[static_cast<unsigned char>(FMotif[i])] = m - 1 - i;
}

bool TMotifRecherche::EstDans(std::string_view texte) const {
  const std::size_t m = FMotif.size();
  if (m == 0) return true;
  const auto* t = reinterpret_cast<const unsigned char*>(texte.data());
  const auto* p = reinterpret_cast<const unsigned char*>(FMotif.data());
  for (std::size_t debut = 0; debut + m <= texte.size();) {
    const unsigned char dernier = FMajuscules[t[debut + m - 1]];
    if (dernier == p[m - 1]) {
      std::size_t i = 0;
      while (i + 1 < m && FMajuscules[t[debut + i]] == p[i]) ++i;
      if (i + 1 == m) return true;
    }
    debut += FDecalage[dernier];
  }
  return false;
}

bool Contient(std::string_view texte, std::string_view motif, bool respecterCasse) {
  return TMotifRecherche(motif, respecterCasse).EstDans(texte);
}

const std::string& ChampIndex(const TFichierX& fichier, const TFicheX& fiche) {
  return fichier.FAvecChamp0 ? fiche.Champ0 : fiche.Champ1;
}

bool FicheContient(const TFichierX& fichier, const TFicheX& fiche, const TMotifRecherche& motif, bool tousChamps) {
  if (!tousChamps) return motif.EstDans(ChampIndex(fichier, fiche));
  return motif.EstDans(fiche.Champ1) || motif.EstDans(fiche.Champ2) ||
         (fichier.FAvecChamp0 && motif.EstDans(fiche.Champ0));
}

TPasRecherche ChercheProchaine(const TFichierX& fichier, TEtatRecherche& etat, int indexCourant, bool arriere) {
  const int n = fichier.GetNombreFiches();
  const bool activeEnEntree = etat.RechercheActive;
  if (n == 0 || indexCourant < 0 || indexCourant >= n) {
    // No card to step from: the file was emptied or changed under the search.
    etat.RechercheActive = false;
    return {-1, EFinRecherche::Terminee};
  }
  // Every step below lands in 0..n-1, so the start card must lie there for the search to end.
  etat.IndexDepartRecherche = std::clamp(etat.IndexDepartRecherche, 0, n - 1);

  const TMotifRecherche motif(etat.TexteRecherche, etat.RespecterCasse);
  bool trouve = false;
  int i = indexCourant;
  while (!trouve && etat.RechercheActive) {
    if (arriere)
      i = (i == 0 ? n : i) - 1;
    else if (++i == n)
      i = 0;
    trouve = FicheContient(fichier, fichier.Fiche(i), motif, etat.TousChamps);
    etat.RechercheActive = i != etat.IndexDepartRecherche;
  }

  TPasRecherche pas;
  if (i != indexCourant) pas.Index = i;
  if (etat.RechercheActive)
    pas.Fin = EFinRecherche::Aucune;
  else if (!activeEnEntree || arriere != etat.RechercheArriere)
    pas.Fin = EFinRecherche::Terminee;
  else
    pas.Fin = trouve ? EFinRecherche::Fin : EFinRecherche::NonTrouve;
  return pas;
}

std::string TexteFinRecherche(EFinRecherche fin) {
  switch (fin) {
    case EFinRecherche::Terminee: return "Recherche terminée."_a;
    case EFinRecherche::Fin: return "Fin de recherche."_a;
    case EFinRecherche::NonTrouve: return "Non trouvé !"_a;
    case EFinRecherche::Aucune: break;
  }
  return {};
}

std::string TitreEchecRecherche() { return "Échec"_a; }
