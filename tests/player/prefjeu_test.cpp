// The rules of the player's preferences dialog: filled from the settings, stored back, OK
// without a change, the font, and the messages of the connection test.

#include <gtest/gtest.h>

#include "platform/Ansi.h"
#include "player/KorPrefJeu.h"

namespace {

TEST(PrefJeu, StockeCeQueMontrentLesControles) {
  TReglages r;
  TPrefJeu p;
  p.Remplit(r);
  EXPECT_EQ(p.Conjonction, "ou");
  p.FormShow();
  p.Conjonction = " et  ";
  p.Ponctuation = "; , .";
  p.MotsIgnores = "le  la";
  p.Hote = "   ";
  p.RapporteInterrompues = true;
  p.MenuFichierEnPartie = true;
  p.Changement();
  ASSERT_EQ(p.FormCloseQuery(EResultatDialogue::OK), EResultatDialogue::OK);
  const std::string police = r.PoliceChamps;
  p.Stocke(r);
  EXPECT_EQ(r.Conjonction, "et");
  EXPECT_EQ(r.Ponctuation, ";,.");
  EXPECT_EQ(r.MotsIgnores, "le  la");
  EXPECT_EQ(r.HoteFeuilleNotes, "");
  EXPECT_TRUE(r.RapporteInterrompues);
  EXPECT_TRUE(r.MenuFichierEnPartie);
  // No font was chosen: the stored one stays.
  EXPECT_EQ(r.PoliceChamps, police);
  // Refilled from the settings at the next showing.
  TPrefJeu q;
  q.Remplit(r);
  EXPECT_EQ(q.Conjonction, "et");
}

TEST(PrefJeu, OKSansChangementEstAnnuler) {
  TPrefJeu p;
  p.Remplit(TReglages());
  p.Changement();  // the filling's own notifications
  p.FormShow();
  EXPECT_EQ(p.FormCloseQuery(EResultatDialogue::OK), EResultatDialogue::Annuler);
  // A font chosen is a change, and is stored.
  p.ChoisitPolice("DejaVu Serif", 14);
  EXPECT_EQ(p.FormCloseQuery(EResultatDialogue::OK), EResultatDialogue::OK);
  TReglages r;
  p.Stocke(r);
  EXPECT_EQ(r.PoliceChamps, "DejaVu Serif");
  EXPECT_EQ(r.TaillePoliceChamps, 14);
  // The next showing forgets it.
  p.FormShow();
  EXPECT_FALSE(p.PoliceModifiee());
}

// A host of spaces tests as none: nothing is tried, the client keeps its host.
TEST(PrefJeu, TestSansHote) {
  TPrefJeu p;
  p.Hote = "  ";
  TClientResultats client;
  client.Hote = "avant";
  const TMessageTest m = p.TestConnexion(client);
  EXPECT_EQ(m.Texte, "Pour utiliser la Feuille de Notes, vous devez indiquer\nle nom de l'ordinateur où elle est exécutée."_a);
  EXPECT_TRUE(m.Avertissement);
  EXPECT_FALSE(m.Etablie);
  EXPECT_EQ(client.Hote, "avant");
}

TEST(PrefJeu, MessagesDuTestParGenre) {
  const std::string h = "POSTE9";
  EXPECT_EQ(MessageEchecTest(EGenreEchec::AccesRefuse, h, "x").Texte,
            "L'accès au réseau est interdit (probablement par le pare-feu)."_a);
  EXPECT_EQ(MessageEchecTest(EGenreEchec::DelaiConnexion, h, "x").Texte, "Temps de connexion dépassé."_a);
  EXPECT_EQ(MessageEchecTest(EGenreEchec::ErreurSocket, h, "texte propre").Texte, std::string("texte propre"));
  EXPECT_TRUE(MessageEchecTest(EGenreEchec::ConnexionRefusee, h, "x").Avertissement);
  EXPECT_FALSE(MessageEchecTest(EGenreEchec::HoteIntrouvable, h, "x").Avertissement);
}

}  // namespace
