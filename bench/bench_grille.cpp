// The score sheet's grid following the reports, through the real window (offscreen): bursts of
// reports, each handed to the table's command handler as the server does and waited for until
// the grid shows it, in a window whose table holds 1k, 30k or 300k rows, timed in turn with the same
// bursts in a window holding 1k rows (the baseline). Counters: the fastest and the median burst
// of each, in ms, also per report (_par_rapport); their ratios; the target for the ratio
// (cible). Also the longest another thread waited for a table's lock meanwhile (verrou_max_ms).

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QTableWidget>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "bench/Mesures.h"
#include "scoresheet/fenetres/KorServerMain.h"

namespace {

using Horloge = std::chrono::steady_clock;

constexpr int Rafale = 20;  // reports per burst

std::vector<std::string> Rapport(long n) {
  return {"PC" + std::to_string(n % 100), "Candidat " + std::to_string(n), "quiz" + std::to_string(n % 7) + ".xkqq",
          std::to_string(n % 21), "20"};
}

std::unique_ptr<TFormMain> Fenetre(int lignes) {
  static int argc = 1;
  static char nom[] = "bench_grille";
  static char* argv[] = {nom, nullptr};
  static QApplication application(argc, argv);
  auto f = std::make_unique<TFormMain>(TOptionsServeur{.Port = 0});
  {
    std::lock_guard<std::mutex> garde(f->Table.Verrou);
    for (int i = 0; i < lignes; ++i) f->Table.AjouteResultat(Rapport(i));
  }
  f->show();
  f->RafraichitGrille();
  QApplication::processEvents();
  return f;
}

// One report through the command handler, as from the server, until the grid shows it.
void UnRapport(TFormMain& f, long n) {
  const int attendu = f.GridResults->rowCount() + 1;
  f.Table.TCPServerCommandSendDataCommand(Rapport(n));
  while (f.GridResults->rowCount() < attendu) QApplication::processEvents();
  QApplication::processEvents();  // and its drawing
}

void BM_GrilleParRapport(benchmark::State& state) {
  std::unique_ptr<TFormMain> g = Fenetre(static_cast<int>(state.range(0)));
  std::unique_ptr<TFormMain> p = Fenetre(1000);
  // Meanwhile another thread takes the lock now and then, as a report would: the longest wait.
  std::atomic<bool> fini{false};
  std::atomic<double> attenteMax{0};
  std::thread sonde([&] {
    while (!fini) {
      for (TFormMain* f : {g.get(), p.get()}) {
        const auto t0 = Horloge::now();
        { std::lock_guard<std::mutex> garde(f->Table.Verrou); }
        const double ms = std::chrono::duration<double, std::milli>(Horloge::now() - t0).count();
        attenteMax = std::max(attenteMax.load(), ms);
      }
      std::this_thread::sleep_for(std::chrono::microseconds(200));
    }
  });
  long n = 0;
  const auto rafale = [&n](TFormMain& f) {
    for (int k = 0; k < Rafale; ++k) UnRapport(f, ++n);
    return std::unique_ptr<TFichierX>();
  };
  mesures::ContreReference(state, [&] { return rafale(*g); }, [&] { rafale(*p); });
  fini = true;
  sonde.join();
  for (const char* nom : {"charge_min", "reference_min", "charge_med", "reference_med"})
    state.counters[std::string(nom) + "_par_rapport"] = state.counters[nom] / Rafale;
  state.counters["cible"] = 2;
  state.counters["verrou_max_ms"] = attenteMax.load();
}
BENCHMARK(BM_GrilleParRapport)->Arg(1000)->Arg(30000)->Arg(300000)->Iterations(30)->UseRealTime()->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
