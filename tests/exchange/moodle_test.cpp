// Moodle quizzes: the writer's questions for every marker, its bytes and layout, the reader's
// cards for a quiz written the way Moodle exports one, round trips, and the card file's state.
#include "exchange/KorMoodle.h"

#include <libxml/parser.h>
#include <libxml/xpath.h>

#include "Outils.h"
#include "platform/Ansi.h"

namespace {

const std::string CRLF = "\r\n";
const std::string SEP = "\r\n===\r\n";  // items of a type M card

// What our file says at an XPath: the text of each node found (1252), or of a string result.
class Requete {
 public:
  explicit Requete(const std::string& octets)
      : FDoc(xmlReadMemory(octets.data(), int(octets.size()), nullptr, nullptr, XML_PARSE_NONET)) {}
  ~Requete() { xmlFreeDoc(FDoc); }
  bool Valide() const { return FDoc != nullptr; }
  std::vector<std::string> operator()(const std::string& chemin) const {
    std::vector<std::string> v;
    xmlXPathContext* ctx = xmlXPathNewContext(FDoc);
    xmlXPathObject* r = xmlXPathEvalExpression(reinterpret_cast<const xmlChar*>(chemin.c_str()), ctx);
    if (r && r->type == XPATH_NODESET && r->nodesetval) {
      for (int i = 0; i < r->nodesetval->nodeNr; ++i) {
        xmlChar* c = xmlNodeGetContent(r->nodesetval->nodeTab[i]);
        v.push_back(ansi::Utf8VersAnsi(reinterpret_cast<const char*>(c)));
        xmlFree(c);
      }
    } else if (r) {
      xmlChar* c = xmlXPathCastToString(r);
      v.push_back(ansi::Utf8VersAnsi(reinterpret_cast<const char*>(c)));
      xmlFree(c);
    }
    xmlXPathFreeObject(r);
    xmlXPathFreeContext(ctx);
    return v;
  }
  std::string Un(const std::string& chemin) const {
    auto v = (*this)(chemin);
    return v.size() == 1 ? v[0] : "<" + std::to_string(v.size()) + " nodes>";
  }

 private:
  xmlDoc* FDoc;
};

using V = std::vector<std::string>;

TReglages ReglagesQCM() {
  TReglages r;
  r.SeparateurQCM = "===";
  r.FormatQCM = "";
  return r;
}

std::string Ecrit(TFichierX& f, const TReglages& r) { return OctetsFichierMoodle(f, r); }

// One type M card written alone.
std::string Question(const std::string& champ0, const std::string& champ1, const std::string& champ2,
                     const TReglages& r = ReglagesQCM()) {
  TFichierX f('M', 'x', EVarianteModele::Complet, r);
  f.AjouteFiche(champ0, champ1, champ2);
  return Ecrit(f, r);
}

TEST(MoodleEcriture, GoldenBytesOfAnExportedQuestionnaireAndOfAnEmptyQuiz) {
  const TReglages r = ReglagesQCM();
  TFichierX vide('M', 'x', EVarianteModele::Complet, r);
  EXPECT_EQ(Ecrit(vide, r), "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n<quiz/>\r\n");

  TFichierX q('Q', 'x', EVarianteModele::Complet, r);
  q.AjouteFiche("Capitale", "Capitale de la France ?", "Paris ; Lutèce"_a);
  q.AjouteFiche("", "2 + 2 ?", "4");
  const std::string attendu =
      "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n"
      "<quiz>\r\n"
      "<question type=\"shortanswer\">\r\n"
      "<name>\r\n<text>Capitale</text>\r\n</name>\r\n"
      "<questiontext>\r\n<text>Capitale de la France ?</text>\r\n</questiontext>\r\n"
      "<answer fraction=\"100\">\r\n<text>Paris</text>\r\n</answer>\r\n"
      "<answer fraction=\"100\">\r\n<text>Lut\xC3\xA8" "ce</text>\r\n</answer>\r\n"
      "</question>\r\n"
      "\r\n"
      "<question type=\"shortanswer\">\r\n"
      "<name>\r\n<text/>\r\n</name>\r\n"
      "<questiontext>\r\n<text>2 + 2 ?</text>\r\n</questiontext>\r\n"
      "<answer fraction=\"100\">\r\n<text>4</text>\r\n</answer>\r\n"
      "</question>\r\n"
      "</quiz>\r\n";
  EXPECT_EQ(Ecrit(q, r), attendu);
}

TEST(MoodleEcriture, ChoiceQuestions) {
  {
    Requete x(Question("", "(*singlechoice*) Question", "(*50*) a" + SEP + "(*50*) b"));
    EXPECT_EQ(x.Un("/quiz/question/@type"), "multichoice");
    EXPECT_EQ(x.Un("/quiz/question/questiontext/text"), "Question");
    EXPECT_EQ(x.Un("/quiz/question/single"), "true");
  }
  {
    Requete x(Question("", "Q ?", "(*) a" + SEP + "b" + SEP + "c"));
    EXPECT_EQ(x.Un("/quiz/question/@type"), "multichoice");
    EXPECT_EQ(x("/quiz/question/answer/@fraction"), (V{"100", "0", "0"}));
    EXPECT_EQ(x("/quiz/question/answer/text"), (V{"a", "b", "c"}));
    EXPECT_EQ(x.Un("/quiz/question/single"), "true");
    EXPECT_EQ(x.Un("/quiz/question/answernumbering"), "none");
    EXPECT_EQ(x.Un("/quiz/question/shuffleanswers"), "true");
  }
  {
    Requete x(Question("", "Q ?", "(*50*) a" + SEP + "(*50*) b" + SEP + "c"));
    EXPECT_EQ(x("/quiz/question/answer/@fraction"), (V{"50", "50", "0"}));
    EXPECT_EQ(x.Un("/quiz/question/single"), "false");
    EXPECT_EQ(x.Un("/quiz/question/answernumbering"), "none");
    EXPECT_EQ(x.Un("/quiz/question/shuffleanswers"), "true");
  }
  {
    Requete x(Question("", "(*multichoiceset*) Q ?", "(*) a" + SEP + "b"));
    EXPECT_EQ(x.Un("/quiz/question/@type"), "multichoiceset");
    EXPECT_EQ(x.Un("/quiz/question/single"), "false");
  }
}

TEST(MoodleEcriture, TypeDeducedFromTheTexts) {
  struct Cas {
    std::string champ1, champ2, type;
  };
  const Cas cas[] = {
      {"Vrai ?", "(*) true" + SEP + "false", "truefalse"},
      {"Associez", "chat :: cat" + SEP + "chien :: dog", "matching"},
      {"La capitale est (:Paris:).", "", "cloze"},
      {"Capitale ?", "Paris", "shortanswer"},
      {"(*) Capitale ?", "Paris", "shortanswer"},  // "(*)" holds no type
      {"(*inconnu*) Q", "a", "inconnu"},
      {"(**) Q", "", "shortanswer"},
      {"(*category*) Q", "Paris", "shortanswer"},  // only category cards are categories
  };
  for (const auto& c : cas) {
    SCOPED_TRACE(c.type);
    Requete x(Question("", c.champ1, c.champ2));
    EXPECT_EQ(x.Un("/quiz/question/@type"), c.type);
  }
  Requete vf(Question("", "Vrai ?", "(*) true" + SEP + "false"));
  EXPECT_EQ(vf("/quiz/question/answer/@fraction"), (V{"100", "0"}));
  Requete app(Question("", "Associez", "chat :: cat" + SEP + "chien :: dog" + SEP + "sans paire"));
  EXPECT_EQ(app("/quiz/question/subquestion/text"), (V{"chat", "chien"}));
  EXPECT_EQ(app("/quiz/question/subquestion/answer/text"), (V{"cat", "dog"}));
  EXPECT_EQ(app.Un("/quiz/question/shuffleanswers"), "true");
  EXPECT_TRUE(app("/quiz/question/single").empty());
  Requete trou(Question("", "La capitale est (:Paris:).", ""));
  EXPECT_EQ(trou.Un("/quiz/question/questiontext/text"), "La capitale est {:SA:=Paris}.");
}

TEST(MoodleEcriture, NumericalUnitsToleranceAndFractions) {
  Requete x(Question("", "(*numerical*) g ?", "9,81 m/s²"_a + SEP + "(*50*) 10" + SEP + "1.5E3 km"));
  EXPECT_EQ(x.Un("name(/quiz/question/*[3])"), "units");
  EXPECT_EQ(x.Un("/quiz/question/units/unit/unit_name"), "m/s²"_a);
  EXPECT_EQ(x("/quiz/question/answer/text"), (V{"9.81", "10", "1.5E3"}));
  EXPECT_EQ(x("/quiz/question/answer/@fraction"), (V{"100", "50", "100"}));
  EXPECT_EQ(x("/quiz/question/answer/tolerance"), (V{"0.5E-2"}));
  EXPECT_EQ(x.Un("count(/quiz/question/answer[1]/tolerance)"), "1");

  Requete y(Question("", "(*shortanswer*) Q", "(*33,3*) x" + SEP + "- (*) Paris" + SEP + "a) (*) Paris" + SEP +
                                                  "(*) (*20*) y" + SEP + "(* z"));
  EXPECT_EQ(y("/quiz/question/answer/@fraction"), (V{"33.3", "100", "100", "100", "100"}));
  EXPECT_EQ(y("/quiz/question/answer/text"), (V{"x", "Paris", "a)  Paris", "(*20*) y", "(* z"}));
}

TEST(MoodleEcriture, FeedbackEssayFormatAndName) {
  TReglages r = ReglagesQCM();
  r.FormatQCM = "html";
  Requete x(Question("  Nom  ", "Q ?", "(*) a" + SEP + "(/ Bravo /)" + SEP + "b" + SEP + "(/ sans fin", r));
  EXPECT_EQ(x.Un("/quiz/question/name/text"), "Nom");
  EXPECT_EQ(x("/quiz/question/*[position() > 2]/@format"), (V{"html", "html", "html", "html"}));
  EXPECT_EQ(x("name(/quiz/question/*[4])"), (V{"generalfeedback"}));
  EXPECT_EQ(x("/quiz/question/generalfeedback/text"), (V{"Bravo", "sans fin"}));
  EXPECT_EQ(x.Un("/quiz/question/questiontext/@format"), "html");

  Requete e(Question("", "(*essay*) Rédigez"_a, "Modèle de réponse"_a, r));
  EXPECT_EQ(e.Un("/quiz/question/@type"), "essay");
  EXPECT_EQ(e.Un("/quiz/question/responsetemplate/text"), "Modèle de réponse"_a);
  EXPECT_EQ(e.Un("/quiz/question/responsetemplate/@format"), "html");
  EXPECT_TRUE(e("/quiz/question/answer").empty());

  Requete s(Question("", "(*shortanswer*) Q", "Paris", r));
  EXPECT_TRUE(s("/quiz/question/answer/@format").empty());
}

TEST(MoodleEcriture, CategoriesAreExpanded) {
  const TReglages r = ReglagesQCM();
  TFichierX f('M', 'x', EVarianteModele::Complet, r);
  for (const char* c : {"% /Premier", "%  Sciences/Physique", "% /Chimie", "% //Solutions", "% A/B/C", "% //D",
                        "% ///E/F", "% ////G"})
    f.AjouteFiche(c, "ignoré", "ignoré");
  Requete x(Ecrit(f, r));
  EXPECT_EQ(x("/quiz/question/@type"), V(8, "category"));
  EXPECT_EQ(x("/quiz/question/category/text"),
            (V{"/Premier", "Sciences/Physique", "Sciences/Chimie", "Sciences/Chimie/Solutions", "A/B/C", "A/B/D",
               "A/B/D/E/F", "A/B/D/E/G"}));
  EXPECT_TRUE(x("/quiz/question/name").empty());
}

TEST(MoodleEcriture, TextsThatXmlCannotHoldPlainly) {
  const TReglages r = ReglagesQCM();
  TFichierX f('M', 'x', EVarianteModele::Complet, r);
  f.AjouteFiche("", "(*shortanswer*) a < b & c", "x]]>y" + SEP + "simple" + SEP + "ctl\x01\x0B\x1F\tfin" + SEP +
                                                     "]]>]]>");
  f.AjouteFiche("", "(*shortanswer*) ligne 1\r\nligne 2\rligne 3", "\x80\x81\x9F");
  const std::string o = Ecrit(f, r);
  EXPECT_NE(o.find("<text><![CDATA[a < b & c]]></text>"), std::string::npos);
  EXPECT_NE(o.find("<text><![CDATA[x]]]]><![CDATA[>y]]></text>"), std::string::npos);
  EXPECT_NE(o.find("<text>simple</text>"), std::string::npos);
  Requete x(o);
  ASSERT_TRUE(x.Valide());
  EXPECT_EQ(x("/quiz/question[1]/answer/text"), (V{"x]]>y", "simple", "ctl\tfin", "]]>]]>"}));
  EXPECT_EQ(x.Un("/quiz/question[2]/questiontext/text"), "ligne 1\nligne 2\nligne 3");
  EXPECT_EQ(x.Un("/quiz/question[2]/answer/text"), "\x80\x81\x9F");
}

TEST(MoodleEcriture, MarkersFollowTheOptionCharacters) {
  const TReglages r = ReglagesQCM();
  TFichierX f('M', 'x', EVarianteModele::Complet, r);
  f.SetCommentaire('[');
  f.SetTroncature('^');
  f.AjouteFiche("", "[^numerical^] Q", "[^50^] 1,5" + SEP + "[^] 2");
  Requete x(Ecrit(f, r));
  EXPECT_EQ(x.Un("/quiz/question/@type"), "numerical");
  EXPECT_EQ(x("/quiz/question/answer/@fraction"), (V{"50", "100"}));

  // Comments switched off: the markers keep their default closing character.
  TFichierX sans('M', 'x', EVarianteModele::Complet, r);
  sans.SetCommentaire(' ');
  sans.AjouteFiche("", "(*shortanswer*) Q", "(*50*) a");
  TFichierMoodle m;
  m.Prepare(sans, "");
  m.PrepareMarques(r);
  EXPECT_EQ(m.FFermeReponse, "*)");
  EXPECT_EQ(m.FReponseJuste, "(*)");
  Requete y(Ecrit(sans, r));
  EXPECT_EQ(y.Un("/quiz/question/answer/@fraction"), "50");
  EXPECT_EQ(y.Un("/quiz/question/answer/text"), "a");
}

TEST(MoodleEcriture, AnEmptySeparatorMakesTheWholeFieldOnePiece) {
  TReglages r = ReglagesQCM();
  r.SeparateurQCM = "";
  TFichierX f('M', 'x', EVarianteModele::Complet, r);
  ASSERT_EQ(f.FFragmenteur, "");
  f.AjouteFiche("", "(*shortanswer*) Q", "a === b");
  Requete x(Ecrit(f, r));
  EXPECT_EQ(x("/quiz/question/answer/text"), (V{"a === b"}));
}

// ---- Reading ----

std::unique_ptr<TFichierX> Lit(const std::string& xml, const TReglages& r = ReglagesQCM()) {
  return LitFichierMoodleOctets(xml, r);
}

std::string Quiz(const std::string& corps) {
  return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<quiz>\n" + corps + "\n</quiz>\n";
}

// A quiz the way Moodle exports one: comments, indentation, CDATA, per-answer feedback,
// grades and penalties that the reader passes over.
const char* QuizMoodle = R"(<?xml version="1.0" encoding="UTF-8"?>
<quiz>
<!-- question: 0  -->
  <question type="category">
    <category>
      <text>Sciences/Physique</text>
    </category>
    <info format="moodle_auto_format">
      <text></text>
    </info>
  </question>
  <question type="category">
    <category>
      <text>Sciences/Chimie</text>
    </category>
  </question>
  <question type="category">
    <category><text>Sciences/Chimie/Solutions</text></category>
  </question>
  <question type="category"><category><text>ab</text></category></question>
  <question type="category"><category><text>a/c</text></category></question>
  <question type="category"><info><text>sans catégorie</text></info></question>

<!-- question: 12  -->
  <question type="shortanswer">
    <name>
      <text>Capitale</text>
    </name>
    <questiontext format="html">
      <text><![CDATA[<p>Capitale de la France ?</p>]]></text>
    </questiontext>
    <generalfeedback format="html">
      <text></text>
    </generalfeedback>
    <defaultgrade>1.0000000</defaultgrade>
    <penalty>0.3333333</penalty>
    <hidden>0</hidden>
    <usecase>0</usecase>
    <answer fraction="100" format="moodle_auto_format">
      <text>Paris</text>
      <feedback format="html">
        <text>Bien</text>
      </feedback>
    </answer>
    <answer fraction="50" format="moodle_auto_format">
      <text>Lutèce</text>
      <feedback format="html"><text></text></feedback>
    </answer>
  </question>

  <question type="multichoice">
    <name><text>Choix</text></name>
    <questiontext format="html"><text>Ville ?</text></questiontext>
    <generalfeedback format="html"><text>Bravo</text></generalfeedback>
    <single>true</single>
    <shuffleanswers>true</shuffleanswers>
    <answernumbering>abc</answernumbering>
    <answer fraction="100" format="html"><text>Paris</text></answer>
    <answer fraction="0" format="html"><text>Lyon</text></answer>
    <answer format="html"><text>Nice</text></answer>
    <answer fraction="100.0000000" format="html"><text>Paname</text></answer>
  </question>

  <question type="multichoice">
    <name><text>Plusieurs</text></name>
    <questiontext format="html"><text>Villes ?</text></questiontext>
    <single>false</single>
    <answer fraction="50"><text>Paris</text></answer>
    <answer fraction="-100"><text>Rome</text></answer>
  </question>

  <question type="numerical">
    <name><text>g</text></name>
    <questiontext format="html"><text>Pesanteur ?</text></questiontext>
    <answer fraction="100"><text>9.81</text><tolerance>0.01</tolerance></answer>
    <answer fraction="50"><text>10</text><tolerance>0</tolerance></answer>
    <units>
      <unit>
        <multiplier>1</multiplier>
        <unit_name>m</unit_name>
      </unit>
      <unit><multiplier>100</multiplier><unit_name>cm</unit_name></unit>
    </units>
  </question>

  <question type="matching">
    <name><text>Animaux</text></name>
    <questiontext format="html"><text>Associez</text></questiontext>
    <subquestion format="html"><text>chat</text><answer><text>cat</text></answer></subquestion>
    <subquestion format="html"><text>chien</text><answer><text>dog</text></answer></subquestion>
    <subquestion format="html"><text>intrus</text></subquestion>
  </question>

  <question type="essay">
    <name><text>Rédaction</text></name>
    <questiontext format="html"><text>Racontez
vos vacances.</text></questiontext>
    <responsetemplate format="html"><text>Il était une fois</text></responsetemplate>
    <answer fraction="0"><text>non lue</text></answer>
  </question>

  <question type="">
    <name><text>Sans type</text></name>
    <questiontext><text>Q</text></questiontext>
    <answer fraction="0"><text>a</text></answer>
  </question>

  <question type="truefalse">
    <name><text>Vide</text></name>
    <questiontext format="html"><notext>rien</notext></questiontext>
  </question>
</quiz>
)";

TEST(MoodleLecture, AQuizExportedByMoodle) {
  auto f = Lit(QuizMoodle);
  EXPECT_EQ(f->FType, 'M');
  EXPECT_EQ(f->FFormat, 'm');
  EXPECT_FALSE(f->FModifie);
  using C = std::array<std::string, 3>;
  const std::vector<C> attendu = {
      {"% Sciences/Physique", "(*category*) ", ""},
      {"% /Chimie", "(*category*) ", ""},
      {"% //Solutions", "(*category*) ", ""},
      {"% ab", "(*category*) ", ""},
      {"% a/c", "(*category*) ", ""},
      {"Capitale", "(*shortanswer*) <p>Capitale de la France ?</p>", "Paris" + SEP + "(*50*) Lutèce"_a},
      {"Choix", "(*singlechoice*) Ville ?", "(*) Paris" + SEP + "Lyon" + SEP + "Nice" + SEP + "(*100.0000000*) Paname" +
                                                SEP + "(/\r\nBravo\r\n/)"},
      {"Plusieurs", "(*multichoice*) Villes ?", "(*50*) Paris" + SEP + "(*-100*) Rome"},
      {"g", "(*numerical*) Pesanteur ?", "9.81 m" + SEP + "(*50*) 10 m"},
      {"Animaux", "(*matching*) Associez", "chat :: cat" + SEP + "chien :: dog" + SEP + "intrus"},
      {"Rédaction"_a, "(*essay*) Racontez\r\nvos vacances.", "Il était une fois"_a},
      {"Sans type", "Q", "a"},
      {"Vide", "(*truefalse*) ", ""},
  };
  EXPECT_EQ(Cartes(*f), attendu);
}

TEST(MoodleLecture, ItemsFeedbackAndEmptyItems) {
  auto f = Lit(Quiz(R"(<question type="shortanswer"><answer fraction="100"><text></text></answer>
      <answer fraction="100"><text>b</text></answer><answer fraction="100"><text></text></answer></question>
      <question type="shortanswer"/>)"));
  ASSERT_EQ(f->GetNombreFiches(), 2);
  EXPECT_EQ(f->Fiche(0).Champ2, "b" + SEP);  // an empty first item leaves no trace, a later one a separator
  EXPECT_EQ(f->Fiche(1).Champ1, "(*shortanswer*) ");
  EXPECT_EQ(Lit(Quiz(""))->GetNombreFiches(), 0);
  EXPECT_EQ(Lit("<quiz/>")->GetNombreFiches(), 0);
}

// The reader takes a question's elements in whatever order they come: the unit and "single"
// after the answers, only the first name, text, feedback and unit.
TEST(MoodleLecture, ElementsInAnyOrder) {
  auto f = Lit(Quiz(R"(<question type="numerical"><answer fraction="100"><text>9.81</text></answer>
      <name><text>g</text></name><answer fraction="50"><text>10</text></answer><name><text>non</text></name>
      <units><unit><unit_name>m</unit_name></unit><unit><unit_name>cm</unit_name></unit></units>
      <generalfeedback><text>Bravo</text></generalfeedback><generalfeedback><text>non</text></generalfeedback>
      <units><unit><unit_name>km</unit_name></unit></units></question>
      <question type="numerical"><units><unit><multiplier>1</multiplier></unit></units>
      <units><unit><unit_name>s</unit_name></unit></units><answer><text>2</text></answer></question>
      <question type="multichoice"><answer fraction="100"><text>a</text></answer><single>true</single></question>)"));
  ASSERT_EQ(f->GetNombreFiches(), 3);
  EXPECT_EQ(f->Fiche(0).Champ0, "g");
  EXPECT_EQ(f->Fiche(0).Champ2, "9.81 m" + SEP + "(*50*) 10 m" + SEP + "(/\r\nBravo\r\n/)");
  EXPECT_EQ(f->Fiche(1).Champ2, "2 s");
  EXPECT_EQ(f->Fiche(2).Champ1, "(*singlechoice*) ");
}

// A question of a great many answers or pairs reads them all, in order; each item is appended
// in place, not by copying the field built so far.
TEST(MoodleLecture, AHundredThousandItemsInOneQuestion) {
  constexpr int n = 100000;
  std::string reponses = "<question type=\"shortanswer\">", paires = "<question type=\"matching\">";
  std::string champReponses, champPaires;
  for (int i = 0; i < n; ++i) {
    const std::string k = std::to_string(i);
    reponses += "<answer fraction=\"100\"><text>r" + k + "</text></answer>";
    paires += "<subquestion><text>q" + k + "</text><answer><text>a" + k + "</text></answer></subquestion>";
    if (i) {
      champReponses += SEP;
      champPaires += SEP;
    }
    champReponses += "r" + k;
    champPaires += "q" + k + " :: a" + k;
  }
  auto f = Lit(Quiz(reponses + "</question>" + paires + "</question>"));
  ASSERT_EQ(f->GetNombreFiches(), 2);
  EXPECT_TRUE(f->Fiche(0).Champ2 == champReponses) << f->Fiche(0).Champ2.size() << " bytes";
  EXPECT_TRUE(f->Fiche(1).Champ2 == champPaires) << f->Fiche(1).Champ2.size() << " bytes";
}

TEST(MoodleLecture, RefusedFiles) {
  const std::string xmlIncorrect = "Erreur dans l'écriture du code XML !"_a;
  const std::string pasMoodle = "Pas un fichier Moodle valide !";
  const std::pair<std::string, std::string> cas[] = {
      {"", xmlIncorrect},
      {"<quiz><question type=\"x\"></quiz>", xmlIncorrect},
      {"<?xml version=\"1.0\" encoding=\"UTF-8\"?><quiz>\xE9</quiz>", xmlIncorrect},
      {"<QUIZ/>", pasMoodle},
      {"<m:quiz xmlns:m=\"urn:x\"/>", pasMoodle},
      {"<ORVALINE/>", pasMoodle},
      {Quiz("<question><name><text>sans type</text></name></question>"), pasMoodle},
  };
  for (const auto& [xml, message] : cas) {
    try {
      Lit(xml);
      ADD_FAILURE() << Visible(xml);
    } catch (const ErreurIdInvalide& e) {
      EXPECT_EQ(e.Message(), message) << Visible(xml);
    }
  }
}

class MoodleFichiers : public DossierTemporaire {};

TEST_F(MoodleFichiers, NoNetworkNoExternalEntityNoExpansion) {
  const std::string secret = Chemin("secret.txt");
  EcritOctets(secret, "SECRET");
  const std::string xml = "<?xml version=\"1.0\"?>\n<!DOCTYPE quiz [\n<!ENTITY ext SYSTEM \"file://" + secret +
                          "\">\n<!ENTITY a \"aaaaaaaaaa\">\n<!ENTITY b \"&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;\">\n"
                          "<!ATTLIST question type CDATA \"shortanswer\">\n]>\n"
                          "<quiz><question type=\"shortanswer\"><name><text>&ext;|&b;</text></name></question>"
                          "<question><name><text>défaut de la DTD</text></name></question></quiz>";
  try {
    auto f = Lit(xml);
    ADD_FAILURE() << "a type given by the DTD was taken";
  } catch (const ErreurIdInvalide&) {
  }
  auto f = Lit(xml.substr(0, xml.find("<question><name>")) + "</quiz>");
  ASSERT_EQ(f->GetNombreFiches(), 1);
  EXPECT_EQ(f->Fiche(0).Champ0.find("SECRET"), std::string::npos);
  EXPECT_EQ(f->Fiche(0).Champ0.find("aaaaaaaaaa"), std::string::npos);
}

// ---- Round trips and well-formedness ----

// Cards in the form the reader gives them, which the writer must write back the same.
void RemplitQCM(TFichierX& f) {
  f.AjouteFiche("% Sciences/Physique", "(*category*) ", "");
  f.AjouteFiche("% /Chimie", "(*category*) ", "");
  f.AjouteFiche("% //Solutions", "(*category*) ", "");
  f.AjouteFiche("Capitale", "(*shortanswer*) Capitale de la France ?", "Paris" + SEP + "(*50*) Lutèce"_a);
  f.AjouteFiche("Choix", "(*singlechoice*) Ville ?", "(*) Paris" + SEP + "Lyon" + SEP + "(/\r\nBravo\r\n/)");
  f.AjouteFiche("Set", "(*multichoice*) Villes ?", "(*50*) Paris" + SEP + "(*50*) Lyon" + SEP + "Nice");
  f.AjouteFiche("VF", "(*truefalse*) Vrai ?", "(*) true" + SEP + "false");
  f.AjouteFiche("g", "(*numerical*) Pesanteur ?", "9.81 m/s²"_a + SEP + "(*50*) 10 m/s²"_a);
  f.AjouteFiche("Animaux", "(*matching*) Associez", "chat :: cat" + SEP + "chien :: dog");
  f.AjouteFiche("Trous", "(*cloze*) La capitale est {:SA:=Paris}.", "");
  f.AjouteFiche("Essai", "(*essay*) Racontez\r\nvos vacances.", "Il était une fois"_a);
  f.AjouteFiche("Balises", "(*shortanswer*) <p>Texte & \"guillemets\"</p>", "a]]>b");
  f.AjouteFiche("Fraction", "(*shortanswer*) Q", "(*33.3*) x" + SEP + "(*-50*) y");
}

TEST_F(MoodleFichiers, OurQuizReadsBackAndIsWellFormedForXmllint) {
  const TReglages r = ReglagesQCM();
  TFichierX f('M', 'x', EVarianteModele::Complet, r);
  RemplitQCM(f);
  f.AjouteFiche("Contrôles"_a, "(*shortanswer*) a\x01\x02z", "\x7F\x80\x9D\xA0\xFF");
  const std::string octets = Ecrit(f, r);
  auto lu = Lit(octets, r);
  auto attendu = Cartes(f);
  attendu.back()[1] = "(*shortanswer*) az";
  EXPECT_EQ(Cartes(*lu), attendu);

  if (!CommandeExiste("xmllint")) GTEST_SKIP() << "xmllint is not installed";
  const std::string nom = Chemin("quiz.xml");
  EcritOctets(nom, octets);
  int statut = 0;
  const std::string sortie = Execute("xmllint --nonet --noout " + nom + " 2>&1", statut);
  EXPECT_EQ(statut, 0) << sortie;
}

TEST_F(MoodleFichiers, SaveOfATypeMFileAndExportOfAQuestionnaire) {
  const TReglages r = ReglagesQCM();
  const std::string nom = Chemin("qcm.xml");
  TFichierX m('M', 'x', EVarianteModele::Complet, r);
  RemplitQCM(m);
  EcritFichierMoodle(m, nom, true, r);
  EXPECT_EQ(m.FFormat, 'm');
  EXPECT_EQ(m.FNomFichier, nom);
  EXPECT_FALSE(m.FModifie);
  EXPECT_TRUE(m.FModifiable);
  ASSERT_TRUE(m.FFlux);
  EXPECT_EQ(m.FFlux->Chemin(), nom);
  m.FFlux.reset();  // the file is locked while the card file holds it

  auto lu = LitFichierMoodle(nom, true, r);
  EXPECT_EQ(Cartes(*lu), Cartes(m));
  EXPECT_EQ(lu->FNomFichier, nom);
  EXPECT_TRUE(lu->FModifiable);
  ASSERT_TRUE(lu->FFlux);
  lu->SetFiche(3, "Capitale", "(*shortanswer*) Capitale ?", "Paris");
  EcritFichierMoodle(*lu, nom, false, r);  // its own file, rewritten
  EXPECT_FALSE(lu->FModifie);
  lu.reset();
  EXPECT_EQ(LitFichierMoodle(nom, false, r)->Fiche(3).Champ2, "Paris");

  // A questionnaire is exported: the card file keeps its own file, name and format.
  const std::string qnom = Chemin("questions.xkqq");
  EcritOctets(qnom, "contenu du questionnaire");
  TFichierX q('Q', 'x', EVarianteModele::Complet, r);
  q.AjouteFiche("", "Capitale de la France ?", "Paris ; Lutèce"_a);
  q.FNomFichier = qnom;
  q.FFlux = TFlux::Ouvre(qnom, EModeOuverture::LectureEcriture);
  q.FModifie = true;
  const TFlux* flux = q.FFlux.get();
  const std::string export_ = Chemin("export.xml");
  EcritFichierMoodle(q, export_, true, r);
  EXPECT_EQ(q.FFormat, 'x');
  EXPECT_EQ(q.FNomFichier, qnom);
  EXPECT_TRUE(q.FModifie);
  EXPECT_EQ(q.FFlux.get(), flux);
  EXPECT_NO_THROW(TFlux::Ouvre(export_, EModeOuverture::LectureEcriture));  // closed
  Requete x(LitOctets(export_));
  EXPECT_EQ(x("/quiz/question/answer/@fraction"), (V{"100", "100"}));
  EXPECT_THROW(EcritFichierMoodle(q, qnom, false, r), EFCreateError);
  EXPECT_EQ(LitOctets(qnom), "contenu du questionnaire");
  EXPECT_EQ(q.FFlux.get(), flux);
}

}  // namespace
