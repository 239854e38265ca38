// The editor on a Répertoire of 100,000 cards whose keys are out of order: opening it (read,
// sorted on opening, first card shown) beside the reader alone and beside a plain byte-order
// std::sort of the same 100,000 keys; and a sorted insertion of a new card into it.
//
// Targets: the sort on opening within 5x the byte-order sort (each card's collation key is
// computed once); a sorted insertion under 1 ms (median).

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "cards/KorXml.h"
#include "editor/KorFiche.h"
#include "platform/Ansi.h"
#include "platform/Locale.h"

namespace {

constexpr int NombreFiches = 100000;

// A window that shows nothing and is never asked anything.
class TVueMuette : public IVueFiche {
 public:
  std::string Textes[3];
  bool Modifies[3] = {};
  void FixeTexte(EChamp c, const std::string& t) override { Textes[static_cast<int>(c)] = t; }
  std::string Texte(EChamp c) const override { return Textes[static_cast<int>(c)]; }
  bool Modifie(EChamp c) const override { return Modifies[static_cast<int>(c)]; }
  void FixeModifie(EChamp c, bool m) override { Modifies[static_cast<int>(c)] = m; }
  void FixeActif(EChamp, bool) override {}
  void FixeLectureSeule(EChamp, bool) override {}
  void FixeEtiquette(EChamp, const std::string&) override {}
  void DonneFocus(ECibleFocus) override {}
  void FixeItem(EItem, const TEtatItem&) override {}
  void FixeTitreFenetre(const std::string&) override {}
  void FixeDisposition(const TDisposition&) override {}
  void FixeContexteAide(int) override {}
  EBouton Message(const std::string&, const std::string&, EGenreMessage, EBoutons) override { std::abort(); }
  bool DialogueOuvrir(const std::vector<TFiltre>&, const std::string&, const std::string&, TChoixOuverture&) override {
    return false;
  }
  bool DialogueSauver(const std::vector<TFiltre>&, const std::string&, const std::string&,
                      TChoixSauvegarde&) override {
    return false;
  }
  bool DialogueNouveau(const std::vector<std::string>&, int&) override { return false; }
  std::string DateHeure() const override { return {}; }
  void FermeFenetre() override {}
};

struct TDonnees {
  TReglages Reglages;
  std::string Dossier;
  std::string Chemin;
  std::vector<std::string> Cles;

  TDonnees() {
    FixeLocale("fr_FR");
    char modele[] = "/tmp/orvaline-bench-XXXXXX";
    if (!mkdtemp(modele)) std::abort();
    Dossier = modele;
    Chemin = Dossier + "/repertoire.xkqr";
    // Names as a directory holds them, in a shuffled order: accents, capitals, equal keys.
    const char* prenoms[] = {"Émile", "émile", "Zoé", "andré", "André", "Œdipe", "Chloé", "chloe", "Ève", "Yann"};
    std::mt19937 tirage(20261210);
    TFichierX f('R', 'x', EVarianteModele::Complet, Reglages);
    for (int i = 0; i < NombreFiches; ++i) {
      const std::string cle = ansi::Utf8VersAnsi(prenoms[tirage() % 10]) + " " + std::to_string(tirage() % 50000);
      Cles.push_back(cle);
      f.AjouteFiche("", cle, "01 02 03 04 " + std::to_string(i));
    }
    EcritFichierXML(f, Chemin, true, Reglages);
  }
  ~TDonnees() { std::filesystem::remove_all(Dossier); }
};

TDonnees& Donnees() {
  static TDonnees d;
  return d;
}

void LecteurSeul(benchmark::State& etat) {
  TDonnees& d = Donnees();
  for (auto _ : etat) {
    auto f = LitFichierXML(d.Chemin, false, true, EVarianteModele::Complet, d.Reglages);
    benchmark::DoNotOptimize(f.get());
  }
}
BENCHMARK(LecteurSeul)->Unit(benchmark::kMillisecond);

void OuvertureTrieeEtPremiereFiche(benchmark::State& etat) {
  TDonnees& d = Donnees();
  TVueMuette vue;
  for (auto _ : etat) {
    TEditeur editeur(vue, d.Reglages);
    if (!editeur.OuvreFichier(d.Chemin, -1, false, true, false)) std::abort();
    benchmark::DoNotOptimize(vue.Textes[1]);
  }
}
BENCHMARK(OuvertureTrieeEtPremiereFiche)->Unit(benchmark::kMillisecond);

// The sort alone: the editor's opening sort, on a copy of the cards read.
void TriALOuverture(benchmark::State& etat) {
  TDonnees& d = Donnees();
  auto lu = LitFichierXML(d.Chemin, false, true, EVarianteModele::Complet, d.Reglages);
  lu->FFlux.reset();
  std::unique_ptr<TFichierX> copie;
  for (auto _ : etat) {
    etat.PauseTiming();
    copie = std::make_unique<TFichierX>('R', 'x', EVarianteModele::Complet, d.Reglages);
    for (const auto& fiche : lu->FFiches) copie->FFiches.push_back(std::make_unique<TFicheX>(*fiche));
    etat.ResumeTiming();
    copie->Trie();
    benchmark::DoNotOptimize(copie->FFiches.front().get());
    etat.PauseTiming();
    copie.reset();
    etat.ResumeTiming();
  }
}
BENCHMARK(TriALOuverture)->Unit(benchmark::kMillisecond);

void TriOctets(benchmark::State& etat) {
  TDonnees& d = Donnees();
  for (auto _ : etat) {
    etat.PauseTiming();
    std::vector<std::string> cles = d.Cles;
    etat.ResumeTiming();
    std::sort(cles.begin(), cles.end());
    benchmark::DoNotOptimize(cles.data());
  }
}
BENCHMARK(TriOctets)->Unit(benchmark::kMillisecond);

// A new card typed and validated: stored, then moved to its sorted place.
void InsertionTriee(benchmark::State& etat) {
  TDonnees& d = Donnees();
  TVueMuette vue;
  TEditeur editeur(vue, d.Reglages);
  if (!editeur.OuvreFichier(d.Chemin, -1, false, true, true)) std::abort();
  std::mt19937 tirage(7);
  for (auto _ : etat) {
    editeur.ExecuteItem(EItem::BNouveau);
    vue.Textes[1] = "Martin " + std::to_string(tirage() % 50000);
    vue.Modifies[1] = true;
    vue.Textes[2] = "05 06";
    vue.Modifies[2] = true;
    if (editeur.ValideFiche()) std::abort();
    etat.PauseTiming();
    editeur.SupprimeFiche();
    etat.ResumeTiming();
  }
}
BENCHMARK(InsertionTriee)->Unit(benchmark::kMicrosecond)->Repetitions(5)->ReportAggregatesOnly(true);

}  // namespace

BENCHMARK_MAIN();
