#include "exchange/KorMoodle.h"

#include <algorithm>

#include "cards/KorOutils.h"
#include "cards/KorSauvegarde.h"
#include "exchange/KorCommun.h"
#include "platform/Ansi.h"

// ---- Markers ----

std::string FractionParDefaut(const std::string& type) {
  return type == "shortanswer" || type == "numerical" ? "100" : "0";
}

void VirguleEnPoint(std::string& texte) {
  const auto virgule = texte.find(',');
  if (virgule != std::string::npos) texte[virgule] = '.';
}

std::string BooleenTexte(bool valeur) { return valeur ? "true" : "false"; }

void TFichierMoodle::PrepareMarques(const TReglages& r) {
  const TFichierX& f = *FFichier;
  FSeparateur = f.FFragmenteur.empty() ? r.SeparateurQCM : f.FFragmenteur;
  char c = 0, k = 0;
  f.DelimiteursCommentaire(c, k);
  // Comments switched off (a space) or no options at all give no closing character: the
  // markers then keep the default pair, the one the reader uses.
  if (k == 0) {
    c = '(';
    k = ')';
  }
  const char t = f.FTroncature, a = f.FAlternateur, s = f.FSeparateurTitre;
  FOuvreReponse = {c, t};
  FFermeReponse = {t, k};
  FReponseJuste = {c, t, k};
  FOuvreRetour = {c, a};
  FFermeRetour = {a, k};
  FOuvreTrou = {c, s};
  FFermeTrou = {s, k};
  FAppariement = {s, s};
}

void TFichierMoodle::ExtraitMarque(const std::string& texte, std::string& marque, std::string& reste,
                                   const std::string& defaut, const std::string* siVide) const {
  const std::size_t p = texte.find(FOuvreReponse);
  // The closing marker is looked for from the character after the opening one's first, so
  // that in "(*)" the two overlap.
  const std::size_t q = p == std::string::npos ? p : texte.find(FFermeReponse, p + 1);
  if (q == std::string::npos) {
    marque = defaut;
    reste = Rogne(texte);
    return;
  }
  const std::size_t debut = p + FOuvreReponse.size();
  marque = Rogne(q > debut ? std::string_view(texte).substr(debut, q - debut) : std::string_view());
  if (siVide) {
    if (marque.empty())
      marque = *siVide;
    else
      VirguleEnPoint(marque);
  }
  const std::string apres = texte.substr(q + FFermeReponse.size());
  // What stands before a marker within the first three characters (such as "- ") is dropped.
  reste = Rogne(p < 3 ? apres : texte.substr(0, p) + apres);
}

std::string TFichierMoodle::MarqueDe(const std::optional<std::string>& valeur, const std::string& defaut,
                                     const std::string& juste) const {
  if (!valeur || *valeur == defaut) return "";
  if (*valeur == juste) return FReponseJuste + " ";
  return FOuvreReponse + *valeur + FFermeReponse + " ";
}

// ---- Writing ----

namespace {

bool Contient(const std::string& texte, const std::string& partie) {
  return !partie.empty() && texte.find(partie) != std::string::npos;
}

// How a text goes into the quiz: as the content of an element (&, < and > as entities), inside
// CDATA sections (as it stands), or as an attribute value (quotes, tabs and line feeds as
// references too).
enum class EGenreTexte { Contenu, CData, Attribut };

// The quiz is written as text, one element after the other, as a serialiser of its tree would
// write it: no indentation, the line breaks between elements written out, an element without
// content closed at once. Line ends are CR LF, inside the texts too (a parser reads them as LF).
class TEcrivainMoodle {
 public:
  TEcrivainMoodle(TFichierMoodle& moodle, const TReglages& r, std::string& sortie)
      : FM(moodle), FR(r), FSortie(sortie) {}
  void Ecrit();

 private:
  void Ligne() { FSortie += "\r\n"; }
  void AjouteXml(std::string_view x, EGenreTexte genre);
  // A card text as the quiz holds it, in FXml: UTF-8, its line breaks as LF, without the
  // control characters that XML 1.0 forbids.
  std::string_view VersXml(std::string_view ansi);
  void Attribut(const char* nom, std::string_view valeur);
  // An element holding the text element of a card text (nom > newline > text > newline), with
  // its attributes; what the caller adds before FinElement goes after that.
  void DebutElementTexte(const char* nom, std::string_view texte, std::string_view format = {},
                         const std::string* fraction = nullptr);
  void FinElement(const char* nom);
  void ElementTexte(const char* nom, std::string_view texte, std::string_view format = {}) {
    DebutElementTexte(nom, texte, format);
    FinElement(nom);
  }
  void ElementSimple(const char* nom, std::string_view valeur);
  std::string DevelopperCategorie(std::string chemin);
  void Question(const TFicheX& fiche);
  void Reponse(const std::string& piece, const std::string& type, bool choix);
  void ReponseNumerique(std::string texte, const std::string& fraction);

  TFichierMoodle& FM;
  const TReglages& FR;
  std::string& FSortie;
  std::string FXml;  // scratch room of VersXml, kept from one text to the next
  std::string FCategoriePrecedente;
  std::string FFractionDefaut;
  int FReponses = 0;
  int FReponsesZero = 0;
};

std::string_view TEcrivainMoodle::VersXml(std::string_view ansi) {
  FXml.clear();
  const char* p = ansi.data();
  const char* const fin = p + ansi.size();
  while (p < fin) {
    const char* q = p;
    while (q < fin && static_cast<unsigned char>(*q) >= 0x20 && static_cast<unsigned char>(*q) < 0x80) ++q;
    FXml.append(p, q);
    if (q == fin) break;
    const auto c = static_cast<unsigned char>(*q);
    p = q + 1;
    if (c >= 0x80) {
      ansi::AjouteUtf8(FXml, ansi::VersUnicode(c));
    } else if (c == '\r') {
      if (p < fin && *p == '\n') ++p;
      FXml += '\n';
    } else if (c == '\t' || c == '\n') {
      FXml += static_cast<char>(c);
    }
  }
  return FXml;
}

void TEcrivainMoodle::AjouteXml(std::string_view x, EGenreTexte genre) {
  const char* p = x.data();
  const char* const debut = p;
  const char* const fin = p + x.size();
  while (p < fin) {
    const char* q = p;
    switch (genre) {
      case EGenreTexte::Contenu:
        while (q < fin && *q != '<' && *q != '>' && *q != '&' && *q != '\n') ++q;
        break;
      case EGenreTexte::CData:
        while (q < fin && *q != '>' && *q != '\n') ++q;
        break;
      case EGenreTexte::Attribut:
        while (q < fin && *q != '<' && *q != '>' && *q != '&' && *q != '\n' && *q != '"' && *q != '\t') ++q;
        break;
    }
    FSortie.append(p, q);
    if (q == fin) break;
    p = q + 1;
    switch (*q) {
      case '\n': FSortie += genre == EGenreTexte::Attribut ? "&#10;" : "\r\n"; break;
      case '\t': FSortie += "&#9;"; break;
      case '"': FSortie += "&quot;"; break;
      case '<': FSortie += "&lt;"; break;
      case '&': FSortie += "&amp;"; break;
      case '>':
        if (genre != EGenreTexte::CData) {
          FSortie += "&gt;";
        } else {
          // A CDATA section cannot hold "]]>": the section ends after "]]" and another begins,
          // which a parser joins back.
          if (q - debut >= 2 && q[-1] == ']' && q[-2] == ']') FSortie += "]]><![CDATA[";
          FSortie += '>';
        }
        break;
    }
  }
}

void TEcrivainMoodle::Attribut(const char* nom, std::string_view valeur) {
  FSortie += ' ';
  FSortie += nom;
  FSortie += "=\"";
  AjouteXml(VersXml(valeur), EGenreTexte::Attribut);
  FSortie += '"';
}

void TEcrivainMoodle::DebutElementTexte(const char* nom, std::string_view texte, std::string_view format,
                                        const std::string* fraction) {
  FSortie += '<';
  FSortie += nom;
  if (!format.empty()) Attribut("format", format);
  if (fraction) Attribut("fraction", *fraction);
  FSortie += ">\r\n";
  const std::string_view x = VersXml(texte);
  if (texte.find_first_of("<>&") != std::string_view::npos) {
    FSortie += "<text><![CDATA[";
    AjouteXml(x, EGenreTexte::CData);
    FSortie += "]]></text>";
  } else if (!x.empty()) {
    FSortie += "<text>";
    AjouteXml(x, EGenreTexte::Contenu);
    FSortie += "</text>";
  } else {
    FSortie += "<text/>";
  }
  Ligne();
}

void TEcrivainMoodle::FinElement(const char* nom) {
  FSortie += "</";
  FSortie += nom;
  FSortie += ">\r\n";
}

void TEcrivainMoodle::ElementSimple(const char* nom, std::string_view valeur) {
  FSortie += '<';
  FSortie += nom;
  FSortie += '>';
  AjouteXml(VersXml(valeur), EGenreTexte::Contenu);
  FinElement(nom);
}

std::string TEcrivainMoodle::DevelopperCategorie(std::string chemin) {
  const std::size_t n = std::min(chemin.find_first_not_of('/'), chemin.size());
  if (n > 0) {
    // Every leading '/' goes: each stands for one level shared with the previous path.
    const std::string suite = chemin.substr(n);
    const std::string& p = FCategoriePrecedente;
    std::size_t fin = std::string::npos, vus = 0;
    for (std::size_t i = 0; i < p.size(); ++i)
      if (p[i] == '/' && ++vus == n) {
        fin = i;
        break;
      }
    chemin = fin != std::string::npos ? p.substr(0, fin + 1) + suite : p + "/" + suite;
  }
  FCategoriePrecedente = chemin;
  return chemin;
}

void TEcrivainMoodle::ReponseNumerique(std::string texte, const std::string& fraction) {
  const std::size_t blanc = texte.find(' ');
  if (blanc != std::string::npos) {
    // The unit is the first answer's; a unit only a later answer carries is not written.
    if (FReponses == 1) {
      FSortie += "<units><unit><unit_name>";
      AjouteXml(VersXml(RogneGauche(std::string_view(texte).substr(blanc + 1))), EGenreTexte::Contenu);
      FSortie += "</unit_name></unit></units>\r\n";
    }
    texte.resize(blanc);
  }
  VirguleEnPoint(texte);
  DebutElementTexte("answer", texte, {}, &fraction);
  const std::size_t point = texte.find('.');
  if (point != std::string::npos && texte.find('E') == std::string::npos)
    ElementSimple("tolerance", "0.5E-" + std::to_string(texte.size() - point - 1));
  FinElement("answer");
}

void TEcrivainMoodle::Reponse(const std::string& piece, const std::string& type, bool choix) {
  ++FReponses;
  static const std::string cent = "100";
  std::string fraction, texte;
  FM.ExtraitMarque(piece, fraction, texte, FFractionDefaut, &cent);
  if (fraction == "0") ++FReponsesZero;
  if (type == "numerical" && !choix) {
    ReponseNumerique(texte, fraction);
    return;
  }
  DebutElementTexte("answer", texte, choix ? std::string_view(FR.FormatQCM) : std::string_view(), &fraction);
  FinElement("answer");
}

void TEcrivainMoodle::Question(const TFicheX& fiche) {
  const TFichierX& f = *FM.FFichier;
  FSortie += "\r\n<question type=\"";
  const std::string titre = Rogne(fiche.Champ0);
  if (f.EstCategorie(titre)) {
    FSortie += "category\">\r\n";
    ElementTexte("category", DevelopperCategorie(RogneGauche(std::string_view(titre).substr(1))));
    FinElement("question");
    return;
  }
  std::string type, texte;
  FM.ExtraitMarque(fiche.Champ1, type, texte, "");

  bool seuleForcee = false;
  // "category" is the type of category cards only: a question marked so would be read back as
  // a category without a path, and its texts lost. Its type is deduced instead.
  if (type == "category") type.clear();
  if (type == "singlechoice") {
    type = "multichoice";
    seuleForcee = true;
  } else if (type.empty()) {
    if (Contient(fiche.Champ2, FM.FOuvreReponse))
      type = Contient(fiche.Champ2, "true") ? "truefalse" : "multichoice";
    else if (Contient(fiche.Champ2, FM.FAppariement))
      type = "matching";
    else if (Contient(texte, FM.FOuvreTrou))
      type = "cloze";
    else
      type = "shortanswer";
  }
  const bool choix = type.compare(0, 11, "multichoice") == 0;
  if (type == "cloze") {
    RemplaceTout(texte, FM.FOuvreTrou, "{:SA:=");
    RemplaceTout(texte, FM.FFermeTrou, "}");
  }
  FFractionDefaut = FractionParDefaut(type);
  AjouteXml(VersXml(type), EGenreTexte::Attribut);
  FSortie += "\">\r\n";
  ElementTexte("name", titre);
  ElementTexte("questiontext", texte, FR.FormatQCM);

  FReponses = FReponsesZero = 0;
  const std::string& champ2 = fiche.Champ2;
  std::size_t debut = 0;
  while (debut <= champ2.size()) {
    // An empty separator makes the whole field one piece.
    const std::size_t fin = FM.FSeparateur.empty() ? std::string::npos : champ2.find(FM.FSeparateur, debut);
    const std::string piece = Rogne(std::string_view(champ2).substr(debut, fin == std::string::npos ? fin : fin - debut));
    debut = fin == std::string::npos ? champ2.size() + 1 : fin + FM.FSeparateur.size();
    if (piece.empty()) continue;
    if (piece.compare(0, FM.FOuvreRetour.size(), FM.FOuvreRetour) == 0) {
      const std::size_t d = FM.FOuvreRetour.size();
      const std::size_t f2 = piece.find(FM.FFermeRetour, d);
      ElementTexte("generalfeedback", Rogne(std::string_view(piece).substr(d, f2 == std::string::npos ? f2 : f2 - d)),
                   FR.FormatQCM);
    } else if (type == "matching") {
      const std::size_t a = piece.find(FM.FAppariement);
      if (a == std::string::npos) continue;
      DebutElementTexte("subquestion", RogneDroite(std::string_view(piece).substr(0, a)), FR.FormatQCM);
      ElementTexte("answer", RogneGauche(std::string_view(piece).substr(a + FM.FAppariement.size())));
      FinElement("subquestion");
    } else if (type == "essay") {
      ElementTexte("responsetemplate", piece, FR.FormatQCM);
    } else {
      Reponse(piece, type, choix);
    }
  }

  if (choix) {
    const bool seule = seuleForcee || (type == "multichoice" && FReponses - FReponsesZero == 1);
    ElementSimple("single", BooleenTexte(seule));
    ElementSimple("answernumbering", "none");
  }
  if (choix || type == "matching") ElementSimple("shuffleanswers", "true");
  FinElement("question");
}

void TEcrivainMoodle::Ecrit() {
  FM.PrepareMarques(FR);
  const auto& fiches = FM.FFichier->FFiches;
  FSortie += "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n";
  if (fiches.empty()) {
    FSortie += "<quiz/>\r\n";
    return;
  }
  FSortie += "<quiz>";
  for (const auto& fiche : fiches) Question(*fiche);
  FSortie += "</quiz>\r\n";
}

}  // namespace

void TFichierMoodle::Prepare(TFichierX& fichier, const std::string& chemin) {
  FFichier = &fichier;
  FNomFichier = chemin;
}

std::string TFichierMoodle::Octets(const TReglages& r) {
  std::string octets;
  // About what a question of three short answers takes.
  octets.reserve(256 + FFichier->FFiches.size() * 512);
  TEcrivainMoodle(*this, r, octets).Ecrit();
  return octets;
}

void TFichierMoodle::Enregistre([[maybe_unused]] bool nouveau, const TReglages& r) {
  const std::string octets = Octets(r);
  if (FFichier->FQuestionnaire)
    echange::ExporteFichier(*FFichier, FNomFichier, octets);
  else
    EnregistreFichierX(*FFichier, FNomFichier, FFichier->FFlux.get(), 'm', octets);
}

void EcritFichierMoodle(TFichierX& fichier, const std::string& chemin, bool nouveau, const TReglages& r) {
  EcritFichierAvec<TFichierMoodle>(fichier, chemin, nouveau, r);
}

std::string OctetsFichierMoodle(TFichierX& fichier, const TReglages& r) {
  return OctetsFichierAvec<TFichierMoodle>(fichier, r);
}
