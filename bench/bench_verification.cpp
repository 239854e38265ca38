// The answer checker on long answers: an expected answer of about 3,000 characters against one
// of about 300, each timed in turn with the other in one run. Words of 3 to 9 letters, accents
// among them, all different. Typed in any order: the right answer reversed, the right answer
// shuffled, the reversed one compared phonetically or against expected words whose last letter
// is a truncation mark, and a wrong answer (its last expected word missing, the rest reversed).
// Made of ignored words: a typed answer of ignored words only, against a short expected one.
//
// Target: at 3,000 characters within 20x the time at 300 (rapport_min, rapport_med).

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdint>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "bench/Mesures.h"
#include "platform/Ansi.h"
#include "platform/Locale.h"
#include "player/KorVerification.h"

namespace {

enum ECas { Inverse, Melange, InversePhonetique, InverseTronque, Fausse, MotsIgnores };

struct TEssai {
  std::string Attendue;
  std::string Tapee;
  bool Phonetique = false;
  bool Juste = true;
};

// About `longueur` characters of different words.
std::vector<std::string> Mots(std::size_t longueur, std::mt19937& g) {
  static const std::string lettres = "abcdefghijlmnoprstuvéèàç"_a;
  std::vector<std::string> mots;
  std::size_t total = 0;
  for (int k = 0; total < longueur; ++k) {
    std::string m;
    const int n = 3 + static_cast<int>(g() % 7);
    for (int i = 0; i < n; ++i) m += lettres[g() % lettres.size()];
    // A suffix of its own keeps every word apart from the others, phonetically too.
    for (int r = k; r > 0; r /= 20) m += static_cast<char>('b' + r % 20);
    total += m.size() + 1;
    mots.push_back(std::move(m));
  }
  return mots;
}

std::string Joint(const std::vector<std::string>& mots) {
  std::string t;
  for (const auto& m : mots) t += (t.empty() ? "" : " ") + m;
  return t;
}

TEssai Essai(ECas cas, std::size_t longueur) {
  std::mt19937 g(static_cast<unsigned>(longueur));
  TEssai e;
  if (cas == MotsIgnores) {
    e.Attendue = "Paris";
    const std::string ignores = "un une des le la les l de du et ";
    while (e.Tapee.size() < longueur) e.Tapee += ignores;
    e.Juste = false;
    return e;
  }
  std::vector<std::string> mots = Mots(longueur, g);
  std::vector<std::string> tapes = mots;
  // Each expected word cut before its last letter.
  if (cas == InverseTronque)
    for (auto& m : mots) m.back() = '*';
  e.Attendue = Joint(mots);
  if (cas == Melange)
    std::shuffle(tapes.begin(), tapes.end(), g);
  else
    std::reverse(tapes.begin(), tapes.end());
  if (cas == Fausse) {
    tapes.erase(tapes.begin());
    e.Juste = false;
  }
  e.Tapee = Joint(tapes);
  e.Phonetique = cas == InversePhonetique;
  return e;
}

TContexteVerification& Contexte() {
  static TContexteVerification c = [] {
    FixeLocale("fr_FR");
    TReglages r;
    TFichierX quiz('Q', 'x', EVarianteModele::Questionnaire, r);
    return ContexteDuQuestionnaire(quiz, r);
  }();
  return c;
}

bool Verifie(const TEssai& e) {
  return CompareReponse(Contexte(), e.Attendue, e.Tapee, e.Phonetique, false, false);
}

void BM_Verification3000Contre300(benchmark::State& etat) {
  const auto cas = static_cast<ECas>(etat.range(0));
  const TEssai long_ = Essai(cas, 3000), court = Essai(cas, 300);
  if (Verifie(long_) != long_.Juste || Verifie(court) != court.Juste) etat.SkipWithError("unexpected verdict");
  mesures::ContreReference(
      etat,
      [&] {
        benchmark::DoNotOptimize(Verifie(long_));
        return std::unique_ptr<TFichierX>();
      },
      [&] { benchmark::DoNotOptimize(Verifie(court)); });
  etat.counters["caracteres_long"] = static_cast<double>(long_.Tapee.size());
  etat.counters["caracteres_court"] = static_cast<double>(court.Tapee.size());
  etat.counters["cible_rapport"] = 20;
}

}  // namespace

BENCHMARK(BM_Verification3000Contre300)
    ->ArgName("cas")
    ->DenseRange(Inverse, MotsIgnores)
    ->Iterations(40)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
