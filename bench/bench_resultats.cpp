// Result reports per second over loopback, from the player's client to the score sheet's server
// and its table: one player after another, then 64 at once. Every report must be answered and
// make its row; the program fails when one is lost.

#include <benchmark/benchmark.h>

#include <QCoreApplication>

#include <atomic>
#include <cstdio>
#include <string>

#include "player/KorResultats.h"
#include "scoresheet/KorServeur.h"
#include "scoresheet/KorTableResultats.h"

namespace {

struct TBanc {
  TBanc()
      : Tcp([this](const std::vector<std::string>& p) { Table.TCPServerCommandSendDataCommand(p); },
            TOptionsServeur{.Port = 0}) {
    if (!Tcp.Ecoute()) std::fprintf(stderr, "écoute impossible : %s\n", Tcp.Erreur().c_str());
  }
  TTableResultats Table;
  TServeurResultats Tcp;
  std::atomic<long long> Recus{0};
  std::atomic<long long> Perdus{0};
};

TBanc& Banc() {
  static TBanc banc;
  return banc;
}

void Rapporte(benchmark::State& state) {
  TBanc& banc = Banc();
  TClientResultats client;
  client.Hote = "127.0.0.1";
  client.Port = banc.Tcp.Port();
  client.NomOrdinateurLocal = "BANC" + std::to_string(state.thread_index());
  long long recus = 0;
  long long perdus = 0;
  int score = 0;
  for (auto _ : state) {
    try {
      if (EchangeResultat(client, "Candidat", "/cours/quiz.xkqq", ++score, 100) == "200 Well received")
        ++recus;
      else
        ++perdus;
    } catch (const EErreurResultats&) {
      ++perdus;
    }
  }
  banc.Recus += recus;
  banc.Perdus += perdus;
  state.SetItemsProcessed(recus);
  state.counters["perdus"] = benchmark::Counter(static_cast<double>(perdus));
}

void BM_RapportsUnParUn(benchmark::State& state) { Rapporte(state); }
BENCHMARK(BM_RapportsUnParUn)->UseRealTime()->Unit(benchmark::kMicrosecond);

void BM_Rapports64EnMemeTemps(benchmark::State& state) { Rapporte(state); }
BENCHMARK(BM_Rapports64EnMemeTemps)->Threads(64)->UseRealTime()->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication application(argc, argv);
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  TBanc& banc = Banc();
  // Every report answered made exactly one row (row 1 was free at start).
  const long long lignes = banc.Table.NbLignes() - 1;
  std::printf("rapports reçus : %lld, lignes : %lld, perdus : %lld\n", banc.Recus.load(),
              lignes, banc.Perdus.load());
  const bool complet = banc.Perdus == 0 && (banc.Recus == 0 ? lignes == 1 : lignes == banc.Recus);
  return complet ? 0 : 1;
}
