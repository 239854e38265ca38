#pragma once
// What the benchmarks of the readers share: a plain read of a file, and libxml2's SAX2 parse
// with empty callbacks, the baselines of a streamed reader; a load timed against such a baseline
// in the same run; and the memory one load takes, measured in a child process so that nothing
// the benchmark holds counts: the peak resident memory the load adds, and what the loaded card
// file still holds once the load is over. Linux only (/proc/self/status, clear_refs).

#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <libxml/parser.h>
#include <libxml/parserInternals.h>
#include <malloc.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "cards/KorFichierX.h"
#include "cards/KorXml.h"

namespace mesures {

// The bytes of a file, read plainly.
inline std::string LitSimple(const std::string& chemin) {
  const int fd = ::open(chemin.c_str(), O_RDONLY | O_CLOEXEC);
  std::string s(static_cast<std::size_t>(::lseek(fd, 0, SEEK_END)), '\0');
  ::lseek(fd, 0, SEEK_SET);
  std::size_t lus = 0;
  while (lus < s.size()) {
    const ssize_t r = ::read(fd, s.data() + lus, s.size() - lus);
    if (r <= 0) break;
    lus += static_cast<std::size_t>(r);
  }
  ::close(fd);
  return s;
}

// libxml2's SAX2 parse of the bytes, with the readers' options and callbacks that do nothing.
inline void AnalyseSax2Vide(const std::string& octets) {
  xmlSAXHandler h{};
  h.initialized = XML_SAX2_MAGIC;
  h.startElementNs = [](void*, const xmlChar*, const xmlChar*, const xmlChar*, int, const xmlChar**, int, int,
                        const xmlChar**) {};
  h.endElementNs = [](void*, const xmlChar*, const xmlChar*, const xmlChar*) {};
  h.characters = [](void*, const xmlChar*, int) {};
  h.cdataBlock = [](void*, const xmlChar*, int) {};
  xmlParserCtxtPtr c = xmlCreateMemoryParserCtxt(octets.data(), static_cast<int>(octets.size()));
  if (!c) std::abort();
  *c->sax = h;
  xmlCtxtUseOptions(c, OptionsAnalyseXML());
  xmlParseDocument(c);
  if (!c->wellFormed) std::abort();
  if (c->myDoc) xmlFreeDoc(c->myDoc);
  xmlFreeParserCtxt(c);
}

// Frees a card file out of the timing. The allocator sorts the freed blocks at its next request
// of a larger block; make that request here, so that the next load does not pay for this one's
// frees.
inline void Libere(std::unique_ptr<TFichierX>& f) {
  f.reset();
  void* p = std::malloc(4096);
  benchmark::DoNotOptimize(p);
  std::free(p);
}

// What a writer gives back, freed out of the timing too.
inline void Libere(std::string& octets) { std::string().swap(octets); }

// A load (or a write) against its baseline: each iteration times one load (its frees left out) then one run
// of the baseline, so that both meet the same moments of a shared machine. Counters, in ms: the
// fastest and the median of each (charge_min, reference_min, charge_med, reference_med), and the
// ratios of the load to the baseline (rapport_min, rapport_med).
template <class FCharge, class FReference>
void ContreReference(benchmark::State& etat, FCharge&& charge, FReference&& reference) {
  using Horloge = std::chrono::steady_clock;
  const auto ms = [](Horloge::duration d) { return std::chrono::duration<double, std::milli>(d).count(); };
  std::vector<double> charges, references;
  for (auto _ : etat) {
    const auto t0 = Horloge::now();
    auto f = charge();
    const auto t1 = Horloge::now();
    Libere(f);
    const auto t2 = Horloge::now();
    reference();
    const auto t3 = Horloge::now();
    charges.push_back(ms(t1 - t0));
    references.push_back(ms(t3 - t2));
  }
  const auto mediane = [](std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
  };
  const double cmin = *std::min_element(charges.begin(), charges.end());
  const double rmin = *std::min_element(references.begin(), references.end());
  const double cmed = mediane(charges), rmed = mediane(references);
  etat.counters["charge_min"] = cmin;
  etat.counters["reference_min"] = rmin;
  etat.counters["charge_med"] = cmed;
  etat.counters["reference_med"] = rmed;
  etat.counters["rapport_min"] = cmin / rmin;
  etat.counters["rapport_med"] = cmed / rmed;
}

// A line of /proc/self/status in kB ("VmRSS", "VmHWM").
inline long Ko(const char* nom) {
  std::ifstream f("/proc/self/status");
  std::string ligne;
  const std::size_t n = std::strlen(nom);
  while (std::getline(f, ligne))
    if (ligne.compare(0, n, nom) == 0 && ligne.size() > n && ligne[n] == ':') return std::atol(ligne.c_str() + n + 1);
  return -1;
}

// Runs charge() in a child and sets the counters: pic_Mo, the peak resident memory added by the
// load; modele_Mo, what the card file holds after it; surplus_fichiers, the peak beyond the
// model in sizes of the file (taille octets).
template <class FCharge>
void Memoire(benchmark::State& etat, std::size_t taille, FCharge&& charge) {
  long mesures[2] = {0, 0};
  for (auto _ : etat) {
    int tube[2];
    if (::pipe(tube) != 0) std::abort();
    const pid_t pid = ::fork();
    if (pid == 0) {
      ::close(tube[0]);
      malloc_trim(0);
      {
        std::ofstream raz("/proc/self/clear_refs");
        raz << "5";  // the peak starts again from what is resident now
      }
      const long avant = Ko("VmRSS");
      std::unique_ptr<TFichierX> f = charge();
      malloc_trim(0);
      const long r[2] = {Ko("VmHWM") - avant, Ko("VmRSS") - avant};
      if (::write(tube[1], r, sizeof r) != static_cast<ssize_t>(sizeof r)) ::_exit(1);
      ::_exit(f ? 0 : 1);
    }
    ::close(tube[1]);
    if (::read(tube[0], mesures, sizeof mesures) != static_cast<ssize_t>(sizeof mesures)) std::abort();
    ::close(tube[0]);
    int statut = 0;
    ::waitpid(pid, &statut, 0);
    if (!WIFEXITED(statut) || WEXITSTATUS(statut) != 0) std::abort();
  }
  const double mo = 1024.0;
  etat.counters["fichier_Mo"] = static_cast<double>(taille) / (1024.0 * 1024.0);
  etat.counters["pic_Mo"] = static_cast<double>(mesures[0]) / mo;
  etat.counters["modele_Mo"] = static_cast<double>(mesures[1]) / mo;
  etat.counters["surplus_fichiers"] = static_cast<double>(mesures[0] - mesures[1]) * 1024.0 / static_cast<double>(taille);
}

}  // namespace mesures
