// The commands on the whole card file through a scripted window: header, quiz options,
// advanced options, style sheet, labels, template card and CSV options; what they store
// surviving a save and a reload; a file replaced while a dialog is up, and a logout's question
// answered while it is up.

#include <gtest/gtest.h>

#include "VueDialogues.h"
#include "cards/KorNatif.h"
#include "cards/KorOutils.h"
#include "cards/KorXml.h"
#include "platform/Ansi.h"
#include "platform/Locale.h"

namespace {

constexpr auto OK = EResultatDialogue::OK;
constexpr auto Annuler = EResultatDialogue::Annuler;

class Entete : public DossierTemporaire {
 protected:
  void SetUp() override {
    DossierTemporaire::SetUp();
    FixeLocale("fr_FR");
    Ed.Initialise();
  }
  // A card file of that type written with three cards and what retouche changes, opened as the
  // editor opens it.
  void Ouvre(char type, const std::string& nom = "f.xkq", const std::function<void(TFichierX&)>& retouche = {},
             bool editable = true) {
    Chemin_ = Chemin(nom + static_cast<char>(std::tolower(type)));
    EcritFichierEssai(Chemin_, type, {{"t0", "cle0", "corps0"}, {"t1", "cle1", "corps1"}, {"t2", "cle2", "corps2"}}, R,
                      retouche);
    ASSERT_TRUE(Ed.OuvreFichier(Chemin_, 0, true, true, editable));
  }
  const TFichierX& F() const { return *Ed.GetFichierCourant(); }

  std::string Chemin_;
  TReglages R;
  TVueDialogues V;
  TEditeur Ed{V, R};
};

TEST_F(Entete, OKSansChangementNeModifieRien) {
  Ouvre('Q');
  V.Entete = [](TLogiqueEntete&) { return OK; };
  V.Options = [](TLogiqueOptions&) { return OK; };
  V.OptionsAvancees = [](TLogiqueOptionsAvancees&) { return OK; };
  V.DlgEtiquettes = [](TLogiqueEtiquettes&) { return OK; };
  V.OptionsCSV = [](TLogiqueOptionsCSV&) { return OK; };
  for (EItem item : {EItem::Entete1, EItem::Options1, EItem::OptionsAvancees1, EItem::Etiquettes1, EItem::OptionsCSV})
    Ed.ExecuteItem(item);
  EXPECT_EQ(V.Dialogues, 5);
  EXPECT_FALSE(F().FModifie);
  EXPECT_FALSE(Ed.GetReglagesModifies());
}

TEST_F(Entete, EnTeteAvecLeTitreEnCoursDeSaisie) {
  Ouvre('R');
  // A title typed in the window is stored before the dialog is filled.
  V.Tape(EChamp::ETitre, " Mon carnet ");
  V.Entete = [](TLogiqueEntete& d) {
    EXPECT_EQ(d.ETitre, "Mon carnet");
    d.ETitre = "Carnet d'adresses";
    d.ESignature = "M. Martin";
    d.ChangeEntete();
    return OK;
  };
  Ed.ExecuteItem(EItem::Entete1);
  EXPECT_EQ(F().FTitre, "Carnet d'adresses");
  EXPECT_EQ(F().FSignature, "M. Martin");
  EXPECT_TRUE(F().FModifie);
  // The type has no field 0: the title edit shows the new title.
  EXPECT_EQ(V.Textes[0], "Carnet d'adresses");
}

TEST_F(Entete, OptionsSeulementPourUnQuestionnaire) {
  Ouvre('R');
  Ed.ExecuteItem(EItem::Options1);
  Ed.ExecuteItem(EItem::OptionsAvancees1);
  EXPECT_EQ(V.Dialogues, 0);
}

TEST_F(Entete, OptionsHorsLimites) {
  Ouvre('Q');
  V.Options = [](TLogiqueOptions& d) {
    d.ENbreQuestions = "300";
    d.ETemps = "-1";
    d.ESeuil = "dix";
    d.ChangeOptions();
    return OK;
  };
  Ed.ExecuteItem(EItem::Options1);
  EXPECT_EQ(F().FNombreQuestions, 255);
  EXPECT_EQ(F().FTemps, 0);
  EXPECT_EQ(F().FScoreSatisfaisant, 0);
  EXPECT_TRUE(F().FModifie);
  // Shown again, the dialog reads what was stored.
  V.Options = [](TLogiqueOptions& d) {
    EXPECT_EQ(d.ENbreQuestions, "255");
    EXPECT_EQ(d.ETemps, "illimité"_a);
    EXPECT_EQ(d.ESeuil, "0");
    return Annuler;
  };
  Ed.ExecuteItem(EItem::Options1);
}

TEST_F(Entete, FeuilleDeStyle) {
  const struct {
    const char* saisie;
    bool ok;
    const char* feuille;
    bool modifie;
  } cas[] = {
      {"styles/fiche", true, "styles/fiche.xsl", true},
      {"a.css", true, "a.xsl", true},
      {"  ", true, "", true},
      {"ancienne.xsl", true, "ancienne.xsl", true},  // the same text still marks the file modified
      {"autre", false, "ancienne.xsl", false},
  };
  for (const auto& c : cas) {
    Ouvre('Q', "f.xkq", [](TFichierX& f) { f.FFeuilleStyle = "ancienne.xsl"; });
    V.Saisie = [&](std::string& texte) {
      EXPECT_EQ(texte, "ancienne.xsl");
      texte = c.saisie;
      return c.ok;
    };
    Ed.ExecuteItem(EItem::FeuilledeStyle1);
    EXPECT_EQ(F().FFeuilleStyle, c.feuille) << c.saisie;
    EXPECT_EQ(F().FModifie, c.modifie) << c.saisie;
    Ed.LibereFichier();
  }
  // A read-only file shows no box.
  V.Dialogues = 0;
  Ouvre('Q', "f.xkq", {}, false);
  ASSERT_FALSE(F().FModifiable);
  Ed.ExecuteItem(EItem::FeuilledeStyle1);
  EXPECT_EQ(V.Dialogues, 0);
}

TEST_F(Entete, EtiquettesAfficheesEtDansLaRecherche) {
  Ouvre('R');
  V.DlgEtiquettes = [](TLogiqueEtiquettes& d) {
    d.EEtiquette1 = "Nom";
    d.EEtiquette2 = "Adresse";
    d.EEtiquetteChange();
    return OK;
  };
  Ed.ExecuteItem(EItem::Etiquettes1);
  EXPECT_TRUE(F().FAvecEtiquettes);
  EXPECT_TRUE(F().FModifie);
  EXPECT_EQ(V.Etiquettes[1], "Nom");
  EXPECT_EQ(V.Etiquettes[2], "Adresse");
  EXPECT_EQ(Ed.GetDlgChercher().LegendeChampUnique, "Chercher seulement dans le champ \"Nom\"");
}

const std::string QuestionCanevasTexte =
    "Voulez-vous que la fiche courante devienne le canevas ?\r\nCliquez sur \"Abandonner\" pour effacer le canevas.";

TEST_F(Entete, CanevasOuiSurUneFicheVide) {
  Ouvre('Q');
  Ed.ExecuteItem(EItem::Canevas1);  // no pending card: nothing
  EXPECT_TRUE(V.Messages.empty());
  Ed.ExecuteItem(EItem::BNouveau);
  V.Reponses = {EBouton::Oui};
  Ed.ExecuteItem(EItem::Canevas1);
  ASSERT_EQ(V.Messages.size(), 1u);
  EXPECT_EQ(V.Messages[0].Texte, QuestionCanevasTexte);
  EXPECT_EQ(V.Messages[0].Icone, EGenreMessage::Question);
  EXPECT_EQ(V.Messages[0].Boutons, EBoutons::OuiNonAbandonner);
  EXPECT_FALSE(F().FAvecCanevas);
  EXPECT_FALSE(F().FModifie);
  // Typed, the card becomes the template and stays pending.
  V.Tape(EChamp::ETitre, "Titre");
  V.Tape(EChamp::MReponse, "Réponse"_a);
  V.Reponses = {EBouton::Oui};
  Ed.ExecuteItem(EItem::Canevas1);
  EXPECT_TRUE(F().FAvecCanevas);
  EXPECT_EQ(F().FCanevas.Champ0, "Titre");
  EXPECT_EQ(F().FCanevas.Champ2, "Réponse"_a);
  EXPECT_TRUE(F().FModifie);
  EXPECT_TRUE(Ed.GetNouvelleFicheEnCours());
  EXPECT_EQ(F().GetNombreFiches(), 4);
}

TEST_F(Entete, CanevasAbandonne) {
  Ouvre('Q', "f.xkq", [](TFichierX& f) { f.SetCanevas("modèle"_a, "question ?", ""); });
  ASSERT_TRUE(F().FAvecCanevas);
  Ed.AfficheFiche(1);
  Ed.ExecuteItem(EItem::BNouveau);
  ASSERT_EQ(Ed.GetIndexCourant(), 3);
  // "Abandonner", then No: nothing.
  V.Reponses = {EBouton::Abandonner, EBouton::Non};
  Ed.ExecuteItem(EItem::Canevas1);
  EXPECT_TRUE(F().FAvecCanevas);
  // Confirmed: the template is dropped and the untouched pending card with it.
  V.Reponses = {EBouton::Abandonner, EBouton::Oui};
  Ed.ExecuteItem(EItem::Canevas1);
  EXPECT_EQ(V.Messages.back().Texte, "Voulez-vous vraiment supprimer le canevas ?");
  EXPECT_FALSE(F().FAvecCanevas);
  EXPECT_EQ(F().FCanevas.Champ0, "modèle"_a);
  EXPECT_TRUE(F().FModifie);
  EXPECT_EQ(F().GetNombreFiches(), 3);
  EXPECT_EQ(Ed.GetIndexCourant(), 1);
  EXPECT_FALSE(Ed.GetNouvelleFicheEnCours());
  // Without a template, "Abandonner" asks nothing more.
  Ed.ExecuteItem(EItem::BNouveau);
  V.Messages.clear();
  V.Reponses = {EBouton::Abandonner};
  Ed.ExecuteItem(EItem::Canevas1);
  EXPECT_EQ(V.Messages.size(), 1u);
  EXPECT_EQ(F().GetNombreFiches(), 4);
}

TEST_F(Entete, CanevasAbandonneGardeUneFicheTouchee) {
  Ouvre('Q', "f.xkq", [](TFichierX& f) { f.SetCanevas("modèle"_a, "", ""); });
  Ed.ExecuteItem(EItem::BNouveau);
  V.Tape(EChamp::MQuestion, "déjà tapé"_a);
  V.Reponses = {EBouton::Abandonner, EBouton::Oui};
  Ed.ExecuteItem(EItem::Canevas1);
  EXPECT_FALSE(F().FAvecCanevas);
  EXPECT_EQ(F().GetNombreFiches(), 4);
  EXPECT_TRUE(Ed.GetNouvelleFicheEnCours());
}

TEST_F(Entete, OptionsCSV) {
  // Shift+F6 works with or without a file.
  FixeSeparateurCSV("", R);
  V.OptionsCSV = [](TLogiqueOptionsCSV& d) {
    EXPECT_EQ(d.EComma, ";");
    d.RGEncodage = 1;
    d.Changement();
    return OK;
  };
  Ed.ExecuteItem(EItem::OptionsCSV);
  EXPECT_TRUE(R.CSVUtf8);
  EXPECT_EQ(R.TexteSeparateurCSV, ";");
  EXPECT_TRUE(Ed.GetReglagesModifies());
}

TEST_F(Entete, SeparateurCSVRefuseGardeLAncien) {
  FixeSeparateurCSV("\\t", R);
  V.OptionsCSV = [](TLogiqueOptionsCSV& d) {
    EXPECT_EQ(d.EComma, "\\t");
    d.EComma = "\"";
    d.RGEncodage = 1;
    d.Changement();
    return OK;
  };
  Ed.ExecuteItem(EItem::OptionsCSV);
  ASSERT_EQ(V.Refus.size(), 1u);
  EXPECT_EQ(V.Refus[0], "Ce séparateur ne peut pas servir dans un fichier CSV !"_a);
  EXPECT_EQ(R.TexteSeparateurCSV, "\\t");
  EXPECT_EQ(R.SeparateurCSV, '\t');
  EXPECT_FALSE(R.CSVUtf8);
  EXPECT_FALSE(Ed.GetReglagesModifies());
}

TEST_F(Entete, FichierRemplacePendantLeDialogue) {
  // A second start's command line opens another file while the dialog is up: nothing is stored
  // into the file that replaced it.
  Ouvre('Q');
  const std::string autre = Chemin("autre.xkqq");
  EcritFichierEssai(autre, 'Q', {{"a", "b", "c"}}, R);
  V.Options = [&](TLogiqueOptions& d) {
    Ed.LibereFichier();
    EXPECT_TRUE(Ed.OuvreFichier(autre, 0, true, true, true));
    d.ENbreQuestions = "12";
    d.ChangeOptions();
    return OK;
  };
  Ed.ExecuteItem(EItem::Options1);
  EXPECT_EQ(F().FNombreQuestions, 0);
  EXPECT_FALSE(F().FModifie);
  V.Entete = [&](TLogiqueEntete& d) {
    Ed.LibereFichier();
    d.ETitre = "x";
    d.ChangeEntete();
    return OK;
  };
  Ed.ExecuteItem(EItem::Entete1);
  EXPECT_FALSE(Ed.GetFichierCourant());
}

// The logout's question comes while the dialog is up and is answered Non; what the dialog then
// stores came after the answer, and the close asks about it.
TEST_F(Entete, FinDeSessionPendantLeDialogue) {
  Ouvre('Q');
  V.Tape(EChamp::MReponse, "corps changé"_a);
  V.Entete = [&](TLogiqueEntete& d) {
    V.Reponses = {EBouton::Non};
    EXPECT_TRUE(Ed.QuestionFinDeSession());
    d.ETitre = "Titre d'après";
    d.ChangeEntete();
    return OK;
  };
  Ed.ExecuteItem(EItem::Entete1);
  EXPECT_EQ(F().FTitre, "Titre d'après");
  EXPECT_EQ(V.Messages.size(), 1u);
  V.Reponses = {EBouton::Annuler};
  EXPECT_FALSE(Ed.PeutFermer());
  EXPECT_EQ(V.Messages.size(), 2u);
  EXPECT_TRUE(Ed.GetFichierCourant());
}

// What the commands store, saved by "Sauver" and read back, in XML and in native.
TEST_F(Entete, SauvegardeEtRelecture) {
  for (const char* nom : {"q.xkq", "q.kq"}) {
    Ouvre('Q', nom);
    V.Options = [](TLogiqueOptions& d) {
      d.CBRepose = d.CBMotAMot = true;
      d.ENbreQuestions = "300";
      d.ETemps = "45";
      d.ChangeOptions();
      return OK;
    };
    V.OptionsAvancees = [](TLogiqueOptionsAvancees& d) {
      d.EOu = " ou bien ";
      d.EXDelim = ". ,";
      d.CBMIgDefaut = false;
      d.CBMIgDefautClick();
      d.EMotsIgnores = "le la";
      return OK;
    };
    V.Entete = [](TLogiqueEntete& d) {
      d.ETitre = "Titre";
      d.ChangeEntete();
      return OK;
    };
    V.Saisie = [](std::string& texte) {
      texte = "vue.css";
      return true;
    };
    for (EItem item : {EItem::Options1, EItem::OptionsAvancees1, EItem::Entete1, EItem::FeuilledeStyle1})
      Ed.ExecuteItem(item);
    const bool xml = F().FFormat == 'x';
    if (!xml) {
      // A native file has no header dialog item and no style sheet, but the commands still work.
      EXPECT_EQ(F().FFormat, 'n');
    }
    Ed.ExecuteItem(EItem::Sauver1);
    EXPECT_FALSE(F().FModifie) << nom;
    Ed.LibereFichier();
    const auto lu = xml ? LitFichierXML(Chemin_, false, true, EVarianteModele::Complet, R)
                        : LitFichierNatif(Chemin_, false, true, EVarianteModele::Complet, R);
    EXPECT_TRUE(lu->FReposerErreurs && lu->FMotAMot) << nom;
    EXPECT_EQ(lu->FNombreQuestions, 255) << nom;
    EXPECT_EQ(lu->FTemps, 45) << nom;
    EXPECT_EQ(lu->FOuVisible, "oubien") << nom;
    EXPECT_EQ(lu->FPonctuation, ".,") << nom;
    EXPECT_TRUE(lu->FAvecMotsIgnores) << nom;
    EXPECT_EQ(lu->FMotsIgnores, "le la") << nom;
    EXPECT_EQ(lu->FTitre, "Titre") << nom;
    if (xml) {
      EXPECT_EQ(lu->FFeuilleStyle, "vue.xsl");
    }
  }
}

}  // namespace
