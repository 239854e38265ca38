// The XML card file: the writer's exact lines, the reader's rules, the round trip over every
// type, and the files that must stay readable whatever they hold.

#include <gtest/gtest.h>
#include <libxml/parser.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>

#include "cards/KorNatif.h"
#include "cards/KorOutils.h"
#include "cards/KorXml.h"
#include "platform/Ansi.h"
#include "platform/Fichier.h"
#include "tests/Outils.h"

namespace fs = std::filesystem;

namespace {

const std::string Donnees = std::string(ORVALINE_SOURCE_DIR) + "/tests/cards/donnees/";
const std::string Decl = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";

bool Contient(const std::string& texte, const std::string& morceau) { return texte.find(morceau) != std::string::npos; }

bool BienForme(const std::string& xml) {
  xmlDocPtr doc = xmlReadMemory(xml.data(), static_cast<int>(xml.size()), nullptr, nullptr, OptionsAnalyseXML());
  if (!doc) return false;
  xmlFreeDoc(doc);
  return true;
}

class FormatXml : public DossierTemporaire {
 protected:
  std::string Ecrit(TFichierX& f) { return OctetsFichierXML(f, Rg); }
  std::unique_ptr<TFichierX> Lit(const std::string& xml, bool complet = true,
                                 EVarianteModele v = EVarianteModele::Complet) {
    return LitFichierXMLOctets(xml, complet, v, Rg);
  }
  std::string Message(const std::string& xml, EVarianteModele v = EVarianteModele::Complet) {
    try {
      Lit(xml, true, v);
    } catch (const ErreurIdInvalide& e) {
      return e.Message();
    }
    return "accepté";
  }
  // Compares with a golden file; ORVALINE_GOLDEN=1 writes it instead.
  void CompareAuFichier(const std::string& nom, const std::string& octets) {
    if (std::getenv("ORVALINE_GOLDEN")) EcritOctets(Donnees + nom, octets);
    EXPECT_EQ(octets, LitOctets(Donnees + nom)) << nom;
  }

  TReglages Rg;
};

// ---- The writer ----

TEST_F(FormatXml, FichierVide) {
  TFichierX f('R', 'x', EVarianteModele::Complet, Rg);
  const std::string attendu = Decl +
                              "<ORVALINE VERSION=\"7.8\" TYPE=\"R\" ID_FICHE=\"F\" ID_CHAMP1=\"O\" ID_CHAMP2=\"C\">\n"
                              "<TITRE></TITRE>\n"
                              "</ORVALINE>\n";
  EXPECT_EQ(Ecrit(f), attendu);
  CompareAuFichier("vide.xkqr", Ecrit(f));
  f.FFeuilleStyle = "fiches.xsl";
  EXPECT_EQ(Ecrit(f), Decl + "<?xml-stylesheet type=\"text/xsl\" href=\"fiches.xsl\"?>\n" + attendu.substr(Decl.size()));
  CompareAuFichier("vide_style.xkqr", Ecrit(f));
}

TEST_F(FormatXml, RacineDuQuestionnaire) {
  TFichierX f('Q', 'x', EVarianteModele::Complet, Rg);
  auto racine = [&] {
    const std::string s = Ecrit(f);
    const auto debut = s.find("<ORVALINE");
    return s.substr(debut, s.find('\n', debut) - debut);
  };
  EXPECT_EQ(racine(), "<ORVALINE VERSION=\"7.8\" TYPE=\"Q\" ID_FICHE=\"F\" ID_CHAMP0=\"I\" ID_CHAMP1=\"Q\" ID_CHAMP2=\"R\">");
  f.FVersionCreation = "7.8";
  EXPECT_FALSE(Contient(racine(), "VERSION_CREATION"));
  f.FVersionCreation = "6.1";
  f.FBalisesControles = "oui";
  f.FRetour = "LF";
  f.FEspaceXml = "preserve";
  EXPECT_EQ(racine(),
            "<ORVALINE VERSION=\"7.8\" VERSION_CREATION=\"6.1\" TYPE=\"Q\" ID_FICHE=\"F\" ID_CHAMP0=\"I\" "
            "ID_CHAMP1=\"Q\" ID_CHAMP2=\"R\" BALISES_CONTROLES=\"oui\" RETOUR=\"LF\" xml:space=\"preserve\">");
}

TEST_F(FormatXml, EchappementDesTextes) {
  TFichierX f('R', 'x', EVarianteModele::Complet, Rg);
  f.SetTitre("A & B <C> \"D\" 'E'");
  EXPECT_TRUE(Contient(Ecrit(f), "\n<TITRE>A &amp; B &lt;C&gt; \"D\" 'E'</TITRE>\n"));
}

TEST_F(FormatXml, BalisesDeControle) {
  struct Cas {
    std::string balises, feuille, espace;
    bool utf8;
    std::string ligne;
  } cas[] = {
      {"oui", "", "", true, "<O>a<br/>\nb<tab/>c</O>\n"},
      {"oui", "", "preserve", true, "<O>a<br/>b<tab/>c</O>\n"},
      {"oui", "", "", false, "<O>a<br/>\r\nb<tab/>c</O>\n"},
      {"", "f.xsl", "", true, "<O>a<br/>\nb<tab/>c</O>\n"},
      {"non", "f.xsl", "", true, "<O>a\nb\tc</O>\n"},
      {"", "", "", true, "<O>a\nb\tc</O>\n"},
      {"", "", "", false, "<O>a\r\nb\tc</O>\n"},  // windows-N keeps the text's own CR LF
      {"OUI", "", "", true, "<O>a\nb\tc</O>\n"},  // exact comparisons in the writer
  };
  for (const auto& c : cas) {
    TFichierX f('R', 'x', EVarianteModele::Complet, Rg);
    f.FBalisesControles = c.balises;
    f.FFeuilleStyle = c.feuille;
    f.FEspaceXml = c.espace;
    f.AjouteFiche("", "a\r\nb\tc", "x");
    Rg.XMLUtf8 = c.utf8;
    EXPECT_TRUE(Contient(Ecrit(f), "\n<F>\n" + c.ligne + "<C>x</C>\n</F>\n")) << c.balises << c.feuille << c.espace;
  }
}

TEST_F(FormatXml, ModeCdata) {
  TFichierX f('M', 'x', EVarianteModele::Complet, Rg);
  f.AjouteFiche("a<b", "x < y", "p & q");
  EXPECT_TRUE(Contient(Ecrit(f), "\n<F>\n<I>a&lt;b</I>\n<Q><![CDATA[x < y]]></Q>\n<R><![CDATA[p & q]]></R>\n</F>\n"));
}

TEST_F(FormatXml, DecoupageDuChamp2) {
  struct Cas {
    const char* nom;
    char type;
    std::string separateur, espace, champ2, lignes;
    bool autour;
  } cas[] = {
      {"questionnaire", 'Q', ";", "", "Paris;Lutèce"_a, "<R>Paris</R>\n<R CACHE=\"oui\">Lutèce</R>\n", false},
      {"entité", 'D', ";", "", "a & b;c", "<C>a &amp; b</C>\n<C>c</C>\n", false},
      {"qcm", 'M', "===", "", "un\r\n===\r\ndeux", "<R><![CDATA[un]]></R>\n<R><![CDATA[deux]]></R>\n", false},
      {"qcm préservé", 'M', "===", "preserve", "un\r\n===\r\ndeux",
       "<R><![CDATA[un\n]]></R>\n<R><![CDATA[\ndeux]]></R>\n", false},
      {"sans séparateur", 'D', "", "", "a;b|c", "<C>a;b|c</C>\n", false},
      {"barre", 'D', "|", "", "a | b|c", "<C>a </C>\n<C> b</C>\n<C>c</C>\n", false},
      // With spacing around the separator, one that stands without it is not split.
      {"barre espacée", 'D', "|", "", "a | b|c", "<C>a</C>\n<C>b|c</C>\n", true},
      {"vides", 'Q', ";", "", ";a;", "<R></R>\n<R CACHE=\"oui\">a</R>\n<R CACHE=\"oui\"></R>\n", false},
  };
  for (const auto& c : cas) {
    TFichierX f(c.type, 'x', EVarianteModele::Complet, Rg);
    f.FFragmenteur = c.separateur;
    f.FEspaceXml = c.espace;
    Rg.EspaceAutourSeparateur = c.autour;
    f.AjouteFiche("", "q", c.champ2);
    const std::string s = Ecrit(f);
    EXPECT_TRUE(Contient(s, ">\n" + c.lignes + "</F>\n")) << c.nom << "\n" << s;
  }
}

TEST_F(FormatXml, FinsDeLigne) {
  struct Cas {
    std::string retour;
    bool lfSeul;
    std::string fin;
  } cas[] = {{"lf", true, "\r\n"}, {"LF", false, "\n"}, {"CRLF", true, "\r\n"}, {"", true, "\n"}, {"", false, "\r\n"}};
  for (const auto& c : cas) {
    TFichierX f('R', 'x', EVarianteModele::Complet, Rg);
    f.FRetour = c.retour;
    Rg.XMLLFSeul = c.lfSeul;
    const std::string s = Ecrit(f);
    EXPECT_TRUE(s.ends_with("</TITRE>" + c.fin + "</ORVALINE>" + c.fin)) << c.retour;
  }
}

TEST_F(FormatXml, LignesDesOptions) {
  auto options = [&](TFichierX& f) {
    const std::string s = Ecrit(f);
    const auto debut = s.find("<OPTIONS>");
    if (debut == std::string::npos) return std::string("aucune");
    return s.substr(debut, s.find("</OPTIONS>") + 11 - debut);
  };
  TFichierX d('D', 'x', EVarianteModele::Complet, Rg);
  EXPECT_EQ(options(d), "<OPTIONS>\n<FRAGMENTEUR>|</FRAGMENTEUR>\n</OPTIONS>\n");
  d.SetCommentaire('[');
  d.FFragmenteur.clear();
  EXPECT_EQ(options(d), "<OPTIONS>\n<FRAGMENTEUR></FRAGMENTEUR>\n<COMMENTAIRE>[</COMMENTAIRE>\n</OPTIONS>\n");
  TFichierX e('E', 'x', EVarianteModele::Complet, Rg);
  e.FEspacement = " ";
  e.SetAlternateur('|');
  e.SetTroncature('^');
  EXPECT_EQ(options(e),
            "<OPTIONS>\n<FRAGMENTEUR>\\n</FRAGMENTEUR>\n<ALTERNATEUR>|</ALTERNATEUR>\n<TRONCATURE>^</TRONCATURE>\n"
            "<ESPACEMENT>\\s</ESPACEMENT>\n</OPTIONS>\n");
  TFichierX r('R', 'x', EVarianteModele::Complet, Rg);
  r.FFragmenteur = ";";
  r.FEspacement = " ";
  EXPECT_EQ(options(r), "aucune");
  TFichierX q('Q', 'x', EVarianteModele::Complet, Rg);
  q.FAvecMotsIgnores = true;
  q.FMotsIgnores = "le & la";
  q.FScoreSatisfaisant = 200;
  EXPECT_EQ(options(q),
            "<OPTIONS>\n<OU_VISIBLE>ou</OU_VISIBLE>\n<OU_CACHE>;</OU_CACHE>\n<REPOSER_ERREURS VALEUR=\"non\"/>\n"
            "<SUIVRE_ORDRE VALEUR=\"non\"/>\n<BRIDER_ENTREE VALEUR=\"non\"/>\n<MOT_A_MOT VALEUR=\"non\"/>\n"
            "<DIFFERENCIER_CASSE VALEUR=\"non\"/>\n<PHONETIQUE VALEUR=\"non\"/>\n"
            "<NOMBRE_QUESTIONS>0</NOMBRE_QUESTIONS>\n<SCORE_SATISFAISANT>200</SCORE_SATISFAISANT>\n"
            "<CORRECTION VALEUR=\"non\"/>\n<TEMPS>0</TEMPS>\n<PONCTUATION>!\"',-.:;?</PONCTUATION>\n"
            "<MOTS_IGNORES>le &amp; la</MOTS_IGNORES>\n</OPTIONS>\n");
}

// The Part's complete cases, as golden files.
TEST_F(FormatXml, FichiersDeReference) {
  {
    TFichierX q('Q', 'x', EVarianteModele::Complet, Rg);
    q.FVersionCreation = "7.2";
    q.SetTitre("Capitales d'Europe");
    q.FSignature = "Mme Dupré"_a;
    q.FDescription = "Les capitales,\r\net leurs anciens noms.";
    q.FReposerErreurs = true;
    q.FNombreQuestions = 10;
    q.FAvecMotsIgnores = true;
    q.FMotsIgnores = "le la les";
    q.SetCommentaire('[');
    q.SetEtiquettes("Intitulé"_a, "Pays", "Capitale");
    q.SetCanevas("", "Quelle est la capitale de ", " ?");
    q.AjouteFiche("Europe", "France", "Paris ; Lutèce"_a);
    q.AjouteFiche("", "Italie", "Rome");
    q.AjouteFiche("", "A & B <C>", "x ; y ; z");
    CompareAuFichier("questionnaire.xkqq", Ecrit(q));
  }
  {
    TFichierX m('M', 'x', EVarianteModele::Complet, Rg);
    m.FFeuilleStyle = "qcm.xsl";
    m.FBalisesControles = "non";
    m.SetTitre("QCM");
    m.SetCanevas("", "", "\r\n===\r\n");
    m.AjouteFiche("Un <titre>", "Combien font 2 < 3 ?", "vrai\r\n===\r\nfaux\r\n===\r\nles deux");
    Rg.XMLUtf8 = false;
    Rg.XMLLFSeul = false;
    CompareAuFichier("qcm_windows.xkqm", Ecrit(m));
    Rg = TReglages();
  }
  {
    TFichierX e('E', 'x', EVarianteModele::Complet, Rg);
    e.FFeuilleStyle = "liste.xsl";
    e.SetTitre("Couleurs");
    e.AjouteFiche("", "Primaires", "rouge\r\nvert\r\nbleu");
    e.AjouteFiche("", "Tabulées"_a, "cyan\tmagenta");
    CompareAuFichier("enumerations.xkqe", Ecrit(e));
  }
}

// ---- The reader ----

std::string Doc(const std::string& racine, const std::string& corps) {
  return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<ORVALINE " + racine + ">\n" + corps + "</ORVALINE>\n";
}

TEST_F(FormatXml, FichiersRefuses) {
  EXPECT_EQ(Message("<?xml version=\"1.0\"?><orvaline TYPE=\"Q\"></orvaline>"), "Pas un fichier XML d'Orvaline valide !");
  EXPECT_EQ(Message("<?xml version=\"1.0\"?><x:ORVALINE xmlns:x=\"u\"></x:ORVALINE>"),
            "Pas un fichier XML d'Orvaline valide !");
  EXPECT_EQ(Message("<?xml version=\"1.0\"?><ORVALINE TYPE=\"Q\"><F><Q>abc</Q"), "Erreur dans l'écriture du code XML !"_a);
  EXPECT_EQ(Message(""), "Erreur dans l'écriture du code XML !"_a);
  EXPECT_EQ(Message("<?xml version=\"1.0\" encoding=\"inconnu\"?><ORVALINE/>"), "Erreur dans l'écriture du code XML !"_a);
  EXPECT_EQ(Message(Doc("TYPE=\"R\"", ""), EVarianteModele::Questionnaire), "Ce fichier n'est pas un questionnaire !");
  EXPECT_EQ(Message(Doc("", "")), "accepté");
  EXPECT_THROW(LitFichierXML(Dossier + "/absent.xkqq", false, true, EVarianteModele::Complet, Rg), EFOpenError);
}

TEST_F(FormatXml, TypeEtNomsDesElements) {
  EXPECT_EQ(Lit(Doc("", ""))->FType, 'Q');
  EXPECT_EQ(Lit(Doc("TYPE=\"r\"", ""))->FType, 'R');
  EXPECT_EQ(Lit(Doc("TYPE=\"\"", ""))->FType, 'Q');
  EXPECT_EQ(Lit(Doc("TYPE=\"%x\"", ""))->FType, '%');

  auto sansChamp0 = Lit(Doc("TYPE=\"Q\"", "<F><I>ignoré</I><Q>q</Q><R>r</R></F>\n"));
  EXPECT_FALSE(sansChamp0->FAvecChamp0);
  EXPECT_EQ(sansChamp0->Fiche(0).Champ0, "");
  EXPECT_EQ(sansChamp0->Fiche(0).Champ2, "r");

  auto mauvaisNom = Lit(Doc("TYPE=\"R\" ID_CHAMP2=\"2X\"", "<F><O>o</O><C>c</C><X>x</X></F>\n"));
  EXPECT_EQ(mauvaisNom->FIdChamp2, "C");
  EXPECT_EQ(mauvaisNom->Fiche(0).Champ2, "c");

  auto noms = Lit(Doc("TYPE=\"L\" ID_FICHE=\"carte\" ID_CHAMP0=\"t\" ID_CHAMP1=\"n\" ID_CHAMP2=\"c\"",
                      "<carte><t>T</t><n>N</n><c>C</c></carte>\n<F><c>pas une carte</c></F>\n"));
  EXPECT_TRUE(noms->FAvecChamp0);
  EXPECT_FALSE(noms->FSansChamp1);
  ASSERT_EQ(noms->GetNombreFiches(), 1);
  EXPECT_EQ(noms->Fiche(0).Champ0, "T");
  EXPECT_EQ(noms->Fiche(0).Champ1, "N");
  EXPECT_EQ(noms->Fiche(0).Champ2, "C");
}

TEST_F(FormatXml, OptionsLues) {
  auto q = Lit(Doc("TYPE=\"Q\"",
                   "<OPTIONS><SUIVRE_ORDRE VALEUR=\"OUI\"/><MOT_A_MOT/><SCORE_SATISFAISANT>abc</SCORE_SATISFAISANT>"
                   "<NOMBRE_QUESTIONS>300</NOMBRE_QUESTIONS><TEMPS></TEMPS><CORRECTION VALEUR=\"oui\"/>"
                   "<FRAGMENTEUR>#</FRAGMENTEUR><COMMENTAIRE>x</COMMENTAIRE><TRONCATURE>^</TRONCATURE>"
                   "<MOTS_IGNORES>a b</MOTS_IGNORES></OPTIONS>"));
  EXPECT_TRUE(q->FSuivreOrdre);
  EXPECT_FALSE(q->FMotAMot);
  EXPECT_TRUE(q->FCorrection);
  EXPECT_EQ(q->FScoreSatisfaisant, 50);
  EXPECT_EQ(q->FNombreQuestions, 44);
  EXPECT_EQ(q->FTemps, 0);
  EXPECT_EQ(q->FFragmenteur, ";");  // FRAGMENTEUR is not a questionnaire's option
  EXPECT_EQ(q->FCommentaire, '(');  // refused by the setter
  EXPECT_EQ(q->FTroncature, '^');
  EXPECT_TRUE(q->FAvecMotsIgnores);
  EXPECT_EQ(q->FMotsIgnores, "a b");

  auto d = Lit(Doc("TYPE=\"N\"", "<OPTIONS><FRAGMENTEUR>\\s#\\s</FRAGMENTEUR><ESPACEMENT>\\n</ESPACEMENT></OPTIONS>"));
  EXPECT_TRUE(d->FAvecOptions);
  EXPECT_EQ(d->FFragmenteur, " # ");
  EXPECT_EQ(d->FEspacement, "\r\n");
  EXPECT_FALSE(Lit(Doc("TYPE=\"N\"", ""))->FAvecOptions);
}

TEST_F(FormatXml, JonctionDesReponses) {
  const std::string reponses = "<F><Q>Capitale</Q><R>Paris</R><R CACHE=\"oui\">Lutèce</R><R>Lutetia</R></F>\n";
  auto q = Lit(Doc("TYPE=\"Q\"", "<OPTIONS><OU_VISIBLE>ou</OU_VISIBLE><OU_CACHE>;</OU_CACHE></OPTIONS>" + reponses));
  EXPECT_EQ(q->Fiche(0).Champ2, "Paris ; Lutèce ou Lutetia"_a);
  auto vide = Lit(Doc("TYPE=\"Q\"", "<OPTIONS><OU_VISIBLE></OU_VISIBLE></OPTIONS>" + reponses));
  EXPECT_EQ(vide->Fiche(0).Champ2, "Paris ; Lutèce ; Lutetia"_a);
  auto defaut = Lit(Doc("TYPE=\"Q\"", reponses));
  EXPECT_EQ(defaut->FOuVisible, "ou");
  EXPECT_EQ(defaut->Fiche(0).Champ2, "Paris ; Lutèce ou Lutetia"_a);
  auto preserve = Lit(Doc("TYPE=\"Q\" xml:space=\"preserve\"", reponses));
  EXPECT_EQ(preserve->Fiche(0).Champ2, "Paris;Lutèce ou Lutetia"_a);
  auto r = Lit(Doc("TYPE=\"R\"", "<F><C>un</C><C>deux</C></F>\n"));
  EXPECT_EQ(r->Fiche(0).Champ2, "un\r\ndeux");
  auto sansReponse = Lit(Doc("TYPE=\"R\"", "<F><O>seul</O></F>\n"));
  EXPECT_EQ(sansReponse->Fiche(0).Champ2, "");
}

// The elements may come in any order: the cards met before the options are joined with the
// options' separators all the same; only the first element of each block counts.
TEST_F(FormatXml, ElementsDansNImporteQuelOrdre) {
  const std::string reponses = "<F><Q>Capitale</Q><R>Paris</R><R CACHE=\"oui\">Lutèce</R><R>Lutetia</R></F>\n";
  const std::string options = "<OPTIONS><OU_VISIBLE>et</OU_VISIBLE><OU_CACHE>#</OU_CACHE></OPTIONS>\n";
  const std::string autres = "<OPTIONS><OU_VISIBLE>ni</OU_VISIBLE></OPTIONS>\n<TITRE>second</TITRE>\n";
  for (const std::string& corps : {options + reponses + "<TITRE>T</TITRE>\n" + autres + reponses,
                                   reponses + "<TITRE>T</TITRE>\n" + options + reponses + autres,
                                   reponses + "<TITRE>T</TITRE>\n" + reponses + options + autres}) {
    SCOPED_TRACE(corps);
    auto q = Lit(Doc("TYPE=\"Q\"", corps));
    EXPECT_EQ(q->FTitre, "T");
    EXPECT_EQ(q->FOuVisible, "et");
    ASSERT_EQ(q->GetNombreFiches(), 2);
    for (int i = 0; i < 2; ++i) EXPECT_EQ(q->Fiche(i).Champ2, "Paris # Lutèce et Lutetia"_a);
  }
  // One element standing for the options and a card at once: the card takes their separator.
  auto r = Lit(Doc("TYPE=\"R\" ID_FICHE=\"OPTIONS\"", "<OPTIONS><FRAGMENTEUR>#</FRAGMENTEUR><C>a</C><C>b</C></OPTIONS>"));
  ASSERT_EQ(r->GetNombreFiches(), 1);
  EXPECT_EQ(r->Fiche(0).Champ2, "a#b");
}

// A card of a great many items reads them all, in order.
TEST_F(FormatXml, FicheDeCentMilleItems) {
  constexpr int n = 100000;
  std::string corps = "<F><Q>Q</Q>";
  std::string attendu;
  for (int i = 0; i < n; ++i) {
    corps += "<R>r" + std::to_string(i) + "</R>";
    attendu += (i ? " ou r" : "r") + std::to_string(i);
  }
  auto q = Lit(Doc("TYPE=\"Q\"", corps + "</F>"));
  ASSERT_EQ(q->GetNombreFiches(), 1);
  EXPECT_TRUE(q->Fiche(0).Champ2 == attendu) << q->Fiche(0).Champ2.size() << " bytes instead of " << attendu.size();
}

TEST_F(FormatXml, TexteDesChamps) {
  const std::string champ = "<F><O>t</O><C>a<br/>\nb<tab/>c<gras>d</gras><!-- e --></C></F>\n";
  EXPECT_EQ(Lit(Doc("TYPE=\"R\" BALISES_CONTROLES=\"oui\"", champ))->Fiche(0).Champ2, "a\r\nb\tc");
  EXPECT_EQ(Lit(Doc("TYPE=\"R\"", champ))->Fiche(0).Champ2, "a\r\nbcd");
  auto oui = Lit(Doc("TYPE=\"R\" BALISES_CONTROLES=\"OUI\" RETOUR=\"lf\"", ""));
  EXPECT_EQ(oui->FBalisesControles, "oui");
  EXPECT_EQ(oui->FRetour, "LF");
  // A style sheet turns the control tags on unless BALISES_CONTROLES says "non".
  const std::string feuille = "<?xml version=\"1.0\"?>\n<?xml-stylesheet type=\"text/xsl\" href=\"f.xsl\"?>\n";
  EXPECT_EQ(Lit(feuille + "<ORVALINE TYPE=\"R\">" + champ + "</ORVALINE>")->Fiche(0).Champ2, "a\r\nb\tc");
  EXPECT_EQ(Lit(feuille + "<ORVALINE TYPE=\"R\" BALISES_CONTROLES=\"non\">" + champ + "</ORVALINE>")->Fiche(0).Champ2,
            "a\r\nbcd");
  // Line breaks of the text itself, and blanks around it.
  EXPECT_EQ(Lit(Doc("TYPE=\"R\"", "<F><C>\n  un\r\ndeux  \n</C></F>"))->Fiche(0).Champ2, "un\r\ndeux");
  EXPECT_EQ(Lit(Doc("TYPE=\"R\" xml:space=\"preserve\"", "<F><C> un\ndeux </C></F>"))->Fiche(0).Champ2,
            " un\r\ndeux ");
  EXPECT_EQ(Lit(Doc("TYPE=\"R\"", "<F><C xml:space=\"preserve\"> un </C></F>"))->Fiche(0).Champ2, " un ");
}

// A long text is converted in slices of 64 KiB: whatever falls on a slice's end (inside a
// character of two or three bytes, or between CR and LF), the text comes whole.
TEST_F(FormatXml, TextesLongs) {
  constexpr std::size_t Tranche = 64 * 1024;
  for (std::size_t decalage = 0; decalage < 8; ++decalage) {
    const std::string debut(Tranche - decalage, 'a');
    // "€" is three bytes in UTF-8 and "é" two; "&#13;" before a line feed makes one CR LF.
    const std::string utf8 = debut + "€é&#13;\n€" + std::string(Tranche, 'b') + "&#13;\nz";
    const std::string attendu = debut + "€é\r\n€"_a + std::string(Tranche, 'b') + "\r\nz";
    EXPECT_TRUE(Lit(Doc("TYPE=\"R\"", "<F><C>" + utf8 + "</C></F>"))->Fiche(0).Champ2 == attendu) << decalage;
  }
}

TEST_F(FormatXml, FeuilleDeStyle) {
  auto href = [&](const std::string& prologue) {
    return Lit(prologue + "<ORVALINE TYPE=\"R\"/>")->FFeuilleStyle;
  };
  EXPECT_EQ(href("<?xml version=\"1.0\"?><?xml-stylesheet type=\"text/xsl\" href=\"a.xsl\"?>"), "a.xsl");
  EXPECT_EQ(href("<?xml version=\"1.0\"?><!-- c --><?xml-stylesheet type=\"text/xsl\" href=\"a.xsl\"?>"), "");
  EXPECT_EQ(href("<?xml version=\"1.0\"?><?xml-stylesheet type=\"text/css\" href=\"style.css\"?>"), "");
  EXPECT_EQ(href("<?xml-stylesheet href=\"a.xsl\"?><?autre x?><?xml-stylesheet href=\"b.xsl\"?>"), "b.xsl");
  EXPECT_EQ(href("<?xml-stylesheet href=\"" + std::string(300, 'd') + ".xsl\"?>"), std::string(300, 'd') + ".xsl");
  EXPECT_EQ(href("<?xml-stylesheet href=\"a&amp;b&#233;.xsl\"?>"), "a&bé.xsl"_a);
}

TEST_F(FormatXml, ChargementDeCanevas) {
  TFichierX q('Q', 'x', EVarianteModele::Complet, Rg);
  q.FVersionCreation = "6.0";
  q.FFeuilleStyle = "q.xsl";
  q.SetTitre("Titre");
  q.FSignature = "Moi";
  q.FDescription = "Desc";
  q.FSuivreOrdre = true;
  q.SetEtiquettes("E0", "E1", "E2");
  q.SetCanevas("C0", " C1", "C2 ");
  q.AjouteFiche("a", "b", "c");
  const std::string chemin = Dossier + "/q.xkqq";
  EcritFichierXML(q, chemin, true, Rg);
  q.FFlux.reset();

  auto lu = LitFichierXML(chemin, true, false, EVarianteModele::Complet, Rg);
  EXPECT_EQ(lu->GetNombreFiches(), 0);
  EXPECT_EQ(lu->FNomFichier, "");
  EXPECT_EQ(lu->FVersionCreation, "");
  EXPECT_EQ(lu->FTitre, "");
  EXPECT_EQ(lu->FSignature, "");
  EXPECT_EQ(lu->FDescription, "");
  EXPECT_EQ(lu->FFeuilleStyle, "q.xsl");
  EXPECT_TRUE(lu->FSuivreOrdre);
  EXPECT_EQ(lu->FEtiquettes.Champ1, "E1");
  EXPECT_EQ(lu->FCanevas.Champ1, " C1");
  EXPECT_EQ(lu->FCanevas.Champ2, "C2 ");
  EXPECT_TRUE(lu->FModifiable);
  EXPECT_FALSE(lu->FModifie);
  EXPECT_EQ(lu->FFlux, nullptr);
  EXPECT_NO_THROW(TFlux::Ouvre(chemin, EModeOuverture::LectureEcriture));

  auto complet = LitFichierXML(chemin, false, true, EVarianteModele::Complet, Rg);
  EXPECT_EQ(complet->FNomFichier, chemin);
  EXPECT_FALSE(complet->FModifiable);
  EXPECT_EQ(complet->FVersionCreation, "6.0");
  ASSERT_NE(complet->FFlux, nullptr);
  EXPECT_NO_THROW(TFlux::Ouvre(chemin, EModeOuverture::Lecture));
  EXPECT_THROW(TFlux::Ouvre(chemin, EModeOuverture::LectureEcriture), EFOpenError);
}

TEST_F(FormatXml, VarianteDuJoueur) {
  const std::string xml =
      "<?xml version=\"1.0\"?>\n<?xml-stylesheet href=\"q.xsl\"?>\n"
      "<ORVALINE TYPE=\"q\" VERSION=\"7.8\" ID_CHAMP0=\"I\" RETOUR=\"LF\">\n"
      "<TITRE xml:space=\"preserve\">  Titre  </TITRE>\n"
      "<OPTIONS><OU_CACHE>;</OU_CACHE><ESPACEMENT>\\s\\s</ESPACEMENT><FRAGMENTEUR>#</FRAGMENTEUR>"
      "<ALTERNATEUR>|</ALTERNATEUR></OPTIONS>\n"
      "<ETIQUETTES><Q>E1</Q></ETIQUETTES><CANEVAS><R>C2</R></CANEVAS>\n"
      "<F><I>%Catégorie</I><Q>ignorée</Q></F>\n"
      "<F><I>i</I><Q>a<br/>b</Q><R>x</R><R CACHE=\"OUI\">y</R><R>z</R></F>\n</ORVALINE>";
  auto j = Lit(xml, true, EVarianteModele::Questionnaire);
  EXPECT_EQ(j->Variante(), EVarianteModele::Questionnaire);
  EXPECT_EQ(j->FType, 'Q');
  EXPECT_EQ(j->FTitre, "  Titre  ");  // not trimmed
  EXPECT_EQ(Lit(xml)->FTitre, "Titre");
  EXPECT_EQ(j->FFeuilleStyle, "");
  EXPECT_EQ(j->FVersionCreation, "");
  EXPECT_EQ(j->FRetour, "");
  EXPECT_EQ(j->FAlternateur, '|');
  EXPECT_EQ(j->FEtiquettes.Champ1, "");
  EXPECT_FALSE(j->FAvecCanevas);
  ASSERT_EQ(j->GetNombreFiches(), 1);  // the category card is skipped
  EXPECT_EQ(j->Fiche(0).Champ1, "a\r\nb");  // control tags on unless "non"
  EXPECT_EQ(j->Fiche(0).Champ2, "x;y ou z");  // joiners never padded
}

TEST_F(FormatXml, AucunAccesExterieur) {
  const std::string dtd = Dossier + "/defauts.dtd";
  EcritOctets(dtd, "<!ATTLIST ORVALINE TYPE CDATA \"N\">");
  EcritOctets(Dossier + "/secret.txt", "secret");
  const std::string xml = "<?xml version=\"1.0\"?>\n<!DOCTYPE ORVALINE SYSTEM \"" + dtd +
                          "\" [\n<!ENTITY ext SYSTEM \"" + Dossier +
                          "/secret.txt\">\n<!ENTITY int \"interne\">\n]>\n"
                          "<ORVALINE><TITRE>a&ext;b&int;c&amp;</TITRE></ORVALINE>";
  auto f = Lit(xml);
  EXPECT_EQ(f->FType, 'Q');  // the external DTD's default was not loaded
  EXPECT_EQ(f->FTitre, "abc&");

  std::string bombe = "<?xml version=\"1.0\"?>\n<!DOCTYPE ORVALINE [\n<!ENTITY a \"aaaaaaaaaa\">\n";
  for (char c = 'b'; c <= 'k'; ++c) {
    bombe += "<!ENTITY " + std::string(1, c) + " \"";
    for (int i = 0; i < 10; ++i) bombe += "&" + std::string(1, static_cast<char>(c - 1)) + ";";
    bombe += "\">\n";
  }
  bombe += "]>\n<ORVALINE><TITRE>&k;</TITRE></ORVALINE>";
  try {
    EXPECT_LT(Lit(bombe)->FTitre.size(), 100u);
  } catch (const ErreurIdInvalide&) {
  }
}

TEST_F(FormatXml, EncodagesDeclares) {
  const std::string w = "<?xml version=\"1.0\" encoding=\"windows-1252\"?>\n<ORVALINE TYPE=\"R\"><TITRE>\xE9t\xE9 \x80</TITRE></ORVALINE>";
  EXPECT_EQ(Lit(w)->FTitre, "été €"_a);
  const std::string bom = "\xEF\xBB\xBF<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<ORVALINE TYPE=\"R\"><TITRE>été</TITRE></ORVALINE>";
  EXPECT_EQ(Lit(bom)->FTitre, "été"_a);
  const std::string latin = "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>\n<ORVALINE TYPE=\"R\"><TITRE>\xE9</TITRE></ORVALINE>";
  EXPECT_EQ(Lit(latin)->FTitre, "é"_a);
  const std::string horsPage = Doc("TYPE=\"R\"", "<TITRE>\xE2\x82\xAC \xE4\xB8\xAD</TITRE>");  // € and a CJK character
  EXPECT_EQ(Lit(horsPage)->FTitre, "\x80 ?");
}

// ---- The round trip ----

struct Variante {
  bool preserve, balises, utf8, lf;
};

// Texts a file written and read back must give identically: without blanks at the edges of a
// run of text unless blanks are preserved, items joined as the reader joins them.
void Remplit(TFichierX& f, const Variante& v) {
  f.FEspaceXml = v.preserve ? "preserve" : "";
  f.FBalisesControles = v.balises ? "oui" : "non";
  f.FFeuilleStyle = "feuille & co.xsl";
  f.FVersionCreation = "6.5";
  f.SetTitre("Titre « é » & <co> €"_a);
  f.FSignature = "Moi & œuvre"_a;
  f.FDescription = "Ligne 1\r\nLigne\t2";
  f.SetEtiquettes("Intitulé"_a, "Question & <co>", "Réponse «x»"_a);
  f.SetCanevas("c0 é"_a, " modèle\r\n"_a, "\tfin ");
  if (f.FAvecOptions) {
    f.SetAlternateur('|');
    f.SetCommentaire('[');
    f.SetTroncature('^');
  }
  if (f.FQuestionnaire) {
    f.FReposerErreurs = f.FPhonetique = f.FBriderEntree = true;
    f.FNombreQuestions = 200;
    f.FScoreSatisfaisant = 75;
    f.FTemps = 45;
    f.FPonctuation = "!\"',-.:;?&<";
    f.FAvecMotsIgnores = true;
    f.FMotsIgnores = "le la & les";
  }
  const std::string jointure = v.preserve ? f.FFragmenteur : f.FEspacement + f.FFragmenteur + f.FEspacement;
  const std::string items[] = {"un & <1> é"_a, "deux\tdé"_a, "trois ou quatre"};
  for (int i = 0; i < 3; ++i) {
    std::string champ2;
    if (f.FFragmenteur.empty()) {
      champ2 = "Réponse & <r> €\r\nligne\tdeux ]]> fin"_a;
    } else {
      for (int k = 0; k <= i; ++k) champ2 += (k ? jointure : "") + items[k];
    }
    if (v.preserve) champ2 = " " + champ2 + " ";
    f.AjouteFiche("Fiche " + std::to_string(i) + " é & <x>"_a, "Question\r\nsur\tdeux & <lignes> ]]>", champ2);
  }
  f.FModifie = false;
}

void VerifieEgaux(const TFichierX& a, const TFichierX& b) {
  EXPECT_EQ(a.FType, b.FType);
  EXPECT_EQ(a.FTitre, b.FTitre);
  EXPECT_EQ(a.FSignature, b.FSignature);
  EXPECT_EQ(a.FDescription, b.FDescription);
  EXPECT_EQ(a.FVersionCreation, b.FVersionCreation);
  EXPECT_EQ(a.FFeuilleStyle, b.FFeuilleStyle);
  EXPECT_EQ(a.FEspaceXml, b.FEspaceXml);
  EXPECT_EQ(a.FBalisesControles, b.FBalisesControles);
  EXPECT_EQ(a.FIdFiche, b.FIdFiche);
  EXPECT_EQ(a.FIdChamp1, b.FIdChamp1);
  EXPECT_EQ(a.FIdChamp2, b.FIdChamp2);
  EXPECT_EQ(a.FAvecChamp0, b.FAvecChamp0);
  EXPECT_EQ(a.FSansChamp1, b.FSansChamp1);
  EXPECT_EQ(a.FAvecOptions, b.FAvecOptions);
  EXPECT_EQ(a.FFragmenteur, b.FFragmenteur);
  EXPECT_EQ(a.FEspacement, b.FEspacement);
  EXPECT_EQ(a.FAlternateur, b.FAlternateur);
  EXPECT_EQ(a.FCommentaire, b.FCommentaire);
  EXPECT_EQ(a.FTroncature, b.FTroncature);
  EXPECT_EQ(a.FOuVisible, b.FOuVisible);
  EXPECT_EQ(a.FPonctuation, b.FPonctuation);
  EXPECT_EQ(a.FAvecMotsIgnores, b.FAvecMotsIgnores);
  EXPECT_EQ(a.FMotsIgnores, b.FMotsIgnores);
  EXPECT_EQ(a.FReposerErreurs, b.FReposerErreurs);
  EXPECT_EQ(a.FPhonetique, b.FPhonetique);
  EXPECT_EQ(a.FBriderEntree, b.FBriderEntree);
  EXPECT_EQ(a.FNombreQuestions, b.FNombreQuestions);
  EXPECT_EQ(a.FScoreSatisfaisant, b.FScoreSatisfaisant);
  EXPECT_EQ(a.FTemps, b.FTemps);
  EXPECT_EQ(a.FAvecEtiquettes, b.FAvecEtiquettes);
  EXPECT_EQ(a.FEtiquettes.Champ0, b.FEtiquettes.Champ0);
  EXPECT_EQ(a.FEtiquettes.Champ1, b.FEtiquettes.Champ1);
  EXPECT_EQ(a.FEtiquettes.Champ2, b.FEtiquettes.Champ2);
  EXPECT_EQ(a.FAvecCanevas, b.FAvecCanevas);
  if (a.FAvecChamp0) {
    EXPECT_EQ(a.FCanevas.Champ0, b.FCanevas.Champ0);
  }
  if (!a.FSansChamp1) {
    EXPECT_EQ(a.FCanevas.Champ1, b.FCanevas.Champ1);
  }
  EXPECT_EQ(a.FCanevas.Champ2, b.FCanevas.Champ2);
  ASSERT_EQ(a.GetNombreFiches(), b.GetNombreFiches());
  for (int i = 0; i < a.GetNombreFiches(); ++i) {
    if (a.FAvecChamp0) {
      EXPECT_EQ(a.Fiche(i).Champ0, b.Fiche(i).Champ0) << "fiche " << i;
    }
    if (!a.FSansChamp1) {
      EXPECT_EQ(a.Fiche(i).Champ1, b.Fiche(i).Champ1) << "fiche " << i;
    }
    EXPECT_EQ(a.Fiche(i).Champ2, b.Fiche(i).Champ2) << "fiche " << i;
  }
}

TEST_F(FormatXml, AllerRetourSurTousLesTypes) {
  for (char type : std::string("ABCDEFGHIJKLMNOPQRSTUV3")) {
    for (int n = 0; n < 16; ++n) {
      const Variante v{(n & 1) != 0, (n & 2) != 0, (n & 4) != 0, (n & 8) != 0};
      SCOPED_TRACE(std::string("type ") + type + (v.preserve ? " preserve" : "") + (v.balises ? " balises" : "") +
                   (v.utf8 ? " utf-8" : " windows-1252") + (v.lf ? " LF" : " CR LF"));
      TFichierX f(type, 'x', EVarianteModele::Complet, Rg);
      Remplit(f, v);
      Rg.XMLUtf8 = v.utf8;
      Rg.XMLLFSeul = v.lf;
      const std::string xml = Ecrit(f);
      EXPECT_EQ(DetecteFormatOctets(xml, "f.xkq", EVarianteDetection::Complete, Rg), 'x');
      auto lu = Lit(xml);
      VerifieEgaux(f, *lu);
      // A second round gives the same bytes.
      EXPECT_EQ(Ecrit(*lu), xml);
    }
  }
}

// ---- Files that must stay readable ----

// Root attribute values and the style-sheet href can hold what a file gave them.
TEST_F(FormatXml, ValeursDAttributsEchappees) {
  for (char type : std::string("\"&<>'")) {
    TFichierX f(type, 'x', EVarianteModele::Complet, Rg);
    f.FBalisesControles = "n\"o&n<>";
    f.FRetour = "L\"F&<";
    f.FEspaceXml = "pre\"serve&<\tx";
    f.FVersionCreation = "1\"&<2.3";
    f.FFeuilleStyle = "a&b\"c<d>?>e.xsl";
    f.AjouteFiche("", "q", "r");
    const std::string xml = Ecrit(f);
    ASSERT_TRUE(BienForme(xml)) << xml;
    auto lu = Lit(xml);
    EXPECT_EQ(lu->FType, type);
    EXPECT_EQ(lu->FBalisesControles, "n\"o&n<>");
    EXPECT_EQ(lu->FRetour, "L\"F&<");
    EXPECT_EQ(lu->FEspaceXml, "pre\"serve&<\tx");
    EXPECT_EQ(lu->FVersionCreation, "1\"&<2.3");
    EXPECT_EQ(lu->FFeuilleStyle, "a&b\"c<d>?>e.xsl");
    EXPECT_EQ(lu->Fiche(0).Champ2, "r");
  }
}

// Bytes XML cannot hold are left out; a CDATA text holding "]]>" and bytes the code page
// leaves undefined come back as they were.
TEST_F(FormatXml, CaracteresImpossiblesDansUnFichierXml) {
  std::string interdits;
  for (int c = 1; c < 0x20; ++c)
    if (c != '\t' && c != '\n' && c != '\r') interdits += static_cast<char>(c);
  for (char type : std::string("RMQ")) {
    for (bool utf8 : {true, false}) {
      SCOPED_TRACE(std::string(1, type) + (utf8 ? " utf-8" : " windows-1252"));
      Rg.XMLUtf8 = utf8;
      TFichierX f(type, 'x', EVarianteModele::Complet, Rg);
      f.SetTitre("a" + interdits + "b\x81");
      f.FRetour = "x" + interdits;
      f.SetEtiquettes("e]]>0", "e]]>1\x8D", "e2" + interdits);
      f.SetCanevas("c0", "c]]>1", "c2\x1F");
      const std::string jointure = f.FFragmenteur.empty() ? "" : f.FEspacement + f.FFragmenteur + f.FEspacement;
      f.AjouteFiche("z\x01", "x]]>y\x90", "p" + interdits + "q]]>\x9D" + jointure + "r\x1Fs");
      const std::string xml = Ecrit(f);
      ASSERT_TRUE(BienForme(xml)) << xml;
      auto lu = Lit(xml);
      EXPECT_EQ(lu->FTitre, "ab\x81");
      EXPECT_EQ(lu->FRetour, "X");
      EXPECT_EQ(lu->FEtiquettes.Champ0, "e]]>0");
      EXPECT_EQ(lu->FEtiquettes.Champ1, "e]]>1\x8D");
      EXPECT_EQ(lu->FEtiquettes.Champ2, "e2");
      EXPECT_EQ(lu->FCanevas.Champ1, "c]]>1");
      EXPECT_EQ(lu->FCanevas.Champ2, "c2");
      if (lu->FAvecChamp0) {
        EXPECT_EQ(lu->Fiche(0).Champ0, "z");
      }
      EXPECT_EQ(lu->Fiche(0).Champ1, "x]]>y\x90");
      EXPECT_EQ(lu->Fiche(0).Champ2, "pq]]>\x9D" + jointure + "rs");
    }
  }
}

// With control tags on and the separator CR LF, a save and a load keep field 2 as it was.
TEST_F(FormatXml, SeparateurRetourAvecBalisesDeControle) {
  for (char type : std::string("ELV")) {
    SCOPED_TRACE(type);
    TFichierX f(type, 'x', EVarianteModele::Complet, Rg);
    f.FFeuilleStyle = "liste.xsl";
    f.AjouteFiche("", "t", "un\r\ndeux\r\ntrois");
    std::string xml = Ecrit(f);
    EXPECT_TRUE(Contient(xml, "<C>un</C>\n<C>deux</C>\n<C>trois</C>\n")) << xml;
    for (int tour = 0; tour < 3; ++tour) {
      auto lu = Lit(xml);
      EXPECT_EQ(lu->Fiche(0).Champ2, "un\r\ndeux\r\ntrois");
      xml = Ecrit(*lu);
    }
  }
}

// The UTF-8 text is converted from 1252, the code page the texts are held in, whatever the file's
// own; a windows-N file declares its code page (one that names no single-byte page is written as
// 1252) and keeps the bytes.
TEST_F(FormatXml, CodePageDuFichier) {
  struct Cas {
    std::uint16_t codePage;
    bool utf8;
    std::string declaration, octets;
  } cas[] = {
      {1250, true, "UTF-8", "\xC2\xA5"},        // 0xA5 is ¥ in 1252 (Ą in 1250)
      {1252, true, "UTF-8", "\xC2\xA5"},
      {0, true, "UTF-8", "\xC2\xA5"},
      {65001, true, "UTF-8", "\xC2\xA5"},
      {1251, true, "UTF-8", "\xC2\xA5"},        // not Ґ
      {1250, false, "windows-1250", "\xA5"},
      {0, false, "windows-1252", "\xA5"},
      {65001, false, "windows-1252", "\xA5"},
      {932, false, "windows-1252", "\xA5"},
      {874, false, "windows-874", "\xA5"},
  };
  for (const auto& c : cas) {
    SCOPED_TRACE(c.codePage);
    TFichierX f('R', 'x', EVarianteModele::Complet, Rg);
    f.FCodePage = c.codePage;
    f.SetTitre("\xA5");
    Rg.XMLUtf8 = c.utf8;
    const std::string xml = Ecrit(f);
    EXPECT_TRUE(xml.starts_with("<?xml version=\"1.0\" encoding=\"" + c.declaration + "\"?>\n"));
    EXPECT_TRUE(Contient(xml, "<TITRE>" + c.octets + "</TITRE>"));
    EXPECT_TRUE(BienForme(xml));
  }
}

// A native file whose header records another code page than 1252, saved as XML in UTF-8, reads
// back with the letters it held.
TEST_F(FormatXml, Utf8SeRelitQuelQueSoitLeCodePageDuFichier) {
  for (std::uint16_t codePage : {1250, 1251, 874, 1252}) {
    SCOPED_TRACE(codePage);
    TFichierX depart('Q', 'n', EVarianteModele::Complet, Rg);
    depart.FCodePage = codePage;
    depart.SetTitre("Près"_a);
    depart.AjouteFiche("", "Où est l'œuvre ?"_a, "Là ; à côté"_a);
    auto natif = LitFichierNatifOctets(OctetsFichierNatif(depart, Rg), true, EVarianteModele::Complet, Rg);
    ASSERT_EQ(natif->FCodePage, codePage);
    Rg.XMLUtf8 = true;
    const std::string xml = Ecrit(*natif);
    EXPECT_TRUE(Contient(xml, "<TITRE>Pr\xC3\xA8s</TITRE>")) << xml;
    auto lu = Lit(xml);
    EXPECT_EQ(lu->FTitre, "Près"_a);
    EXPECT_EQ(lu->Fiche(0).Champ1, "Où est l'œuvre ?"_a);
    EXPECT_EQ(lu->Fiche(0).Champ2, "Là ; à côté"_a);
  }
}

TEST_F(FormatXml, EnregistrementQuiEchoueNePerdRien) {
  for (bool nouveau : {false, true}) {
    SCOPED_TRACE(nouveau ? "nouveau" : "réécriture");
    const std::string source = Dossier + "/source.xkqr";
    const std::string cible = nouveau ? Dossier + "/cible.xkqr" : source;
    TFichierX depart('R', 'x', EVarianteModele::Complet, Rg);
    depart.AjouteFiche("", "a", "b");
    EcritFichierXML(depart, source, true, Rg);
    depart.FFlux.reset();
    if (nouveau) EcritOctets(cible, "ancien contenu");
    auto f = LitFichierXML(source, true, true, EVarianteModele::Complet, Rg);
    const std::string avant = LitOctets(cible);
    for (int i = 0; i < 200; ++i) f->AjouteFiche("", "fiche", std::to_string(i));
    const TFlux* flux = f->FFlux.get();
    {
      LimiteTailleFichiers limite(4096);
      EXPECT_THROW(EcritFichierXML(*f, cible, nouveau, Rg), EWriteError);
    }
    EXPECT_EQ(LitOctets(cible), avant);
    EXPECT_EQ(f->FFlux.get(), flux);
    EXPECT_EQ(f->FNomFichier, source);
    EXPECT_EQ(f->FFormat, 'x');
    EXPECT_TRUE(f->FModifie);
    EXPECT_TRUE(f->FModifiable);
    std::vector<std::string> noms;
    for (const auto& e : fs::directory_iterator(Dossier)) noms.push_back(e.path().filename().string());
    std::sort(noms.begin(), noms.end());
    const std::vector<std::string> restants =
        nouveau ? std::vector<std::string>{"cible.xkqr", "source.xkqr"} : std::vector<std::string>{"source.xkqr"};
    EXPECT_EQ(noms, restants);
    EcritFichierXML(*f, cible, nouveau, Rg);
    EXPECT_EQ(LitOctets(cible), OctetsFichierXML(*f, Rg));
    EXPECT_NE(f->FFlux.get(), flux);
    EXPECT_EQ(f->FNomFichier, cible);
    EXPECT_EQ(f->FFormat, 'x');
    EXPECT_FALSE(f->FModifie);
    EXPECT_THROW(TFlux::Ouvre(cible, EModeOuverture::Lecture), EFOpenError);
    f.reset();
    fs::remove(source);
    fs::remove(cible);
  }
}

TEST_F(FormatXml, CibleVerrouilleeParUnAutre) {
  const std::string cible = Dossier + "/autre.xkqr";
  EcritOctets(cible, "tenu ailleurs");
  auto autre = TFlux::Ouvre(cible, EModeOuverture::Lecture);
  TFichierX f('R', 'n', EVarianteModele::Complet, Rg);
  EXPECT_THROW(EcritFichierXML(f, cible, true, Rg), EFCreateError);
  EXPECT_EQ(LitOctets(cible), "tenu ailleurs");
  EXPECT_EQ(f.FFormat, 'n');
  EXPECT_EQ(f.FFlux, nullptr);
}

// The seeds of the XML fuzzer are files of our writer; ORVALINE_GRAINES=1 writes them again.
TEST_F(FormatXml, GrainesDuFuzzer) {
  const std::string dossier = std::string(ORVALINE_SOURCE_DIR) + "/fuzz/corpus/xml/";
  std::vector<std::pair<std::string, std::string>> graines;
  for (char type : std::string("DELMNQRV")) {
    for (int n = 0; n < 4; ++n) {
      const Variante v{(n & 1) != 0, (n & 2) != 0, n != 2, true};
      TFichierX f(type, 'x', EVarianteModele::Complet, Rg);
      Remplit(f, v);
      if (n == 3) f.FFeuilleStyle.clear();
      Rg.XMLUtf8 = v.utf8;
      graines.emplace_back(std::string("type_") + type + "_" + std::to_string(n) + ".xkq" +
                               static_cast<char>(type - 'A' + 'a'),
                           Ecrit(f));
    }
  }
  Rg = TReglages();
  graines.emplace_back("joueur.xkqq", Doc("TYPE=\"Q\" ID_CHAMP0=\"I\"",
                                          "<OPTIONS><OU_VISIBLE>ou</OU_VISIBLE></OPTIONS>\n"
                                          "<F><I>%cat</I><Q>q</Q><R>a</R></F>\n<F><I>i</I><Q>q<br/>2</Q><R>a</R>"
                                          "<R CACHE=\"oui\">b</R><R>c</R></F>\n"));
  if (std::getenv("ORVALINE_GRAINES")) {
    fs::create_directories(dossier);
    for (const auto& [nom, octets] : graines) EcritOctets(dossier + nom, octets);
  }
  for (const auto& [nom, octets] : graines) {
    EXPECT_EQ(LitOctets(dossier + nom), octets) << nom;
    EXPECT_NO_THROW(Lit(octets)) << nom;
  }
}

}  // namespace
