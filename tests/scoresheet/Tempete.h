#pragma once
// A connect storm on the score sheet's server, 127.0.0.1 only: threads that open volleys of
// connections and close each (with a reset, or in order) as soon as it is made, at a given rate
// or as fast as the system lets them, while players report with the real client and its own
// time-outs. Measures each report's time,
// the process's resident memory (idle, peak, after) and the connections the server holds. Bounded
// in count and in time; stops by itself.

#include <algorithm>
#include <atomic>
#include <chrono>
#include <functional>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "player/KorResultats.h"
#include "ReseauTest.h"

namespace test_reseau {

struct TOptionsTempete {
  int FilsTempete = 4;              // threads that connect and close
  int Salve = 32;                   // connections each of them opens at once
  int ParSeconde = 0;               // connections per second, all threads together; 0: no limit
  int MaxTempete = 6000;            // connections of the storm, all threads together
  int DureeMaxMs = 20000;           // the storm ends at the latest after this time
  int Joueurs = 300;                // reports, spread over the player threads
  int FilsJoueurs = 30;
  int PauseJoueursMs = 0;           // between two reports of a player thread
  bool Tempete = true;              // false: the same reports without the storm
};

struct TMesuresTempete {
  std::map<std::string, int> Reponses;  // reply (or failure) -> reports
  std::vector<double> DureesMs;         // each report's time, from connect to reply
  long ReposKo = 0, PicKo = 0, ApresKo = 0;
  int PicConnexions = 0;
  int Tempete = 0;                      // storm connections made
  double DureeTempeteMs = 0;

  double DureeMaxMs() const { return DureesMs.empty() ? 0 : *std::max_element(DureesMs.begin(), DureesMs.end()); }
  double DureeMedianeMs() const {
    if (DureesMs.empty()) return 0;
    std::vector<double> v = DureesMs;
    std::nth_element(v.begin(), v.begin() + static_cast<long>(v.size() / 2), v.end());
    return v[v.size() / 2];
  }
};

// connexions: the server's count of connections held; idle: true once the server holds none.
inline TMesuresTempete LanceTempete(std::uint16_t port, const TOptionsTempete& o,
                                    const std::function<int()>& connexions) {
  using Horloge = std::chrono::steady_clock;
  TMesuresTempete m;
  m.ReposKo = MemoireResidenteKo();
  std::atomic<bool> fini{false};
  std::atomic<long> pic{m.ReposKo};
  std::atomic<int> picConnexions{0};
  std::thread releve([&] {
    while (!fini) {
      pic = std::max(pic.load(), MemoireResidenteKo());
      picConnexions = std::max(picConnexions.load(), connexions());
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
  });

  const auto debut = Horloge::now();
  const auto limite = debut + std::chrono::milliseconds(o.DureeMaxMs);
  std::atomic<int> faites{0};   // connections the threads have claimed
  std::atomic<int> ouvertes{0};  // and opened
  std::vector<std::thread> tempete;
  for (int f = 0; o.Tempete && f < o.FilsTempete; ++f) {
    tempete.emplace_back([&, f] {
      // Volleys of connections opened at once and closed as soon as they are made, without
      // waiting for the server: most with a reset, which leaves no port waiting on this side.
      std::vector<int> salve;
      std::vector<pollfd> attente;
      const auto pas = o.ParSeconde > 0 ? std::chrono::microseconds(1000000LL * o.Salve * o.FilsTempete / o.ParSeconde)
                                        : std::chrono::microseconds(0);
      auto prochaine = Horloge::now();
      for (int k = 0;; ++k) {
        std::this_thread::sleep_until(prochaine);
        prochaine += pas;
        const int n = std::min(o.Salve, o.MaxTempete - faites.fetch_add(o.Salve));
        if (n <= 0 || Horloge::now() > limite) break;
        ouvertes += n;
        salve.clear();
        for (int i = 0; i < n; ++i) {
          const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK, 0);
          const sockaddr_in a = Boucle(port);
          ::connect(fd, reinterpret_cast<const sockaddr*>(&a), sizeof a);
          salve.push_back(fd);
        }
        attente.clear();
        for (int fd : salve) attente.push_back({fd, POLLOUT, 0});
        ::poll(attente.data(), attente.size(), 1000);
        for (std::size_t i = 0; i < salve.size(); ++i) {
          if ((i + k + f) % 4 != 0) {
            linger l{1, 0};
            ::setsockopt(salve[i], SOL_SOCKET, SO_LINGER, &l, sizeof l);
          }
          ::close(salve[i]);
        }
      }
    });
  }

  std::mutex verrou;
  std::vector<std::thread> joueurs;
  for (int f = 0; f < o.FilsJoueurs; ++f) {
    joueurs.emplace_back([&, f] {
      for (int i = f; i < o.Joueurs; i += o.FilsJoueurs) {
        TClientResultats client;  // the player's own time-outs
        client.Hote = "127.0.0.1";
        client.Port = port;
        client.NomOrdinateurLocal = "PC" + std::to_string(i);
        const auto t0 = Horloge::now();
        std::string reponse;
        try {
          reponse = EchangeResultat(client, "Candidat " + std::to_string(i), "/cours/quiz.xkqq", i, o.Joueurs);
        } catch (const EErreurResultats& e) {
          reponse = "échec : " + e.Message();
        }
        const double ms = std::chrono::duration<double, std::milli>(Horloge::now() - t0).count();
        {
          std::lock_guard<std::mutex> g(verrou);
          ++m.Reponses[reponse];
          m.DureesMs.push_back(ms);
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(o.PauseJoueursMs));
      }
    });
  }
  for (auto& j : joueurs) j.join();
  for (auto& t : tempete) t.join();
  m.DureeTempeteMs = std::chrono::duration<double, std::milli>(Horloge::now() - debut).count();
  m.Tempete = ouvertes;
  // After the storm: the connections it left are closed, then the memory settles.
  Attend([&] { return connexions() == 0; }, 20000);
  std::this_thread::sleep_for(std::chrono::milliseconds(500));
  fini = true;
  releve.join();
  m.ApresKo = MemoireResidenteKo();
  m.PicKo = std::max(pic.load(), m.ApresKo);
  m.PicConnexions = picConnexions;
  return m;
}

}  // namespace test_reseau
