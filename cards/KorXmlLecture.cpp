// The XML card file reader, over libxml2's tree. The file is parsed from its bytes with no
// network access, no DTD loading and no entity substitution (entity references that are not
// predefined add nothing), and with libxml2's limits on.
//
// White space follows what a DOM does by default: unless xml:space="preserve" is in force, each
// run of text is taken without its leading and trailing blanks, so that the spacing the writer
// leaves around a separator is not added twice when the reader joins the items again.

#include <libxml/globals.h>
#include <libxml/parser.h>
#include <libxml/tree.h>
#include <libxml/xmlerror.h>

#include <climits>
#include <mutex>
#include <vector>

#include "cards/KorOutils.h"
#include "cards/KorSauvegarde.h"
#include "cards/KorXml.h"
#include "platform/Ansi.h"

namespace {

std::string MessageXmlIncorrect() { return "Erreur dans l'écriture du code XML !"_a; }
std::string MessagePasOrvaline() { return "Pas un fichier XML d'Orvaline valide !"; }
std::string MessagePasQuestionnaire() { return "Ce fichier n'est pas un questionnaire !"; }

void InitialiseLibxml() {
  static std::once_flag fait;
  std::call_once(fait, [] { xmlInitParser(); });
}

void Rien(void*, const char*, ...) {}
void RienStructure(void*, xmlErrorPtr) {}

// Keeps libxml2 quiet for the time of a parse: a file the reader refuses is its own error, and
// the decoder reports bad bytes on its own channel whatever the parser's options say.
class TSilence {
 public:
  TSilence()
      : FGenerique(xmlGenericError),
        FContexteGenerique(xmlGenericErrorContext),
        FStructure(xmlStructuredError),
        FContexteStructure(xmlStructuredErrorContext) {
    xmlSetGenericErrorFunc(nullptr, Rien);
    xmlSetStructuredErrorFunc(nullptr, RienStructure);
  }
  ~TSilence() {
    xmlSetGenericErrorFunc(FContexteGenerique, FGenerique);
    xmlSetStructuredErrorFunc(FContexteStructure, FStructure);
  }
  TSilence(const TSilence&) = delete;
  TSilence& operator=(const TSilence&) = delete;

 private:
  xmlGenericErrorFunc FGenerique;
  void* FContexteGenerique;
  xmlStructuredErrorFunc FStructure;
  void* FContexteStructure;
};

const char* Nom(const xmlNode* n) { return reinterpret_cast<const char*>(n->name); }

// An element of that name, without a namespace prefix (a prefixed name is another name).
bool EstNom(const xmlNode* n, std::string_view nom) {
  return n->type == XML_ELEMENT_NODE && (n->ns == nullptr || n->ns->prefix == nullptr) && Nom(n) == nom;
}

const xmlNode* Enfant(const xmlNode* parent, std::string_view nom) {
  for (const xmlNode* c = parent->children; c; c = c->next)
    if (EstNom(c, nom)) return c;
  return nullptr;
}

// XML white space (space, TAB, LF, CR), not the wider blanks of the text helpers.
bool EstBlancXml(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }

std::string_view SansBlancs(std::string_view s) {
  std::size_t a = 0, b = s.size();
  while (a < b && EstBlancXml(s[a])) ++a;
  while (b > a && EstBlancXml(s[b - 1])) --b;
  return s.substr(a, b - a);
}

bool EstXmlSpace(const xmlAttr* a) {
  return a->ns && a->ns->href && std::string_view(reinterpret_cast<const char*>(a->ns->href)) ==
                                     reinterpret_cast<const char*>(XML_XML_NAMESPACE) &&
         std::string_view(reinterpret_cast<const char*>(a->name)) == "space";
}

// The UTF-8 value of an attribute (entity references that were not substituted add nothing).
std::string ValeurUtf8(const xmlAttr* a) {
  std::string v;
  for (const xmlNode* c = a->children; c; c = c->next)
    if ((c->type == XML_TEXT_NODE || c->type == XML_CDATA_SECTION_NODE) && c->content)
      v += reinterpret_cast<const char*>(c->content);
  return v;
}

const xmlAttr* Attribut(const xmlNode* e, std::string_view nom) {
  for (const xmlAttr* a = e->properties; a; a = a->next)
    if (a->ns == nullptr && std::string_view(reinterpret_cast<const char*>(a->name)) == nom) return a;
  return nullptr;
}

// Whether xml:space="preserve" is in force on an element (its own or an ancestor's).
bool Preserve(const xmlNode* e) {
  for (; e && e->type == XML_ELEMENT_NODE; e = e->parent) {
    for (const xmlAttr* a = e->properties; a; a = a->next) {
      if (!EstXmlSpace(a)) continue;
      const std::string v = ValeurUtf8(a);
      if (v == "preserve") return true;
      if (v == "default") return false;
    }
  }
  return false;
}

void TexteArbre(const xmlNode* n, std::string& sortie) {
  for (const xmlNode* c = n->children; c; c = c->next) {
    if ((c->type == XML_TEXT_NODE || c->type == XML_CDATA_SECTION_NODE) && c->content)
      sortie += reinterpret_cast<const char*>(c->content);
    else if (c->type == XML_ELEMENT_NODE)
      TexteArbre(c, sortie);
  }
}

// UTF-8 into 1252, every line break (CR LF, CR or LF) made CR LF when retours.
void AjouteAnsi(std::string& sortie, std::string_view utf8, bool retours) {
  bool simple = true;
  for (char c : utf8)
    if (static_cast<unsigned char>(c) >= 0x80 || (retours && (c == '\r' || c == '\n'))) {
      simple = false;
      break;
    }
  if (simple) {
    sortie.append(utf8);
    return;
  }
  const std::string a = ansi::Utf8VersAnsi(utf8);
  if (!retours) {
    sortie += a;
    return;
  }
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (a[i] == '\r') {
      sortie += "\r\n";
      if (i + 1 < a.size() && a[i + 1] == '\n') ++i;
    } else if (a[i] == '\n') {
      sortie += "\r\n";
    } else {
      sortie += a[i];
    }
  }
}

std::string EnAnsi(std::string_view utf8) {
  std::string s;
  AjouteAnsi(s, utf8, false);
  return s;
}

std::string Minuscules(std::string s) {
  for (char& c : s)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return s;
}

std::string Majuscules(std::string s) {
  for (char& c : s)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  return s;
}

bool EstOui(const std::string& valeur) { return Minuscules(valeur) == "oui"; }

// A decimal integer (blanks around it and a sign allowed), or the default.
int EntierOuDefaut(std::string_view s, int defaut) {
  s = SansBlancs(s);
  std::size_t i = 0;
  bool negatif = false;
  if (i < s.size() && (s[i] == '+' || s[i] == '-')) negatif = s[i++] == '-';
  if (i == s.size()) return defaut;
  long long v = 0;
  for (; i < s.size(); ++i) {
    if (s[i] < '0' || s[i] > '9') return defaut;
    v = v * 10 + (s[i] - '0');
    if (v > static_cast<long long>(INT_MAX) + 1) return defaut;
  }
  if (negatif) v = -v;
  if (v > INT_MAX || v < INT_MIN) return defaut;
  return static_cast<int>(v);
}

void AjouteUtf8(std::string& s, unsigned long u) {
  if (u < 0x80) {
    s += static_cast<char>(u);
  } else if (u < 0x800) {
    s += static_cast<char>(0xC0 | (u >> 6));
    s += static_cast<char>(0x80 | (u & 0x3F));
  } else if (u < 0x10000) {
    s += static_cast<char>(0xE0 | (u >> 12));
    s += static_cast<char>(0x80 | ((u >> 6) & 0x3F));
    s += static_cast<char>(0x80 | (u & 0x3F));
  } else {
    s += static_cast<char>(0xF0 | (u >> 18));
    s += static_cast<char>(0x80 | ((u >> 12) & 0x3F));
    s += static_cast<char>(0x80 | ((u >> 6) & 0x3F));
    s += static_cast<char>(0x80 | (u & 0x3F));
  }
}

// The references of a pseudo-attribute value (predefined entities and character references);
// anything else stays as written.
std::string SansReferences(std::string_view s) {
  std::string r;
  std::size_t i = 0;
  while (i < s.size()) {
    if (s[i] != '&') {
      r += s[i++];
      continue;
    }
    const std::size_t fin = s.find(';', i);
    if (fin == std::string_view::npos || fin - i > 12) {
      r += s[i++];
      continue;
    }
    const std::string_view ref = s.substr(i + 1, fin - i - 1);
    bool fait = true;
    if (ref == "amp") r += '&';
    else if (ref == "lt") r += '<';
    else if (ref == "gt") r += '>';
    else if (ref == "quot") r += '"';
    else if (ref == "apos") r += '\'';
    else if (ref.size() >= 2 && ref[0] == '#') {
      const bool hexa = ref[1] == 'x';
      const std::string_view chiffres = ref.substr(hexa ? 2 : 1);
      unsigned long u = 0;
      fait = !chiffres.empty();
      for (char c : chiffres) {
        int d = -1;
        if (c >= '0' && c <= '9') d = c - '0';
        else if (hexa && c >= 'a' && c <= 'f') d = c - 'a' + 10;
        else if (hexa && c >= 'A' && c <= 'F') d = c - 'A' + 10;
        if (d < 0 || u > 0x10FFFF) { fait = false; break; }
        u = u * (hexa ? 16 : 10) + static_cast<unsigned long>(d);
      }
      fait = fait && u >= 0x20 && u <= 0x10FFFF && !(u >= 0xD800 && u <= 0xDFFF);
      if (fait) AjouteUtf8(r, u);
    } else {
      fait = false;
    }
    if (fait) {
      i = fin + 1;
    } else {
      r += s[i++];
    }
  }
  return r;
}

class TLecteurXML {
 public:
  TLecteurXML(TFichierXML& xml, TFichierX& f, bool joueur) : X(xml), F(f), FJoueur(joueur) {}

  // The DOM text of an element: all the text below it, as the parser gives it.
  std::string TexteDom(const xmlNode* e) {
    FTampon.clear();
    TexteArbre(e, FTampon);
    return EnAnsi(Preserve(e) ? std::string_view(FTampon) : SansBlancs(FTampon));
  }

  // The text of a multi-line element (the description and the card fields), line breaks made
  // CR LF; with control tags on, br and tab elements give CR LF and TAB.
  std::string TexteElement(const xmlNode* e) {
    const bool preserve = Preserve(e);
    std::string texte;
    FTampon.clear();
    if (!X.FAvecBalisesControles) {
      TexteArbre(e, FTampon);
      AjouteAnsi(texte, preserve ? std::string_view(FTampon) : SansBlancs(FTampon), true);
      return texte;
    }
    auto vide = [&] {
      AjouteAnsi(texte, preserve ? std::string_view(FTampon) : SansBlancs(FTampon), true);
      FTampon.clear();
    };
    for (const xmlNode* c = e->children; c; c = c->next) {
      if (c->type == XML_TEXT_NODE || c->type == XML_CDATA_SECTION_NODE) {
        if (c->content) FTampon += reinterpret_cast<const char*>(c->content);
        continue;
      }
      vide();
      if (EstNom(c, "br"))
        texte += "\r\n";
      else if (EstNom(c, "tab"))
        texte += '\t';
    }
    vide();
    return texte;
  }

  void Options(const xmlNode* options) {
    auto texte = [&](std::string_view nom, std::string& cible) {
      if (const xmlNode* e = Enfant(options, nom)) {
        cible = TexteDom(e);
        return true;
      }
      return false;
    };
    auto booleen = [&](std::string_view nom, bool& cible) {
      if (const xmlNode* e = Enfant(options, nom)) {
        const xmlAttr* a = Attribut(e, "VALEUR");
        cible = a && EstOui(EnAnsi(ValeurUtf8(a)));
      }
    };
    auto entier = [&](std::string_view nom, std::uint8_t& cible, int defaut) {
      if (const xmlNode* e = Enfant(options, nom))
        cible = static_cast<std::uint8_t>(EntierOuDefaut(TexteDom(e), defaut) & 0xFF);
    };
    auto caractere = [&](std::string_view nom, void (TFichierX::*fixe)(char)) {
      std::string s;
      if (texte(nom, s)) (F.*fixe)(PremierCaractere(s));
    };
    std::string s;
    if (FJoueur || F.FQuestionnaire) {
      booleen("REPOSER_ERREURS", F.FReposerErreurs);
      booleen("SUIVRE_ORDRE", F.FSuivreOrdre);
      booleen("BRIDER_ENTREE", F.FBriderEntree);
      booleen("DIFFERENCIER_CASSE", F.FDifferencierCasse);
      booleen("PHONETIQUE", F.FPhonetique);
      booleen("MOT_A_MOT", F.FMotAMot);
      booleen("CORRECTION", F.FCorrection);
      entier("NOMBRE_QUESTIONS", F.FNombreQuestions, 0);
      entier("SCORE_SATISFAISANT", F.FScoreSatisfaisant, 50);
      entier("TEMPS", F.FTemps, 0);
      texte("PONCTUATION", F.FPonctuation);
      F.FAvecMotsIgnores = texte("MOTS_IGNORES", F.FMotsIgnores);
      texte("OU_VISIBLE", F.FOuVisible);
      texte("OU_CACHE", F.FFragmenteur);
    } else if (texte("FRAGMENTEUR", s)) {
      F.FFragmenteur = Desechappe(s);
    }
    if (!FJoueur && texte("ESPACEMENT", s)) F.FEspacement = Desechappe(s);
    caractere("ALTERNATEUR", &TFichierX::SetAlternateur);
    caractere("COMMENTAIRE", &TFichierX::SetCommentaire);
    caractere("TRONCATURE", &TFichierX::SetTroncature);
  }

  void Fiches(const std::vector<const xmlNode*>& fiches) {
    // Joiners of the field-2 items; the player never pads them with the spacing.
    const bool padder = !FJoueur && !X.FPreserveEspaces;
    auto padde = [&](const std::string& s) { return padder ? F.FEspacement + s + F.FEspacement : s; };
    std::string visible, cache;
    bool avecCache = false;
    if (!F.FOuVisible.empty()) {
      visible = " " + F.FOuVisible + " ";
      cache = padde(F.FFragmenteur);
      avecCache = !F.FFragmenteur.empty();
    } else {
      visible = F.FFragmenteur.empty() ? std::string("\r\n") : padde(F.FFragmenteur);
    }
    const std::string id0 = F.FIdChamp0, id1 = F.FIdChamp1, id2 = F.FIdChamp2;
    for (const xmlNode* fiche : fiches) {
      const xmlNode* n0 = nullptr;
      const xmlNode* n1 = nullptr;
      std::string champ2;
      bool premier = true;
      for (const xmlNode* c = fiche->children; c; c = c->next) {
        if (c->type != XML_ELEMENT_NODE) continue;
        if (F.FAvecChamp0 && !n0 && EstNom(c, id0)) n0 = c;
        if (!F.FSansChamp1 && !n1 && EstNom(c, id1)) n1 = c;
        if (EstNom(c, id2)) {
          if (!premier) {
            const xmlAttr* a = avecCache ? Attribut(c, "CACHE") : nullptr;
            champ2 += (a && EstOui(EnAnsi(ValeurUtf8(a)))) ? cache : visible;
          }
          champ2 += TexteElement(c);
          premier = false;
        }
      }
      const std::string champ0 = n0 ? TexteElement(n0) : std::string();
      const std::string champ1 = n1 ? TexteElement(n1) : std::string();
      if (FJoueur && F.FAvecChamp0 && F.EstCategorie(champ0)) continue;
      F.AjouteFiche(champ0, champ1, champ2);
    }
  }

  void Etiquettes(const xmlNode* etiquettes) {
    if (const xmlNode* e = Enfant(etiquettes, F.FIdChamp0)) F.FEtiquettes.Champ0 = TexteDom(e);
    if (const xmlNode* e = Enfant(etiquettes, F.FIdChamp1)) F.FEtiquettes.Champ1 = TexteDom(e);
    if (const xmlNode* e = Enfant(etiquettes, F.FIdChamp2)) F.FEtiquettes.Champ2 = TexteDom(e);
    F.FAvecEtiquettes = true;
  }

  void Canevas(const xmlNode* canevas) {
    if (const xmlNode* e = Enfant(canevas, F.FIdChamp0)) F.FCanevas.Champ0 = TexteDom(e);
    if (const xmlNode* e = Enfant(canevas, F.FIdChamp1)) F.FCanevas.Champ1 = Desechappe(TexteDom(e));
    if (const xmlNode* e = Enfant(canevas, F.FIdChamp2)) F.FCanevas.Champ2 = Desechappe(TexteDom(e));
    F.FAvecCanevas = true;
  }

 private:
  TFichierXML& X;
  TFichierX& F;
  bool FJoueur;
  std::string FTampon;
};

// The href of the last xml-stylesheet instruction before anything else in the document.
std::string LitFeuilleStyle(const xmlDoc* doc) {
  std::string href;
  for (const xmlNode* n = doc->children; n && n->type == XML_PI_NODE; n = n->next) {
    if (std::string_view(Nom(n)) != "xml-stylesheet" || !n->content) continue;
    const std::string_view data(reinterpret_cast<const char*>(n->content));
    const std::size_t debut = data.find("href=\"");
    if (debut == std::string_view::npos) continue;
    const std::size_t fin = data.find(".xsl\"", debut + 6);
    if (fin == std::string_view::npos) continue;
    href = EnAnsi(SansReferences(data.substr(debut + 6, fin + 4 - (debut + 6))));
  }
  return href;
}

}  // namespace

int OptionsAnalyseXML() { return XML_PARSE_NONET | XML_PARSE_NOERROR | XML_PARSE_NOWARNING | XML_PARSE_COMPACT; }

TFichierXML::~TFichierXML() {
  if (FDocument) xmlFreeDoc(FDocument);
}

void TFichierXML::Ouvre(std::string_view octets, bool complet, EVarianteModele variante, const TReglages& r) {
  InitialiseLibxml();
  const bool joueur = variante == EVarianteModele::Questionnaire;
  if (octets.size() > static_cast<std::size_t>(INT_MAX)) throw ErreurIdInvalide(MessageXmlIncorrect());
  {
    TSilence silence;
    FDocument = xmlReadMemory(octets.data(), static_cast<int>(octets.size()), nullptr, nullptr, OptionsAnalyseXML());
  }
  if (!FDocument) throw ErreurIdInvalide(MessageXmlIncorrect());
  const xmlNode* racine = xmlDocGetRootElement(FDocument);
  if (!racine || !EstNom(racine, "ORVALINE")) throw ErreurIdInvalide(MessagePasOrvaline());

  std::string type, version, versionCreation, idFiche, idChamp0, idChamp1, idChamp2, balises, retour, espace;
  for (const xmlAttr* a = racine->properties; a; a = a->next) {
    if (EstXmlSpace(a)) {
      espace = EnAnsi(ValeurUtf8(a));
      continue;
    }
    if (a->ns) continue;
    const std::string_view nom(reinterpret_cast<const char*>(a->name));
    std::string* cible = nom == "TYPE"               ? &type
                         : nom == "VERSION"          ? &version
                         : nom == "VERSION_CREATION" ? &versionCreation
                         : nom == "ID_FICHE"         ? &idFiche
                         : nom == "ID_CHAMP0"        ? &idChamp0
                         : nom == "ID_CHAMP1"        ? &idChamp1
                         : nom == "ID_CHAMP2"        ? &idChamp2
                         : nom == "BALISES_CONTROLES" ? &balises
                         : nom == "RETOUR"           ? &retour
                                                     : nullptr;
    if (cible) *cible = EnAnsi(ValeurUtf8(a));
  }

  char lettre = type.empty() ? 'Q' : type[0];
  if (lettre >= 'a' && lettre <= 'z') lettre = static_cast<char>(lettre - 'a' + 'A');
  if (joueur && lettre != 'Q') throw ErreurIdInvalide(MessagePasQuestionnaire());
  FLu = std::make_unique<TFichierX>(lettre, 'x', variante, r);
  FFichier = FLu.get();
  TFichierX& f = *FFichier;

  if (!joueur) {
    f.FFeuilleStyle = LitFeuilleStyle(FDocument);
    if (complet) f.FVersionCreation = versionCreation.empty() ? version : versionCreation;
  }
  AssigneIdentificateur(f.FIdFiche, idFiche);
  f.SetIdChamp0(idChamp0);
  f.SetIdChamp1(idChamp1);
  AssigneIdentificateur(f.FIdChamp2, idChamp2);
  f.FBalisesControles = Minuscules(balises);
  f.FEspaceXml = espace;
  if (!joueur) f.FRetour = Majuscules(retour);
  if (joueur) {
    FAvecBalisesControles = f.FBalisesControles != "non";
  } else {
    FAvecBalisesControles =
        f.FBalisesControles == "oui" || (!f.FFeuilleStyle.empty() && f.FBalisesControles != "non");
    FPreserveEspaces = f.FEspaceXml == "preserve";
  }

  // One pass over the root's children: the first element of each name, and the cards.
  const xmlNode *titre = nullptr, *signature = nullptr, *description = nullptr, *options = nullptr,
                *etiquettes = nullptr, *canevas = nullptr;
  std::vector<const xmlNode*> fiches;
  const std::string idCarte = f.FIdFiche;
  for (const xmlNode* c = racine->children; c; c = c->next) {
    if (c->type != XML_ELEMENT_NODE) continue;
    if (!titre && EstNom(c, "TITRE")) titre = c;
    if (!signature && EstNom(c, "SIGNATURE")) signature = c;
    if (!description && EstNom(c, "DESCRIPTION")) description = c;
    if (!options && EstNom(c, "OPTIONS")) options = c;
    if (!etiquettes && EstNom(c, "ETIQUETTES")) etiquettes = c;
    if (!canevas && EstNom(c, "CANEVAS")) canevas = c;
    if (complet && EstNom(c, idCarte)) fiches.push_back(c);
  }

  TLecteurXML lecteur(*this, f, joueur);
  if (complet) {
    if (titre) {
      if (joueur)
        f.FTitre = lecteur.TexteDom(titre);
      else
        f.SetTitre(lecteur.TexteDom(titre));
    }
    if (signature) f.FSignature = lecteur.TexteDom(signature);
    if (description) f.FDescription = lecteur.TexteElement(description);
  }
  if (options) {
    f.FAvecOptions = true;
    lecteur.Options(options);
  }
  if (complet) {
    f.FFiches.reserve(fiches.size());
    lecteur.Fiches(fiches);
  }
  if (!joueur) {
    if (etiquettes) lecteur.Etiquettes(etiquettes);
    if (canevas) lecteur.Canevas(canevas);
  }
  f.FModifie = false;
}

std::unique_ptr<TFichierX> LitFichierXMLOctets(std::string_view octets, bool complet, EVarianteModele variante,
                                               const TReglages& r) {
  TFichierXML xml;
  xml.Ouvre(octets, complet, variante, r);
  return std::move(xml.FLu);
}

std::unique_ptr<TFichierX> LitFichierXML(const std::string& chemin, bool ecriture, bool complet,
                                         EVarianteModele variante, const TReglages& r) {
  if (variante == EVarianteModele::Questionnaire) ecriture = false;  // the player never writes
  return LitFichierDisque(chemin, ecriture, complet, [&](std::string_view octets) {
    TFichierXML xml;
    xml.FNomFichier = chemin;
    xml.Ouvre(octets, complet, variante, r);
    return std::move(xml.FLu);
  });
}
