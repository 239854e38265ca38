// The editor's remaining commands through a scripted window: printing, the clipboard, the fonts,
// the three preferences, first and last card, swap, cancel and validate, properties, about and
// help; reopening a remembered file and a later start's command line (the names and card
// indexes taken before the open file is closed); the file opened when the window is shown.

#include <gtest/gtest.h>

#include "VueScriptee.h"
#include "editor/KorFicheCommandes.h"
#include "platform/Ansi.h"
#include "platform/Locale.h"

namespace {

using Lignes = std::vector<std::string>;

class Commandes : public DossierTemporaire {
 protected:
  void SetUp() override {
    DossierTemporaire::SetUp();
    FixeLocale("fr_FR");
    Ed.Initialise();
  }
  std::string Fichier(const std::string& nom, char type, const std::vector<std::array<std::string, 3>>& fiches) {
    EcritFichierEssai(Chemin(nom), type, fiches, R);
    return Chemin(nom);
  }
  std::string Questionnaire(const std::string& nom) {
    return Fichier(nom, 'Q', {{"t0", "q0", "r0"}, {"t1", "q1", "r1"}, {"t2", "q2", "r2"}});
  }
  void Ouvre(const std::string& chemin, int index = -1) {
    ASSERT_TRUE(Ed.OuvreFichier(chemin, index, true, true, true));
  }
  std::string Nom() const { return Ed.GetFichierCourant() ? Ed.GetFichierCourant()->FNomFichier : std::string(); }

  TReglages R;
  TVueScriptee V;
  TEditeur Ed{V, R};
};

TEST_F(Commandes, ImpressionDeLaFicheDeSixLignes) {
  Ouvre(Fichier("m.xkqq", 'Q', {{"Mot", "Une question", "Ligne une\r\nLigne deux"}}));
  V.Impressions = {false};
  Ed.ExecuteItem(EItem::Imprimer1);
  EXPECT_TRUE(V.Imprimes.empty()) << "Cancel prints nothing";
  V.Impressions = {true};
  Ed.ExecuteItem(EItem::Imprimer1);
  ASSERT_EQ(V.Imprimes.size(), 1u);
  EXPECT_EQ(V.Imprimes[0], (Lignes{"      Mot", "", "      Une question", "", "      Ligne une", "      Ligne deux"}));
  // The edits as they stand, not validated first: an incomplete card prints without a warning.
  V.Tape(EChamp::MQuestion, "");
  V.Impressions = {true};
  Ed.ExecuteItem(EItem::Imprimer1);
  EXPECT_EQ(V.Imprimes[1], (Lignes{"      Mot", "", "", "      Ligne une", "      Ligne deux"}));
  EXPECT_TRUE(V.Messages.empty());
}

TEST_F(Commandes, ImpressionDuNumeroDeFicheEtErreurDeSortie) {
  // Type L has no field 1: the memo shows the card number, which prints.
  Ouvre(Fichier("l.xkql", 'L', {{"", "", "un"}, {"", "", "deux"}}), 1);
  V.Impressions = {true};
  Ed.ExecuteItem(EItem::Imprimer1);
  ASSERT_EQ(V.Imprimes.size(), 1u);
  EXPECT_EQ(V.Imprimes[0][2], "      2");
  EXPECT_EQ(V.Imprimes[0][4], "      deux");
  V.ErreurImpression = "Erreur d'entrée/sortie"_a;
  V.Impressions = {true};
  V.Reponses = {EBouton::Ok};
  Ed.ExecuteItem(EItem::Imprimer1);
  ASSERT_EQ(V.Messages.size(), 1u);
  EXPECT_EQ(V.Messages[0].Texte, V.ErreurImpression);
  EXPECT_EQ(V.Messages[0].Icone, EGenreMessage::Erreur);
}

TEST_F(Commandes, FicheVersPressePapiers) {
  Ouvre(Questionnaire("q.xkqq"));
  Ed.ExecuteItem(EItem::PressePapiers1);
  EXPECT_EQ(V.PressePapiers, "t0\r\n\r\nq0\r\n\r\nr0");
  // Field 0 emptied: the title part is left out; nothing is validated.
  V.Tape(EChamp::ETitre, "");
  Ed.ExecuteItem(EItem::PressePapiers1);
  EXPECT_EQ(V.PressePapiers, "q0\r\n\r\nr0");
  EXPECT_TRUE(V.Messages.empty());
  V.Reponses = {EBouton::Non};
  Ed.FermeFichier();
  // A type without field 0 and an empty field 1: its CR LF CR LF stays.
  Ouvre(Fichier("r.xkqr", 'R', {{"", "clé", "corps"}}));
  V.Tape(EChamp::MQuestion, "");
  Ed.ExecuteItem(EItem::PressePapiers1);
  EXPECT_EQ(V.PressePapiers, "\r\n\r\ncorps");
}

TEST_F(Commandes, ListeVersPressePapiersDansLOrdreDuFichier) {
  Ouvre(Fichier("n.xkqn", 'N', {{"", "01/12/2026", "a"}, {"", "05/12/2026", "b"}, {"", "09/12/2026", "c"}}));
  ASSERT_EQ(Ed.GetIndexCourant(), 2) << "a Notes file opens on its newest card";
  Ed.ExecuteItem(EItem::ListeVersPressepapiers1);
  EXPECT_EQ(V.PressePapiers, "01/12/2026\r\n05/12/2026\r\n09/12/2026\r\n");
  // A refused card stops it.
  V.PressePapiers.clear();
  V.Tape(EChamp::MReponse, "");
  V.Reponses = {EBouton::Annuler};
  Ed.ExecuteItem(EItem::ListeVersPressepapiers1);
  EXPECT_TRUE(V.PressePapiers.empty());
  EXPECT_EQ(V.Messages.back().Icone, EGenreMessage::Avertissement);
}

TEST_F(Commandes, Polices) {
  R.PoliceChamps = "Courier";
  R.TaillePoliceChamps = 11;
  V.Polices = {std::nullopt};
  Ed.ExecuteItem(EItem::Champs1);
  EXPECT_FALSE(Ed.GetReglagesModifies());
  EXPECT_TRUE(V.PolicesAppliquees.empty());
  EXPECT_EQ(V.PolicesProposees.back().Nom, "Courier");
  EXPECT_EQ(V.PolicesProposees.back().Taille, 11);
  V.Polices = {TVueScriptee::TPolice{"DejaVu Serif", 14}};
  Ed.ExecuteItem(EItem::Champs1);
  EXPECT_TRUE(Ed.GetReglagesModifies());
  EXPECT_EQ(R.PoliceChamps, "DejaVu Serif");
  EXPECT_EQ(R.TaillePoliceChamps, 14);
  EXPECT_EQ(V.PolicesAppliquees, (Lignes{"Champs choisie"}));
  V.Polices = {TVueScriptee::TPolice{"DejaVu Sans", 9}};
  Ed.ExecuteItem(EItem::Liste1);
  EXPECT_EQ(V.PolicesProposees.back().Nom, "MS Reference Sans Serif");
  EXPECT_EQ(R.PoliceListe, "DejaVu Sans");
  EXPECT_EQ(R.TaillePoliceListe, 9);
  EXPECT_EQ(R.PoliceChamps, "DejaVu Serif");
  EXPECT_EQ(V.PolicesAppliquees.back(), "Liste choisie");
}

TEST_F(Commandes, TroisPreferencesEtLeursCoches) {
  struct {
    EItem Item;
    bool TReglages::*Reglage;
  } cas[] = {{EItem::Applicationaudessus1, &TReglages::AvantPlan},
             {EItem::Rouvrir1, &TReglages::OuvrirAuDemarrage},
             {EItem::Instanceunique1, &TReglages::InstanceUnique}};
  for (const auto& c : cas) {
    const bool avant = R.*c.Reglage;
    Ed.ExecuteItem(c.Item);
    EXPECT_EQ(R.*c.Reglage, !avant);
    EXPECT_EQ(V.Item(c.Item).Coche, !avant);
    Ed.ExecuteItem(c.Item);
    EXPECT_EQ(R.*c.Reglage, avant);
    EXPECT_EQ(V.Item(c.Item).Coche, avant);
  }
  EXPECT_TRUE(Ed.GetReglagesModifies());
  // Only "Garder à l'avant-plan" acts on the window now.
  EXPECT_FALSE(V.AvantPlan);
  Ed.ExecuteItem(EItem::Applicationaudessus1);
  EXPECT_TRUE(V.AvantPlan);
}

TEST_F(Commandes, PremiereEtDerniereFiche) {
  Ouvre(Questionnaire("q.xkqq"), 1);
  Ed.ExecuteItem(EItem::Derniere1);
  EXPECT_EQ(Ed.GetIndexCourant(), 2);
  Ed.ExecuteItem(EItem::Premiere1);
  EXPECT_EQ(Ed.GetIndexCourant(), 0);
  // A refused card keeps the command from moving.
  V.Tape(EChamp::MQuestion, " ");
  V.Reponses = {EBouton::Annuler};
  Ed.ExecuteItem(EItem::Derniere1);
  EXPECT_EQ(Ed.GetIndexCourant(), 0);
  EXPECT_EQ(V.Messages.size(), 1u);
}

TEST_F(Commandes, PermuterLesChamps) {
  Ouvre(Questionnaire("q.xkqq"), 1);
  V.Reponses = {EBouton::Annuler};
  Ed.ExecuteItem(EItem::PermuterChamps);
  EXPECT_EQ(V.Messages.back().Texte, "Voulez-vous vraiment permuter les champs Question/Réponse de toutes les fiches ?"_a);
  EXPECT_EQ(V.Messages.back().Boutons, EBoutons::OkAnnuler);
  EXPECT_EQ(Ed.GetFichierCourant()->Fiche(1).Champ1, "q1");
  EXPECT_FALSE(Ed.GetFichierCourant()->FModifie);
  V.Reponses = {EBouton::Ok};
  Ed.ExecuteItem(EItem::PermuterChamps);
  EXPECT_EQ(Ed.GetFichierCourant()->Fiche(0).Champ1, "r0");
  EXPECT_EQ(Ed.GetFichierCourant()->Fiche(1).Champ2, "q1");
  EXPECT_TRUE(Ed.GetFichierCourant()->FModifie);
  EXPECT_EQ(Ed.GetIndexCourant(), 1);
  EXPECT_EQ(V.Textes[1], "r1");
  EXPECT_EQ(V.Textes[2], "q1");
}

TEST_F(Commandes, AnnulerEtValider) {
  Ouvre(Questionnaire("q.xkqq"), 1);
  V.Tape(EChamp::MReponse, "changée");
  Ed.ExecuteItem(EItem::Annuler1);
  EXPECT_EQ(V.Textes[2], "r1");
  EXPECT_FALSE(Ed.FicheModifiee());
  EXPECT_TRUE(V.Messages.empty());
  // A pending new card goes, and the card shown before it comes back.
  Ed.ExecuteItem(EItem::BNouveau);
  ASSERT_EQ(Ed.GetFichierCourant()->GetNombreFiches(), 4);
  V.Tape(EChamp::MQuestion, "à moitié");
  Ed.ExecuteItem(EItem::Annuler1);
  EXPECT_EQ(Ed.GetFichierCourant()->GetNombreFiches(), 3);
  EXPECT_EQ(Ed.GetIndexCourant(), 1);
  EXPECT_TRUE(V.Messages.empty());
  // "Valider la fiche" stores the card, or warns about an incomplete one.
  V.Tape(EChamp::MReponse, "nouvelle");
  Ed.ExecuteItem(EItem::Enregistrerlafiche1);
  EXPECT_EQ(Ed.GetFichierCourant()->Fiche(1).Champ2, "nouvelle");
  EXPECT_TRUE(Ed.GetFichierCourant()->FModifie);
  V.Tape(EChamp::MQuestion, "");
  V.Reponses = {EBouton::Annuler};
  Ed.ExecuteItem(EItem::Enregistrerlafiche1);
  EXPECT_EQ(V.Messages.back().Icone, EGenreMessage::Avertissement);
  EXPECT_EQ(Ed.GetFichierCourant()->Fiche(1).Champ1, "q1");
}

TEST_F(Commandes, ProprietesAProposEtAide) {
  Ouvre(Questionnaire("q.xkqq"));
  V.Reponses = {EBouton::Ok, EBouton::Ok};
  Ed.ExecuteItem(EItem::Proprietes1);
  EXPECT_EQ(V.Messages[0].Texte, "Type : Questionnaire\r\n\r\nFormat : XML\r\n\r\nNombre de fiches : 3");
  EXPECT_EQ(V.Messages[0].Titre, "Propriétés"_a);
  EXPECT_EQ(V.Messages[0].Icone, EGenreMessage::Information);
  Ed.ExecuteItem(EItem::Apropos1);
  EXPECT_EQ(V.Messages[1].Titre, "A propos");
  EXPECT_NE(V.Messages[1].Texte.find("KorEdit"), std::string::npos);
  Ed.ExecuteItem(EItem::Rubriquesdaide1);
  Ed.FermeFichier();
  Ouvre(Fichier("m.xkqm", 'M', {{"a", "b", "c"}}));
  Ed.ExecuteItem(EItem::Rubriquesdaide1);
  Ed.FermeFichier();
  Ouvre(Fichier("r.xkqr", 'R', {{"", "b", "c"}}));
  Ed.ExecuteItem(EItem::Rubriquesdaide1);
  EXPECT_EQ(V.Aides, (std::vector<int>{21, 31, 1}));
}

// Closing A then B and opening C: "Récent" names A, and closing C to reopen it rotates the
// remembered files; A must still open on its own card.
TEST_F(Commandes, RecentApresRotationOuvreLeBonFichierALaBonneFiche) {
  const std::string a = Questionnaire("a.xkqq"), b = Questionnaire("b.xkqq"), c = Questionnaire("c.xkqq");
  Ouvre(a, 1);
  Ed.FermeFichier();
  Ouvre(b, 2);
  Ed.FermeFichier();
  Ouvre(c, 0);
  Ed.MetAJourMenus();
  EXPECT_TRUE(V.Item(EItem::Recent1).Visible);
  EXPECT_TRUE(V.Item(EItem::Recent1).Legende.ends_with("a.xkqq"));
  Ed.ExecuteItem(EItem::Recent1);
  EXPECT_EQ(Nom(), a);
  EXPECT_EQ(Ed.GetIndexCourant(), 1);
  EXPECT_EQ(R.FichierOuvert, c);
  EXPECT_EQ(R.FichierRecent, b);
  EXPECT_EQ(R.NumeroFicheRecent, 2);
  // "Ouvert" (C) from A: A is closed on its card 1, C reopens on its card 0.
  Ed.AfficheFiche(1);
  Ed.ExecuteItem(EItem::Ouvert1);
  EXPECT_EQ(Nom(), c);
  EXPECT_EQ(Ed.GetIndexCourant(), 0);
  EXPECT_EQ(R.FichierOuvert, a);
  EXPECT_EQ(R.NumeroFicheOuvert, 1);
  EXPECT_TRUE(V.Messages.empty());
}

TEST_F(Commandes, LigneDeCommandeDUnDeuxiemeDemarrage) {
  const std::string a = Questionnaire("a.xkqq"), b = Questionnaire("b.xkqq"), c = Questionnaire("c.xkqq");
  Ouvre(a, 1);
  Ed.FermeFichier();
  Ouvre(b, 2);
  Ed.FermeFichier();
  Ouvre(c, 0);
  // The rotation case again, from a second start naming `recent`.
  Ed.LigneCommandeRecue({a});
  EXPECT_EQ(Nom(), a);
  EXPECT_EQ(Ed.GetIndexCourant(), 1);
  // The same file: nothing at all, even with edits under way.
  V.Tape(EChamp::MReponse, "en cours");
  const TReglages avant = R;
  Ed.LigneCommandeRecue({a});
  EXPECT_EQ(Nom(), a);
  EXPECT_EQ(V.Textes[2], "en cours");
  EXPECT_TRUE(V.Messages.empty());
  EXPECT_EQ(R.FichierOuvert, avant.FichierOuvert);
  EXPECT_EQ(R.FichierRecent, avant.FichierRecent);
  Ed.LigneCommandeRecue({});
  EXPECT_EQ(Nom(), a);
  // Another file while the open one is modified: the save question; Cancel keeps it.
  ASSERT_FALSE(Ed.ValideFiche());
  ASSERT_TRUE(Ed.GetFichierCourant()->FModifie);
  V.Reponses = {EBouton::Annuler};
  Ed.LigneCommandeRecue({b});
  ASSERT_EQ(V.Messages.size(), 1u);
  EXPECT_EQ(V.Messages[0].Boutons, EBoutons::OuiNonAnnuler);
  EXPECT_EQ(Nom(), a);
  EXPECT_TRUE(Ed.GetFichierCourant()->FModifie);
  EXPECT_EQ(Ed.GetFichierCourant()->Fiche(1).Champ2, "en cours");
  // No: B opens on its remembered card.
  V.Reponses = {EBouton::Non};
  Ed.LigneCommandeRecue({b});
  EXPECT_EQ(Nom(), b);
  EXPECT_EQ(Ed.GetIndexCourant(), 2);
  // A file that fails is reported, with the current file already closed.
  V.Reponses = {EBouton::Ok};
  Ed.LigneCommandeRecue({Chemin("absent.xkqq")});
  EXPECT_FALSE(Ed.GetFichierCourant());
  EXPECT_EQ(V.Messages.back().Icone, EGenreMessage::Erreur);
}

TEST_F(Commandes, AuDemarrage) {
  const std::string a = Questionnaire("a.xkqq");
  R.FichierOuvert = a;
  R.NumeroFicheOuvert = 2;
  R.FichierOuvertEnQuittant = true;
  R.AvantPlan = true;
  R.InstanceUnique = true;
  R.OuvrirAuDemarrage = true;
  R.TaillePoliceChamps = 0;
  // Another editor runs: the remembered file stays closed.
  Ed.FormShow({}, 2);
  EXPECT_FALSE(Ed.GetFichierCourant());
  EXPECT_EQ(Ed.GetTypeCourant(), 'R');
  EXPECT_EQ(V.PolicesAppliquees, (Lignes{"Champs Lucida Sans Typewriter 0", "Liste MS Reference Sans Serif 12"}));
  EXPECT_EQ(R.TaillePoliceChamps, 0) << "the settings keep the user's value";
  EXPECT_TRUE(V.AvantPlan);
  EXPECT_TRUE(V.Item(EItem::Applicationaudessus1).Coche);
  EXPECT_TRUE(V.Item(EItem::Rouvrir1).Coche);
  EXPECT_TRUE(V.Item(EItem::Instanceunique1).Coche);
  EXPECT_FALSE(Ed.GetReglagesModifies());
}

TEST_F(Commandes, AuDemarrageLeFichierMemoriseSeul) {
  const std::string a = Questionnaire("a.xkqq");
  R.FichierOuvert = a;
  R.NumeroFicheOuvert = 2;
  R.FichierOuvertEnQuittant = true;
  Ed.FormShow({}, 1);
  EXPECT_EQ(Nom(), a);
  EXPECT_EQ(Ed.GetIndexCourant(), 2);
}

TEST_F(Commandes, AuDemarrageUnEchecSeVoitSeulementPourLaLigneDeCommande) {
  R.FichierOuvert = Chemin("disparu.xkqq");
  R.FichierOuvertEnQuittant = true;
  Ed.FormShow({}, 1);
  EXPECT_TRUE(V.Messages.empty());
  EXPECT_FALSE(Ed.GetFichierCourant());
  EXPECT_EQ(R.FichierOuvert, Chemin("disparu.xkqq"));

  TReglages r2;
  TVueScriptee v2;
  TEditeur ed2{v2, r2};
  ed2.Initialise();
  v2.Reponses = {EBouton::Ok};
  ed2.FormShow({Chemin("absent.xkqq")}, 1);
  ASSERT_EQ(v2.Messages.size(), 1u);
  EXPECT_EQ(v2.Messages[0].Icone, EGenreMessage::Erreur);
  EXPECT_FALSE(ed2.GetFichierCourant());
}

}  // namespace
