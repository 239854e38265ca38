#pragma once
// Card files on which the Moodle, CSV and text writers' bytes are kept in donnees/: every kind
// of question, accents and every byte from 0x80 to 0xFF, line breaks of every sort, empty
// fields, quotes, separators inside the fields, long texts.

#include <memory>
#include <string>
#include <vector>

#include "cards/KorFichierX.h"
#include "platform/Ansi.h"

struct TTemoin {
  std::string Nom;  // donnees/<Nom>.xml, .csv and .txt
  TReglages Reglages;
  std::unique_ptr<TFichierX> Fichier;
};

inline std::string OctetsHauts() {
  std::string s;
  for (int c = 0x80; c < 0x100; ++c) s += static_cast<char>(c);
  return s;
}

inline std::string TexteLong() {
  std::string s;
  for (int i = 0; i < 400; ++i) s += "mot" + std::to_string(i) + (i % 7 ? " " : "\r\n") + (i % 50 ? "" : "\xE9\"<&;,");
  return s;
}

inline std::vector<TTemoin> Temoins() {
  const std::string S = "\r\n===\r\n";
  const std::string hauts = OctetsHauts(), long_ = TexteLong();
  std::vector<TTemoin> v;
  auto ajoute = [&](std::string nom, char type, auto&& regle, auto&& remplit) {
    TTemoin t{std::move(nom), TReglages(), nullptr};
    t.Reglages.SeparateurQCM = "===";
    t.Reglages.TypesCSV = "LMQ";
    regle(t.Reglages);
    t.Fichier = std::make_unique<TFichierX>(type, 'x', EVarianteModele::Complet, t.Reglages);
    remplit(*t.Fichier);
    v.push_back(std::move(t));
  };
  const auto questions = [&](TFichierX& f) {
    f.AjouteFiche("%Géographie/Europe"_a, "", "");
    f.AjouteFiche("%//Capitales", "", "");
    f.AjouteFiche("Choix", "(*multichoice*) Quelle ville ?", "(*) Paris" + S + "Lyon" + S + "(*-33,3*) Nice");
    f.AjouteFiche("Seule", "(*singlechoice*) Une seule ?", "(*50*) a" + S + "(*50*) b" + S + "c");
    f.AjouteFiche("Plusieurs", "(*multichoiceset*) Lesquelles ?", "(*50*) a" + S + "(*50*) b");
    f.AjouteFiche("Vrai", "La Terre est ronde.", "(*) true" + S + "false");
    f.AjouteFiche("Paires", "Associez :", "France :: Paris" + S + "Italie :: Rome" + S + "sans paire");
    f.AjouteFiche("Trous", "La capitale de la France est (:Paris:) et celle de l'Italie (:Rome:).", "");
    f.AjouteFiche("Nombre", "(*numerical*) Combien ?", "12,5 kg" + S + "(*50*) 12.75 g" + S + "1E5" + S + "7");
    f.AjouteFiche("Rédaction"_a, "(*essay*) Racontez.", "Il était une fois" + S + "(/ Bien /)");
    f.AjouteFiche("Courte", "Une ville ?", "Paris" + S + "(*50*) paris" + S + "(/ Retour général /)"_a);
    f.AjouteFiche("Marquée", "(*category*) Ce type se déduit"_a, "(*) oui" + S + "non");
    f.AjouteFiche("", "", "");
    f.AjouteFiche("  espaces  ", "  (*shortanswer*)   ", "   ");
    f.AjouteFiche("Balises", "<b>gras</b> & ]]> fin ]]", "(*) a < b" + S + "x ]]]> y" + S + "\"guillemets\"");
    f.AjouteFiche("Octets", "Hauts : " + hauts, hauts + S + "\x01\x02\x1F\t tab" + S + "a\rb\nc\r\nd");
    f.AjouteFiche("Long", long_, long_ + S + long_);
  };
  ajoute("qcm", 'M', [](TReglages& r) { r.FormatQCM = ""; }, questions);
  ajoute("qcm_html", 'M', [](TReglages& r) { r.FormatQCM = "html"; }, questions);
  ajoute("qcm_format_bizarre", 'M', [](TReglages& r) { r.FormatQCM = "a\"<&>\tb\xE9"; }, questions);
  ajoute("qcm_autres_marques", 'M', [](TReglages& r) { r.FormatQCM = "html"; }, [&](TFichierX& f) {
    f.FTroncature = '#';
    f.FAlternateur = '+';
    f.FSeparateurTitre = '=';
    f.FCategorie = '#';
    f.AjouteFiche("#Catégorie"_a, "", "");
    f.AjouteFiche("Choix", "(#multichoice#) Laquelle ?", "(#) oui" + S + "(#25#) non" + S + "(+ Retour +)");
    f.AjouteFiche("Trous", "Un (=trou=) ici", "");
    f.AjouteFiche("Paires", "Associez", "a == b" + S + "c == d");
  });
  const auto cartes = [&](TFichierX& f) {
    f.AjouteFiche("Titre", "Question simple", "réponse"_a);
    f.AjouteFiche("", "", "");
    f.AjouteFiche("a;b,c", "x \"y\" z", "un ; deux ; trois");
    f.AjouteFiche("  blancs  ", "\ttab\t", "   ");
    f.AjouteFiche("lignes\r\nde\rtitre\n", "champ\r\n1", "l1\r\nl2\r\n\r\nl4\r\n");
    f.AjouteFiche("\xAF macron", "a\x01" "b\x1F" "c", "fin;");
    f.AjouteFiche(hauts, hauts, hauts + " ; " + hauts);
    f.AjouteFiche("long", long_, long_ + " ; " + long_);
  };
  struct Csv {
    const char* nom;
    char type;
    char separateur;
    bool utf8;
    const char* fragmenteur;
    int champs;  // 0: as the type has them; 1: without field 1; 3: with field 0
  };
  const Csv csv[] = {
      {"liste_virgule", 'L', ',', false, nullptr, 0},    {"liste_point_virgule_utf8", 'L', ';', true, nullptr, 0},
      {"liste_espace", 'L', ' ', false, nullptr, 0},     {"liste_tab", 'L', '\t', true, nullptr, 0},
      {"liste_champ0", 'L', ';', false, nullptr, 3},     {"liste_sans_champ1", 'L', ',', false, nullptr, 1},
      {"liste_lignes", 'L', ';', false, "\r\n", 0},      {"liste_lignes_sans_champ1", 'L', ' ', false, "\r\n", 1},
      {"liste_sans_fragmenteur", 'L', ',', true, "", 0}, {"fourre_tout", 'F', ';', false, nullptr, 0},
      {"fourre_tout_espace", 'F', ' ', true, "\r\n", 0}, {"questionnaire_e_aigu", 'Q', '\xE9', false, nullptr, 3},
  };
  for (const Csv& c : csv)
    ajoute(c.nom, c.type, [&](TReglages& r) { r.SeparateurCSV = c.separateur; r.CSVUtf8 = c.utf8; },
           [&](TFichierX& f) {
             if (c.fragmenteur) f.FFragmenteur = c.fragmenteur;
             if (c.champs == 1) f.FSansChamp1 = true;
             if (c.champs == 3) f.FAvecChamp0 = true;
             cartes(f);
           });
  return v;
}
