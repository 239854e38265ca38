#include "exchange/KorMoodle.h"

#include <algorithm>

#include <libxml/parser.h>
#include <libxml/tree.h>

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

struct LibereDocument {
  void operator()(xmlDoc* d) const { xmlFreeDoc(d); }
};
using Document = std::unique_ptr<xmlDoc, LibereDocument>;

const xmlChar* X(const char* s) { return reinterpret_cast<const xmlChar*>(s); }
const xmlChar* X(const std::string& s) { return X(s.c_str()); }

[[noreturn]] void EchecXml() { throw EErreur("Erreur dans l'écriture du code XML !"_a); }

template <class T>
T* Verifie(T* p) {
  if (!p) EchecXml();
  return p;
}

bool Contient(const std::string& texte, const std::string& partie) {
  return !partie.empty() && texte.find(partie) != std::string::npos;
}

void RemplaceTout(std::string& texte, const std::string& ancien, const std::string& nouveau) {
  if (ancien.empty()) return;
  for (std::size_t p = texte.find(ancien); p != std::string::npos; p = texte.find(ancien, p + nouveau.size()))
    texte.replace(p, ancien.size(), nouveau);
}

// A card text as the document takes it: UTF-8, its line breaks as LF (the file's line ends are
// set when it is written), without the control characters that XML 1.0 forbids.
std::string VersXml(std::string_view ansi) {
  std::string s;
  s.reserve(ansi.size());
  for (std::size_t i = 0; i < ansi.size(); ++i) {
    const char c = ansi[i];
    if (c == '\r') {
      if (i + 1 < ansi.size() && ansi[i + 1] == '\n') ++i;
      s += '\n';
    } else if (static_cast<unsigned char>(c) >= 0x20 || c == '\t' || c == '\n') {
      s += c;
    }
  }
  return ansi::AnsiVersUtf8(s);
}

class TEcrivainMoodle {
 public:
  TEcrivainMoodle(TFichierMoodle& moodle, const TReglages& r) : FM(moodle), FR(r) {}
  std::string Octets();

 private:
  xmlNode* Ajoute(xmlNode* parent, xmlNode* enfant);
  void NouvelleLigne(xmlNode* parent);
  xmlNode* Element(const char* nom) { return Verifie(xmlNewDocNode(FDocument.get(), nullptr, X(nom), nullptr)); }
  void FixeAttribut(xmlNode* e, const char* nom, const std::string& valeur) {
    Verifie(xmlSetProp(e, X(nom), X(VersXml(valeur))));
  }
  xmlNode* AjouteElementTexte(const char* nom, xmlNode* parent, const std::string& format, const std::string& texte);
  void AjouteElementSimple(const char* nom, const std::string& valeur, xmlNode* parent);
  std::string DevelopperCategorie(std::string chemin);
  void Question(const TFicheX& fiche, xmlNode* racine);
  void Reponse(const std::string& piece, xmlNode* question, const std::string& type, bool choix);
  xmlNode* ReponseNumerique(std::string texte, xmlNode* question);

  TFichierMoodle& FM;
  const TReglages& FR;
  Document FDocument;
  std::string FCategoriePrecedente;
  std::string FFractionDefaut;
  int FReponses = 0;
  int FReponsesZero = 0;
};

xmlNode* TEcrivainMoodle::Ajoute(xmlNode* parent, xmlNode* enfant) {
  xmlNode* n = xmlAddChild(parent, enfant);
  if (!n) {
    xmlFreeNode(enfant);
    EchecXml();
  }
  return n;
}

void TEcrivainMoodle::NouvelleLigne(xmlNode* parent) {
  Ajoute(parent, Verifie(xmlNewDocText(FDocument.get(), X("\n"))));
}

xmlNode* TEcrivainMoodle::AjouteElementTexte(const char* nom, xmlNode* parent, const std::string& format,
                                             const std::string& texte) {
  xmlNode* e = Element(nom);
  Ajoute(parent, e);  // in the tree at once, so that it is freed with the document
  NouvelleLigne(e);
  if (std::string_view(nom) != "question") {
    xmlNode* t = Ajoute(e, Element("text"));
    const std::string x = VersXml(texte);
    if (texte.find_first_of("<>&") != std::string::npos) {
      // A CDATA section cannot hold "]]>": the text is cut after each "]]" into sections of
      // their own, which a parser joins back.
      std::size_t debut = 0;
      for (std::size_t p = x.find("]]>"); p != std::string::npos; p = x.find("]]>", debut)) {
        Ajoute(t, Verifie(xmlNewCDataBlock(FDocument.get(), X(x.c_str() + debut), static_cast<int>(p + 2 - debut))));
        debut = p + 2;
      }
      Ajoute(t, Verifie(xmlNewCDataBlock(FDocument.get(), X(x.c_str() + debut), static_cast<int>(x.size() - debut))));
    } else if (!x.empty()) {
      Ajoute(t, Verifie(xmlNewDocText(FDocument.get(), X(x))));
    }
    NouvelleLigne(e);
  }
  if (!format.empty()) FixeAttribut(e, "format", format);
  NouvelleLigne(parent);
  return e;
}

void TEcrivainMoodle::AjouteElementSimple(const char* nom, const std::string& valeur, xmlNode* parent) {
  xmlNode* e = Ajoute(parent, Element(nom));
  Ajoute(e, Verifie(xmlNewDocText(FDocument.get(), X(VersXml(valeur)))));
  NouvelleLigne(parent);
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

xmlNode* TEcrivainMoodle::ReponseNumerique(std::string texte, xmlNode* question) {
  const std::size_t blanc = texte.find(' ');
  if (blanc != std::string::npos) {
    // The unit is the first answer's; a unit only a later answer carries is not written.
    if (FReponses == 1) {
      xmlNode* unites = Ajoute(question, Element("units"));
      xmlNode* unite = Ajoute(unites, Element("unit"));
      xmlNode* nom = Ajoute(unite, Element("unit_name"));
      Ajoute(nom, Verifie(xmlNewDocText(FDocument.get(), X(VersXml(RogneGauche(texte.substr(blanc + 1)))))));
      NouvelleLigne(question);
    }
    texte.resize(blanc);
  }
  VirguleEnPoint(texte);
  xmlNode* reponse = AjouteElementTexte("answer", question, "", texte);
  const std::size_t point = texte.find('.');
  if (point != std::string::npos && texte.find('E') == std::string::npos)
    AjouteElementSimple("tolerance", "0.5E-" + std::to_string(texte.size() - point - 1), reponse);
  return reponse;
}

void TEcrivainMoodle::Reponse(const std::string& piece, xmlNode* question, const std::string& type, bool choix) {
  ++FReponses;
  static const std::string cent = "100";
  std::string fraction, texte;
  FM.ExtraitMarque(piece, fraction, texte, FFractionDefaut, &cent);
  if (fraction == "0") ++FReponsesZero;
  xmlNode* reponse;
  if (choix)
    reponse = AjouteElementTexte("answer", question, FR.FormatQCM, texte);
  else if (type == "numerical")
    reponse = ReponseNumerique(texte, question);
  else
    reponse = AjouteElementTexte("answer", question, "", texte);
  FixeAttribut(reponse, "fraction", fraction);
}

void TEcrivainMoodle::Question(const TFicheX& fiche, xmlNode* racine) {
  const TFichierX& f = *FM.FFichier;
  NouvelleLigne(racine);
  xmlNode* question = AjouteElementTexte("question", racine, "", "");
  const std::string titre = Rogne(fiche.Champ0);
  if (f.EstCategorie(titre)) {
    AjouteElementTexte("category", question, "", DevelopperCategorie(RogneGauche(std::string_view(titre).substr(1))));
    FixeAttribut(question, "type", "category");
    return;
  }
  std::string type, texte;
  FM.ExtraitMarque(fiche.Champ1, type, texte, "");
  AjouteElementTexte("name", question, "", titre);

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
  FixeAttribut(question, "type", type);
  AjouteElementTexte("questiontext", question, FR.FormatQCM, texte);

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
      AjouteElementTexte("generalfeedback", question, FR.FormatQCM,
                         Rogne(std::string_view(piece).substr(d, f2 == std::string::npos ? f2 : f2 - d)));
    } else if (type == "matching") {
      const std::size_t a = piece.find(FM.FAppariement);
      if (a == std::string::npos) continue;
      xmlNode* sous = AjouteElementTexte("subquestion", question, FR.FormatQCM, RogneDroite(piece.substr(0, a)));
      AjouteElementTexte("answer", sous, "", RogneGauche(piece.substr(a + FM.FAppariement.size())));
    } else if (type == "essay") {
      AjouteElementTexte("responsetemplate", question, FR.FormatQCM, piece);
    } else {
      Reponse(piece, question, type, choix);
    }
  }

  if (choix) {
    const bool seule = seuleForcee || (type == "multichoice" && FReponses - FReponsesZero == 1);
    AjouteElementSimple("single", BooleenTexte(seule), question);
    AjouteElementSimple("answernumbering", "none", question);
  }
  if (choix || type == "matching") AjouteElementSimple("shuffleanswers", "true", question);
}

std::string TEcrivainMoodle::Octets() {
  xmlInitParser();
  FDocument.reset(Verifie(xmlNewDoc(X("1.0"))));
  xmlNode* racine = Element("quiz");
  xmlDocSetRootElement(FDocument.get(), racine);
  FM.PrepareMarques(FR);
  for (const auto& fiche : FM.FFichier->FFiches) Question(*fiche, racine);

  xmlChar* memoire = nullptr;
  int taille = 0;
  xmlDocDumpMemoryEnc(FDocument.get(), &memoire, &taille, "UTF-8");
  if (!memoire) EchecXml();
  const std::string_view texte(reinterpret_cast<const char*>(memoire), static_cast<std::size_t>(taille));
  // Line ends as CR LF. Raw line feeds stand only between elements and inside texts (the
  // serialiser writes those of attributes as references), where a parser reads CR LF as LF.
  std::string sortie;
  sortie.reserve(texte.size() + texte.size() / 16);
  for (char c : texte) {
    if (c == '\n') sortie += '\r';
    sortie += c;
  }
  xmlFree(memoire);
  return sortie;
}

}  // namespace

void TFichierMoodle::Prepare(TFichierX& fichier, const std::string& chemin) {
  FFichier = &fichier;
  FNomFichier = chemin;
}

std::string TFichierMoodle::Octets(const TReglages& r) {
  TEcrivainMoodle ecrivain(*this, r);
  return ecrivain.Octets();
}

void TFichierMoodle::Enregistre([[maybe_unused]] bool nouveau, const TReglages& r) {
  const std::string octets = Octets(r);
  if (FFichier->FQuestionnaire)
    echange::ExporteFichier(*FFichier, FNomFichier, octets);
  else
    EnregistreFichierX(*FFichier, FNomFichier, FFichier->FFlux.get(), 'm', octets);
}

void EcritFichierMoodle(TFichierX& fichier, const std::string& chemin, bool nouveau, const TReglages& r) {
  TFichierMoodle moodle;
  moodle.Prepare(fichier, chemin);
  moodle.Enregistre(nouveau, r);
}

std::string OctetsFichierMoodle(TFichierX& fichier, const TReglages& r) {
  TFichierMoodle moodle;
  moodle.Prepare(fichier, "");
  return moodle.Octets(r);
}
