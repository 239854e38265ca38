// The file commands through a scripted window: letter lists and filters, opening every format
// and its failures, the CSV type, the question whether to save, the remembered files, save as,
// the overwrite question, a failing writer, the export onto the open file, and the close's
// question asked at a logout.

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

#include "VueScriptee.h"
#include "cards/KorNatif.h"
#include "exchange/KorCrd.h"
#include "exchange/KorCsv.h"
#include "exchange/KorMoodle.h"
#include "platform/Ansi.h"
#include "platform/Fichier.h"
#include "platform/Locale.h"

namespace {

class Fichiers : public DossierTemporaire {
 protected:
  void SetUp() override {
    DossierTemporaire::SetUp();
    FixeLocale("fr_FR");
    Ed.Initialise();
  }
  std::string Questionnaire(const std::string& nom, int nombre = 3) {
    std::vector<std::array<std::string, 3>> fiches;
    for (int i = 0; i < nombre; ++i) fiches.push_back({"t", "q" + std::to_string(i), "r" + std::to_string(i)});
    EcritFichierEssai(Chemin(nom), 'Q', fiches, R);
    return Chemin(nom);
  }
  void Ouvre(const std::string& chemin, int index = -1) {
    ASSERT_TRUE(Ed.OuvreFichier(chemin, index, true, true, true)) << V.Messages.back().Texte;
  }
  // Opens a file through Fichier > Ouvrir, with the first filter entry.
  void OuvreParDialogue(const std::string& chemin, int filtre = 0, bool lectureSeule = false) {
    V.Ouvertures.push_back(TChoixOuverture{chemin, filtre, lectureSeule});
    Ed.ExecuteItem(EItem::Ouvrir1);
  }
  // Makes the type the one proposed for the next file, as a user does: a new file of that type,
  // closed; '?' (the type to be taken from the file): a second start naming a file that fails to open.
  void ProposeType(char type) {
    if (type == '?') {
      V.Reponses.push_back(EBouton::Ok);
      Ed.LigneCommandeRecue({Chemin("absent.xkqq")});
      ASSERT_FALSE(V.Messages.empty());
      V.Messages.pop_back();
    } else {
      V.Nouveaux.push_back(static_cast<int>(Ed.ListeTypes().find(type)));
      Ed.ExecuteItem(EItem::Nouveau1);
      Ed.LibereFichier();
    }
    ASSERT_EQ(Ed.GetTypeCourant(), type);
  }
  // The message boxes so far, and empties the list.
  std::vector<std::string> Messages() {
    std::vector<std::string> textes;
    for (const auto& m : V.Messages) textes.push_back(m.Texte);
    V.Messages.clear();
    return textes;
  }

  TReglages R;
  TVueScriptee V;
  TEditeur Ed{V, R};
};

TEST(ListesDeLettres, PlaceEnTete) {
  struct Cas {
    char Lettre;
    std::string Liste;
    std::size_t Maximum;
    std::string Attendu;
  } table[] = {
      {'Q', "RNLQM", 255, "QRNLM"}, {'R', "RNLQM", 255, "RNLQM"}, {'X', "RNLQM", 255, "XRNLQM"},
      {'Z', "", 255, "Z"},          {'X', "RNLQM", 3, "XRN"},
      {'X', std::string(254, 'A'), 255, "X" + std::string(253, 'A')},
  };
  for (Cas c : table) {
    PlaceEnTete(c.Lettre, c.Liste, c.Maximum);
    EXPECT_EQ(c.Liste, c.Attendu);
  }
}

TEST(ListesDeLettres, FiltresEtExtensions) {
  const TReglages r;
  EXPECT_EQ(TexteFiltre(FiltreOuverture('Q', r)), "Questionnaire|*.xkqq;*.kqq");
  EXPECT_EQ(TexteFiltre(FiltreOuverture('R', r)), "Répertoire|*.xkqr;*.kqr;*.xml;*.crd"_a);
  EXPECT_EQ(TexteFiltre(FiltreOuverture('L', r)), "Listes|*.xkql;*.kql;*.csv");
  EXPECT_EQ(TexteFiltre(FiltreOuverture('N', r)), "Notes|*.xkqn;*.kqn;*.xml");
  EXPECT_EQ(TexteFiltre(FiltreSauvegarde('Q', 'x')), "XML|*.xkqq");
  EXPECT_EQ(TexteFiltre(FiltreSauvegarde('R', 'c')), "Cardfile|*.crd");
  EXPECT_EQ(TexteFiltre(FiltreSauvegarde('L', 'n')), "Natif|*.kql");
  EXPECT_EQ(TexteFiltre({std::string(300, 'a'), {"*.x"}}).size(), 255u);
  EXPECT_EQ(ExtensionFichier('Q', 't'), "txt");
  EXPECT_EQ(NumeroFicheMemorisee("a", r), -1);
}

TEST(ListesDeLettres, ReglagesVidesOuInutilisables) {
  for (const std::string& valeur : {std::string(), std::string(" "), std::string("\x01?7 ")}) {
    TReglages r;
    r.TypesUtilises = valeur;
    r.FormatsUtilises = valeur;
    r.TypesCSV = valeur;
    TVueScriptee v;
    TEditeur ed(v, r);
    ed.Initialise();
    EXPECT_EQ(r.TypesUtilises, TypesParDefaut);
    EXPECT_EQ(r.FormatsUtilises, FormatsParDefaut);
    ed.DemarreSansFichier();
    EXPECT_EQ(ed.GetTypeCourant(), 'R');
    EXPECT_EQ(ed.ListeTypes(), "RNLQM");
    // The new-file dialog offers the default types.
    v.Nouveaux = {0};
    ed.ExecuteItem(EItem::Nouveau1);
    EXPECT_EQ(v.TypesNouveau.size(), 5u);
    ASSERT_TRUE(ed.GetFichierCourant());
    EXPECT_EQ(ed.GetFichierCourant()->FType, 'R') << "the type proposed first";
    EXPECT_EQ(ed.ListeFormatsSauvegarde(), "xc");
    // A setting that turns empty later falls back too.
    r.FormatsUtilises.clear();
    r.TypesUtilises.clear();
    EXPECT_EQ(ed.ListeFormatsSauvegarde(), "xc");
    // A second start naming a file that fails: the type is to be taken from the next file.
    v.Reponses = {EBouton::Ok};
    ed.LigneCommandeRecue({"/dossier-absent/absent.xkqq"});
    ASSERT_EQ(ed.GetTypeCourant(), '?');
    EXPECT_EQ(ed.ListeTypes(), "RNLQM");
    EXPECT_EQ(ed.TypeCSVParDefaut("x.csv"), 'R');
  }
  // Usable letters are kept, in their order.
  EXPECT_EQ(TypesUtilisables("q Q-R"), "QR");
  EXPECT_EQ(FormatsUtilisables("ZnX s"), "ns");
}

TEST_F(Fichiers, ListesDeFormats) {
  ProposeType('Q');
  EXPECT_EQ(Ed.ListeTypes(), "QRNLM");
  EXPECT_EQ(Ed.FormatParDefaut(), 'x');
  ProposeType('M');
  EXPECT_EQ(Ed.FormatParDefaut(), 'm');
  ProposeType('L');
  EXPECT_EQ(Ed.FormatParDefaut(), 's');
  struct Cas {
    char Type, Format;
    std::string Fragmenteur;  // "-": the type's default
    std::string Sauvegarde, Export;
  } table[] = {
      {'Q', 'x', "-", "x", "m"},   {'Q', 'n', "-", "nx", "m"},     {'R', 'x', "-", "xc", "t"},
      {'L', 'x', "-", "xs", "t"},  {'L', 'x', ";", "xs", ""},     {'M', 'm', "-", "mx", ""},
      {'Q', 'x', "", "x", "mt"},   {'D', 'c', "-", "cx", ""},     {'D', 'c', "\r\n", "cx", "t"},
  };
  for (const Cas& c : table) {
    SCOPED_TRACE(std::string(1, c.Type) + c.Format);
    auto f = std::make_unique<TFichierX>(c.Type, c.Format, EVarianteModele::Complet, R);
    if (c.Fragmenteur != "-") f->FFragmenteur = c.Fragmenteur;
    Ed.MontreFichier(std::move(f), -1);
    EXPECT_EQ(Ed.ListeFormatsSauvegarde(), c.Sauvegarde);
    EXPECT_EQ(Ed.ListeFormatsExport(), c.Export);
  }
  Ed.LibereFichier();
}

TEST_F(Fichiers, OuvertureDeChaqueFormat) {
  TFichierX source('R', 'x', EVarianteModele::Complet, R);
  source.AjouteFiche("", "Durand", "01 02");
  source.AjouteFiche("", "Albert", "03 04");
  TFichierX liste('L', 'x', EVarianteModele::Complet, R);
  liste.AjouteFiche("", "", "a\r\nb");
  TFichierX qcm('M', 'x', EVarianteModele::Complet, R);
  qcm.AjouteFiche("t", "Combien ?", "(*)2 === 3");
  EcritFichierNatif(source, Chemin("r.kqr"), true, R);
  EcritFichierCrd(source, Chemin("r.crd"), true);
  EcritFichierCSV(liste, 's', Chemin("l.csv"), true, R);
  EcritFichierMoodle(qcm, Chemin("m.xml"), true, R);
  EcritFichierXML(source, Chemin("r.xkqr"), true, R);
  // The card files written keep their last file open and locked.
  for (TFichierX* f : {&source, &liste, &qcm}) f->FFlux.reset();
  struct Cas {
    std::string Nom;
    char Format, Type;
    int Nombre;
    std::string PremiereCle;
  } table[] = {
      {"r.kqr", 'n', 'R', 2, "Albert"},  // sorted on opening
      {"r.xkqr", 'x', 'R', 2, "Albert"},
      {"r.crd", 'c', 'R', 2, "Durand"},  // a Cardfile file keeps its order
      {"l.csv", 's', 'L', 1, ""},
      {"m.xml", 'm', 'M', 1, "(*singlechoice*) Combien ?"},
  };
  for (const Cas& c : table) {
    SCOPED_TRACE(c.Nom);
    Ed.LibereFichier();
    ProposeType('?');
    Ouvre(Chemin(c.Nom));
    EXPECT_EQ(Ed.GetFichierCourant()->FFormat, c.Format);
    EXPECT_EQ(Ed.GetFichierCourant()->FType, c.Type);
    EXPECT_EQ(Ed.GetTypeCourant(), c.Type);
    EXPECT_EQ(Ed.GetFichierCourant()->GetNombreFiches(), c.Nombre);
    EXPECT_EQ(Ed.GetFichierCourant()->Fiche(0).Champ1, c.PremiereCle);
    EXPECT_FALSE(Ed.GetFichierCourant()->FModifie) << "sorting on opening does not modify";
    EXPECT_TRUE(Ed.GetFichierCourant()->FModifiable);
  }
}

TEST_F(Fichiers, EchecsDOuverture) {
  const std::string csv = Chemin("l.csv");
  EcritOctets(csv, "a,b\r\n");
  const std::string inconnu = Chemin("x.bin");
  EcritOctets(inconnu, std::string("\x01\x02\x03 rien", 8));
  const std::string casse = Chemin("casse.xkqq");
  EcritOctets(casse, "<?xml version=\"1.0\"?><ORVALINE><FICHE>");
  const std::string absent = Chemin("absent.xkqq");
  struct Cas {
    std::string Nom;
    bool Normal;
    std::string Debut;  // of the message
  } table[] = {
      {csv, false, "Ce fichier ne peut pas être utilisé comme modèle\u00a0!"_a},
      {inconnu, true, "Fichier non reconnu !"},
      {casse, true, "Erreur dans l'écriture du code XML !"_a},
      {absent, true, "Impossible d'ouvrir le fichier"},
  };
  for (const Cas& c : table) {
    SCOPED_TRACE(c.Nom);
    // The failing file is forgotten from the remembered files.
    R.FichierOuvert = c.Nom;
    R.FichierRecent = c.Nom;
    V.Reponses = {EBouton::Ok};
    EXPECT_FALSE(Ed.OuvreFichier(c.Nom, -1, true, c.Normal, true));
    const auto m = Messages();
    ASSERT_EQ(m.size(), 1u);
    EXPECT_EQ(m[0].substr(0, c.Debut.size()), c.Debut);
    EXPECT_EQ(V.Messages.size(), 0u);
    EXPECT_TRUE(R.FichierOuvert.empty());
    EXPECT_EQ(R.FichierRecent, c.Nom);
    EXPECT_EQ(Ed.GetFichierCourant(), nullptr);
    EXPECT_EQ(Ed.GetFicheAffichee(), nullptr);
    // Without a report: nothing shown, the settings left alone.
    R.FichierOuvert = c.Nom;
    EXPECT_FALSE(Ed.OuvreFichier(c.Nom, -1, false, c.Normal, true));
    EXPECT_TRUE(Messages().empty());
    EXPECT_EQ(R.FichierOuvert, c.Nom);
  }
  // recent is emptied when it is the one named.
  R.FichierOuvert = "autre";
  V.Reponses = {EBouton::Ok};
  Ed.OuvreFichier(absent, -1, true, true, true);
  EXPECT_EQ(R.FichierOuvert, "autre");
  EXPECT_TRUE(R.FichierRecent.empty());
}

TEST_F(Fichiers, UnEchecDOuvertureLaisseLEditeurSansFichier) {
  Ouvre(Questionnaire("a.xkqq"));
  const std::string casse = Chemin("casse.xkqq");
  EcritOctets(casse, "pas du XML");
  V.Reponses = {EBouton::Ok};
  OuvreParDialogue(casse);
  EXPECT_EQ(Ed.GetFichierCourant(), nullptr);
  EXPECT_EQ(Ed.GetFicheAffichee(), nullptr);
  EXPECT_EQ(V.TitreFenetre, "KorEdit");
  // The editor goes on: stepping and saving do nothing, a new file works.
  Ed.ExecuteItem(EItem::BSuivant);
  Ed.ExecuteItem(EItem::Sauver1);
  R.TousTypes = false;
  Ed.ExecuteItem(EItem::Nouveau1);
  ASSERT_TRUE(Ed.GetFichierCourant());
  EXPECT_EQ(Ed.GetFichierCourant()->FType, 'Q');
}

TEST_F(Fichiers, ModeleEtLectureSeule) {
  const std::string q = Questionnaire("q.xkqq");
  Ed.Initialise();
  V.Ouvertures.push_back(TChoixOuverture{q, 0, false});
  Ed.ExecuteItem(EItem::Modele1);
  ASSERT_TRUE(Ed.GetFichierCourant());
  EXPECT_TRUE(Ed.GetFichierCourant()->FNomFichier.empty());
  EXPECT_EQ(Ed.GetFichierCourant()->GetNombreFiches(), 0);
  EXPECT_EQ(Ed.GetFichierCourant()->FType, 'Q');
  EXPECT_EQ(V.TitreFenetre, "KorEdit - (Nouveau fichier)");
  // Sauver asks for a name.
  Ed.ExecuteItem(EItem::BNouveau);
  V.Tape(EChamp::MQuestion, "q");
  V.Sauvegardes.push_back(std::nullopt);
  Ed.ExecuteItem(EItem::Sauver1);
  EXPECT_TRUE(Ed.GetFichierCourant()->FModifie);
  EXPECT_TRUE(V.Sauvegardes.empty());
  Ed.LibereFichier();
  // The dialog's read-only box, then the file's read-only attribute.
  OuvreParDialogue(q, 0, true);
  EXPECT_FALSE(Ed.GetFichierCourant()->FModifiable);
  EXPECT_TRUE(V.LecturesSeules[0] && V.LecturesSeules[1] && V.LecturesSeules[2]);
  Ed.LibereFichier();
  ASSERT_TRUE(FixeLectureSeule(q, true));
  OuvreParDialogue(q);
  EXPECT_FALSE(Ed.GetFichierCourant()->FModifiable);
  Ed.LibereFichier();
  FixeLectureSeule(q, false);
}

TEST_F(Fichiers, DialogueDOuverture) {
  const std::string q = Questionnaire("q.xkqq");
  ProposeType('Q');
  V.Ouvertures.push_back(std::nullopt);
  Ed.ExecuteItem(EItem::Ouvrir1);
  ASSERT_EQ(V.FiltresOuverture.size(), 6u);
  EXPECT_EQ(TexteFiltre(V.FiltresOuverture[0]), "Questionnaire|*.xkqq;*.kqq");
  EXPECT_EQ(TexteFiltre(V.FiltresOuverture[1]), "Répertoire|*.xkqr;*.kqr;*.xml;*.crd"_a);
  EXPECT_EQ(TexteFiltre(V.FiltresOuverture[5]), "Tous|*.*");
  EXPECT_EQ(V.ExtensionOuverture, "xkqq");
  R.TousTypes = false;
  V.Ouvertures.push_back(std::nullopt);
  Ed.ExecuteItem(EItem::Ouvrir1);
  ASSERT_EQ(V.FiltresOuverture.size(), 1u);
  // Cancel keeps the open file.
  Ouvre(q);
  V.Ouvertures.push_back(std::nullopt);
  Ed.ExecuteItem(EItem::Ouvrir1);
  EXPECT_TRUE(Ed.GetFichierCourant());
}

TEST_F(Fichiers, TypeDesFichiersCSV) {
  const std::string csv = Chemin("c.csv");
  EcritOctets(csv, "cle,corps\r\n");
  R.TypesCSV = "LR";
  struct Cas {
    char TypeCourant;
    std::string Ouvert;
    std::string TypesCSV;
    char Attendu;
  } table[] = {
      {'R', "", "LR", 'R'}, {'?', csv, "LR", 'R'}, {'?', "", "", 'R'}, {'?', "", "LR", 'L'},
  };
  for (const Cas& c : table) {
    ProposeType(c.TypeCourant);
    R.FichierOuvert = c.Ouvert;
    R.TypesCSV = c.TypesCSV;
    EXPECT_EQ(Ed.TypeCSVParDefaut(csv), c.Attendu);
  }
  // Under the entry "Tous" the type comes from the file; under a type's entry, that type.
  R.TypesCSV = "LR";
  R.FichierOuvert.clear();
  ProposeType('R');
  OuvreParDialogue(csv, 5);
  ASSERT_TRUE(Ed.GetFichierCourant());
  EXPECT_EQ(Ed.GetFichierCourant()->FType, 'L');
  Ed.LibereFichier();
  R.TypesUtilises = "RNLQM";
  ProposeType('Q');
  OuvreParDialogue(csv, 1);  // QRNLM: entry 1 is R
  EXPECT_EQ(Ed.GetFichierCourant()->FType, 'R');
}

TEST_F(Fichiers, QuestionAvantDeFermer) {
  const std::string q = Questionnaire("q.xkqq");
  const std::string avant = LitOctets(q);
  struct Cas {
    EBouton Reponse;
    int Resultat;
    bool Ferme, Ecrit;
  } table[] = {
      {EBouton::Oui, TEditeur::Sauve, true, true},
      {EBouton::Non, TEditeur::SansSauver, true, false},
      {EBouton::Annuler, TEditeur::Abandon, false, false},
  };
  for (const Cas& c : table) {
    EcritOctets(q, avant);
    Ed.LibereFichier();
    Ouvre(q);
    V.Tape(EChamp::MReponse, "changé");
    V.Reponses = {c.Reponse};
    EXPECT_EQ(Ed.FermeFichier(), c.Resultat);
    ASSERT_EQ(V.Messages.size(), 1u);
    EXPECT_EQ(V.Messages[0].Texte, "Le fichier \"q.xkqq\" a été modifié.\r\nVoulez-vous le sauver ?"_a);
    EXPECT_EQ(V.Messages[0].Boutons, EBoutons::OuiNonAnnuler);
    Messages();
    EXPECT_EQ(Ed.GetFichierCourant() == nullptr, c.Ferme);
    EXPECT_EQ(LitOctets(q) != avant, c.Ecrit);
  }
  // A file left unmodified closes without a question.
  Ed.LibereFichier();
  Ouvre(q);
  EXPECT_EQ(Ed.FermeFichier(), TEditeur::Sauve);
  EXPECT_TRUE(V.Messages.empty());
}

TEST_F(Fichiers, NouveauFichierJamaisSauve) {
  R.FichierOuvert = "ouvert";
  ProposeType('Q');
  V.Nouveaux = {0};
  Ed.ExecuteItem(EItem::Nouveau1);
  EXPECT_EQ(V.TypesNouveau.front(), "Questionnaire");
  Ed.ExecuteItem(EItem::BNouveau);
  V.Tape(EChamp::MQuestion, "q");
  // Yes, then the save dialog cancelled: the file stays.
  V.Reponses = {EBouton::Oui};
  V.Sauvegardes.push_back(std::nullopt);
  EXPECT_EQ(Ed.FermeFichier(), TEditeur::Abandon);
  EXPECT_EQ(V.Messages.at(0).Texte, "Le fichier \"\" a été modifié.\r\nVoulez-vous le sauver ?"_a);
  ASSERT_TRUE(Ed.GetFichierCourant());
  V.Reponses = {EBouton::Non};
  EXPECT_EQ(Ed.FermeFichier(), TEditeur::SansSauver);
  EXPECT_EQ(R.FichierOuvert, "ouvert");
  // An untouched new card is removed: no question at all.
  V.Nouveaux = {0};
  Ed.ExecuteItem(EItem::Nouveau1);
  Ed.ExecuteItem(EItem::BNouveau);
  Messages();
  EXPECT_EQ(Ed.FermeFichier(), TEditeur::Sauve);
  EXPECT_TRUE(V.Messages.empty());
}

TEST_F(Fichiers, NouveauFichier) {
  // Without TousTypes no dialog: the first type.
  ProposeType('M');
  R.TousTypes = false;
  Ed.ExecuteItem(EItem::Nouveau1);
  ASSERT_TRUE(Ed.GetFichierCourant());
  EXPECT_EQ(Ed.GetFichierCourant()->FType, 'M');
  EXPECT_EQ(Ed.GetFichierCourant()->FFormat, 'm');
  EXPECT_EQ(Ed.GetFichierCourant()->FVersionCreation, VersionFormat);
  EXPECT_EQ(Ed.GetIndexCourant(), -1);
  // Cancel in the dialog keeps the current file.
  R.TousTypes = true;
  V.Nouveaux = {std::nullopt};
  Ed.ExecuteItem(EItem::Nouveau1);
  EXPECT_EQ(Ed.GetFichierCourant()->FType, 'M');
  // With ncwnf a new file opens on a new card.
  R.NouvelleFicheSiNouveauFichier = true;
  V.Nouveaux = {3};  // MRNLQ
  Ed.ExecuteItem(EItem::Nouveau1);
  EXPECT_EQ(Ed.GetFichierCourant()->FType, 'L');
  EXPECT_EQ(Ed.GetFichierCourant()->FFormat, 's');
  EXPECT_TRUE(Ed.GetNouvelleFicheEnCours());
  EXPECT_EQ(Ed.GetIndexCourant(), 0);
  EXPECT_EQ(V.Focus, ECibleFocus::MReponse);
}

TEST_F(Fichiers, FichiersMemorises) {
  const std::string a = Questionnaire("a.xkqq");
  const std::string b = Questionnaire("b.xkqq");
  Ouvre(a, 1);
  Ed.FermeFichier();
  EXPECT_EQ(R.FichierOuvert, a);
  EXPECT_EQ(R.NumeroFicheOuvert, 1);
  Ouvre(b, 2);
  Ed.FermeFichier();
  EXPECT_EQ(R.FichierOuvert, b);
  EXPECT_EQ(R.NumeroFicheOuvert, 2);
  EXPECT_EQ(R.FichierRecent, a);
  EXPECT_EQ(R.NumeroFicheRecent, 1);
  // Closing B again only updates its card.
  Ouvre(b, 0);
  Ed.FermeFichier();
  EXPECT_EQ(R.FichierRecent, a);
  EXPECT_EQ(R.NumeroFicheOuvert, 0);
  // "Récent" reopens A on its card; B becomes the recent one.
  Ed.MetAJourMenus();
  EXPECT_TRUE(V.Item(EItem::Recent1).Visible);
  Ed.ExecuteItem(EItem::Recent1);
  ASSERT_TRUE(Ed.GetFichierCourant());
  EXPECT_EQ(Ed.GetFichierCourant()->FNomFichier, a);
  EXPECT_EQ(Ed.GetIndexCourant(), 1);
  Ed.MetAJourMenus();
  EXPECT_FALSE(V.Item(EItem::Recent1).Visible) << "A is open";
  Ed.ExecuteItem(EItem::Ouvert1);
  EXPECT_EQ(Ed.GetFichierCourant()->FNomFichier, b);
  EXPECT_EQ(Ed.GetIndexCourant(), 0);
  EXPECT_EQ(R.FichierOuvert, a);
  // The type of the file closed last comes first.
  TFichierX n('N', 'x', EVarianteModele::Complet, R);
  EcritFichierXML(n, Chemin("n.xkqn"), true, R);
  n.FFlux.reset();
  Ed.FermeFichier();
  Ouvre(Chemin("n.xkqn"));
  Ed.FermeFichier();
  EXPECT_EQ(R.TypesUtilises, "NQRLM");
}

TEST_F(Fichiers, SauverSousLeMemeNom) {
  const std::string q = Questionnaire("q.xkqq");
  Ouvre(q);
  const TFlux* flux = Ed.GetFichierCourant()->FFlux.get();
  const std::string avant = LitOctets(q);
  // Not modified: nothing written, no message.
  V.Sauvegardes.push_back(TChoixSauvegarde{q, 0});
  Ed.ExecuteItem(EItem::Sauversous1);
  EXPECT_EQ(V.NomPropose, Chemin("q"));
  EXPECT_EQ(V.ExtensionSauvegarde, "xkqq");
  EXPECT_TRUE(V.Messages.empty());
  EXPECT_EQ(LitOctets(q), avant);
  EXPECT_EQ(Ed.GetFichierCourant()->FFlux.get(), flux);
  // Modified: rewritten in place, no overwrite question.
  V.Tape(EChamp::MReponse, "nouvelle réponse"_a);
  V.Sauvegardes.push_back(TChoixSauvegarde{q, 0});
  Ed.ExecuteItem(EItem::Sauversous1);
  EXPECT_TRUE(V.Messages.empty());
  EXPECT_NE(LitOctets(q), avant);
  EXPECT_FALSE(Ed.GetFichierCourant()->FModifie);
  EXPECT_EQ(Ed.GetFichierCourant()->FNomFichier, q);
}

TEST_F(Fichiers, EcraserUnAutreFichier) {
  const std::string q = Questionnaire("q.xkqq");
  const std::string autre = Questionnaire("autre.kqq", 1);
  const std::string avant = LitOctets(autre);
  Ouvre(q);
  R.FormatsUtilises = "nx";
  V.Reponses = {EBouton::Annuler};
  V.Sauvegardes.push_back(TChoixSauvegarde{autre, 1});
  Ed.ExecuteItem(EItem::Sauversous1);
  ASSERT_EQ(V.FiltresSauvegarde.size(), 2u);
  EXPECT_EQ(TexteFiltre(V.FiltresSauvegarde[0]), "XML|*.xkqq");
  EXPECT_EQ(TexteFiltre(V.FiltresSauvegarde[1]), "Natif|*.kqq");
  EXPECT_EQ(Messages(),
            std::vector<std::string>{"Le fichier \"autre.kqq\" existe déjà.\r\nVoulez-vous l'écraser ?"_a});
  EXPECT_EQ(LitOctets(autre), avant);
  V.Reponses = {EBouton::Ok};
  V.Sauvegardes.push_back(TChoixSauvegarde{autre, 1});
  Ed.ExecuteItem(EItem::Sauversous1);
  EXPECT_NE(LitOctets(autre), avant);
  EXPECT_EQ(Ed.GetFichierCourant()->FNomFichier, autre);
  EXPECT_EQ(Ed.GetFichierCourant()->FFormat, 'n');
  EXPECT_EQ(V.TitreFenetre, "KorEdit - " + autre);
  // The format written comes first at the next save.
  EXPECT_EQ(R.FormatsUtilises, "nx");
  R.FormatsUtilises = "xn";
  V.Sauvegardes.push_back(TChoixSauvegarde{Chemin("neuf.xkqq"), 0});
  Ed.ExecuteItem(EItem::Sauversous1);
  EXPECT_EQ(Ed.GetFichierCourant()->FFormat, 'n') << "the first entry is the file's own format";
  EXPECT_EQ(R.FormatsUtilises, "nx");
}

TEST_F(Fichiers, EchecDEcriture) {
  // A file too large for the limit below, modified by a card typed.
  const std::string q = Questionnaire("q.xkqq", 200);
  Ouvre(q);
  const TFichierX& f = *Ed.GetFichierCourant();
  V.Tape(EChamp::MReponse, std::string(100, 'r'));
  const TFlux* flux = f.FFlux.get();
  V.Reponses = {EBouton::Ok};
  V.Sauvegardes.push_back(TChoixSauvegarde{Chemin("gros.xkqq"), 0});
  {
    LimiteTailleFichiers limite(4096);
    Ed.ExecuteItem(EItem::Sauversous1);
  }
  ASSERT_EQ(V.Messages.size(), 1u);
  EXPECT_EQ(V.Messages[0].Icone, EGenreMessage::Erreur);
  EXPECT_EQ(f.FNomFichier, q);
  EXPECT_EQ(f.FFormat, 'x');
  EXPECT_EQ(f.FFlux.get(), flux);
  EXPECT_TRUE(f.FModifie);
  EXPECT_FALSE(FichierExiste(Chemin("gros.xkqq")));
  EXPECT_EQ(V.TitreFenetre, "KorEdit - " + q);
  // The next save works.
  Messages();
  Ed.ExecuteItem(EItem::Sauver1);
  EXPECT_TRUE(V.Messages.empty());
  EXPECT_FALSE(f.FModifie);
}

TEST_F(Fichiers, ExportSurLeFichierOuvertRefuse) {
  const std::string q = Questionnaire("q.xkqq");
  std::filesystem::create_symlink(q, Chemin("lien.xml"));
  Ouvre(q);
  const TFlux* flux = Ed.GetFichierCourant()->FFlux.get();
  const std::string avant = LitOctets(q);
  for (bool modifie : {false, true}) {
    // Modified by a card typed, which the export validates first.
    if (modifie) V.Tape(EChamp::MReponse, "changé"_a);
    for (const std::string& cible : {q, Chemin("lien.xml")}) {
      SCOPED_TRACE(cible);
      V.Reponses = {EBouton::Ok};
      V.Sauvegardes.push_back(TChoixSauvegarde{cible, 0});
      Ed.ExecuteItem(EItem::Exporter1);
      const auto m = Messages();
      ASSERT_EQ(m.size(), 1u);
      EXPECT_NE(m[0].find("C'est le fichier en cours de modification."), std::string::npos) << m[0];
      EXPECT_EQ(LitOctets(q), avant);
      EXPECT_EQ(Ed.GetFichierCourant()->FFlux.get(), flux);
      EXPECT_EQ(Ed.GetFichierCourant()->FNomFichier, q);
      EXPECT_EQ(Ed.GetFichierCourant()->FModifie, modifie);
    }
  }
  // Elsewhere: written, and the card file stays as it was.
  EXPECT_EQ(V.NomPropose, Chemin("q"));
  V.Sauvegardes.push_back(TChoixSauvegarde{Chemin("quiz.xml"), 0});
  Ed.ExecuteItem(EItem::Exporter1);
  EXPECT_TRUE(V.Messages.empty());
  EXPECT_NE(LitOctets(Chemin("quiz.xml")).find("<quiz>"), std::string::npos);
  EXPECT_EQ(Ed.GetFichierCourant()->FNomFichier, q);
  EXPECT_EQ(Ed.GetFichierCourant()->FFormat, 'x');
  EXPECT_EQ(Ed.GetFichierCourant()->FFlux.get(), flux);
}

TEST_F(Fichiers, FermetureDeLaFenetre) {
  Ouvre(Questionnaire("q.xkqq"));
  EXPECT_TRUE(Ed.PeutFermer());
  EXPECT_TRUE(R.FichierOuvertEnQuittant);
  EXPECT_EQ(Ed.GetFichierCourant(), nullptr);
  EXPECT_TRUE(Ed.PeutFermer());
  EXPECT_FALSE(R.FichierOuvertEnQuittant);
  Ed.ExecuteItem(EItem::Quitter1);
  EXPECT_TRUE(V.FenetreFermee);
}

// ---------------------------------------------------------------------------------------------
// The desktop's logout

TEST_F(Fichiers, TravailNonSauveAvantLaFinDeSession) {
  EXPECT_FALSE(Ed.TravailNonSauve()) << "no file";
  const std::string q = Questionnaire("q.xkqq");
  EcritFichierEssai(Chemin("r.xkqr"), 'R', {{"", "Durand", "01 02"}}, R);
  // What a user types: a card's field, field 0 of a questionnaire, the title of a type without
  // field 0 (which is the file's, not the card's).
  struct Cas {
    std::string Fichier;
    EChamp Champ;
  } table[] = {{q, EChamp::MReponse}, {q, EChamp::ETitre}, {Chemin("r.xkqr"), EChamp::ETitre}};
  for (const Cas& c : table) {
    SCOPED_TRACE(c.Fichier + " " + std::to_string(TVueScriptee::I(c.Champ)));
    Ed.LibereFichier();
    Ouvre(c.Fichier);
    EXPECT_FALSE(Ed.TravailNonSauve());
    V.Tape(c.Champ, "tapé"_a);
    EXPECT_TRUE(Ed.TravailNonSauve());
  }
  // The card validated: the file holds the change.
  ASSERT_FALSE(Ed.ValideFiche());
  Ed.ValideTitreFichier();
  ASSERT_FALSE(V.Modifies[TVueScriptee::I(EChamp::ETitre)]);
  EXPECT_TRUE(Ed.TravailNonSauve());
  EXPECT_TRUE(V.Messages.empty());
}

// The close's question at the logout, the file left open, then the close that ends the session.
TEST_F(Fichiers, QuestionDeFinDeSession) {
  const std::string q = Questionnaire("q.xkqq");
  const std::string avant = LitOctets(q);
  struct Cas {
    EBouton Reponse;
    bool Resultat, Ecrit;
  } table[] = {
      {EBouton::Oui, true, true},
      {EBouton::Non, true, false},
      {EBouton::Annuler, false, false},
  };
  for (const Cas& c : table) {
    SCOPED_TRACE(static_cast<int>(c.Reponse));
    EcritOctets(q, avant);
    R.FichierOuvert = "autre.xkqq";
    R.FichierRecent.clear();
    Ouvre(q, 1);
    V.Tape(EChamp::MReponse, "nouvelle reponse");
    V.Reponses = {c.Reponse};
    EXPECT_EQ(Ed.QuestionFinDeSession(), c.Resultat);
    EXPECT_EQ(Messages(), std::vector<std::string>{"Le fichier \"q.xkqq\" a été modifié.\r\nVoulez-vous le sauver ?"_a});
    EXPECT_EQ(LitOctets(q).find("nouvelle reponse") != std::string::npos, c.Ecrit);
    if (!c.Ecrit) {
      EXPECT_EQ(LitOctets(q), avant);
    }
    // Open and shown as before, whatever the answer.
    ASSERT_TRUE(Ed.GetFichierCourant());
    EXPECT_EQ(Ed.GetFichierCourant()->FNomFichier, q);
    EXPECT_EQ(Ed.GetFichierCourant()->FModifie, !c.Ecrit);
    EXPECT_EQ(Ed.GetIndexCourant(), 1);
    EXPECT_EQ(Ed.GetFicheAffichee(), &Ed.GetFichierCourant()->Fiche(1));
    EXPECT_EQ(V.Textes[TVueScriptee::I(EChamp::MReponse)], "nouvelle reponse");
    EXPECT_EQ(V.TitreFenetre, "KorEdit - " + q);
    EXPECT_EQ(R.FichierOuvert, "autre.xkqq");
    // The close: nothing asked again once answered; the file forgotten as a close forgets it.
    if (!c.Resultat) V.Reponses = {EBouton::Non};
    EXPECT_TRUE(Ed.PeutFermer());
    EXPECT_EQ(Messages().size(), c.Resultat ? 0u : 1u);
    EXPECT_EQ(Ed.GetFichierCourant(), nullptr);
    EXPECT_TRUE(R.FichierOuvertEnQuittant);
    EXPECT_EQ(R.FichierOuvert, q);
    EXPECT_EQ(R.NumeroFicheOuvert, 1);
    EXPECT_EQ(R.FichierRecent, "autre.xkqq");
    EXPECT_EQ(LitOctets(q).find("nouvelle reponse") != std::string::npos, c.Ecrit);
  }
}

TEST_F(Fichiers, QuestionDeFinDeSessionPourUnFichierSansNom) {
  ProposeType('Q');
  V.Nouveaux = {0};
  Ed.ExecuteItem(EItem::Nouveau1);
  Ed.ExecuteItem(EItem::BNouveau);
  V.Tape(EChamp::MQuestion, "q");
  V.Tape(EChamp::MReponse, "r");
  // Oui goes through the save dialog, as the close does; cancelled, the logout is to stop.
  V.Reponses = {EBouton::Oui};
  V.Sauvegardes.push_back(std::nullopt);
  EXPECT_FALSE(Ed.QuestionFinDeSession());
  ASSERT_TRUE(Ed.GetFichierCourant());
  EXPECT_TRUE(Ed.GetFichierCourant()->FNomFichier.empty());
  EXPECT_TRUE(Ed.GetFichierCourant()->FModifie);
  const std::string neuf = Chemin("neuf.xkqq");
  V.Reponses = {EBouton::Oui};
  V.Sauvegardes.push_back(TChoixSauvegarde{neuf, 0});
  EXPECT_TRUE(Ed.QuestionFinDeSession());
  EXPECT_TRUE(V.Sauvegardes.empty());
  EXPECT_EQ(Messages().size(), 2u);
  EXPECT_NE(LitOctets(neuf).find("<ORVALINE"), std::string::npos);
  ASSERT_TRUE(Ed.GetFichierCourant());
  EXPECT_EQ(Ed.GetFichierCourant()->FNomFichier, neuf);
  EXPECT_FALSE(Ed.GetFichierCourant()->FModifie);
  EXPECT_EQ(V.TitreFenetre, "KorEdit - " + neuf);
  EXPECT_TRUE(Ed.PeutFermer());
  EXPECT_TRUE(V.Messages.empty());
  EXPECT_EQ(R.FichierOuvert, neuf);
}

// A card refused or a save that fails answers nothing: the logout is to stop, and the close asks.
TEST_F(Fichiers, QuestionDeFinDeSessionSansReponse) {
  const std::string q = Questionnaire("q.xkqq", 200);
  const std::string avant = LitOctets(q);
  Ouvre(q);
  V.Tape(EChamp::MQuestion, "");
  V.Reponses = {EBouton::Annuler};
  EXPECT_FALSE(Ed.QuestionFinDeSession());
  EXPECT_EQ(Messages(), std::vector<std::string>{"La fiche est incomplète !\r\nRemplissez-la ou supprimez-la."_a});
  V.Tape(EChamp::MQuestion, "q");
  V.Tape(EChamp::MReponse, std::string(100, 'r'));
  V.Reponses = {EBouton::Oui, EBouton::Ok};
  {
    LimiteTailleFichiers limite(4096);
    EXPECT_FALSE(Ed.QuestionFinDeSession());
  }
  // The question, then the writer's error.
  ASSERT_EQ(V.Messages.size(), 2u);
  EXPECT_EQ(V.Messages[0].Boutons, EBoutons::OuiNonAnnuler);
  EXPECT_EQ(V.Messages[1].Icone, EGenreMessage::Erreur);
  Messages();
  EXPECT_EQ(LitOctets(q), avant) << "a failed save leaves the file as it was";
  ASSERT_TRUE(Ed.GetFichierCourant());
  EXPECT_TRUE(Ed.GetFichierCourant()->FModifie);
  V.Reponses = {EBouton::Annuler};
  EXPECT_FALSE(Ed.PeutFermer());
  EXPECT_EQ(Messages().size(), 1u);
  EXPECT_TRUE(Ed.GetFichierCourant());
}

// The answer holds only while nothing happened since: a command, a second start's command line,
// something typed, or the session going on makes the close ask again.
TEST_F(Fichiers, ReponseDeFinDeSessionPerimee) {
  EcritFichierEssai(Chemin("r.xkqr"), 'R', {{"", "Durand", "01 02"}}, R);
  struct Cas {
    std::string Nom;
    std::function<void()> Depuis;
  } table[] = {
      {"commande", [&] { Ed.ExecuteItem(EItem::Premiere1); }},
      {"ligne de commande", [&] { Ed.LigneCommandeRecue({Chemin("r.xkqr")}); }},
      {"fiche tapée", [&] { V.Tape(EChamp::MQuestion, "Dupont"); }},
      {"titre tapé", [&] { V.Tape(EChamp::ETitre, "Carnet"); }},
      {"session poursuivie", [&] { Ed.FinDeSessionAbandonnee(); }},
  };
  for (const Cas& c : table) {
    SCOPED_TRACE(c.Nom);
    Ed.LibereFichier();
    Ouvre(Chemin("r.xkqr"));
    V.Tape(EChamp::MReponse, "03 04");
    V.Reponses = {EBouton::Non};
    ASSERT_TRUE(Ed.QuestionFinDeSession());
    Messages();
    c.Depuis();
    ASSERT_TRUE(Ed.GetFichierCourant());
    V.Reponses = {EBouton::Annuler};
    EXPECT_FALSE(Ed.PeutFermer());
    EXPECT_EQ(Messages(), std::vector<std::string>{"Le fichier \"r.xkqr\" a été modifié.\r\nVoulez-vous le sauver ?"_a});
    EXPECT_TRUE(Ed.GetFichierCourant());
  }
}

}  // namespace
