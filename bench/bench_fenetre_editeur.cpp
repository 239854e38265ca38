// KorEdit's main window at rest beside an empty main window: each is created, shown and left
// idle in a child process of its own (the two in turn in every iteration), which reports its
// resident memory once at rest and the time from the window's creation to its first show done.
// Counters (medians): editeur_Mo and fenetre_vide_Mo, the resident memory of each process;
// surplus_Mo, what the editor's window costs beyond the empty one; demarrage_ms and
// reference_ms, the start-up of each. Linux only; run with QT_QPA_PLATFORM=offscreen (run.sh).
//
// Target: nothing the editor needs only for a command (the printer) is made at start-up.

#include <benchmark/benchmark.h>
#include <malloc.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QApplication>
#include <QMainWindow>
#include <QTimer>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <memory>
#include <vector>

#include "Mesures.h"
#include "cards/KorInit.h"
#include "editor/fenetres/KorFenetreFiche.h"

namespace {

struct TRepos {
  long Ko = 0;        // resident memory at rest
  double Ms = 0;      // creation to shown
};

// In a child: the application, the window that cree() makes, shown, then half a second of idle
// event loop (the window's start-up timers run out) before the memory is read.
template <class FCree>
TRepos MesureDansUnEnfant(FCree&& cree) {
  int tube[2];
  if (::pipe(tube) != 0) std::abort();
  const pid_t pid = ::fork();
  if (pid == 0) {
    ::close(tube[0]);
    int argc = 1;
    char nom[] = "bench_fenetre_editeur";
    char* argv[] = {nom, nullptr};
    QApplication application(argc, argv);
    const auto t0 = std::chrono::steady_clock::now();
    std::unique_ptr<QWidget> fenetre = cree();
    fenetre->show();
    QCoreApplication::processEvents();
    const auto t1 = std::chrono::steady_clock::now();
    QTimer::singleShot(500, &application, &QCoreApplication::quit);
    QApplication::exec();
    malloc_trim(0);
    const TRepos r{mesures::Ko("VmRSS"), std::chrono::duration<double, std::milli>(t1 - t0).count()};
    if (::write(tube[1], &r, sizeof r) != static_cast<ssize_t>(sizeof r)) ::_exit(1);
    ::_exit(0);
  }
  ::close(tube[1]);
  TRepos r;
  if (::read(tube[0], &r, sizeof r) != static_cast<ssize_t>(sizeof r)) std::abort();
  ::close(tube[0]);
  int statut = 0;
  ::waitpid(pid, &statut, 0);
  if (!WIFEXITED(statut) || WEXITSTATUS(statut) != 0) std::abort();
  return r;
}

double Mediane(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v[v.size() / 2];
}

void FenetreAuRepos(benchmark::State& etat) {
  std::vector<double> editeur, vide, surplus, demarrage, reference;
  for (auto _ : etat) {
    const TRepos e = MesureDansUnEnfant([] {
      static TReglages reglages;  // defaults; nothing is read or written
      return std::make_unique<TFormFiche>(QStringList{}, reglages);
    });
    const TRepos v = MesureDansUnEnfant([] { return std::make_unique<QMainWindow>(); });
    editeur.push_back(static_cast<double>(e.Ko) / 1024.0);
    vide.push_back(static_cast<double>(v.Ko) / 1024.0);
    surplus.push_back(static_cast<double>(e.Ko - v.Ko) / 1024.0);
    demarrage.push_back(e.Ms);
    reference.push_back(v.Ms);
  }
  etat.counters["editeur_Mo"] = Mediane(editeur);
  etat.counters["fenetre_vide_Mo"] = Mediane(vide);
  etat.counters["surplus_Mo"] = Mediane(surplus);
  etat.counters["demarrage_ms"] = Mediane(demarrage);
  etat.counters["reference_ms"] = Mediane(reference);
}
BENCHMARK(FenetreAuRepos)->Unit(benchmark::kMillisecond)->Iterations(9);

}  // namespace

BENCHMARK_MAIN();
