// The results protocol apart from sockets: the server's line handler and line reader, the
// player's command line and its decision to report.

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "cards/KorInit.h"
#include "platform/Ansi.h"
#include "player/KorResultats.h"
#include "scoresheet/KorProtocole.h"

namespace {

using Parametres = std::vector<std::string>;

struct CasLigne {
  std::string ligne;
  bool commande;         // handled as SENDDATA
  Parametres parametres; // what the handler receives
};

TEST(LigneResultats, CommandeEtParametres) {
  const std::vector<CasLigne> cas = {
      {"SENDDATA\tPC1\tBob\tquiz.xkqq\t7\t10", true, {"PC1", "Bob", "quiz.xkqq", "7", "10"}},
      {"senddata\tPC1\tBob\tquiz.xkqq\t7\t10", true, {"PC1", "Bob", "quiz.xkqq", "7", "10"}},
      {"SendData\ta\tb\tc\t1\t2", true, {"a", "b", "c", "1", "2"}},
      // The word alone: no parameter.
      {"SENDDATA", true, {}},
      {"SENDDATA\t", true, {}},
      // Only the first eight characters count; the ninth is skipped unseen.
      {"SENDDATAX\ta\tb", true, {"a", "b"}},
      {"SENDDATAXYZ", true, {"YZ"}},
      {"SENDDATA\t  PC \t Bob\t", true, {"PC", "Bob"}},
      // An empty field between two TABs is dropped: the next ones move left.
      {"SENDDATA\tPC\t\tquiz.xkqq\t7\t10", true, {"PC", "quiz.xkqq", "7", "10"}},
      // A field of blanks is kept, trimmed to nothing.
      {"SENDDATA\tPC\tBob\t \t7\t10", true, {"PC", "Bob", "", "7", "10"}},
      {"SENDDATA\ta\tb\tc\td\te\tf\tg", true, {"a", "b", "c", "d", "e", "f", "g"}},
      {"SENDDAT", false, {}},
      {"", false, {}},
      {" SENDDATA\ta", false, {}},
      {"HELLO", false, {}},
  };
  for (const CasLigne& c : cas) {
    SCOPED_TRACE(c.ligne);
    EXPECT_EQ(EstCommandeSendData(c.ligne), c.commande);
    bool appele = false;
    Parametres recus;
    const TReponseLigne reponse = TraiteLigne(c.ligne, [&](const Parametres& p) {
      appele = true;
      recus = p;
    });
    EXPECT_EQ(appele, c.commande);
    if (c.commande) {
      EXPECT_EQ(recus, c.parametres);
      EXPECT_EQ(reponse.Reponse, "200 Well received");
      EXPECT_TRUE(reponse.Fermer);
    } else {
      EXPECT_EQ(reponse.Reponse, "400 Unknown Command");
      EXPECT_FALSE(reponse.Fermer);
    }
  }
}

TEST(LigneResultats, EchecDuTraitementDonne500) {
  const TReponseLigne reponse = TraiteLigne("SENDDATA\ta\tb\tc\t1\t2", [](const Parametres&) {
    throw std::runtime_error("panne");
  });
  EXPECT_EQ(reponse.Reponse, "500 Unknown Internal Error");
  EXPECT_TRUE(reponse.Fermer);
}

TEST(LecteurLignes, CoupeAuxFinsDeLigneQuelQueSoitLeDecoupage) {
  const std::string flux = "SENDDATA\ta\r\nHELLO\n\r\nfin sans retour";
  // Every split point of the stream gives the same lines.
  for (std::size_t coupure = 0; coupure <= flux.size(); ++coupure) {
    TLecteurLignes lecteur;
    std::vector<std::string> lignes;
    std::string ligne;
    lecteur.Ajoute(flux.substr(0, coupure));
    while (lecteur.LigneSuivante(ligne)) lignes.push_back(ligne);
    lecteur.Ajoute(flux.substr(coupure));
    while (lecteur.LigneSuivante(ligne)) lignes.push_back(ligne);
    EXPECT_EQ(lignes, (std::vector<std::string>{"SENDDATA\ta", "HELLO", ""})) << coupure;
    EXPECT_FALSE(lecteur.Deborde());
  }
}

TEST(LecteurLignes, UneLigneTropLongueEstTronqueePuisDeborde) {
  // At the cap: accepted whole, with its CR LF.
  {
    TLecteurLignes lecteur(16, 64);
    std::string ligne;
    lecteur.Ajoute(std::string(16, 'x') + "\r");
    EXPECT_FALSE(lecteur.LigneSuivante(ligne));
    lecteur.Ajoute("\n");
    ASSERT_TRUE(lecteur.LigneSuivante(ligne));
    EXPECT_EQ(ligne, std::string(16, 'x'));
    EXPECT_FALSE(lecteur.Tronquee());
  }
  // Past the cap: its beginning, marked, then the next lines as usual, whether the line came at
  // once or in pieces.
  for (const std::size_t morceau : {std::size_t{1}, std::size_t{5}, std::size_t{1000}}) {
    const std::string flux = "abc" + std::string(40, 'x') + "\r\nSENDDATA\n" + std::string(17, 'y') + "\n";
    TLecteurLignes lecteur(16, 64);
    std::vector<std::pair<std::string, bool>> lignes;
    std::string ligne;
    for (std::size_t i = 0; i < flux.size(); i += morceau) {
      lecteur.Ajoute(flux.substr(i, morceau));
      while (lecteur.LigneSuivante(ligne)) lignes.emplace_back(ligne, lecteur.Tronquee());
    }
    EXPECT_FALSE(lecteur.Deborde());
    EXPECT_EQ(lignes, (std::vector<std::pair<std::string, bool>>{
                          {"abc" + std::string(13, 'x'), true}, {"SENDDATA", false}, {std::string(16, 'y'), true}}))
        << morceau;
  }
  // Past the whole bound, with or without its end: nothing more comes out.
  {
    TLecteurLignes lecteur(16, 64);
    std::string ligne;
    lecteur.Ajoute(std::string(65, 'x') + "\nSENDDATA\n");
    EXPECT_FALSE(lecteur.LigneSuivante(ligne));
    EXPECT_TRUE(lecteur.Deborde());
  }
  {
    TLecteurLignes lecteur(16, 64);
    std::string ligne;
    for (int i = 0; i < 100 && !lecteur.Deborde(); ++i) {
      lecteur.Ajoute("xxxx");
      EXPECT_FALSE(lecteur.LigneSuivante(ligne));
    }
    EXPECT_TRUE(lecteur.Deborde());
    lecteur.Ajoute("\nSENDDATA\n");
    EXPECT_FALSE(lecteur.LigneSuivante(ligne));
  }
}

// A line cut at the cap: its parameters are those that arrived whole; five or more are handled,
// fewer close the connection without a reply. Anything else is an unknown command as usual.
TEST(LigneResultats, LigneTronquee) {
  struct Cas {
    std::string ligne;
    std::string reponse;
    bool fermer;
    Parametres recus;
  };
  const std::vector<Cas> cas = {
      {"SENDDATA\tPC\tBob\tq\t1\t2\t3\t4", "200 Well received", true, {"PC", "Bob", "q", "1", "2", "3"}},
      {"SENDDATA\tPC\tBob\tq\t1\t2", "", true, {}},
      {"SENDDATA\tPC\tBob\tq\t1\t", "", true, {}},
      {"SENDDATA\tPC\t\tq\t1\t2\t3", "", true, {}},
      {"SENDDATA\tPCPCPCPCPC", "", true, {}},
      {"SENDDATA", "", true, {}},
      {"BONJOUR\tPC\tBob\tq\t1\t2\t3", "400 Unknown Command", false, {}},
  };
  for (const Cas& c : cas) {
    Parametres recus;
    const TReponseLigne reponse = TraiteLigne(c.ligne, [&](const Parametres& p) { recus = p; }, true);
    EXPECT_EQ(reponse.Reponse, c.reponse) << c.ligne;
    EXPECT_EQ(reponse.Fermer, c.fermer) << c.ligne;
    EXPECT_EQ(recus, c.recus) << c.ligne;
  }
}

TEST(LigneSendData, ChampsQueLeProtocolePeutPorter) {
  EXPECT_EQ(LigneSendData("PC1", "Bob", "quiz.xkqq", 7, 10), "SENDDATA\tPC1\tBob\tquiz.xkqq\t7\t10");
  EXPECT_EQ(LigneSendData("PC1", "", "quiz.xkqq", -3, 10), "SENDDATA\tPC1\tanonyme\tquiz.xkqq\t-3\t10");
  // TAB, CR and LF inside a field would cut it: they become spaces.
  EXPECT_EQ(LigneSendData("PC1", "Bob\tet\r\nAlice", "a\tb\nc.xkqq", 1, 2),
            "SENDDATA\tPC1\tBob et  Alice\ta b c.xkqq\t1\t2");
  // A field the server would trim to nothing would be dropped and shift the others.
  const std::string ligne = LigneSendData("", " \t ", "\r\n", 1, 2);
  const Parametres recus = ParametresSendData(ligne);
  ASSERT_EQ(recus.size(), 5u);
  EXPECT_FALSE(recus[0].empty());
  EXPECT_EQ(recus[1], "anonyme");
  EXPECT_EQ(recus[2], "?");
  // Whatever the texts, the server receives the five fields in their places.
  const Parametres bruts = ParametresSendData(LigneSendData("P\tC", "\tBob\n", "\n\tq.kqq", 70, 100));
  EXPECT_EQ(bruts, (Parametres{"P C", "Bob", "q.kqq", "70", "100"}));
}

TEST(DecisionRapport, DuEtScore) {
  struct Cas {
    int posees, aPoser, bonnes;
    bool sur100, interrompues;
    std::string hote;
    TDecisionRapport attendu;
  };
  const std::vector<Cas> cas = {
      {10, 0, 7, true, false, "serveur", {true, 70, 100}},
      {10, 0, 7, false, false, "serveur", {true, 7, 10}},
      {3, 0, 2, true, false, "serveur", {true, 66, 100}},
      // No host: nothing is sent.
      {10, 0, 7, true, false, "", {false, 0, 0}},
      // Nothing asked yet (the opening screen).
      {0, 5, 0, true, true, "serveur", {false, 0, 0}},
      // Abandoned: only under RapporteInterrompues, and never on 100.
      {4, 6, 3, true, false, "serveur", {false, 0, 0}},
      {4, 6, 3, true, true, "serveur", {true, 3, 4}},
      {1, 9, 0, false, true, "serveur", {true, 0, 1}},
  };
  for (const Cas& c : cas) {
    TReglages r;
    r.NoteSur100 = c.sur100;
    r.RapporteInterrompues = c.interrompues;
    r.HoteFeuilleNotes = c.hote;
    const TDecisionRapport d = DecideRapport(c.posees, c.aPoser, c.bonnes, r);
    SCOPED_TRACE(testing::Message() << c.posees << "/" << c.aPoser << "/" << c.bonnes);
    EXPECT_EQ(d.Du, c.attendu.Du);
    if (d.Du) {
      EXPECT_EQ(d.Score, c.attendu.Score);
      EXPECT_EQ(d.Maximum, c.attendu.Maximum);
    }
  }
}

TEST(NomOrdinateur, JamaisVideNiTropLong) {
  const std::string nom = NomOrdinateur();
  EXPECT_FALSE(nom.empty());
  EXPECT_LE(nom.size(), 15u);
  EXPECT_EQ(nom.find_first_of("\t\r\n"), std::string::npos);
}

}  // namespace
