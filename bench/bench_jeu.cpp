// A whole game over a questionnaire of 10,000 and 100,000 cards, drawn at random and answered
// through a view that does nothing but answer, against the answer checker's own work on the
// same answers in the order the game asks them (CompareReponse, ReponseAffichee, and for a
// wrong answer the remarks taken out of the text shown). Three answers of four are right, their
// words in another order and case; the fourth misses a word.
//
// Target: the game within 1.5x the checker's work at 100,000 cards (rapport_min, rapport_med).

#include <benchmark/benchmark.h>

#include <array>
#include <charconv>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "bench/Mesures.h"
#include "cards/KorFichierX.h"
#include "platform/Ansi.h"
#include "platform/Locale.h"
#include "player/KorJeu.h"
#include "player/KorVerification.h"

namespace {

const std::string PrefixeQuestion = "Question n° "_a;

struct TDonnees {
  TReglages Reglages;
  std::unique_ptr<TFichierX> Quiz;
  std::vector<std::string> Tapees;  // the answer typed to card k

  explicit TDonnees(int nombre) {
    FixeLocale("fr_FR");
    Quiz = std::make_unique<TFichierX>('Q', 'x', EVarianteModele::Questionnaire, Reglages);
    Quiz->FSuivreOrdre = false;
    for (int k = 0; k < nombre; ++k) {
      const std::string n = std::to_string(k);
      Quiz->AjouteFicheDeuxChamps(PrefixeQuestion + n + " : où est l'école ?"_a,
                                  "la réponse élevée "_a + n + " (remarque) ; autre "_a + n);
      Tapees.push_back(k % 4 == 3 ? "réponse "_a + n : n + " ÉLEVÉE, réponse"_a);
    }
  }
};

TDonnees& Donnees(int nombre) {
  static TDonnees dix(10000), cent(100000);
  return nombre == 10000 ? dix : cent;
}

// The window reduced to what the game reads back: the texts it set, the answer to the question
// shown, a seeded generator. Notes the cards in the order they are asked.
class TVueMuette : public IVueJeu {
 public:
  explicit TVueMuette(const std::vector<std::string>& tapees) : FTapees(tapees) {}

  std::vector<int>* Ordre = nullptr;

  void FixeTexte(EControle controle, const std::string& texte) override {
    if (controle == EControle::MQuestion && texte.starts_with(PrefixeQuestion)) {
      const char* debut = texte.data() + PrefixeQuestion.size();
      std::from_chars(debut, texte.data() + texte.size(), FCarte);
      if (Ordre) Ordre->push_back(FCarte);
    }
    FTextes[static_cast<std::size_t>(controle)] = texte;
  }
  std::string Texte(EControle controle) const override {
    if (controle == EControle::EReponse) return FTapees[static_cast<std::size_t>(FCarte)];
    return FTextes[static_cast<std::size_t>(controle)];
  }
  void FixeCouleur(EZoneCouleur, TCouleur) override {}
  void FixeJauge(int) override {}
  void FixeLegendeBouton(const std::string&) override {}
  void FixeActionBouton(EActionBouton action) override { Action = action; }
  void DonneFocus(EFocus) override {}
  void MontreMenu(EMenu, bool) override {}
  void Message(EIcone, const std::string&) override {}
  bool SaisieTexte(const std::string&, const std::string&, std::string&) override { return true; }
  bool ToucheEntreeEnfoncee() const override { return false; }
  void DemarreChrono() override {}
  void ArreteChrono() override {}
  TInstant Maintenant() const override { return {}; }
  int Aleatoire(int n) override {
    FGraine = FGraine * 6364136223846793005ULL + 1442695040888963407ULL;
    return static_cast<int>((FGraine >> 33) % static_cast<std::uint64_t>(n));
  }
  void RetourAccueil() override {}
  void RapporteResultat(const TEntreesRapport&) override {}

  EActionBouton Action = EActionBouton::Aucune;

 private:
  const std::vector<std::string>& FTapees;
  std::array<std::string, 8> FTextes;
  int FCarte = 0;
  std::uint64_t FGraine = 20240917;
};

// One game from "Commencer" to its end, every card asked once.
void JoueUnePartie(TDonnees& d, std::vector<int>* ordre) {
  TVueMuette vue(d.Tapees);
  vue.Ordre = ordre;
  TJeu jeu(vue, d.Reglages);
  jeu.OuvreQuestionnaire(*d.Quiz);
  while (jeu.Etat() != EEtatJeu::FinDePartie) jeu.ExecuteAction(vue.Action);
}

void BM_PartieContreVerification(benchmark::State& etat) {
  TDonnees& d = Donnees(static_cast<int>(etat.range(0)));
  std::vector<int> ordre;
  JoueUnePartie(d, &ordre);
  const TContexteVerification c = ContexteDuQuestionnaire(*d.Quiz, d.Reglages);
  const TFichierX& q = *d.Quiz;
  int justes = 0;
  mesures::ContreReference(
      etat,
      [&] {
        JoueUnePartie(d, nullptr);
        return std::unique_ptr<TFichierX>();
      },
      [&] {
        justes = 0;
        for (int k : ordre) {
          const std::string& attendue = q.FFiches[static_cast<std::size_t>(k)]->Champ2;
          const std::string tapee = d.Tapees[static_cast<std::size_t>(k)];
          const bool juste = CompareReponse(c, attendue, tapee, q.FPhonetique, q.FDifferencierCasse, q.FMotAMot);
          const std::string affichee = ReponseAffichee(c, attendue);
          if (!juste) benchmark::DoNotOptimize(RetireCommentaires(c, affichee));
          justes += juste;
        }
      });
  if (justes != static_cast<int>(ordre.size()) - static_cast<int>(ordre.size()) / 4)
    etat.SkipWithError("unexpected verdicts");
  etat.counters["cartes"] = static_cast<double>(ordre.size());
  etat.counters["cible_rapport"] = 1.5;
}

}  // namespace

BENCHMARK(BM_PartieContreVerification)->Arg(10000)->Iterations(30)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PartieContreVerification)->Arg(100000)->Iterations(7)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
