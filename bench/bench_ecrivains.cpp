// The Moodle writer beside the XML card writer on the same QCM of 20,000 questions (three
// answers each), and the CSV writer beside a plain concatenation of the same columns with their
// separators and quotes, on 20,000 to 100,000 cards. Each pair is timed in turn in one run
// (mesures::ContreReference: min and median of each, rapport_min and rapport_med).
//
// Targets: the quiz within 10x the card file (the quiz is about 2.25x its bytes: octets_rapport),
// the CSV file within 8x the concatenation.

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "bench/Mesures.h"
#include "cards/KorXml.h"
#include "exchange/KorCsv.h"
#include "exchange/KorMoodle.h"
#include "platform/Ansi.h"

namespace {

void BM_MoodleContreXml(benchmark::State& etat) {
  TReglages r;
  TFichierX qcm('M', 'm', EVarianteModele::Complet, r);
  const std::string separateur = "\r\n===\r\n";
  for (int i = 0; i < 20000; ++i) {
    const std::string n = std::to_string(i);
    qcm.AjouteFiche("Question " + n, "(*multichoice*) Quelle est la réponse n° "_a + n + " ?",
                    "(*) réponse "_a + n + separateur + "autre réponse"_a + separateur + "(*50*) presque");
  }
  const double quiz = static_cast<double>(OctetsFichierMoodle(qcm, r).size());
  const double carte = static_cast<double>(OctetsFichierXML(qcm, r).size());
  mesures::ContreReference(
      etat, [&] { return OctetsFichierMoodle(qcm, r); },
      [&] {
        std::string o = OctetsFichierXML(qcm, r);
        benchmark::DoNotOptimize(o.data());
      });
  etat.counters["cible"] = 10;
  etat.counters["octets_rapport"] = quiz / carte;
}

// A list of n cards: a title and three items, one of them holding the separator (a list has no
// field 1).
struct TListe {
  TReglages Reglages;
  TFichierX Fichier{'L', 's', EVarianteModele::Complet, Reglages};
  std::vector<std::vector<std::string>> Colonnes;  // as the file writes them, quotes included

  explicit TListe(int n) {
    Reglages.SeparateurCSV = ',';
    Fichier.FAvecChamp0 = true;
    Fichier.FFragmenteur = ";";
    for (int i = 0; i < n; ++i) {
      const std::string k = std::to_string(i);
      const std::string c0 = "Fiche " + k, c1 = "Quelle est la réponse n° "_a + k + " ?";
      const std::string a = "première réponse"_a, b = "seconde, avec une virgule", c = "troisième "_a + k;
      Fichier.AjouteFiche(c0, c1, a + ";" + b + ";" + c);
      std::vector<std::string> colonnes;
      if (Fichier.FAvecChamp0) colonnes.push_back(c0);
      if (!Fichier.FSansChamp1) colonnes.push_back(c1);
      for (const std::string& item : {a, "\"" + b + "\"", c}) colonnes.push_back(item);
      Colonnes.push_back(std::move(colonnes));
    }
  }
};

void BM_CsvContreConcatenation(benchmark::State& etat) {
  const TListe liste(static_cast<int>(etat.range(0)));
  TFichierX& f = const_cast<TFichierX&>(liste.Fichier);
  std::size_t taille = 0;
  for (const auto& ligne : liste.Colonnes)
    for (const auto& c : ligne) taille += c.size() + 2;
  // Into room of the right size at once, as the writer reserves its own.
  const auto concatene = [&] {
    std::string o;
    o.reserve(taille);
    for (const auto& ligne : liste.Colonnes) {
      for (std::size_t k = 0; k < ligne.size(); ++k) {
        if (k) o += ',';
        o += ligne[k];
      }
      o += "\r\n";
    }
    return o;
  };
  // The same bytes, or the comparison means nothing.
  if (OctetsFichierCSV(f, 's', liste.Reglages) != concatene()) std::abort();
  mesures::ContreReference(
      etat, [&] { return OctetsFichierCSV(f, 's', liste.Reglages); },
      [&] {
        std::string o = concatene();
        benchmark::DoNotOptimize(o.data());
      });
  etat.counters["cible"] = 8;
}

}  // namespace

BENCHMARK(BM_MoodleContreXml)->Iterations(30)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CsvContreConcatenation)->Arg(20000)->Arg(50000)->Arg(100000)->Iterations(30)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
