// The score sheet's server under a connect storm beside the same reports without it: a few
// hundred players report with the real client over ten seconds while threads connect and close,
// 5000 a second or as fast as the server takes them. Counters: the reports' time (max and median, ms), the process's resident
// memory (idle, peak above idle, after above idle, MB), the most connections held at once, and
// the storm's connections per second. A lost report is an error of the run.

#include <benchmark/benchmark.h>

#include <string>

#include "scoresheet/KorServeur.h"
#include "scoresheet/KorTableResultats.h"
#include "tests/scoresheet/Tempete.h"

namespace {

void Mesure(benchmark::State& state, bool tempete, int parSeconde) {
  test_reseau::Application();
  test_reseau::TOptionsTempete o;
  o.Tempete = tempete;
  o.ParSeconde = parSeconde;
  o.FilsTempete = 4;
  o.MaxTempete = 200000;
  o.DureeMaxMs = 10000;
  o.Joueurs = 300;
  o.FilsJoueurs = 10;
  o.PauseJoueursMs = 300;  // the reports spread over the storm's ten seconds
  test_reseau::TMesuresTempete m;
  long lignes = 0;
  for (auto _ : state) {
    TTableResultats table;
    TServeurResultats tcp([&table](const std::vector<std::string>& p) { table.TCPServerCommandSendDataCommand(p); },
                          TOptionsServeur{.Port = 0});
    if (!tcp.Ecoute()) {
      state.SkipWithError(tcp.Erreur().c_str());
      return;
    }
    m = test_reseau::LanceTempete(tcp.Port(), o, [&tcp] { return tcp.ConnexionsActives(); });
    lignes = table.NbLignes() - 1;
  }
  if (m.Reponses["200 Well received"] != o.Joueurs || lignes != o.Joueurs)
    state.SkipWithError(("des rapports ont été perdus, " + m.Reponses.rbegin()->first).c_str());
  const double mo = 1024.0;
  state.counters["rapport_max_ms"] = m.DureeMaxMs();
  state.counters["rapport_med_ms"] = m.DureeMedianeMs();
  state.counters["repos_Mo"] = static_cast<double>(m.ReposKo) / mo;
  state.counters["pic_Mo"] = static_cast<double>(m.PicKo - m.ReposKo) / mo;
  state.counters["apres_Mo"] = static_cast<double>(m.ApresKo - m.ReposKo) / mo;
  state.counters["connexions_max"] = m.PicConnexions;
  state.counters["tempete"] = m.Tempete;
  state.counters["tempete_par_s"] = m.Tempete * 1000.0 / m.DureeTempeteMs;
}

void BM_RapportsSansTempete(benchmark::State& state) { Mesure(state, false, 0); }
BENCHMARK(BM_RapportsSansTempete)->Iterations(1)->UseRealTime()->Unit(benchmark::kMillisecond);

// Connections per second, 0: as fast as the server takes them.
void BM_RapportsSousTempete(benchmark::State& state) { Mesure(state, true, static_cast<int>(state.range(0))); }
BENCHMARK(BM_RapportsSousTempete)->Arg(5000)->Arg(0)->Iterations(1)->UseRealTime()->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
