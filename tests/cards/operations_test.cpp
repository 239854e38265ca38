// Operations on the cards, the header, the option characters, labels and template, sorting.
#include <gtest/gtest.h>

#include <functional>

#include "cards/KorFichierX.h"
#include "platform/Ansi.h"
#include "platform/Locale.h"

namespace {
// The settings as they are by default, for what a test here does not set itself.
const TReglages Defauts;
}  // namespace

namespace {

const std::string CRLF = "\r\n";

class Operations : public testing::Test {
 protected:
  void SetUp() override { FixeLocale("fr_FR"); }
  void TearDown() override { FixeLocale(""); }
};

// A questionnaire of three cards, flag cleared as a reader leaves it.
std::unique_ptr<TFichierX> TroisFiches(char type = 'Q') {
  auto f = std::make_unique<TFichierX>(type, 'n', EVarianteModele::Complet, Defauts);
  f->AjouteFiche("t1", "un", "1");
  f->AjouteFiche("t2", "deux", "2");
  f->AjouteFiche("t3", "trois", "3");
  f->FModifie = false;
  return f;
}

std::string Champs1(const TFichierX& f) {
  std::string s;
  for (const auto& c : f.FFiches) s += c->Champ1 + "|";
  return s;
}

TEST_F(Operations, TableDuDrapeauModifie) {
  const struct {
    const char* operation;
    std::function<void(TFichierX&)> faire;
    bool marque;
  } cas[] = {
      {"SetTitre", [](TFichierX& f) { f.SetTitre("Titre"); }, true},
      {"SetFiche", [](TFichierX& f) { f.SetFiche(1, "a", "b", "c"); }, true},
      {"AjouteFiche", [](TFichierX& f) { f.AjouteFiche("a", "b", "c"); }, true},
      {"AjouteFicheDeuxChamps", [](TFichierX& f) { f.AjouteFicheDeuxChamps("b", "c"); }, true},
      {"SetEtiquettes", [](TFichierX& f) { f.SetEtiquettes("a", "b", "c"); }, true},
      {"SetCanevas", [](TFichierX& f) { f.SetCanevas("a", "b", "c"); }, true},
      {"PermuteChamps", [](TFichierX& f) { f.PermuteChamps(); }, true},
      {"PermuteChamps sans fiche",
       [](TFichierX& f) {
         while (f.GetNombreFiches()) f.SupprimeFiche(0);
         f.PermuteChamps();
       },
       true},
      {"CreeFiche", [](TFichierX& f) { f.CreeFiche(0); }, false},
      {"InsereFiche", [](TFichierX& f) { f.InsereFiche(-1); }, false},
      {"DeplaceFiche", [](TFichierX& f) { f.DeplaceFiche(0, 2); }, false},
      {"SupprimeFiche", [](TFichierX& f) { f.SupprimeFiche(1); }, false},
      {"Trie", [](TFichierX& f) { f.Trie(); }, false},
      {"CanevasQCM", [](TFichierX& f) { f.CanevasQCM(Defauts); }, false},
      {"EtiquettesParDefaut", [](TFichierX& f) { f.EtiquettesParDefaut(); }, false},
      {"SetFragmenteur", [](TFichierX& f) { f.SetFragmenteur('#'); }, false},
      {"SetAlternateur", [](TFichierX& f) { f.SetAlternateur('|'); }, false},
      {"SetCommentaire", [](TFichierX& f) { f.SetCommentaire('['); }, false},
      {"SetTroncature", [](TFichierX& f) { f.SetTroncature('^'); }, false},
      {"SetIdChamp0", [](TFichierX& f) { f.SetIdChamp0("Titre"); }, false},
      {"SetIdChamp1", [](TFichierX& f) { f.SetIdChamp1("Demande"); }, false},
      {"AssigneIdentificateur", [](TFichierX& f) { AssigneIdentificateur(f.FIdFiche, "Carte"); }, false},
  };
  for (const auto& c : cas) {
    SCOPED_TRACE(c.operation);
    auto f = TroisFiches();
    c.faire(*f);
    EXPECT_EQ(f->FModifie, c.marque);
    // No operation clears the flag.
    auto g = TroisFiches();
    g->FModifie = true;
    c.faire(*g);
    EXPECT_TRUE(g->FModifie);
  }
}

TEST_F(Operations, IndexHorsDeLaListeRefuseAvantToutChangement) {
  const struct {
    const char* operation;
    std::function<void(TFichierX&)> faire;
    int index;
  } cas[] = {
      {"SetFiche 3", [](TFichierX& f) { f.SetFiche(3, "x", "x", "x"); }, 3},
      {"SetFiche -1", [](TFichierX& f) { f.SetFiche(-1, "x", "x", "x"); }, -1},
      {"CreeFiche 4", [](TFichierX& f) { f.CreeFiche(4); }, 4},
      {"CreeFiche -2", [](TFichierX& f) { f.CreeFiche(-2); }, -2},
      {"SupprimeFiche 3", [](TFichierX& f) { f.SupprimeFiche(3); }, 3},
      {"DeplaceFiche de 5", [](TFichierX& f) { f.DeplaceFiche(5, 0); }, 5},
      {"DeplaceFiche vers 3", [](TFichierX& f) { f.DeplaceFiche(0, 3); }, 3},
      {"GetTitreFiche 7", [](TFichierX& f) { f.GetTitreFiche(7); }, 7},
      {"Fiche -1", [](TFichierX& f) { f.Fiche(-1); }, -1},
  };
  for (const auto& c : cas) {
    SCOPED_TRACE(c.operation);
    auto f = TroisFiches();
    try {
      c.faire(*f);
      ADD_FAILURE() << "no error";
    } catch (const EListError& e) {
      EXPECT_EQ(e.Message(), "Index de liste hors limites (" + std::to_string(c.index) + ")");
    }
    EXPECT_EQ(Champs1(*f), "un|deux|trois|");
    EXPECT_FALSE(f->FModifie);
  }
}

TEST_F(Operations, CreeFicheVideOuDepuisLeCanevas) {
  auto f = TroisFiches('L');  // no field 1: the template still gives all three texts
  f->CreeFiche(1);
  EXPECT_EQ(f->GetNombreFiches(), 4);
  EXPECT_TRUE(f->Fiche(1).Champ0.empty() && f->Fiche(1).Champ1.empty() && f->Fiche(1).Champ2.empty());
  f->FCanevas = {"c0", "c1", "c2"};
  f->FAvecCanevas = true;
  f->InsereFiche(-1);
  f->CreeFiche(5);  // the position just past the last card
  for (int i : {4, 5}) {
    EXPECT_EQ(f->Fiche(i).Champ0, "c0");
    EXPECT_EQ(f->Fiche(i).Champ1, "c1");
    EXPECT_EQ(f->Fiche(i).Champ2, "c2");
  }
  f->AjouteFiche("a", "b", "c");  // never from the template
  EXPECT_EQ(f->Fiche(6).Champ0, "");
  EXPECT_EQ(f->Fiche(6).Champ1, "");
  EXPECT_EQ(f->Fiche(6).Champ2, "c");
}

TEST_F(Operations, SetFicheNeGardeQueLesChampsDuFichier) {
  const struct {
    char type;
    std::string champ0, champ1;
  } cas[] = {{'Q', "nouveau0", "nouveau1"}, {'R', "ancien0", "nouveau1"}, {'L', "ancien0", "ancien1"}};
  for (const auto& c : cas) {
    SCOPED_TRACE(std::string(1, c.type));
    TFichierX f(c.type, 'n', EVarianteModele::Complet, Defauts);
    f.CreeFiche(-1);
    f.Fiche(0) = {"ancien0", "ancien1", "ancien2"};
    f.SetFiche(0, "nouveau0", "nouveau1", "nouveau2");
    EXPECT_EQ(f.Fiche(0).Champ0, c.champ0);
    EXPECT_EQ(f.Fiche(0).Champ1, c.champ1);
    EXPECT_EQ(f.Fiche(0).Champ2, "nouveau2");
    f.SetCanevas("nouveau0", "nouveau1", "nouveau2");
    EXPECT_EQ(f.FCanevas.Champ0, c.champ0 == "ancien0" ? "" : "nouveau0");
    EXPECT_EQ(f.FCanevas.Champ1, c.champ1 == "ancien1" ? "" : "nouveau1");
    EXPECT_EQ(f.FCanevas.Champ2, "nouveau2");
    EXPECT_TRUE(f.FAvecCanevas);
  }
}

TEST_F(Operations, DeplacerSupprimerPermuter) {
  auto f = TroisFiches();
  f->DeplaceFiche(0, 2);
  EXPECT_EQ(Champs1(*f), "deux|trois|un|");
  f->DeplaceFiche(2, 0);
  f->DeplaceFiche(1, 1);
  EXPECT_EQ(Champs1(*f), "un|deux|trois|");
  f->SupprimeFiche(1);
  EXPECT_EQ(Champs1(*f), "un|trois|");
  f->PermuteChamps();
  EXPECT_EQ(Champs1(*f), "1|3|");
  EXPECT_EQ(f->Fiche(1).Champ2, "trois");
  EXPECT_EQ(f->Fiche(1).Champ0, "t3");
  EXPECT_TRUE(f->FAvecChamp0);
  EXPECT_FALSE(f->FSansChamp1);
}

TEST_F(Operations, TitreDeFiche) {
  TFichierX q('Q', 'n', EVarianteModele::Complet, Defauts);
  q.AjouteFiche("Intitulé"_a, "Question", "");
  q.AjouteFiche("", "Question", "");
  TFichierX r('R', 'n', EVarianteModele::Complet, Defauts);
  r.AjouteFiche("ignoré"_a, "Onglet", "");
  for (int i = 0; i < 4; ++i) r.AjouteFiche("", "", "");
  EXPECT_EQ(q.GetTitreFiche(0), "Intitulé"_a);
  EXPECT_EQ(q.GetTitreFiche(1), "# 2");
  EXPECT_EQ(r.GetTitreFiche(0), "Onglet");
  EXPECT_EQ(r.GetTitreFiche(4), "# 5");
}

TEST_F(Operations, TitreEtVersion) {
  TFichierX f('N', 'x', EVarianteModele::Complet, Defauts);
  // Blanks and control characters go; "é" (0xE9) at either end stays.
  f.SetTitre(std::string(" \t\r\n") + "été"_a + "\x01 \x7F\x80  ");
  EXPECT_EQ(f.FTitre, "été"_a + "\x01 \x7F\x80");
  f.SetTitre("\xE9t\xE9");
  EXPECT_EQ(f.FTitre, "\xE9t\xE9");
  f.SetTitre(" \x1F ");
  EXPECT_EQ(f.FTitre, "");
  for (const auto& [version, attendu] : std::initializer_list<std::pair<std::string, std::string>>{
           {"7.8", ""}, {"7.80", "7.80"}, {"6.2", "6.2"}, {"", ""}}) {
    f.FVersionCreation = version;
    EXPECT_EQ(f.GetVersionCreation(), attendu) << version;
  }
}

TEST_F(Operations, AssigneIdentificateur) {
  const std::pair<std::string, bool> cas[] = {
      {"Question", true}, {"_x1", true}, {"a_B9", true}, {"", false},     {"1abc", false},
      {"a-b", false},     {"a b", false}, {"\xE9t\xE9", false}, {"x\xE9", false}, {"Z", true}};
  for (const auto& [nom, valide] : cas) {
    std::string cible = "ancien";
    AssigneIdentificateur(cible, nom);
    EXPECT_EQ(cible, valide ? nom : "ancien") << nom;
  }
}

TEST_F(Operations, NomsDesChampsZeroEtUn) {
  {
    TFichierX f('Q', 'x', EVarianteModele::Complet, Defauts);
    f.SetIdChamp0("");
    EXPECT_FALSE(f.FAvecChamp0);
    EXPECT_EQ(f.FIdChamp0, "I");
    EXPECT_EQ(f.GetIdChamp0(), "");
    f.SetIdChamp0("9x");  // field 0 comes back, the name is kept
    EXPECT_TRUE(f.FAvecChamp0);
    EXPECT_EQ(f.GetIdChamp0(), "I");
    f.SetIdChamp0("Titre");
    EXPECT_EQ(f.GetIdChamp0(), "Titre");
    f.SetIdChamp1("");
    EXPECT_FALSE(f.FSansChamp1);
    EXPECT_EQ(f.GetIdChamp1(), "Q");
  }
  {
    TFichierX f('L', 'x', EVarianteModele::Complet, Defauts);
    EXPECT_EQ(f.GetIdChamp1(), "");
    f.SetIdChamp1("");
    EXPECT_TRUE(f.FSansChamp1);
    f.SetIdChamp1("9x");
    EXPECT_FALSE(f.FSansChamp1);
    EXPECT_EQ(f.GetIdChamp1(), "O");
    f.SetIdChamp1("Numero");
    EXPECT_EQ(f.GetIdChamp1(), "Numero");
  }
  {
    // The player's build only assigns the name.
    TFichierX f('Q', 'x', EVarianteModele::Questionnaire, Defauts);
    f.FSansChamp1 = true;
    f.SetIdChamp1("Demande");
    EXPECT_TRUE(f.FSansChamp1);
    EXPECT_EQ(f.FIdChamp1, "Demande");
    f.SetIdChamp1("");
    EXPECT_EQ(f.FIdChamp1, "Demande");
    f.FSansChamp1 = false;
    f.SetIdChamp1("");
    EXPECT_FALSE(f.FSansChamp1);
  }
}

TEST_F(Operations, CaracteresDOption) {
  using Setter = void (TFichierX::*)(char);
  const struct {
    const char* nom;
    Setter fixe;
    char TFichierX::* champ;
    std::string acceptes;
  } options[] = {
      {"alternateur", &TFichierX::SetAlternateur, &TFichierX::FAlternateur, "/| "},
      {"commentaire", &TFichierX::SetCommentaire, &TFichierX::FCommentaire, "([ "},
      {"troncature", &TFichierX::SetTroncature, &TFichierX::FTroncature, "*^ "},
  };
  const std::string essais = std::string("/| ([*^;#{x\0\xA0", 13);
  for (const auto& o : options) {
    for (char c : essais) {
      SCOPED_TRACE(std::string(o.nom) + " " + std::to_string(static_cast<unsigned char>(c)));
      TFichierX f('Q', 'n', EVarianteModele::Complet, Defauts);
      const char avant = f.*o.champ;
      (f.*o.fixe)(c);
      EXPECT_EQ(f.*o.champ, o.acceptes.find(c) != std::string::npos ? c : avant);
    }
  }
  for (char c : essais) {
    TFichierX f('Q', 'n', EVarianteModele::Complet, Defauts);
    f.SetFragmenteur(c);
    const std::string attendu = c == ' ' ? "" : std::string(";#|").find(c) != std::string::npos ? std::string(1, c) : ";";
    EXPECT_EQ(f.FFragmenteur, attendu) << static_cast<int>(c);
  }
}

TEST_F(Operations, GetFragmenteur) {
  TFichierX f('Q', 'n', EVarianteModele::Complet, Defauts);
  EXPECT_EQ(f.GetFragmenteur(), ';');
  f.SetFragmenteur(' ');
  EXPECT_EQ(f.FFragmenteur, "");
  f.SetFragmenteur('x');
  EXPECT_EQ(f.FFragmenteur, "");
  EXPECT_EQ(f.GetFragmenteur(), ' ');
  EXPECT_EQ(TFichierX('E', 'n', EVarianteModele::Complet, Defauts).GetFragmenteur(), '\0');
  EXPECT_EQ(TFichierX('M', 'n', EVarianteModele::Complet, Defauts).GetFragmenteur(), '\0');
}

TEST_F(Operations, DelimiteursEtCategories) {
  const struct {
    char commentaire;
    char ouvrant, fermant;
  } cas[] = {{'(', '(', ')'}, {'[', '[', ']'}, {'{', '{', '}'}, {' ', ' ', '@'}, {'\0', '\0', '@'}};
  for (const auto& c : cas) {
    TFichierX f('Q', 'n', EVarianteModele::Complet, Defauts);
    f.FCommentaire = c.commentaire;
    char ouvrant = '#', fermant = '@';
    f.DelimiteursCommentaire(ouvrant, fermant);
    EXPECT_EQ(ouvrant, c.ouvrant);
    EXPECT_EQ(fermant, c.fermant) << "commentaire " << static_cast<int>(c.commentaire);
  }
  TFichierX q('Q', 'n', EVarianteModele::Complet, Defauts);
  EXPECT_TRUE(q.EstCategorie("%Capitales"));
  EXPECT_FALSE(q.EstCategorie("Capitales %"));
  EXPECT_FALSE(q.EstCategorie(""));
}

TEST_F(Operations, MotsIgnores) {
  TReglages r;
  r.MotsIgnores = "le la";
  TFichierX f('Q', 'n', EVarianteModele::Complet, Defauts);
  EXPECT_EQ(f.GetMotsIgnores(r), "le la");
  EXPECT_EQ(f.GetMotsIgnores(Defauts), "un une des le la les l de du et");
  f.FMotsIgnores = "au aux";
  EXPECT_EQ(f.GetMotsIgnores(r), "le la") << "the file's own list counts only with FAvecMotsIgnores";
  f.FAvecMotsIgnores = true;
  EXPECT_EQ(f.GetMotsIgnores(r), "au aux");
  f.FMotAMot = true;
  EXPECT_EQ(f.GetMotsIgnores(r), "au aux");
  EXPECT_EQ(f.MotsIgnoresParDefaut(r), "");
  f.FAvecMotsIgnores = false;
  EXPECT_EQ(f.GetMotsIgnores(r), "");
}

TEST_F(Operations, EtiquettesParDefaut) {
  const struct {
    char type;
    std::string e0, e1, e2;
  } cas[] = {{'R', "Titre", "Onglet", "Corps"},     {'L', "Titre", "Numéro"_a, "Corps"},
             {'Q', "Intitulé"_a, "Question", "Réponse"_a}, {'M', "Intitulé"_a, "Question", "Réponse"_a},
             {'F', "Titre", "A", "B"},              {'I', "Intitulé"_a, "A", "B"}};
  for (const auto& c : cas) {
    SCOPED_TRACE(std::string(1, c.type));
    TFichierX f(c.type, 'n', EVarianteModele::Complet, Defauts);
    f.EtiquettesParDefaut();
    EXPECT_EQ(f.FEtiquettes.Champ0, c.e0);
    EXPECT_EQ(f.FEtiquettes.Champ1, c.e1);
    EXPECT_EQ(f.FEtiquettes.Champ2, c.e2);
    EXPECT_FALSE(f.FAvecEtiquettes);
    f.SetEtiquettes("a", "b", "c");  // all three, whatever fields the file has
    EXPECT_EQ(f.FEtiquettes.Champ0 + f.FEtiquettes.Champ1 + f.FEtiquettes.Champ2, "abc");
    EXPECT_TRUE(f.FAvecEtiquettes);
  }
}

TEST_F(Operations, CanevasQCM) {
  const struct {
    std::int32_t nombre;
    int attendus;
  } cas[] = {{2, 2}, {1, 1}, {0, 0}, {-5, 0}, {4, 4}, {MaxSeparateursQCM, MaxSeparateursQCM},
             // A stored count is bounded: it cannot make the template exhaust memory.
             {MaxSeparateursQCM + 1, MaxSeparateursQCM}, {2147483647, MaxSeparateursQCM}};
  const std::string un = CRLF + "===" + CRLF;
  for (const auto& c : cas) {
    SCOPED_TRACE(c.nombre);
    TReglages r;
    r.NombreSeparateursQCM = c.nombre;
    TFichierX f('M', 'n', EVarianteModele::Complet, r);
    f.FCanevas.Champ2 = "Énoncé"_a;
    f.CanevasQCM(r);
    std::string attendu = "Énoncé"_a;
    for (int i = 0; i < c.attendus; ++i) attendu += un;
    EXPECT_EQ(f.FCanevas.Champ2, attendu);
    EXPECT_EQ(f.FAvecCanevas, c.attendus > 0);
    EXPECT_FALSE(f.FModifie);
  }
}

// Sorting

TEST_F(Operations, CompareFichesSelonLaLocale) {
  const struct {
    std::string a, b;
    int attendu;
  } cas[] = {{"abricot", "banane", -1}, {"banane", "abricot", 1}, {"pomme", "pomme", 0},
             {"éléphant"_a, "Zèbre"_a, -1}, {"abricot", "éléphant"_a, -1}, {"pomme", "Pomme", -1},
             {"", "a", -1}, {"cote", "côte"_a, -1}};
  for (const auto& c : cas) {
    EXPECT_EQ(CompareFiches({"", c.a, ""}, {"", c.b, ""}), c.attendu) << c.a << " / " << c.b;
  }
  // Field 1 only is the key.
  EXPECT_EQ(CompareFiches({"z", "a", "z"}, {"a", "a", "a"}), 0);
}

TEST_F(Operations, TrieSelonLaLocaleEtGardeLOrdreDesEgaux) {
  TFichierX f('R', 'n', EVarianteModele::Complet, Defauts);
  for (const char* mot : {"Zèbre", "éléphant", "banane", "abricot", "banane", "Éclair", "banane"})
    f.AjouteFicheDeuxChamps(ansi::Utf8VersAnsi(mot), std::to_string(f.GetNombreFiches()));
  f.FModifie = false;
  EXPECT_FALSE(f.EstTrie());
  f.Trie();
  EXPECT_TRUE(f.EstTrie());
  EXPECT_FALSE(f.FModifie);
  std::string ordre;
  for (const auto& c : f.FFiches) ordre += ansi::AnsiVersUtf8(c->Champ1) + "/" + c->Champ2 + " ";
  EXPECT_EQ(ordre, "abricot/3 banane/2 banane/4 banane/6 Éclair/5 éléphant/1 Zèbre/0 ");
}

TEST_F(Operations, TrieEtEstTrieDeFichiersCourts) {
  TFichierX vide('R', 'n', EVarianteModele::Complet, Defauts);
  EXPECT_TRUE(vide.EstTrie());
  vide.Trie();
  EXPECT_FALSE(vide.FModifie);
  vide.FModifie = true;
  vide.Trie();
  EXPECT_TRUE(vide.FModifie);
  vide.AjouteFicheDeuxChamps("seule", "");
  EXPECT_TRUE(vide.EstTrie());
  vide.AjouteFicheDeuxChamps("avant", "");
  EXPECT_FALSE(vide.EstTrie());
  vide.AjouteFicheDeuxChamps("", "");
  vide.Trie();
  EXPECT_EQ(Champs1(vide), "|avant|seule|");
}

// A comparison that fails answers -2 both ways, which is no order: the sort must stay sound.
int ToujoursEchoue(std::string_view, std::string_view, bool) { return 0; }
int EchoueAvecX(std::string_view a, std::string_view b, bool casse) {
  if (a.starts_with('x') || b.starts_with('x')) return 0;
  return CompareStringA(a, b, casse);
}
int HorsConvention(std::string_view, std::string_view, bool) { return 7; }

TEST_F(Operations, UneComparaisonQuiEchoueDonneUnOrdreCoherent) {
  EXPECT_EQ(CompareFiches({"", "b", ""}, {"", "a", ""}, ToujoursEchoue), -2);
  EXPECT_EQ(CompareFiches({"", "a", ""}, {"", "b", ""}, ToujoursEchoue), -2);
  EXPECT_EQ(CompareFiches({"", "a", ""}, {"", "b", ""}, HorsConvention), -2);

  // Every comparison failing: the texts' codes order the cards (unsigned: "é" after "z").
  std::vector<std::string> mots;
  for (int i = 0; i < 200; ++i) mots.push_back(std::string(1, static_cast<char>('a' + (i * 7) % 26)) +
                                               (i % 3 ? "\xE9" : "z") + std::to_string(i % 10));
  TFichierX f('R', 'n', EVarianteModele::Complet, Defauts);
  for (const auto& m : mots) f.AjouteFicheDeuxChamps(m, "");
  f.Trie(ToujoursEchoue);
  std::sort(mots.begin(), mots.end(), [](const std::string& a, const std::string& b) {
    return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
      return static_cast<unsigned char>(x) < static_cast<unsigned char>(y);
    });
  });
  ASSERT_EQ(f.GetNombreFiches(), 200);
  for (int i = 0; i < 200; ++i) EXPECT_EQ(f.Fiche(i).Champ1, mots[i]) << i;

  // Failing for some cards only: the sort ends, keeps every card, and orders the others.
  TFichierX g('R', 'n', EVarianteModele::Complet, Defauts);
  for (const char* m : {"poire", "x2", "abricot", "x1", "banane", "x3", "cerise"})
    g.AjouteFicheDeuxChamps(m, "");
  g.Trie(EchoueAvecX);
  EXPECT_EQ(Champs1(g), "abricot|banane|cerise|poire|x1|x2|x3|");
  g.Trie(HorsConvention);
  EXPECT_EQ(g.GetNombreFiches(), 7);
}

TEST_F(Operations, TypesTries) {
  for (char t : {'A', 'B', 'C', 'D', 'R', '1', '\0'}) EXPECT_TRUE(TFichierX(t, 'n', EVarianteModele::Complet, Defauts).EstTypeTrie()) << t;
  for (char t : {'E', 'L', 'Q', 'N', 'r', '\xC4'}) EXPECT_FALSE(TFichierX(t, 'n', EVarianteModele::Complet, Defauts).EstTypeTrie()) << t;
}

}  // namespace
