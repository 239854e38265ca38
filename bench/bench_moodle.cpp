// The Moodle reader on a quiz of 20,000 questions (three answers and a name each), against
// libxml2's tree parse and its SAX2 parse with empty callbacks of the same bytes (after a plain
// read of the file, as the load reads it); and on one question of 100,000 answers, against the
// XML card reader on one card of 100,000 items.
//
// Targets: the quiz's load within 1.5x the SAX2 baseline (BM_MoodleChargementContreSax2 times
// both in turn in one run: rapport_min and rapport_med), its peak memory beyond the loaded card
// file under 3x the file's size (BM_MoodleChargementMemoire: pic_Mo, the peak the load adds;
// modele_Mo, what the card file holds; surplus_fichiers, the difference in sizes of the file);
// the question of 100,000 answers within 3x the card of 100,000 items.

#include <benchmark/benchmark.h>
#include <libxml/parser.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

#include "bench/Mesures.h"
#include "cards/KorXml.h"
#include "exchange/KorMoodle.h"
#include "platform/Ansi.h"

namespace {

constexpr int NombreQuestions = 20000;
constexpr int NombreReponses = 100000;

void Ecrit(const std::string& chemin, const std::string& octets) {
  std::ofstream f(chemin, std::ios::binary);
  f << octets;
}

struct TDonnees {
  TReglages Reglages;
  std::string Dossier;
  std::string Quiz, Reponses, Items;  // the files
  std::string OctetsQuiz, OctetsReponses, OctetsItems;

  TDonnees() {
    char modele[] = "/tmp/orvaline-bench-XXXXXX";
    if (!mkdtemp(modele)) std::abort();
    Dossier = modele;
    Quiz = Dossier + "/quiz.xml";
    Reponses = Dossier + "/reponses.xml";
    Items = Dossier + "/items.xkqq";

    TFichierX qcm('M', 'm', EVarianteModele::Complet, Reglages);
    const std::string separateur = "\r\n===\r\n";
    for (int i = 0; i < NombreQuestions; ++i) {
      const std::string n = std::to_string(i);
      qcm.AjouteFiche("Question " + n, "(*multichoice*) Quelle est la réponse n° "_a + n + " ?",
                      "(*) réponse "_a + n + separateur + "autre réponse"_a + separateur + "(*50*) presque");
    }
    OctetsQuiz = OctetsFichierMoodle(qcm, Reglages);
    Ecrit(Quiz, OctetsQuiz);

    // One short-answer question of many answers, and one card of as many items.
    std::string quiz = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<quiz>\n<question type=\"shortanswer\">\n"
                       "<name><text>Capitales</text></name>\n<questiontext format=\"html\"><text>Une ville ?</text>"
                       "</questiontext>\n";
    TFichierX carte('Q', 'x', EVarianteModele::Complet, Reglages);
    std::string champ2;
    for (int i = 0; i < NombreReponses; ++i) {
      const std::string n = std::to_string(i);
      quiz += "<answer fraction=\"100\" format=\"moodle_auto_format\"><text>réponse " + n + "</text></answer>\n";
      if (i > 0) champ2 += " ; ";
      champ2 += "réponse "_a + n;
    }
    quiz += "</question>\n</quiz>\n";
    OctetsReponses = quiz;
    Ecrit(Reponses, OctetsReponses);
    carte.AjouteFiche("", "Une ville ?", champ2);
    Reglages.XMLUtf8 = true;
    OctetsItems = OctetsFichierXML(carte, Reglages);
    Ecrit(Items, OctetsItems);
  }
  ~TDonnees() { std::filesystem::remove_all(Dossier); }
};

TDonnees& Donnees() {
  static TDonnees d;
  return d;
}

void Octets(benchmark::State& etat, std::size_t n) {
  etat.SetBytesProcessed(static_cast<std::int64_t>(etat.iterations()) * static_cast<std::int64_t>(n));
}

template <class FCharge>
void Charge(benchmark::State& etat, std::size_t taille, int cartes, FCharge&& charge) {
  for (auto _ : etat) {
    auto f = charge();
    if (f->GetNombreFiches() != cartes) std::abort();
    etat.PauseTiming();
    mesures::Libere(f);
    etat.ResumeTiming();
  }
  Octets(etat, taille);
}

void BM_MoodleChargement(benchmark::State& etat) {
  auto& d = Donnees();
  Charge(etat, d.OctetsQuiz.size(), NombreQuestions, [&] { return LitFichierMoodle(d.Quiz, false, d.Reglages); });
}

void BM_MoodleAnalyseLibxml2(benchmark::State& etat) {
  auto& d = Donnees();
  for (auto _ : etat) {
    xmlDocPtr doc = xmlReadFile(d.Quiz.c_str(), nullptr, OptionsAnalyseXML());
    if (!doc) std::abort();
    xmlFreeDoc(doc);
  }
  Octets(etat, d.OctetsQuiz.size());
}

void BM_MoodleAnalyseSax2(benchmark::State& etat) {
  auto& d = Donnees();
  for (auto _ : etat) mesures::AnalyseSax2Vide(mesures::LitSimple(d.Quiz));
  Octets(etat, d.OctetsQuiz.size());
}

void BM_MoodleChargementContreSax2(benchmark::State& etat) {
  auto& d = Donnees();
  mesures::ContreReference(
      etat, [&] { return LitFichierMoodle(d.Quiz, false, d.Reglages); },
      [&] { mesures::AnalyseSax2Vide(mesures::LitSimple(d.Quiz)); });
}

void BM_MoodleChargementMemoire(benchmark::State& etat) {
  auto& d = Donnees();
  mesures::Memoire(etat, d.OctetsQuiz.size(), [&] { return LitFichierMoodle(d.Quiz, false, d.Reglages); });
}

void BM_MoodleCentMilleReponses(benchmark::State& etat) {
  auto& d = Donnees();
  Charge(etat, d.OctetsReponses.size(), 1, [&] { return LitFichierMoodle(d.Reponses, false, d.Reglages); });
}

void BM_XmlCentMilleItems(benchmark::State& etat) {
  auto& d = Donnees();
  Charge(etat, d.OctetsItems.size(), 1,
         [&] { return LitFichierXML(d.Items, false, true, EVarianteModele::Complet, d.Reglages); });
}

}  // namespace

BENCHMARK(BM_MoodleChargement)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MoodleAnalyseLibxml2)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MoodleAnalyseSax2)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MoodleChargementContreSax2)->Iterations(40)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MoodleChargementMemoire)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MoodleCentMilleReponses)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_XmlCentMilleItems)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
