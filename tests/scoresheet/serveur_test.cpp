// The score sheet's server over loopback, with raw peers: the exchange, and the peers that a
// server on a network must survive (endless lines, silence, floods, resets), then a load.

#include <gtest/gtest.h>

#include <atomic>
#include <csignal>
#include <fcntl.h>
#include <sys/resource.h>
#include <map>
#include <mutex>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "player/KorResultats.h"
#include "scoresheet/KorServeur.h"
#include "scoresheet/KorTableResultats.h"
#include "ReseauTest.h"
#include "ServeurAPart.h"
#include "Tempete.h"

namespace {

using namespace test_reseau;
using Parametres = std::vector<std::string>;

TOptionsServeur OptionsTest() {
  TOptionsServeur o;
  o.Port = 0;  // a free port, chosen by the system
  o.DelaiInactivite = 30000;
  return o;
}

// The server has neither closed this connection nor sent anything on it.
bool ToujoursOuverte(int fd) {
  pollfd attente{fd, POLLIN, 0};
  return ::poll(&attente, 1, 0) == 0;
}

// A server whose handler fills a real table.
struct Serveur {
  explicit Serveur(TOptionsServeur options = OptionsTest())
      : Tcp([this](const Parametres& p) { Table.TCPServerCommandSendDataCommand(p); }, options) {
    Application();
    EXPECT_TRUE(Tcp.Ecoute()) << Tcp.Erreur();
  }
  TTableResultats Table;
  TServeurResultats Tcp;
};

TEST(ServeurResultats, EchangeComplet) {
  Serveur s;
  TPair p(s.Tcp.Port());
  ASSERT_TRUE(p.Connecte);
  EXPECT_EQ(p.LitLigne(), "200 Welcome");
  ASSERT_TRUE(p.Envoie("SENDDATA\tPC1\tBob\tquiz.xkqq\t7\t10\r\n"));
  EXPECT_EQ(p.LitLigne(), "200 Well received");
  EXPECT_TRUE(p.FermeParLePair());
  const TInstantane t = s.Table.Instantane();
  ASSERT_EQ(t.Lignes.size(), 2u);
  EXPECT_EQ(t.Lignes[1], (TLigneResultat{"PC1", "Bob", "quiz.xkqq", "7", "10"}));
}

TEST(ServeurResultats, CommandeInconnueGardeLaConnexion) {
  Serveur s;
  TPair p(s.Tcp.Port());
  EXPECT_EQ(p.LitLigne(), "200 Welcome");
  // Lines may come several at once, and LF alone ends a line too.
  ASSERT_TRUE(p.Envoie("HELLO\r\n\r\nSEND\n"));
  EXPECT_EQ(p.LitLigne(), "400 Unknown Command");
  EXPECT_EQ(p.LitLigne(), "400 Unknown Command");
  EXPECT_EQ(p.LitLigne(), "400 Unknown Command");
  ASSERT_TRUE(p.Envoie("sendDATA\tPC2\tAlice\tq.kqq\t3\t4\n"));
  EXPECT_EQ(p.LitLigne(), "200 Well received");
  EXPECT_TRUE(p.FermeParLePair());
  EXPECT_EQ(s.Table.Instantane().Lignes[1], (TLigneResultat{"PC2", "Alice", "q.kqq", "3", "4"}));
}

TEST(ServeurResultats, CommandeSansCinqParametresReussitSansLigne) {
  Serveur s;
  for (const std::string ligne : {"SENDDATA", "SENDDATA\tPC\t\tq.kqq\t7\t10", "SENDDATAfoo"}) {
    TPair p(s.Tcp.Port());
    EXPECT_EQ(p.LitLigne(), "200 Welcome");
    ASSERT_TRUE(p.Envoie(ligne + "\r\n"));
    EXPECT_EQ(p.LitLigne(), "200 Well received") << ligne;
    EXPECT_TRUE(p.FermeParLePair());
  }
  EXPECT_EQ(s.Table.NbLignes(), 2);
  EXPECT_TRUE(s.Table.ResultatsEnregistres());
}

TEST(ServeurResultats, EchecDuTraitementDonne500) {
  Application();
  TServeurResultats tcp([](const Parametres&) { throw std::runtime_error("panne"); }, OptionsTest());
  ASSERT_TRUE(tcp.Ecoute());
  TPair p(tcp.Port());
  EXPECT_EQ(p.LitLigne(), "200 Welcome");
  ASSERT_TRUE(p.Envoie("SENDDATA\ta\tb\tc\t1\t2\r\n"));
  EXPECT_EQ(p.LitLigne(), "500 Unknown Internal Error");
  EXPECT_TRUE(p.FermeParLePair());
}

TEST(ServeurResultats, PortOccupe) {
  Serveur s;
  TOptionsServeur o = OptionsTest();
  o.Port = s.Tcp.Port();
  TServeurResultats second(nullptr, o);
  EXPECT_FALSE(second.Ecoute());
  EXPECT_FALSE(second.EnEcoute());
  EXPECT_FALSE(second.Erreur().empty());
}

// A line has a cap: a longer one is read to its end and handled on what fits in the cap; only
// a command whose five fields do not fit, or a line without end, closes the connection.
TEST(ServeurResultats, LigneLongue) {
  TOptionsServeur o = OptionsTest();
  o.LongueurMaxLigne = 1024;
  o.LongueurMaxLigneEntiere = 64 * 1024;
  Serveur s(o);
  {
    TPair p(s.Tcp.Port());
    EXPECT_EQ(p.LitLigne(), "200 Welcome");
    p.Envoie(std::string(128 * 1024, 'A'));
    EXPECT_EQ(p.LitLigne(), std::nullopt);
    EXPECT_TRUE(p.FermeParLePair());
  }
  {
    TPair p(s.Tcp.Port());
    EXPECT_EQ(p.LitLigne(), "200 Welcome");
    p.Envoie("SENDDATA\tPC\tBob\t" + std::string(2000, 'q') + "\t1\t2\r\n");
    EXPECT_EQ(p.LitLigne(), std::nullopt);
    EXPECT_TRUE(p.FermeParLePair());
  }
  {
    // Anything else, however long, is an unknown command; the connection goes on.
    TPair p(s.Tcp.Port());
    EXPECT_EQ(p.LitLigne(), "200 Welcome");
    p.Envoie(std::string(20000, 'Z') + "\r\nHELLO\r\n");
    EXPECT_EQ(p.LitLigne(), "400 Unknown Command");
    EXPECT_EQ(p.LitLigne(), "400 Unknown Command");
    p.Envoie("SENDDATA\tPC\tBob\tq\t1\t2\r\n");
    EXPECT_EQ(p.LitLigne(), "200 Well received");
  }
  // A line at the cap is served whole.
  TPair p(s.Tcp.Port());
  EXPECT_EQ(p.LitLigne(), "200 Welcome");
  const std::string debut = "SENDDATA\tPC\tBob\t";
  const std::string fin = "\t1\t2";
  p.Envoie(debut + std::string(1024 - debut.size() - fin.size(), 'q') + fin + "\r\n");
  EXPECT_EQ(p.LitLigne(), "200 Well received");
  EXPECT_EQ(s.Table.NbLignes(), 3);
  EXPECT_EQ(s.Table.Instantane().Lignes[2][2], std::string(1024 - debut.size() - fin.size(), 'q'));
}

// The five fields followed by 10,000 more parameters (some 59 KB) with the usual cap: the
// parameters after the fifth are ignored, as for any line.
TEST(ServeurResultats, ParametresEnTropIgnoresMemeAuDelaDuPlafond) {
  TOptionsServeur o = OptionsTest();
  Serveur s(o);
  std::string ligne = "SENDDATA\tPC7\tAlice\tquiz.xkqq\t8\t10";
  for (int i = 0; i < 10000; ++i) ligne += "\t" + std::to_string(i);
  ligne += "\r\n";
  ASSERT_GT(ligne.size(), o.LongueurMaxLigne);
  TPair p(s.Tcp.Port());
  EXPECT_EQ(p.LitLigne(), "200 Welcome");
  ASSERT_TRUE(p.Envoie(ligne));
  EXPECT_EQ(p.LitLigne(), "200 Well received");
  EXPECT_TRUE(p.FermeParLePair());
  ASSERT_EQ(s.Table.NbLignes(), 2);
  EXPECT_EQ(s.Table.Instantane().Lignes[1], (TLigneResultat{"PC7", "Alice", "quiz.xkqq", "8", "10"}));
}

// A silent peer, or one that sends half a line and stops, is closed after the idle time.
TEST(ServeurResultats, PairSilencieuxFerme) {
  TOptionsServeur o = OptionsTest();
  o.DelaiInactivite = 200;
  Serveur s(o);
  TPair muet(s.Tcp.Port());
  TPair lent(s.Tcp.Port());
  EXPECT_EQ(muet.LitLigne(), "200 Welcome");
  EXPECT_EQ(lent.LitLigne(), "200 Welcome");
  lent.Envoie("SENDDATA\tPC");
  EXPECT_TRUE(muet.FermeParLePair());
  EXPECT_TRUE(lent.FermeParLePair());
  EXPECT_TRUE(Attend([&] { return s.Tcp.ConnexionsActives() == 0; }));
  EXPECT_EQ(s.Table.NbLignes(), 2);
}

// Past the bound, a connection that cannot be a player in its exchange makes room for a
// newcomer: at once one that had a line answered and stayed open; else the one that has gone
// longest without a line, once it has gone long enough, the newcomer waiting in the system's
// queue until then.
TEST(ServeurResultats, BorneDesConnexionsFermeLaPlusInactive) {
  TOptionsServeur o = OptionsTest();
  o.MaxConnexions = 2;
  o.InactiviteAvantPlace = 600;
  Serveur s(o);
  TPair a(s.Tcp.Port());
  EXPECT_EQ(a.LitLigne(), "200 Welcome");
  TPair b(s.Tcp.Port());
  EXPECT_EQ(b.LitLigne(), "200 Welcome");
  b.Envoie("HELLO\r\n");
  EXPECT_EQ(b.LitLigne(), "400 Unknown Command");
  TPair c(s.Tcp.Port());
  EXPECT_EQ(c.LitLigne(), "200 Welcome");
  EXPECT_TRUE(b.FermeParLePair());
  EXPECT_TRUE(ToujoursOuverte(a.Fd()));
  // a and c were only greeted: d waits until a has gone long enough without a line.
  TPair d(s.Tcp.Port());
  ASSERT_TRUE(d.Connecte);
  EXPECT_EQ(d.LitLigne(200), std::nullopt);
  EXPECT_TRUE(ToujoursOuverte(a.Fd()));
  EXPECT_EQ(d.LitLigne(), "200 Welcome");
  EXPECT_TRUE(a.FermeParLePair());
  c.Envoie("SENDDATA\tPCc\tC\tq\t1\t2\r\n");
  EXPECT_EQ(c.LitLigne(), "200 Well received");
  d.Envoie("SENDDATA\tPCd\tD\tq\t1\t2\r\n");
  EXPECT_EQ(d.LitLigne(), "200 Well received");
  EXPECT_EQ(s.Table.NbLignes(), 3);
  EXPECT_TRUE(Attend([&] { return s.Tcp.ConnexionsActives() == 0; }));
}

// A peer that sends lines and never reads the replies: the server stops reading it once a reply
// waits, so what it can push in is bounded and the server's memory hardly moves.
TEST(ServeurResultats, PairQuiNeLitJamaisSesReponses) {
  Serveur s;
  const long avant = MemoireResidenteKo();
  TPair p(s.Tcp.Port());
  ASSERT_EQ(p.LitLigne(), "200 Welcome");
  ::fcntl(p.Fd(), F_SETFL, ::fcntl(p.Fd(), F_GETFL) | O_NONBLOCK);
  std::string lignes;
  while (lignes.size() < 64 * 1024) lignes += "BONJOUR, VOICI UNE LIGNE\r\n";
  constexpr std::size_t Offerts = 512u * 1024 * 1024;
  std::size_t envoyes = 0;
  long pic = avant;
  // Sends until the server no longer takes anything for two seconds (or the offer is spent).
  while (envoyes < Offerts) {
    const ssize_t n = ::send(p.Fd(), lignes.data(), lignes.size(), MSG_NOSIGNAL);
    if (n > 0) {
      envoyes += static_cast<std::size_t>(n);
      continue;
    }
    ASSERT_TRUE(n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) << errno;
    pic = std::max(pic, MemoireResidenteKo());
    pollfd attente{p.Fd(), POLLOUT, 0};
    if (::poll(&attente, 1, 2000) != 1) break;
  }
  pic = std::max(pic, MemoireResidenteKo());
  EXPECT_LT(envoyes, 64u * 1024 * 1024);
  EXPECT_LT(pic - avant, 16 * 1024) << "ko";
  // Others are served meanwhile.
  TPair autre(s.Tcp.Port());
  EXPECT_EQ(autre.LitLigne(), "200 Welcome");
  autre.Envoie("SENDDATA\tPC\tBob\tq\t1\t2\r\n");
  EXPECT_EQ(autre.LitLigne(), "200 Well received");
}

TEST(ServeurResultats, ArretFermeLesConnexions) {
  Serveur s;  // idle time 30 s: only the stop can end these
  std::vector<std::unique_ptr<TPair>> pairs;
  for (int i = 0; i < 5; ++i) {
    pairs.push_back(std::make_unique<TPair>(s.Tcp.Port()));
    EXPECT_EQ(pairs.back()->LitLigne(), "200 Welcome");
  }
  s.Tcp.Arrete();
  for (auto& p : pairs) EXPECT_TRUE(p->FermeParLePair());
  EXPECT_FALSE(s.Tcp.EnEcoute());
  s.Tcp.Arrete();
}

// A write to a peer that has gone returns an error; it never ends the program.
TEST(ServeurResultatsMort, EcritureVersUnPairPartiSansSigpipe) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(
      {
        std::signal(SIGPIPE, SIG_DFL);
        Serveur s;
        // Any write of the process, Qt's included, is safe once the server listens.
        int paire[2];
        ::socketpair(AF_UNIX, SOCK_STREAM, 0, paire);
        ::close(paire[1]);
        for (int k = 0; k < 2; ++k)
          if (::write(paire[0], "x", 1) != -1) ::_exit(3);
        // Peers that leave with a reset while the server writes its replies.
        for (int i = 0; i < 50; ++i) {
          TPair p(s.Tcp.Port());
          p.LitLigne();
          std::string lignes;
          for (int k = 0; k < 200; ++k) lignes += "BONJOUR\r\n";
          p.Envoie(lignes);
          p.Reinitialise();
        }
        TPair p(s.Tcp.Port());
        // Out at once: the server's threads are not to be waited for here.
        ::_exit(p.LitLigne() == "200 Welcome" ? 0 : 2);
      },
      testing::ExitedWithCode(0), "");
}

// The process has run out of descriptors (the rest of the program took them): a newcomer is still
// served, on the descriptor the server keeps spare for this, and no connection is closed for it.
TEST(ServeurResultatsMort, PlusDeDescripteursLibres) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(
      {
        rlimit l{};
        l.rlim_cur = l.rlim_max = 200;
        if (setrlimit(RLIMIT_NOFILE, &l) != 0) ::_exit(2);
        Serveur s;
        std::vector<std::unique_ptr<TPair>> inactifs;
        for (int i = 0; i < 3; ++i) {
          inactifs.push_back(std::make_unique<TPair>(s.Tcp.Port()));
          if (inactifs.back()->LitLigne() != "200 Welcome") ::_exit(3);
        }
        std::vector<int> pris;
        for (int fd; (fd = ::open("/dev/null", O_RDONLY)) >= 0;) pris.push_back(fd);
        if (pris.empty()) ::_exit(4);
        ::close(pris.back());  // room for the newcomer's own socket only
        TPair nouveau(s.Tcp.Port());
        if (!nouveau.Connecte) ::_exit(8);
        if (nouveau.LitLigne() != "200 Welcome") ::_exit(5);
        nouveau.Envoie("SENDDATA\tPC\tBob\tq\t1\t2\r\n");
        if (nouveau.LitLigne() != "200 Well received") ::_exit(6);
        for (auto& p : inactifs)
          if (!ToujoursOuverte(p->Fd())) ::_exit(7);
        ::_exit(0);
      },
      testing::ExitedWithCode(0), "");
}

// Reports through the real client, with the player's own time-outs, from several threads at once:
// reply (or failure) -> reports.
std::map<std::string, int> Rapports(std::uint16_t port, int nbRapports, int nbFils) {
  std::mutex m;
  std::map<std::string, int> reponses;
  std::vector<std::thread> fils;
  for (int f = 0; f < nbFils; ++f) {
    fils.emplace_back([&, f] {
      for (int i = f; i < nbRapports; i += nbFils) {
        TClientResultats client;
        client.Hote = "127.0.0.1";
        client.Port = port;
        client.NomOrdinateurLocal = "PC" + std::to_string(i);
        std::string reponse;
        try {
          reponse = EchangeResultat(client, "Candidat", "/cours/quiz.xkqq", i, nbRapports);
        } catch (const EErreurResultats& e) {
          reponse = "échec : " + e.Message();
        }
        std::lock_guard<std::mutex> g(m);
        ++reponses[reponse];
      }
    });
  }
  for (auto& f : fils) f.join();
  return reponses;
}

std::string Decompte(const std::map<std::string, int>& reponses) {
  std::string texte;
  for (const auto& [reponse, n] : reponses) texte += "\n  " + reponse + " : " + std::to_string(n);
  return texte;
}

// A small descriptor limit makes a small bound on connections (32 for a limit of 64). Players
// beyond it wait in the system's queue: none that was greeted is closed to make room for the
// next, so every report is answered and recorded.
TEST(ServeurResultatsLimites, PetiteLimiteDeDescripteurs) {
  Application();
  constexpr int NbRapports = 2000, NbJoueurs = 50;
  for (int essai = 0; essai < 3; ++essai) {
    TServeurAPart s(64);
    ASSERT_NE(s.Port(), 0);
    const std::map<std::string, int> reponses = Rapports(s.Port(), NbRapports, NbJoueurs);
    EXPECT_EQ(reponses, (std::map<std::string, int>{{"200 Well received", NbRapports}})) << essai << Decompte(reponses);
    EXPECT_EQ(s.NbLignes(), NbRapports + 1);
  }
}

// The server at its last free descriptor: each report takes it and gives it back, and the
// accept that then finds none, with nobody waiting, closes nothing: neither the report just
// greeted nor a connection held beside it.
TEST(ServeurResultatsLimites, DernierDescripteurLibre) {
  Application();
  TServeurAPart s;
  ASSERT_NE(s.Port(), 0);
  std::vector<std::unique_ptr<TPair>> inactifs;
  for (int i = 0; i < 3; ++i) {
    inactifs.push_back(std::make_unique<TPair>(s.Port()));
    ASSERT_EQ(inactifs.back()->LitLigne(), "200 Welcome");
  }
  ASSERT_TRUE(s.UnSeulDescripteurLibre());
  const auto cinqRapports = [&] {
    for (int i = 0; i < 5; ++i) {
      const std::map<std::string, int> reponses = Rapports(s.Port(), 1, 1);
      EXPECT_EQ(reponses, (std::map<std::string, int>{{"200 Well received", 1}})) << i << Decompte(reponses);
    }
  };
  cinqRapports();
  for (auto& p : inactifs) EXPECT_TRUE(ToujoursOuverte(p->Fd())) << "une connexion inactive a été fermée";
  // Alone: the report is then the only connection the server holds.
  inactifs.clear();
  ASSERT_TRUE(Attend([&] { return s.ConnexionsActives() == 0; }));
  ASSERT_TRUE(s.UnSeulDescripteurLibre());
  cinqRapports();
  EXPECT_EQ(s.NbLignes(), 11);
}

// 500 players report at once among garbage, endless lines and half-open connections: every
// report is answered and makes one whole row, and the server goes on answering.
TEST(ServeurResultatsCharge, CinqCentsJoueursEtDesPairsHostiles) {
  constexpr int NbJoueurs = 500;
  TOptionsServeur o = OptionsTest();
  o.DelaiInactivite = 2000;
  o.LongueurMaxLigne = 4096;
  Serveur s(o);
  const std::uint16_t port = s.Tcp.Port();

  std::mutex m;
  std::map<std::string, int> reponses;
  std::atomic<int> hostilesFermes{0};
  std::vector<std::thread> fils;
  for (int i = 0; i < NbJoueurs; ++i) {
    fils.emplace_back([&, i] {
      TClientResultats client;
      client.Hote = "127.0.0.1";
      client.Port = port;
      client.DelaiConnexion = 20000;
      client.DelaiReponse = 30000;
      client.NomOrdinateurLocal = "PC" + std::to_string(i);
      std::string reponse;
      try {
        reponse = EchangeResultat(client, "Candidat " + std::to_string(i), "/cours/quiz" + std::to_string(i) + ".xkqq",
                                  i, NbJoueurs);
      } catch (const EErreurResultats& e) {
        reponse = "échec : " + e.Message();
      }
      std::lock_guard<std::mutex> g(m);
      ++reponses[reponse];
    });
    // Among them, every tenth an hostile peer of one of three kinds.
    if (i % 10 == 0) {
      fils.emplace_back([&, i] {
        TPair p(port);
        if (!p.LitLigne(30000)) return;
        switch (i % 30) {
          case 0:  // garbage, answered one line at a time, then a clean end
            for (int k = 0; k < 5; ++k) p.Envoie("\x01\xff garbage " + std::to_string(k) + "\r\n");
            for (int k = 0; k < 5; ++k)
              if (p.LitLigne() != "400 Unknown Command") return;
            p.Ferme();
            ++hostilesFermes;
            return;
          case 10:  // a line with no end
            p.Envoie(std::string(10000, 'Z'));
            break;
          default:  // half-open: half a command, then silence
            p.Envoie("SENDDATA\tPC");
            break;
        }
        if (p.FermeParLePair(30000)) ++hostilesFermes;
      });
    }
  }
  for (auto& f : fils) f.join();

  EXPECT_EQ(reponses["200 Well received"], NbJoueurs);
  EXPECT_EQ(reponses.size(), 1u);
  EXPECT_EQ(hostilesFermes, NbJoueurs / 10);
  const TInstantane t = s.Table.Instantane();
  ASSERT_EQ(t.Lignes.size(), static_cast<std::size_t>(NbJoueurs + 1));
  std::set<std::string> vus;
  for (std::size_t r = 1; r < t.Lignes.size(); ++r) {
    const TLigneResultat& l = t.Lignes[r];
    const std::string n = l[0].substr(2);
    EXPECT_EQ(l[1], "Candidat " + n);
    EXPECT_EQ(l[2], "quiz" + n + ".xkqq");
    EXPECT_EQ(l[3], n);
    EXPECT_EQ(l[4], std::to_string(NbJoueurs));
    vus.insert(n);
  }
  EXPECT_EQ(vus.size(), static_cast<std::size_t>(NbJoueurs));

  TPair apres(port);
  EXPECT_EQ(apres.LitLigne(), "200 Welcome");
  apres.Envoie("SENDDATA\tPCx\tX\tq\t1\t1\r\n");
  EXPECT_EQ(apres.LitLigne(), "200 Well received");
  EXPECT_TRUE(Attend([&] { return s.Tcp.ConnexionsActives() == 0; }, 30000));
}

// The bound held whole by peers of one kind, none of which the idle time would close for a
// minute: silent ones, ones that keep talking, ones that never read their replies. Players
// reporting with the real client all get in and are answered: the talkers make room at once, the
// silent ones once they have gone too long without a line to be players.
TEST(ServeurResultatsCharge, BornePleineDePairsHostiles) {
  enum EGenre { Muets, Bavards, Sourds };
  for (const EGenre genre : {Muets, Bavards, Sourds}) {
    constexpr int Borne = 24, NbRapports = 100;
    TOptionsServeur o = OptionsTest();
    o.MaxConnexions = Borne;
    o.DelaiInactivite = TOptionsServeur().DelaiInactivite;
    Serveur s(o);
    std::vector<std::unique_ptr<TPair>> pairs;
    for (int i = 0; i < Borne; ++i) {
      pairs.push_back(std::make_unique<TPair>(s.Tcp.Port()));
      ASSERT_EQ(pairs.back()->LitLigne(), "200 Welcome");
      ::fcntl(pairs.back()->Fd(), F_SETFL, ::fcntl(pairs.back()->Fd(), F_GETFL) | O_NONBLOCK);
      if (genre == Sourds) {
        const std::string lignes(64 * 1024, '\n');
        while (::send(pairs.back()->Fd(), lignes.data(), lignes.size(), MSG_NOSIGNAL) > 0) {
        }
      }
    }
    std::atomic<bool> fini{false};
    std::thread bavardage([&] {
      char poubelle[4096];
      while (genre == Bavards && !fini) {
        for (auto& p : pairs) {
          ::send(p->Fd(), "HELLO\r\n", 7, MSG_NOSIGNAL);
          while (::recv(p->Fd(), poubelle, sizeof poubelle, 0) > 0) {
          }
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
      }
    });
    std::map<std::string, int> reponses = Rapports(s.Tcp.Port(), NbRapports, 10);
    fini = true;
    bavardage.join();
    EXPECT_EQ(reponses, (std::map<std::string, int>{{"200 Well received", NbRapports}})) << genre << Decompte(reponses);
    EXPECT_EQ(s.Table.NbLignes(), NbRapports + 1);
  }
}

// Idle and slow peers, all held open, never keep a player out: 300 that send nothing, 300 that
// send one byte every 4 s, 140 that send a line every 20 s, while 500 players report with the
// player's own time-outs. Every report is answered and makes its row, none of the attackers had
// to be closed for it, and the server's memory stays within 64 MB of its idle size.
TEST(ServeurResultatsCharge, JoueursParmiPairsInactifsEtLents) {
  constexpr int NbMuets = 300, NbLents = 300, NbLignes = 140;
  constexpr int NbAttaquants = NbMuets + NbLents + NbLignes;
  constexpr int NbJoueurs = 500, NbFils = 25;
  rlimit limite{};
  getrlimit(RLIMIT_NOFILE, &limite);
  TOptionsServeur o = OptionsTest();
  o.DelaiInactivite = TOptionsServeur().DelaiInactivite;  // the program's own
  Serveur s(o);  // raises the process's descriptor limit as far as it may
  getrlimit(RLIMIT_NOFILE, &limite);
  if (limite.rlim_cur < 2 * (NbAttaquants + NbFils) + 200)
    GTEST_SKIP() << "trop peu de descripteurs permis pour cette charge : " << limite.rlim_cur;
  const std::uint16_t port = s.Tcp.Port();
  const long repos = MemoireResidenteKo();

  std::vector<std::unique_ptr<TPair>> attaquants;
  for (int i = 0; i < NbAttaquants; ++i) {
    attaquants.push_back(std::make_unique<TPair>(port));
    ASSERT_TRUE(attaquants.back()->Connecte);
    ::fcntl(attaquants.back()->Fd(), F_SETFL, ::fcntl(attaquants.back()->Fd(), F_GETFL) | O_NONBLOCK);
  }
  ASSERT_TRUE(Attend([&] { return s.Tcp.ConnexionsActives() >= NbAttaquants; }));

  std::atomic<bool> fini{false};
  std::atomic<long> pic{repos};
  std::thread attaque([&] {
    const std::string lent = "SENDDATA\tPC";
    int pas = 0;
    char poubelle[4096];
    while (!fini) {
      // One byte every 4 s for the slow ones, one line every 20 s for the others.
      if (pas % 40 == 0)
        for (int i = NbMuets; i < NbMuets + NbLents; ++i)
          ::send(attaquants[i]->Fd(), &lent[(pas / 40) % lent.size()], 1, MSG_NOSIGNAL);
      if (pas % 200 == 0)
        for (int i = NbMuets + NbLents; i < NbAttaquants; ++i)
          ::send(attaquants[i]->Fd(), "HELLO\r\n", 7, MSG_NOSIGNAL);
      for (int i = NbMuets + NbLents; i < NbAttaquants; ++i)
        while (::recv(attaquants[i]->Fd(), poubelle, sizeof poubelle, 0) > 0) {
        }
      pic = std::max(pic.load(), MemoireResidenteKo());
      std::this_thread::sleep_for(std::chrono::milliseconds(100));
      ++pas;
    }
  });

  std::map<std::string, int> reponses = Rapports(port, NbJoueurs, NbFils);
  // The attackers are all still there: no player needed one of them closed.
  const int restants = s.Tcp.ConnexionsActives();
  pic = std::max(pic.load(), MemoireResidenteKo());
  fini = true;
  attaque.join();

  EXPECT_EQ(reponses["200 Well received"], NbJoueurs);
  EXPECT_EQ(reponses.size(), 1u) << reponses.rbegin()->first;
  EXPECT_EQ(s.Table.NbLignes(), NbJoueurs + 1);
  EXPECT_GE(restants, NbAttaquants);
  EXPECT_LT(pic - repos, 64 * 1024) << "ko";
}

// A connect storm while players report: volleys of connections opened and closed at once,
// 12,000 a second, none waiting for the server. Every report is answered within 5 s (half
// the player's own time-out) and makes its row, the memory stays within 64 MB of its idle size
// and comes back near it, and no connection of the storm is left open.
TEST(ServeurResultatsCharge, TempeteDeConnexions) {
  constexpr int NbJoueurs = 300;
  TOptionsServeur o = OptionsTest();
  o.DelaiInactivite = TOptionsServeur().DelaiInactivite;  // the program's own
  Serveur s(o);
  TOptionsTempete t;
  t.MaxTempete = 30000;
  t.ParSeconde = 12000;
  t.DureeMaxMs = 15000;
  t.Joueurs = NbJoueurs;
  t.FilsJoueurs = 20;
  t.PauseJoueursMs = 50;  // the reports spread over the storm
  TMesuresTempete m = LanceTempete(s.Tcp.Port(), t, [&] { return s.Tcp.ConnexionsActives(); });
  RecordProperty("rapport_max_ms", static_cast<int>(m.DureeMaxMs()));
  RecordProperty("pic_ko", static_cast<int>(m.PicKo - m.ReposKo));
  RecordProperty("apres_ko", static_cast<int>(m.ApresKo - m.ReposKo));
  RecordProperty("connexions_max", m.PicConnexions);
  RecordProperty("tempete", m.Tempete);

  EXPECT_EQ(m.Reponses["200 Well received"], NbJoueurs);
  EXPECT_EQ(m.Reponses.size(), 1u) << m.Reponses.rbegin()->first;
  EXPECT_LT(m.DureeMaxMs(), 5000);
  EXPECT_GE(m.Tempete, 25000);
  EXPECT_LT(m.PicKo - m.ReposKo, 64 * 1024) << "ko";
  EXPECT_LT(m.ApresKo - m.ReposKo, 8 * 1024) << "ko";
  EXPECT_EQ(s.Tcp.ConnexionsActives(), 0);
  const TInstantane table = s.Table.Instantane();
  ASSERT_EQ(table.Lignes.size(), static_cast<std::size_t>(NbJoueurs + 1));
  std::set<std::string> vus;
  for (std::size_t r = 1; r < table.Lignes.size(); ++r) {
    const TLigneResultat& l = table.Lignes[r];
    EXPECT_EQ(l[1], "Candidat " + l[0].substr(2));
    EXPECT_EQ(l[3], l[0].substr(2));
    vus.insert(l[0]);
  }
  EXPECT_EQ(vus.size(), static_cast<std::size_t>(NbJoueurs));
}

}  // namespace
