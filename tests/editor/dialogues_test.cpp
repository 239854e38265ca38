// The rules of the editor's whole-file dialogs (header, quiz options, advanced options, labels,
// CSV options), of the style-sheet box and of the search dialog, driven without a window; and
// what they store surviving a save and a reload.

#include <gtest/gtest.h>

#include <functional>
#include <memory>

#include "cards/KorNatif.h"
#include "cards/KorOutils.h"
#include "cards/KorXml.h"
#include "editor/KorDlgChercherRegles.h"
#include "editor/KorDlgEnteteRegles.h"
#include "editor/KorDlgEtiquettesRegles.h"
#include "editor/KorDlgOptionsRegles.h"
#include "editor/KorDlgOptionsAvanceesRegles.h"
#include "editor/KorDlgOptionsCSVRegles.h"
#include "editor/KorEntete.h"
#include "platform/Ansi.h"
#include "platform/Locale.h"

namespace {

class Dialogues : public ::testing::Test {
 protected:
  void SetUp() override { FixeLocale("fr_FR"); }
  void TearDown() override { FixeLocale(""); }

  std::unique_ptr<TFichierX> Fichier(char type, char format = 'x') {
    auto f = std::make_unique<TFichierX>(type, format, EVarianteModele::Complet, Rg);
    f->InitNouveauFichier(Rg);
    f->EtiquettesParDefaut();
    f->AjouteFiche("intitulé"_a, "question", "réponse"_a);
    f->FModifie = false;
    return f;
  }

  TReglages Rg;
};

// ---- Modifie: OK without a change is Cancel ----

// Each dialog filled from a questionnaire, shown, then closed with OK.
struct CasDialogue {
  const char* nom;
  std::function<TLogiqueDialogue&(TFichierX&, TReglages&)> remplit;
};

TEST_F(Dialogues, OKSansChangementAnnule) {
  TLogiqueEntete entete;
  TLogiqueOptions options;
  TLogiqueOptionsAvancees avancees;
  TLogiqueEtiquettes etiquettes;
  TLogiqueOptionsCSV csv;
  const CasDialogue cas[] = {
      {"entête", [&](TFichierX& f, TReglages&) -> TLogiqueDialogue& { entete.Remplit(f); return entete; }},
      {"options", [&](TFichierX& f, TReglages&) -> TLogiqueDialogue& { options.Remplit(f); return options; }},
      {"avancées",
       [&](TFichierX& f, TReglages& r) -> TLogiqueDialogue& { avancees.Remplit(f, r); return avancees; }},
      {"étiquettes", [&](TFichierX& f, TReglages&) -> TLogiqueDialogue& { etiquettes.Remplit(f); return etiquettes; }},
      {"csv", [&](TFichierX&, TReglages& r) -> TLogiqueDialogue& { csv.Remplit(r); return csv; }},
  };
  for (const auto& c : cas) {
    auto f = Fichier('Q');
    TLogiqueDialogue& d = c.remplit(*f, Rg);
    // A change left over from the former showing does not count either.
    d.Changement();
    d.FormShow();
    EXPECT_FALSE(d.Modifie()) << c.nom;
    EXPECT_EQ(d.FormCloseQuery(EResultatDialogue::OK), EResultatDialogue::Annuler) << c.nom;
    EXPECT_FALSE(f->FModifie) << c.nom;
    d.Changement();
    EXPECT_EQ(d.FormCloseQuery(EResultatDialogue::OK), EResultatDialogue::OK) << c.nom;
    EXPECT_EQ(d.FormCloseQuery(EResultatDialogue::Annuler), EResultatDialogue::Annuler) << c.nom;
  }
}

// ---- Header ----

TEST_F(Dialogues, EnteteStockeLeTitreRogneEtLeResteTelQuel) {
  auto f = Fichier('R');
  f->FTitre = "Ancien";
  f->FDescription = "Ligne 1\r\nLigne 2";
  TLogiqueEntete d;
  d.Remplit(*f);
  EXPECT_EQ(d.ETitre, "Ancien");
  EXPECT_EQ(d.MDescription, "Ligne 1\r\nLigne 2");
  EXPECT_TRUE(d.GBEnteteActif);
  d.FormShow();
  d.ETitre = "  Nouveau titre \t";
  d.ESignature = " Moi ";
  d.MDescription = " Une description \r\n";
  d.ChangeEntete();
  ASSERT_EQ(d.FormCloseQuery(EResultatDialogue::OK), EResultatDialogue::OK);
  d.Stocke(*f);
  EXPECT_EQ(f->FTitre, "Nouveau titre");
  EXPECT_EQ(f->FSignature, " Moi ");
  EXPECT_EQ(f->FDescription, " Une description \r\n");
  EXPECT_TRUE(f->FModifie);
}

TEST_F(Dialogues, EnteteDUnFichierEnLectureSeuleGrise) {
  auto f = Fichier('Q');
  f->FModifiable = false;
  TLogiqueEntete d;
  d.Remplit(*f);
  EXPECT_FALSE(d.GBEnteteActif);
  TLogiqueOptions o;
  o.Remplit(*f);
  EXPECT_FALSE(o.GBOptionsActif);
  TLogiqueOptionsAvancees a;
  a.Remplit(*f, Rg);
  EXPECT_FALSE(a.GBOptionsActif);
}

// ---- Quiz options ----

TEST_F(Dialogues, NombresDesOptions) {
  // The byte stored for a typed text: not an integer is 0, an integer is clamped to 0..255.
  const struct {
    const char* texte;
    int octet;
  } cas[] = {
      {"toutes", 0}, {"illimité", 0}, {"abc", 0}, {"", 0}, {"12a", 0}, {"1e3", 0}, {"0x10", 0}, {"-", 0},
      {"0", 0},      {"12", 12},      {" 7 ", 7}, {"+5", 5}, {"255", 255}, {"256", 255}, {"300", 255},
      {"99999999999999999999", 255},  {"-1", 0}, {"-300", 0}, {"007", 7},
  };
  for (const auto& c : cas) EXPECT_EQ(OctetOption(ansi::Utf8VersAnsi(c.texte)), c.octet) << c.texte;
}

TEST_F(Dialogues, OptionsRemplissageEtStockage) {
  auto f = Fichier('Q');
  TLogiqueOptions d;
  d.Remplit(*f);
  EXPECT_EQ(d.ENbreQuestions, "toutes");
  EXPECT_EQ(d.ETemps, "illimité"_a);
  EXPECT_EQ(d.ESeuil, "50");
  d.FormShow();
  d.ENbreQuestions = "300";
  d.ESeuil = "-1";
  d.ETemps = "30";
  d.CBRepose = d.CBOrdre = d.CBBriderEntree = d.CBMotAMot = d.CBDiffMaj = d.CBCorrection = true;
  d.ChangeOptions();
  d.Stocke(*f);
  EXPECT_EQ(f->FNombreQuestions, 255);
  EXPECT_EQ(f->FScoreSatisfaisant, 0);
  EXPECT_EQ(f->FTemps, 30);
  EXPECT_TRUE(f->FReposerErreurs && f->FSuivreOrdre && f->FBriderEntree && f->FMotAMot && f->FDifferencierCasse &&
              f->FCorrection);
  EXPECT_FALSE(f->FPhonetique);
  EXPECT_TRUE(f->FModifie);
  // Opened again, the dialog shows what was stored.
  TLogiqueOptions encore;
  encore.Remplit(*f);
  EXPECT_EQ(encore.ENbreQuestions, "255");
  EXPECT_EQ(encore.ESeuil, "0");
  EXPECT_EQ(encore.ETemps, "30");
}

TEST_F(Dialogues, PhonetiqueGriseLaCasse) {
  auto f = Fichier('Q');
  f->FDifferencierCasse = true;
  f->FPhonetique = true;
  TLogiqueOptions d;
  d.Remplit(*f);
  d.FormShow();
  EXPECT_FALSE(d.CBDiffMaj);
  EXPECT_FALSE(d.CBDiffMajActif);
  d.CBOrdre = true;
  d.ChangeOptions();
  d.Stocke(*f);
  EXPECT_FALSE(f->FDifferencierCasse);
  EXPECT_TRUE(f->FPhonetique);

  // Unchecking the phonetic box frees the case box; checking it again clears and greys it.
  d.CBPhonetique = false;
  d.CBPhonetiqueClick();
  EXPECT_TRUE(d.CBDiffMajActif);
  d.CBDiffMaj = true;
  d.CBPhonetique = true;
  d.CBPhonetiqueClick();
  EXPECT_FALSE(d.CBDiffMaj);
  EXPECT_FALSE(d.CBDiffMajActif);
  EXPECT_TRUE(d.Modifie());
}

// ---- Advanced options ----

TEST_F(Dialogues, AvanceesSansEspaces) {
  auto f = Fichier('Q');
  TLogiqueOptionsAvancees d;
  d.Remplit(*f, Rg);
  EXPECT_EQ(d.EOu, "ou");
  EXPECT_EQ(d.ECarOu, ";");
  d.FormShow();
  d.EOu = " ou ";
  d.EXDelim = "! ? .";
  d.ECarOu = " || ";
  d.ChangeOptionsAvancees();
  d.Stocke(*f);
  EXPECT_EQ(f->FOuVisible, "ou");
  EXPECT_EQ(f->FPonctuation, "!?.");
  EXPECT_EQ(f->FFragmenteur, "||");  // any text without spaces, of any length
  EXPECT_TRUE(f->FModifie);
}

TEST_F(Dialogues, MotsIgnoresParDefaut) {
  const struct {
    bool motAMot;
    const char* defaut;
  } cas[] = {{false, "un une des le la les l de du et"}, {true, ""}};
  for (const auto& c : cas) {
    auto f = Fichier('Q');
    f->FMotAMot = c.motAMot;
    f->FAvecMotsIgnores = true;
    f->FMotsIgnores = "propres mots";
    TLogiqueOptionsAvancees d;
    d.Remplit(*f, Rg);
    d.FormShow();
    EXPECT_FALSE(d.CBMIgDefaut);
    EXPECT_TRUE(d.EMotsIgnoresActif);
    EXPECT_EQ(d.EMotsIgnores, "propres mots");
    d.CBMIgDefaut = true;
    d.CBMIgDefautClick();
    EXPECT_EQ(d.EMotsIgnores, c.defaut);
    EXPECT_FALSE(d.EMotsIgnoresActif);
    d.Stocke(*f);
    EXPECT_FALSE(f->FAvecMotsIgnores);
    EXPECT_EQ(f->FMotsIgnores, "propres mots");  // kept, unused
  }
  // Unchecked, the list is stored as typed.
  auto f = Fichier('Q');
  TLogiqueOptionsAvancees d;
  d.Remplit(*f, Rg);
  d.FormShow();
  EXPECT_TRUE(d.CBMIgDefaut);
  EXPECT_FALSE(d.EMotsIgnoresActif);
  d.CBMIgDefaut = false;
  d.CBMIgDefautClick();
  EXPECT_TRUE(d.EMotsIgnoresActif);
  d.EMotsIgnores = " le la ";
  d.ChangeOptionsAvancees();
  d.Stocke(*f);
  EXPECT_TRUE(f->FAvecMotsIgnores);
  EXPECT_EQ(f->FMotsIgnores, " le la ");
}

// ---- Labels ----

TEST_F(Dialogues, Etiquettes) {
  auto f = Fichier('Q');
  TLogiqueEtiquettes d;
  d.Remplit(*f);
  EXPECT_EQ(d.EEtiquette0, "Intitulé"_a);
  EXPECT_EQ(d.EEtiquette1, "Question");
  EXPECT_EQ(d.EEtiquette2, "Réponse"_a);
  d.FormShow();
  d.EEtiquette1 = " Demande ";
  d.EEtiquetteChange();
  d.Stocke(*f);
  EXPECT_EQ(f->FEtiquettes.Champ1, " Demande ");
  EXPECT_TRUE(f->FAvecEtiquettes);
  EXPECT_TRUE(f->FModifie);
}

// ---- CSV options ----

TEST_F(Dialogues, SeparateurCSVAffiche) {
  const struct {
    const char* texte;  // TexteSeparateurCSV
    const char* affiche;
  } cas[] = {{"", ";"}, {"\\t", "\\t"}, {"\\s", "\\s"}, {"|", "|"}, {"\\\\", "\\\\"}};
  for (const auto& c : cas) {
    TReglages r;
    FixeLocale("fr_FR");
    FixeSeparateurCSV(c.texte, r);
    TLogiqueOptionsCSV d;
    d.Remplit(r);
    EXPECT_EQ(d.EComma, c.affiche) << c.texte;
    EXPECT_EQ(d.RGEncodage, 0);
  }
}

TEST_F(Dialogues, EncodageSeulStockeLeSeparateurAffiche) {
  TReglages r;
  FixeSeparateurCSV("", r);
  TLogiqueOptionsCSV d;
  d.Remplit(r);
  d.FormShow();
  d.RGEncodage = 1;
  d.Changement();
  ASSERT_EQ(d.Refus(), "");
  d.Stocke(r);
  EXPECT_TRUE(r.CSVUtf8);
  EXPECT_EQ(r.TexteSeparateurCSV, ";");
  EXPECT_EQ(r.SeparateurCSV, ';');
}

TEST_F(Dialogues, SeparateursCSVSaisis) {
  // Blanks typed as such are trimmed away (the locale's separator then applies); the escapes
  // give a space or a TAB.
  const struct {
    const char* saisie;
    const char* texte;
    char separateur;
  } cas[] = {{" | ", "|", '|'}, {"\t", "", ';'}, {" ", "", ';'}, {"\\s", "\\s", ' '}, {"\\t", "\\t", '\t'}};
  for (const auto& c : cas) {
    TReglages r;
    TLogiqueOptionsCSV d;
    d.Remplit(r);
    d.FormShow();
    d.EComma = c.saisie;
    d.Changement();
    EXPECT_EQ(d.Refus(), "") << c.saisie;
    d.Stocke(r);
    EXPECT_EQ(r.TexteSeparateurCSV, c.texte) << c.saisie;
    EXPECT_EQ(r.SeparateurCSV, c.separateur) << c.saisie;
  }
}

TEST_F(Dialogues, SeparateurCSVQueLeFichierNePeutPorter) {
  // The double quote, a line end, NUL and the character 175 are refused at OK, before anything
  // is stored.
  for (const std::string& saisie : {std::string("\""), std::string("\\n"), std::string("\xAF"), std::string("\"x")}) {
    TReglages r;
    FixeSeparateurCSV(",", r);
    TLogiqueOptionsCSV d;
    d.Remplit(r);
    d.FormShow();
    d.EComma = saisie;
    d.Changement();
    EXPECT_EQ(d.Refus(), "Ce séparateur ne peut pas servir dans un fichier CSV !"_a) << saisie;
    EXPECT_EQ(r.TexteSeparateurCSV, ",");
  }
}

// ---- Style sheet ----

TEST_F(Dialogues, NomsDeFeuilleDeStyle) {
  const struct {
    const char* saisie;
    const char* nom;
  } cas[] = {{"styles/fiche", "styles/fiche.xsl"},
             {"a.css", "a.xsl"},
             {"", ""},
             {"   ", ""},
             {" fiche.xsl ", "fiche.xsl"},
             {"v1.2/fiche", "v1.2/fiche.xsl"},
             {"v1.2\\fiche", "v1.2\\fiche.xsl"},
             {"fiche.", "fiche.xsl"},
             {"fiche.tar.gz", "fiche.tar.xsl"}};
  for (const auto& c : cas) EXPECT_EQ(NomFeuilleStyle(c.saisie), c.nom) << c.saisie;
}

// ---- Search dialog ----

TEST_F(Dialogues, ChercherSelonLeFichier) {
  const struct {
    char type;
    bool champUneLigne, notes, chercheArriere;
    bool unique, actif, arriere;
    const char* legende;
  } cas[] = {
      {'R', true, false, true, true, true, false, "Chercher seulement dans le champ \"Onglet\""},
      {'N', true, true, true, true, true, true, "Chercher seulement dans le champ \"Onglet\""},
      {'N', true, true, false, true, true, false, "Chercher seulement dans le champ \"Onglet\""},
      {'L', true, false, false, false, false, false, "Chercher seulement dans le champ \"Numéro\""},
      {'Q', false, false, true, false, true, false, "Chercher seulement dans le champ \"Intitulé\""},
  };
  for (const auto& c : cas) {
    auto f = Fichier(c.type);
    TLogiqueChercher d;
    d.PrepareFichier(*f, c.champUneLigne, c.notes, c.chercheArriere);
    d.PrepareEtiquettes(*f);
    EXPECT_EQ(d.CBChampUnique, c.unique) << c.type;
    EXPECT_EQ(d.CBChampUniqueActif, c.actif) << c.type;
    EXPECT_EQ(d.CBArriere, c.arriere) << c.type;
    EXPECT_EQ(d.LegendeChampUnique, ansi::Utf8VersAnsi(c.legende)) << c.type;
  }
  TLogiqueChercher d;
  d.EChercher = "  école \t"_a;
  d.CBDifferencier = true;
  d.CBChampUnique = true;
  d.CBArriere = true;
  TEtatRecherche e;
  d.Demarre(e);
  EXPECT_EQ(e.TexteRecherche, "école"_a);
  EXPECT_TRUE(e.RespecterCasse);
  EXPECT_FALSE(e.TousChamps);
  EXPECT_TRUE(e.RechercheArriere);
}

// ---- Save and reload ----

// What the dialogs store, on a questionnaire, then the file written and read back.
class Sauvegarde : public Dialogues {
 protected:
  std::unique_ptr<TFichierX> Edite() {
    auto f = Fichier('Q', 'x');
    TLogiqueEntete e;
    e.Remplit(*f);
    e.ETitre = " Capitales ";
    e.MDescription = "Les capitales\r\nd'Europe";
    e.ESignature = "Mme Durand";
    e.Stocke(*f);
    TLogiqueOptions o;
    o.Remplit(*f);
    o.CBRepose = o.CBOrdre = o.CBPhonetique = o.CBCorrection = true;
    o.ENbreQuestions = "300";
    o.ESeuil = "75";
    o.ETemps = "20";
    o.Stocke(*f);
    TLogiqueOptionsAvancees a;
    a.Remplit(*f, Rg);
    a.EOu = " ou bien ";
    a.EXDelim = ", ; .";
    a.ECarOu = "#";
    a.CBMIgDefaut = false;
    a.EMotsIgnores = "le la les";
    a.Stocke(*f);
    TLogiqueEtiquettes l;
    l.Remplit(*f);
    l.EEtiquette1 = "Pays";
    l.EEtiquette2 = "Capitale";
    l.Stocke(*f);
    f->FFeuilleStyle = NomFeuilleStyle("styles/capitales.css");
    return f;
  }
};

// The quiz options that Edite sets, as a reader gives them back.
void OptionsRelues(const TFichierX& lu) {
  EXPECT_TRUE(lu.FReposerErreurs && lu.FSuivreOrdre && lu.FPhonetique && lu.FCorrection);
  EXPECT_FALSE(lu.FDifferencierCasse || lu.FMotAMot || lu.FBriderEntree);
  EXPECT_EQ(lu.FNombreQuestions, 255);
  EXPECT_EQ(lu.FScoreSatisfaisant, 75);
  EXPECT_EQ(lu.FTemps, 20);
  EXPECT_EQ(lu.FOuVisible, "oubien");
  EXPECT_EQ(lu.FPonctuation, ",;.");
  EXPECT_EQ(lu.FFragmenteur, "#");
  EXPECT_TRUE(lu.FAvecMotsIgnores);
  EXPECT_EQ(lu.FMotsIgnores, "le la les");
}

TEST_F(Sauvegarde, XML) {
  auto f = Edite();
  const auto lu = LitFichierXMLOctets(OctetsFichierXML(*f, Rg), true, EVarianteModele::Complet, Rg);
  EXPECT_EQ(lu->FTitre, "Capitales");
  EXPECT_EQ(lu->FDescription, "Les capitales\r\nd'Europe");
  EXPECT_EQ(lu->FSignature, "Mme Durand");
  OptionsRelues(*lu);
  EXPECT_TRUE(lu->FAvecEtiquettes);
  EXPECT_EQ(lu->FEtiquettes.Champ1, "Pays");
  EXPECT_EQ(lu->FEtiquettes.Champ2, "Capitale");
  EXPECT_EQ(lu->FFeuilleStyle, "styles/capitales.xsl");
  // Shown again, the options dialog reads what was saved.
  TLogiqueOptions o;
  o.Remplit(*lu);
  EXPECT_EQ(o.ENbreQuestions, "255");
}

TEST_F(Sauvegarde, Natif) {
  auto f = Edite();
  const auto lu = LitFichierNatifOctets(OctetsFichierNatif(*f, Rg), true, EVarianteModele::Complet, Rg);
  EXPECT_EQ(lu->FTitre, "Capitales");
  OptionsRelues(*lu);
}

}  // namespace
