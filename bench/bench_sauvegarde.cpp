// The cost of the score sheet's safe save (a temporary file, flushed to disk, renamed over the
// previous file) beside the in-place write it replaced (the file emptied, then written), for CSV
// and spreadsheet files of growing tables, up to 60,000 rows. Both are timed in turn in one run;
// each writes over a file of the same size, as a user saving again does.

#include <benchmark/benchmark.h>

#include <stdlib.h>

#include <filesystem>
#include <memory>
#include <string>

#include "Mesures.h"
#include "platform/Fichier.h"
#include "scoresheet/KorFichiersResultats.h"

namespace {

TGrilleResultats Table(int lignes) {
  TGrilleResultats t{TitresResultats()};
  for (int i = 0; i < lignes; ++i)
    t.push_back({"POSTE" + std::to_string(i % 40), "Candidat " + std::to_string(i), "Capitales.xkqq",
                 std::to_string(i % 21), "20"});
  return t;
}

struct TDossier {
  TDossier() {
    std::string modele = (std::filesystem::temp_directory_path() / "orvaline-banc-XXXXXX").string();
    if (::mkdtemp(modele.data()) == nullptr) std::abort();
    Chemin = modele;
  }
  ~TDossier() {
    std::error_code e;
    std::filesystem::remove_all(Chemin, e);
  }
  std::string Chemin;
};

// The save as it was: the file opened for creation (emptied), then the bytes written.
void EcritSurPlace(const std::string& nom, const std::string& octets) {
  auto flux = TFlux::Ouvre(nom, EModeOuverture::Creation);
  flux->Ecrit(octets);
}

template <bool Csv>
void Sauvegarde(benchmark::State& etat) {
  const TGrilleResultats table = Table(static_cast<int>(etat.range(0)));
  TDossier dossier;
  const std::string sur = dossier.Chemin + (Csv ? "/sur.csv" : "/sur.xls");
  const std::string place = dossier.Chemin + (Csv ? "/place.csv" : "/place.xls");
  const auto octets = [&] { return Csv ? TexteCsv(table) : OctetsXls(table); };
  EcritSurPlace(sur, octets());
  EcritSurPlace(place, octets());
  mesures::ContreReference(
      etat,
      [&] {
        if (Csv)
          EnregistreCsv(sur, table);
        else
          EnregistreXls(sur, table);
        return std::unique_ptr<TFichierX>();
      },
      [&] { EcritSurPlace(place, octets()); });
  etat.counters["fichier_Ko"] = static_cast<double>(octets().size()) / 1024.0;
}

void BM_SauvegardeCsv(benchmark::State& etat) { Sauvegarde<true>(etat); }
void BM_SauvegardeXls(benchmark::State& etat) { Sauvegarde<false>(etat); }
BENCHMARK(BM_SauvegardeCsv)->Arg(1000)->Arg(10000)->Arg(60000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SauvegardeXls)->Arg(1000)->Arg(10000)->Arg(60000)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
