// The Moodle quiz reader: every "question" directly under the root "quiz" becomes one card of
// a type M card file, its kind, fractions, feedback, pairs and unit written back into the card
// texts as the writer's markers, so that saving the file again writes the same questions.

#include <climits>
#include <cstring>

#include <libxml/parser.h>
#include <libxml/tree.h>
#include <libxml/xmlerror.h>

#include "cards/KorSauvegarde.h"
#include "exchange/KorMoodle.h"
#include "platform/Ansi.h"

namespace {

struct LibereDocument {
  void operator()(xmlDoc* d) const { xmlFreeDoc(d); }
};

std::string MessageXmlIncorrect() { return "Erreur dans l'écriture du code XML !"_a; }
std::string MessagePasMoodle() { return "Pas un fichier Moodle valide !"; }

// No network, no DTD loading, no entity substitution; libxml2's size and depth limits stay on.
constexpr int OptionsAnalyse = XML_PARSE_NONET | XML_PARSE_NOERROR | XML_PARSE_NOWARNING;

// libxml2 reports some faults of the input's encoding on its generic channel whatever the
// parse options say; they are kept quiet during a parse, whose failure is the reader's error.
class TSilenceLibxml {
 public:
  TSilenceLibxml() : FFonction(xmlGenericError), FContexte(xmlGenericErrorContext) {
    xmlSetGenericErrorFunc(nullptr, &Rien);
  }
  ~TSilenceLibxml() { xmlSetGenericErrorFunc(FContexte, FFonction); }
  TSilenceLibxml(const TSilenceLibxml&) = delete;
  TSilenceLibxml& operator=(const TSilenceLibxml&) = delete;

 private:
  static void Rien(void*, const char*, ...) {}
  xmlGenericErrorFunc FFonction;
  void* FContexte;
};

// An element of that name without a prefix, as the reader's patterns name them.
bool EstElement(const xmlNode* n, const char* nom) {
  return n->type == XML_ELEMENT_NODE && (!n->ns || !n->ns->prefix) &&
         std::strcmp(reinterpret_cast<const char*>(n->name), nom) == 0;
}

const xmlNode* Enfant(const xmlNode* parent, const char* nom) {
  for (const xmlNode* c = parent->children; c; c = c->next)
    if (EstElement(c, nom)) return c;
  return nullptr;
}

// The text of a node and its descendants. A reference to an entity of the document's own DTD
// is kept as written: it is not expanded, so a small file cannot grow into a huge text.
void AjouteTexte(const xmlNode* n, std::string& s) {
  switch (n->type) {
    case XML_TEXT_NODE:
    case XML_CDATA_SECTION_NODE:
      if (n->content) s += reinterpret_cast<const char*>(n->content);
      break;
    case XML_ENTITY_REF_NODE:
      s += '&';
      s += reinterpret_cast<const char*>(n->name);
      s += ';';
      break;
    case XML_ELEMENT_NODE:
      for (const xmlNode* c = n->children; c; c = c->next) AjouteTexte(c, s);
      break;
    default:
      break;
  }
}

std::string TexteUtf8(const xmlNode* n) {
  std::string s;
  for (const xmlNode* c = n->children; c; c = c->next) AjouteTexte(c, s);
  return s;
}

std::string Texte(const xmlNode* n) { return ansi::Utf8VersAnsi(TexteUtf8(n)); }

// The attribute as written in the element (a default that a DTD would give is not looked at);
// absent: no value.
std::optional<std::string> Attribut(const xmlNode* n, const char* nom) {
  for (const xmlAttr* a = n->properties; a; a = a->next) {
    if (a->ns || std::strcmp(reinterpret_cast<const char*>(a->name), nom) != 0) continue;
    std::string s;
    for (const xmlNode* c = a->children; c; c = c->next) AjouteTexte(c, s);
    return ansi::Utf8VersAnsi(s);
  }
  return std::nullopt;
}

std::string RetoursCRLF(std::string_view texte) {
  std::string s;
  s.reserve(texte.size());
  for (std::size_t i = 0; i < texte.size(); ++i) {
    const char c = texte[i];
    if (c == '\r' || c == '\n') {
      if (c == '\r' && i + 1 < texte.size() && texte[i + 1] == '\n') ++i;
      s += "\r\n";
    } else {
      s += c;
    }
  }
  return s;
}

// The text of the element's first "text" child, its line breaks as CR LF.
std::string TexteMoodle(const xmlNode* element) {
  const xmlNode* t = Enfant(element, "text");
  return t ? RetoursCRLF(Texte(t)) : std::string();
}

// "./units/unit[0]/unit_name": the name in the first unit of a "units" child.
std::string Unite(const xmlNode* question) {
  for (const xmlNode* u = question->children; u; u = u->next) {
    if (!EstElement(u, "units")) continue;
    const xmlNode* unite = Enfant(u, "unit");
    const xmlNode* nom = unite ? Enfant(unite, "unit_name") : nullptr;
    if (nom) return Texte(nom);
  }
  return "";
}

// The path shortened against the previous one: each level it shares with it becomes one '/'.
std::string AbregerCategorie(const std::string& chemin, std::string& precedent) {
  std::size_t n = 0, dernier = 0;
  for (std::size_t i = 0; i < chemin.size(); ++i) {
    if (i >= precedent.size()) {
      if (chemin[i] == '/') {
        ++n;
        dernier = i;
      }
      break;
    }
    if (chemin[i] != precedent[i]) break;
    if (chemin[i] == '/') {
      ++n;
      dernier = i;
    }
  }
  precedent = chemin;
  return n > 0 ? std::string(n, '/') + chemin.substr(dernier + 1) : chemin;
}

}  // namespace

void TFichierMoodle::Ouvre(std::string_view octets, const TReglages& r) {
  xmlInitParser();
  if (octets.size() > static_cast<std::size_t>(INT_MAX)) throw ErreurIdInvalide(MessageXmlIncorrect());
  std::unique_ptr<xmlDoc, LibereDocument> document;
  {
    const TSilenceLibxml silence;
    document.reset(xmlReadMemory(octets.data(), static_cast<int>(octets.size()), nullptr, nullptr, OptionsAnalyse));
  }
  if (!document) throw ErreurIdInvalide(MessageXmlIncorrect());
  const xmlNode* racine = xmlDocGetRootElement(document.get());
  if (!racine || !EstElement(racine, "quiz")) throw ErreurIdInvalide(MessagePasMoodle());

  FLu = std::make_unique<TFichierX>('M', 'm', EVarianteModele::Complet, r);
  FFichier = FLu.get();
  TFichierX& f = *FFichier;
  PrepareMarques(r);
  FSeparateur = f.FEspacement + FSeparateur + f.FEspacement;
  FOuvreRetour += f.FEspacement;
  FFermeRetour = f.FEspacement + FFermeRetour;

  std::string categoriePrecedente;
  for (const xmlNode* q = racine->children; q; q = q->next) {
    if (!EstElement(q, "question")) continue;
    const std::optional<std::string> attributType = Attribut(q, "type");
    if (!attributType) throw ErreurIdInvalide(MessagePasMoodle());
    std::string type = *attributType;
    if (type == "multichoice") {
      const xmlNode* seule = Enfant(q, "single");
      if (seule && TexteUtf8(seule) == "true") type = "singlechoice";
    }
    std::string champ0;
    std::string champ1 = MarqueDe(type, "", "");

    if (type == "category") {
      const xmlNode* categorie = Enfant(q, "category");
      if (!categorie) continue;
      champ0 = std::string(1, f.FCategorie) + " " + AbregerCategorie(TexteMoodle(categorie), categoriePrecedente);
      f.AjouteFiche(champ0, champ1, "");
      continue;
    }

    if (const xmlNode* nom = Enfant(q, "name")) champ0 = TexteMoodle(nom);
    if (const xmlNode* texte = Enfant(q, "questiontext")) champ1 += TexteMoodle(texte);
    std::string champ2;
    // An empty first item leaves no trace; an empty later one leaves a separator.
    auto ajouteItem = [&](const std::string& item) { champ2 = champ2.empty() ? item : champ2 + FSeparateur + item; };
    const std::string fractionDefaut = FractionParDefaut(type);
    const std::string unite = type == "numerical" ? Unite(q) : std::string();

    if (type == "matching") {
      for (const xmlNode* s = q->children; s; s = s->next) {
        if (!EstElement(s, "subquestion")) continue;
        std::string item = TexteMoodle(s);
        if (const xmlNode* reponse = Enfant(s, "answer")) item += " " + FAppariement + " " + TexteMoodle(reponse);
        ajouteItem(item);
      }
    } else if (type == "essay") {
      if (const xmlNode* modele = Enfant(q, "responsetemplate")) champ2 = TexteMoodle(modele);
    } else {
      for (const xmlNode* a = q->children; a; a = a->next) {
        if (!EstElement(a, "answer")) continue;
        std::string item = MarqueDe(Attribut(a, "fraction"), fractionDefaut, "100") + TexteMoodle(a);
        if (!unite.empty()) item += " " + unite;
        ajouteItem(item);
      }
    }
    if (const xmlNode* retour = Enfant(q, "generalfeedback")) {
      const std::string texte = TexteMoodle(retour);
      if (!texte.empty()) ajouteItem(FOuvreRetour + texte + FFermeRetour);
    }
    f.AjouteFiche(champ0, champ1, champ2);
  }
  f.FModifie = false;
}

std::unique_ptr<TFichierX> LitFichierMoodleOctets(std::string_view octets, const TReglages& r) {
  TFichierMoodle moodle;
  moodle.Ouvre(octets, r);
  return std::move(moodle.FLu);
}

std::unique_ptr<TFichierX> LitFichierMoodle(const std::string& chemin, bool ecriture, const TReglages& r) {
  return LitFichierDisque(chemin, ecriture, true, [&](std::string_view octets) {
    TFichierMoodle moodle;
    moodle.FNomFichier = chemin;
    moodle.Ouvre(octets, r);
    return std::move(moodle.FLu);
  });
}
