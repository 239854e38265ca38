// Search and the card list on a questionnaire of 100,000 cards (a title, a short question, an
// answer of two admitted answers, accented letters in each), against a plain scan of the same
// texts: std::string::find of the searched text in every field, and a pass over every byte of
// the index fields.
//
// Targets: one search step through the whole file without a match (as the search does, on the
// capitals of the locale when case is not told apart) within 5x the plain scan; filling the
// card list within 5x the pass over the index fields: the lines set and the lines of one screen
// read as the view draws them, and the list window itself laid out and drawn on its current line
// (offscreen). Reading every line, as a list built one item per card would, is shown for
// comparison.

#include <QApplication>
#include <QTableView>
#include <benchmark/benchmark.h>

#include <memory>
#include <string>
#include <string_view>

#include "cards/KorFichierX.h"
#include "editor/KorListeRegles.h"
#include "editor/KorRecherche.h"
#include "editor/fenetres/KorListe.h"
#include "platform/Ansi.h"
#include "platform/Locale.h"

namespace {

constexpr int NombreFiches = 100000;
constexpr int LignesParEcran = 60;

struct TDonnees {
  TReglages Reglages;
  std::unique_ptr<TFichierX> Fichier;
  std::string Absent = "introuvable"_a;

  TDonnees() {
    FixeLocale("fr_FR");
    Fichier = std::make_unique<TFichierX>('Q', 'x', EVarianteModele::Complet, Reglages);
    for (int i = 0; i < NombreFiches; ++i) {
      const std::string n = std::to_string(i);
      Fichier->AjouteFiche("Thème n° "_a + n, "Question n° "_a + n + " : où est l'école ?"_a,
                           "réponse "_a + n + " ; autre réponse élevée"_a);
    }
  }
};

TDonnees& Donnees() {
  static TDonnees d;
  return d;
}

void Recherche(benchmark::State& etat, bool respecterCasse) {
  TDonnees& d = Donnees();
  for (auto _ : etat) {
    TEtatRecherche e;
    e.TexteRecherche = d.Absent;
    e.TousChamps = true;
    e.RespecterCasse = respecterCasse;
    e.RechercheActive = true;
    e.IndexDepartRecherche = 0;
    const TPasRecherche pas = ChercheProchaine(*d.Fichier, e, 0, false);
    if (pas.Fin != EFinRecherche::NonTrouve) etat.SkipWithError("found");
    benchmark::DoNotOptimize(pas);
  }
  etat.SetItemsProcessed(etat.iterations() * NombreFiches);
}

void BM_RechercheSansCasse(benchmark::State& etat) { Recherche(etat, false); }
void BM_RechercheAvecCasse(benchmark::State& etat) { Recherche(etat, true); }

void BM_ParcoursSimple(benchmark::State& etat) {
  TDonnees& d = Donnees();
  for (auto _ : etat) {
    bool trouve = false;
    for (const auto& f : d.Fichier->FFiches)
      trouve = trouve || f->Champ1.find(d.Absent) != std::string::npos ||
               f->Champ2.find(d.Absent) != std::string::npos || f->Champ0.find(d.Absent) != std::string::npos;
    benchmark::DoNotOptimize(trouve);
  }
  etat.SetItemsProcessed(etat.iterations() * NombreFiches);
}

void BM_RemplissageListe(benchmark::State& etat) {
  TDonnees& d = Donnees();
  TModeleListe modele;
  for (auto _ : etat) {
    modele.FixeFichier(d.Fichier.get());
    for (int ligne = 0; ligne < LignesParEcran; ++ligne)
      benchmark::DoNotOptimize(modele.data(modele.index(ligne, 0)));
    modele.FixeFichier(nullptr);
  }
  etat.SetItemsProcessed(etat.iterations() * NombreFiches);
}

void BM_FenetreListe(benchmark::State& etat) {
  TDonnees& d = Donnees();
  static int argc = 1;
  static char nom[] = "bench_recherche";
  static char* argv[] = {nom, nullptr};
  static QApplication application(argc, argv);
  TListe liste;
  liste.show();
  for (auto _ : etat) {
    liste.Modele.FixeFichier(d.Fichier.get());
    const QModelIndex derniere = liste.Modele.index(NombreFiches - 1, 0);
    liste.LBListe->setCurrentIndex(derniere);
    liste.LBListe->doItemsLayout();
    liste.LBListe->scrollTo(derniere);
    liste.LBListe->viewport()->repaint();
    liste.Modele.FixeFichier(nullptr);
  }
  etat.SetItemsProcessed(etat.iterations() * NombreFiches);
}

void BM_ToutesLesLignes(benchmark::State& etat) {
  TDonnees& d = Donnees();
  TModeleListe modele;
  for (auto _ : etat) {
    modele.FixeFichier(d.Fichier.get());
    for (int ligne = 0; ligne < modele.rowCount(); ++ligne)
      benchmark::DoNotOptimize(modele.data(modele.index(ligne, 0)));
  }
  etat.SetItemsProcessed(etat.iterations() * NombreFiches);
}

void BM_ParcoursIndex(benchmark::State& etat) {
  TDonnees& d = Donnees();
  for (auto _ : etat) {
    std::size_t n = 0;
    for (const auto& f : d.Fichier->FFiches) n += std::string_view(f->Champ0).find('\x01');
    benchmark::DoNotOptimize(n);
  }
  etat.SetItemsProcessed(etat.iterations() * NombreFiches);
}

}  // namespace

BENCHMARK(BM_RechercheSansCasse)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RechercheAvecCasse)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ParcoursSimple)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RemplissageListe)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FenetreListe)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ToutesLesLignes)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ParcoursIndex)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
