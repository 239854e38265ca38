// The player's report against the real server, and against loopback peers that refuse, never
// answer the connection, accept and stay silent, close before their lines or reset the
// connection; a name lookup slower than the connect time-out, one at a time for a name however
// many reports wait for it, whichever way its name is spelled; a socket that Qt refuses; and a
// process with no descriptor left for the connection's duplicate.

#include <gtest/gtest.h>

#include <QHostInfo>

#include <dirent.h>
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>

#include <algorithm>
#include <chrono>
#include <atomic>
#include <condition_variable>
#include <functional>
#include <iterator>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "platform/Ansi.h"
#include "player/KorResultats.h"
#include "scoresheet/KorServeur.h"
#include "scoresheet/KorTableResultats.h"
#include "ReseauTest.h"
#include "ServeurAPart.h"

namespace {

using namespace test_reseau;
using Parametres = std::vector<std::string>;

TClientResultats Client(std::uint16_t port) {
  Application();
  TClientResultats c;
  c.Hote = "127.0.0.1";
  c.Port = port;
  c.DelaiConnexion = 300;
  c.DelaiReponse = 300;
  c.NomOrdinateurLocal = "POSTE7";
  return c;
}

// The kind of failure TesteConnexion reports; none when the connection is made.
std::optional<EGenreEchec> EchecDeTesteConnexion(const TClientResultats& c) {
  try {
    TesteConnexion(c);
  } catch (const EErreurResultats& e) {
    return e.Genre;
  }
  return std::nullopt;
}

int EntreesDe(const char* dossier) {
  int n = 0;
  if (DIR* d = ::opendir(dossier)) {
    while (::readdir(d) != nullptr) ++n;
    ::closedir(d);
  }
  return n;
}

int DescripteursOuverts() { return EntreesDe("/proc/self/fd"); }
int FilsEnCours() { return EntreesDe("/proc/self/task"); }

struct ServeurReel {
  ServeurReel()
      : Tcp([this](const Parametres& p) { Table.TCPServerCommandSendDataCommand(p); }, TOptionsServeur{.Port = 0}) {
    Application();
    EXPECT_TRUE(Tcp.Ecoute());
  }
  TTableResultats Table;
  TServeurResultats Tcp;
};

// A resolver held until the test lets it go, which counts its calls: all of them, those running
// at once and those ended. Its answer is 127.0.0.1.
struct TResolveurRetenu {
  std::mutex M;
  std::condition_variable Cv;
  bool Libre = false;
  int Appels = 0;
  int EnCours = 0;
  int MaxEnCours = 0;
  int Finis = 0;

  void Libere() {
    std::lock_guard<std::mutex> l(M);
    Libre = true;
    Cv.notify_all();
  }
};

std::function<QHostInfo(const QString&)> Resolveur(std::shared_ptr<TResolveurRetenu> r) {
  return [r](const QString& nom) {
    std::unique_lock<std::mutex> l(r->M);
    ++r->Appels;
    r->MaxEnCours = std::max(r->MaxEnCours, ++r->EnCours);
    r->Cv.notify_all();
    // Bounded, so that a client that waits for the lookup fails the test rather than hangs it.
    r->Cv.wait_for(l, std::chrono::seconds(10), [&] { return r->Libre; });
    --r->EnCours;
    ++r->Finis;
    r->Cv.notify_all();
    QHostInfo info;
    info.setHostName(nom);
    info.setAddresses({QHostAddress(QHostAddress::LocalHost)});
    return info;
  };
}

TEST(ClientResultats, RapportRecuParLeServeur) {
  ServeurReel s;
  TClientResultats c = Client(s.Tcp.Port());
  c.DelaiReponse = 10000;
  // The folder is dropped, the name goes in 1252; an empty candidate is "anonyme".
  EXPECT_TRUE(EnvoieResultat(c, "", "/home/prof/cours d'été/Géographie.xkqq", 70, 100));
  EXPECT_TRUE(EnvoieResultat(c, "Zoé"_a, "Histoire.kqq", 3, 4));
  EXPECT_EQ(EchangeResultat(c, "Bob", "q.kqq", 1, 2), "200 Well received");
  const TInstantane t = s.Table.Instantane();
  ASSERT_EQ(t.Lignes.size(), 4u);
  EXPECT_EQ(t.Lignes[1], (TLigneResultat{"POSTE7", "anonyme", "Géographie.xkqq"_a, "70", "100"}));
  EXPECT_EQ(t.Lignes[2], (TLigneResultat{"POSTE7", "Zoé"_a, "Histoire.kqq", "3", "4"}));
  // The name of the host as the user types it.
  c.Hote = "localhost";
  EXPECT_TRUE(EnvoieResultat(c, "Eve", "q.kqq", 1, 2));
  EXPECT_NO_THROW(TesteConnexion(c));
  EXPECT_EQ(s.Table.NbLignes(), 5);
}

TEST(ClientResultats, FeuilleDeNotesArreteeSansMessage) {
  TClientResultats c = Client(PortLibre());
  EXPECT_FALSE(EnvoieResultat(c, "Bob", "q.kqq", 1, 2));
  EXPECT_EQ(EchecDeTesteConnexion(c), EGenreEchec::ConnexionRefusee);
}

TEST(ClientResultats, HoteInjoignableDansLeDelai) {
  // A listener whose queue is full: the system drops the next connection's packets unanswered.
  TEcouteBrute plein(0);
  TPair occupe1(plein.Port());
  TClientResultats c = Client(plein.Port());
  EXPECT_FALSE(EnvoieResultat(c, "Bob", "q.kqq", 1, 2));
  EXPECT_EQ(EchecDeTesteConnexion(c), EGenreEchec::DelaiConnexion);
}

TEST(ClientResultats, HoteIntrouvable) {
  TClientResultats c = Client(PortLibre());
  c.Hote = "poste-inconnu";
  c.Resolveur = [](const QString& nom) {
    EXPECT_EQ(nom, QStringLiteral("poste-inconnu"));
    QHostInfo info;
    info.setError(QHostInfo::HostNotFound);
    return info;
  };
  EXPECT_FALSE(EnvoieResultat(c, "Bob", "q.kqq", 1, 2));
  EXPECT_EQ(EchecDeTesteConnexion(c), EGenreEchec::HoteIntrouvable);
}

TEST(ClientResultats, GenreDesErreursDeConnexion) {
  EXPECT_EQ(GenreEchecConnexion(QAbstractSocket::ConnectionRefusedError), EGenreEchec::ConnexionRefusee);
  EXPECT_EQ(GenreEchecConnexion(QAbstractSocket::HostNotFoundError), EGenreEchec::HoteIntrouvable);
  EXPECT_EQ(GenreEchecConnexion(QAbstractSocket::SocketAccessError), EGenreEchec::AccesRefuse);
  EXPECT_EQ(GenreEchecConnexion(QAbstractSocket::SocketTimeoutError), EGenreEchec::DelaiConnexion);
  EXPECT_EQ(GenreEchecConnexion(QAbstractSocket::NetworkError), EGenreEchec::ErreurSocket);
  EXPECT_EQ(GenreEchecConnexion(QAbstractSocket::RemoteHostClosedError), EGenreEchec::ErreurSocket);
  for (EGenreEchec g : {EGenreEchec::ConnexionRefusee, EGenreEchec::HoteIntrouvable, EGenreEchec::AccesRefuse,
                        EGenreEchec::DelaiConnexion, EGenreEchec::ErreurSocket, EGenreEchec::DelaiReponse})
    EXPECT_TRUE(EstEchecSilencieux(g));
  EXPECT_FALSE(EstEchecSilencieux(EGenreEchec::FermetureServeur));
}

// A peer that accepts and never says a word: the wait is bounded, the report dropped, and the
// player's socket closed.
TEST(ClientResultats, ServeurMuetBorneEtFerme) {
  TEcouteBrute muet;
  TClientResultats c = Client(muet.Port());
  EXPECT_FALSE(EnvoieResultat(c, "Bob", "q.kqq", 1, 2));
  TPair cote(muet.Accepte());
  ASSERT_TRUE(cote.Connecte);
  EXPECT_TRUE(cote.FermeParLePair());
  EXPECT_EQ(EchecDeTesteConnexion(c), EGenreEchec::DelaiReponse);
  TPair cote2(muet.Accepte());
  EXPECT_TRUE(cote2.FermeParLePair());

  // Greeting given, reply never: bounded too.
  std::thread serveur([&] {
    TPair p(muet.Accepte());
    p.Envoie("200 Welcome\r\n");
    p.LitLigne();
    EXPECT_TRUE(p.FermeParLePair());
  });
  EXPECT_FALSE(EnvoieResultat(c, "Bob", "q.kqq", 1, 2));
  serveur.join();
}

// The score sheet closing before its greeting or its reply is told to the user.
TEST(ClientResultats, FermetureAvantLesLignes) {
  TEcouteBrute ecoute;
  TClientResultats c = Client(ecoute.Port());
  c.DelaiReponse = 10000;
  for (bool apresBienvenue : {false, true}) {
    std::thread serveur([&] {
      TPair p(ecoute.Accepte());
      if (apresBienvenue) {
        p.Envoie("200 Welcome\r\n");
        p.LitLigne();
      }
      p.Ferme();
    });
    try {
      EnvoieResultat(c, "Bob", "q.kqq", 1, 2);
      ADD_FAILURE() << apresBienvenue;
    } catch (const EErreurResultats& e) {
      EXPECT_EQ(e.Genre, EGenreEchec::FermetureServeur);
      EXPECT_EQ(e.Message(), "La Feuille de Notes a fermé la connexion."_a);
    }
    serveur.join();
  }
}

// A reset is a socket error, dropped without a word; only an orderly close is told. The peer
// ends the connection before its greeting or once it has read the command, with a reset
// (SO_LINGER 0) or in order.
TEST(ClientResultats, ReinitialisationSilencieuseFermetureSignalee) {
  struct Cas {
    const char* Nom;
    bool ApresCommande;
    bool Reinitialise;
  };
  const Cas cas[] = {{"reset avant l'accueil", false, true},
                     {"reset après la commande", true, true},
                     {"fermeture avant l'accueil", false, false},
                     {"fermeture après la commande", true, false}};
  TEcouteBrute ecoute;
  TClientResultats c = Client(ecoute.Port());
  c.DelaiReponse = 10000;
  for (const Cas& k : cas) {
    SCOPED_TRACE(k.Nom);
    for (bool test : {false, true}) {
      std::thread serveur([&] {
        TPair p(ecoute.Accepte());
        if (k.ApresCommande) {
          p.Envoie("200 Welcome\r\n");
          if (!test) {
            EXPECT_TRUE(p.LitLigne().has_value());
          }
        }
        // The test of the preferences sends no command: its peer ends after the greeting.
        if (k.Reinitialise)
          p.Reinitialise();
        else
          p.Ferme();
      });
      std::optional<EErreurResultats> echec;
      try {
        if (test)
          TesteConnexion(c);
        else
          EchangeResultat(c, "Bob", "q.kqq", 1, 2);
      } catch (const EErreurResultats& e) {
        echec = e;
      }
      serveur.join();
      // The test succeeds once the greeting came, whatever follows it.
      if (test && k.ApresCommande) continue;
      ASSERT_TRUE(echec.has_value());
      if (k.Reinitialise) {
        EXPECT_EQ(echec->Genre, EGenreEchec::ErreurSocket) << echec->Message();
        EXPECT_TRUE(EstEchecSilencieux(echec->Genre));
      } else {
        EXPECT_EQ(echec->Genre, EGenreEchec::FermetureServeur) << echec->Message();
        EXPECT_EQ(echec->Message(), "La Feuille de Notes a fermé la connexion."_a);
      }
    }
    // The report as the game makes it: a reset passes unnoticed, a close is shown.
    std::thread serveur([&] {
      TPair p(ecoute.Accepte());
      if (k.ApresCommande) {
        p.Envoie("200 Welcome\r\n");
        p.LitLigne();
      }
      if (k.Reinitialise)
        p.Reinitialise();
      else
        p.Ferme();
    });
    if (k.Reinitialise)
      EXPECT_FALSE(EnvoieResultat(c, "Bob", "q.kqq", 1, 2));
    else
      EXPECT_THROW(EnvoieResultat(c, "Bob", "q.kqq", 1, 2), EErreurResultats);
    serveur.join();
  }
}

// A resolver held until the test lets it go: the connection is given up once DelaiConnexion has
// passed, without waiting for the lookup, and the lookup's late answer is dropped.
TEST(ClientResultats, RechercheDuNomBorneeParLeDelaiDeConnexion) {
  auto verrou = std::make_shared<TResolveurRetenu>();
  ServeurReel s;
  TClientResultats c = Client(s.Tcp.Port());
  c.Hote = "feuille-lente";
  c.Resolveur = Resolveur(verrou);
  EXPECT_FALSE(EnvoieResultat(c, "Bob", "q.kqq", 1, 2));
  EXPECT_EQ(EchecDeTesteConnexion(c), EGenreEchec::DelaiConnexion);
  {
    std::unique_lock<std::mutex> l(verrou->M);
    // One lookup for the report and the test, both on the same name, still held: nothing waited
    // for it.
    EXPECT_EQ(verrou->Appels, 1);
    EXPECT_EQ(verrou->Finis, 0);
    verrou->Libre = true;
    verrou->Cv.notify_all();
    EXPECT_TRUE(verrou->Cv.wait_for(l, std::chrono::seconds(10), [&] { return verrou->Finis == 1; }));
  }
  EXPECT_EQ(s.Table.NbLignes(), 2);
  // A lookup that answers in time: the report goes through.
  EXPECT_TRUE(EnvoieResultat(c, "Bob", "q.kqq", 1, 2));
  EXPECT_EQ(s.Table.Instantane().Lignes[1][1], "Bob");
}

// One lookup of a name at a time: reports that come while it is held wait for that one, each
// within its own DelaiConnexion, and start no other; the thread goes once the lookup is let go,
// and the next report asks again.
TEST(ClientResultats, UneSeuleRechercheEnCoursParNom) {
  auto verrou = std::make_shared<TResolveurRetenu>();
  ServeurReel s;
  TClientResultats c = Client(s.Tcp.Port());
  c.Hote = " feuille-retenue ";
  c.DelaiConnexion = 10000;
  c.DelaiReponse = 10000;
  c.Resolveur = Resolveur(verrou);
  const int filsAvant = FilsEnCours();
  // The first report starts the lookup and waits for it as long as its DelaiConnexion allows.
  bool premier = false;
  std::atomic<bool> premierFini = false;
  std::thread attente([&] {
    premier = EnvoieResultat(c, "Premier", "q.kqq", 1, 2);
    premierFini = true;
  });
  bool demarree = false;
  {
    std::unique_lock<std::mutex> l(verrou->M);
    demarree = verrou->Cv.wait_for(l, std::chrono::seconds(10), [&] { return verrou->Appels == 1; });
  }
  if (!demarree) {
    verrou->Libere();
    attente.join();
    FAIL() << "recherche jamais demandée";
  }
  const int filsRecherche = FilsEnCours();

  // 200 reports from several threads at once, the name typed with or without its spaces, in
  // either case, with or without its final dot: the name that the resolver looks up.
  const char* const variantes[] = {"feuille-retenue", "FEUILLE-RETENUE", "feuille-retenue.", " Feuille-Retenue. "};
  TClientResultats presse = c;
  presse.DelaiConnexion = 20;
  constexpr int NbFils = 8;
  constexpr int NbParFil = 25;
  std::vector<std::thread> fils;
  for (int f = 0; f < NbFils; ++f)
    fils.emplace_back([presse, variante = variantes[f % std::size(variantes)]]() mutable {
      presse.Hote = variante;
      for (int i = 0; i < NbParFil; ++i) {
        const auto debut = std::chrono::steady_clock::now();
        try {
          EchangeResultat(presse, "Bob", "q.kqq", 1, 2);
          ADD_FAILURE() << "rapport passé sans adresse";
        } catch (const EErreurResultats& e) {
          EXPECT_EQ(e.Genre, EGenreEchec::DelaiConnexion);
          EXPECT_EQ(e.Message(), "Temps de connexion dépassé."_a);
        }
        const auto duree = std::chrono::steady_clock::now() - debut;
        EXPECT_GE(duree, std::chrono::milliseconds(presse.DelaiConnexion));
        EXPECT_LT(duree, std::chrono::milliseconds(presse.DelaiConnexion) + std::chrono::seconds(3));
      }
    });
  for (std::thread& f : fils) f.join();
  EXPECT_LE(FilsEnCours(), filsRecherche) << "avant : " << filsAvant << ", recherche en cours : " << filsRecherche;
  // The preferences' test waits for the same lookup.
  for (const char* variante : variantes) {
    presse.Hote = variante;
    EXPECT_EQ(EchecDeTesteConnexion(presse), EGenreEchec::DelaiConnexion) << variante;
  }
  EXPECT_LE(FilsEnCours(), filsRecherche);
  {
    std::lock_guard<std::mutex> l(verrou->M);
    EXPECT_EQ(verrou->Appels, 1);
    EXPECT_EQ(verrou->MaxEnCours, 1);
  }
  EXPECT_FALSE(premierFini);

  // Let go, the lookup answers the report still waiting for it, and its thread ends.
  verrou->Libere();
  attente.join();
  EXPECT_TRUE(premier);
  EXPECT_TRUE(Attend([&] { return FilsEnCours() <= filsAvant; })) << FilsEnCours() << " fils pour " << filsAvant;
  // Nothing kept of the answer: the next report asks again, and goes through.
  EXPECT_TRUE(EnvoieResultat(c, "Suivant", "q.kqq", 1, 2));
  {
    std::lock_guard<std::mutex> l(verrou->M);
    EXPECT_EQ(verrou->Appels, 2);
    EXPECT_EQ(verrou->MaxEnCours, 1);
  }
  const TInstantane t = s.Table.Instantane();
  ASSERT_EQ(t.Lignes.size(), 3u);
  EXPECT_EQ(t.Lignes[1][1], "Premier");
  EXPECT_EQ(t.Lignes[2][1], "Suivant");
  EXPECT_TRUE(Attend([&] { return FilsEnCours() <= filsAvant; }));
}

// Failed reports leave nothing open behind them.
TEST(ClientResultats, AucunDescripteurPerdu) {
  TEcouteBrute muet;
  const std::uint16_t refuse = PortLibre();
  TClientResultats c = Client(muet.Port());
  c.DelaiReponse = 50;
  EnvoieResultat(c, "Bob", "q.kqq", 1, 2);  // Qt's first use opens what it keeps
  const int avant = DescripteursOuverts();
  for (int i = 0; i < 20; ++i) {
    c.Port = muet.Port();
    EXPECT_FALSE(EnvoieResultat(c, "Bob", "q.kqq", 1, 2));
    ::close(muet.Accepte());
    c.Port = refuse;
    EXPECT_FALSE(EnvoieResultat(c, "Bob", "q.kqq", 1, 2));
  }
  EXPECT_EQ(DescripteursOuverts(), avant);
}

// The process's descriptor limit lowered so that the lowest free number is the last one allowed,
// for the object's life: the connection's socket takes it, its duplicate finds none.
struct TSansDescripteurPourLeDouble {
  TSansDescripteurPourLeDouble() {
    const int libre = ::open("/dev/null", O_RDONLY | O_CLOEXEC);
    if (libre < 0 || ::getrlimit(RLIMIT_NOFILE, &Avant) != 0) return;
    ::close(libre);
    rlimit borne = Avant;
    borne.rlim_cur = static_cast<rlim_t>(libre + 1);
    Posee = ::setrlimit(RLIMIT_NOFILE, &borne) == 0;
  }
  ~TSansDescripteurPourLeDouble() {
    if (Posee) ::setrlimit(RLIMIT_NOFILE, &Avant);
  }
  TSansDescripteurPourLeDouble(const TSansDescripteurPourLeDouble&) = delete;
  TSansDescripteurPourLeDouble& operator=(const TSansDescripteurPourLeDouble&) = delete;
  rlimit Avant{};
  bool Posee = false;
};

// Qt may refuse the connected socket, having closed its descriptor first (it does when it cannot
// make it non-blocking) or not (when it cannot read the socket's address). The report is then
// dropped without a word and the connection closed; a file that took the descriptor's number
// meanwhile is another's and stays open, duplicate or not.
TEST(ClientResultats, SocketRefuseeParQt) {
  struct Cas {
    const char* Nom;
    bool FermeAvantRefus;  // the number goes at once to another file
    bool SansDouble;
  };
  const Cas cas[] = {{"fermée puis refusée", true, false},
                     {"refusée ouverte", false, false},
                     {"fermée puis refusée, sans double", true, true}};
  TEcouteBrute ecoute;
  TClientResultats c = Client(ecoute.Port());
  c.DelaiReponse = 50;
  EnvoieResultat(c, "Bob", "q.kqq", 1, 2);  // Qt's first use opens what it keeps
  ::close(ecoute.Accepte());
  for (const Cas& k : cas) {
    SCOPED_TRACE(k.Nom);
    const int autre = ::open("/dev/null", O_RDONLY | O_CLOEXEC);
    ASSERT_GE(autre, 0);
    struct stat attendu {};
    ASSERT_EQ(::fstat(autre, &attendu), 0);
    const int avant = DescripteursOuverts();
    int pose = -1;
    c.PoseDescripteur = [&](QAbstractSocket&, int fd) {
      pose = fd;
      // Closed, and its number taken by another file with no moment between, as another thread
      // of the process may.
      if (k.FermeAvantRefus) {
        EXPECT_EQ(::dup3(autre, fd, O_CLOEXEC), fd);
      }
      return false;
    };
    std::optional<EErreurResultats> echec;
    {
      std::optional<TSansDescripteurPourLeDouble> borne;
      if (k.SansDouble) {
        ASSERT_TRUE(borne.emplace().Posee);
      }
      try {
        EchangeResultat(c, "Bob", "q.kqq", 1, 2);
      } catch (const EErreurResultats& e) {
        echec = e;
      }
    }
    ASSERT_TRUE(echec.has_value());
    EXPECT_EQ(echec->Genre, EGenreEchec::ErreurSocket) << echec->Message();
    ASSERT_GE(pose, 0);
    if (k.FermeAvantRefus) {
      struct stat vu {};
      ASSERT_EQ(::fstat(pose, &vu), 0) << "l'autre fichier a été fermé";
      ASSERT_TRUE(vu.st_dev == attendu.st_dev && vu.st_ino == attendu.st_ino) << "l'autre fichier a été fermé";
      ::close(pose);
    }
    EXPECT_EQ(DescripteursOuverts(), avant);
    TPair cote(ecoute.Accepte());
    ASSERT_TRUE(cote.Connecte);
    EXPECT_TRUE(cote.FermeParLePair());
    ::close(autre);
  }
}

// No descriptor left for the duplicate that tells a reset from a close: the report still goes
// through, to a score sheet whose own descriptors are its own, and nothing is left open.
TEST(ClientResultats, SansDescripteurPourLeDouble) {
  TServeurAPart serveur;
  ASSERT_NE(serveur.Port(), 0);
  TClientResultats c = Client(serveur.Port());
  c.DelaiConnexion = 3000;
  c.DelaiReponse = 3000;
  EXPECT_EQ(EchangeResultat(c, "Bob", "q.kqq", 1, 2), "200 Well received");  // Qt's first use opens what it keeps
  const int avant = DescripteursOuverts();
  std::string reponse;
  {
    TSansDescripteurPourLeDouble borne;
    ASSERT_TRUE(borne.Posee);
    try {
      reponse = EchangeResultat(c, "Eve", "q.kqq", 3, 4);
    } catch (const EErreurResultats& e) {
      reponse = e.Message();
    }
  }
  EXPECT_EQ(reponse, "200 Well received");
  EXPECT_EQ(serveur.NbLignes(), 3);
  EXPECT_EQ(DescripteursOuverts(), avant);
}

}  // namespace
