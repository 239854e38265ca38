// The streamed parse of the XML readers over libxml2's SAX2 interface. The handlers that read a
// document type declaration stay libxml2's own, so that entities are declared, checked and
// limited exactly as for a tree; only the content goes to the reader.

#include "cards/KorAnalyseXml.h"

#include <libxml/SAX2.h>
#include <libxml/parser.h>
#include <libxml/parserInternals.h>
#include <libxml/tree.h>
#include <libxml/xmlerror.h>

#include <climits>
#include <cstring>
#include <mutex>
#include <utility>

#include "cards/KorXml.h"
#include "platform/Ansi.h"

namespace {

void Rien(void*, const char*, ...) {}
void RienStructure(void*, xmlErrorPtr) {}

// Keeps libxml2 quiet for the time of a parse: the decoder reports bad bytes on its own channel
// whatever the parser's options say.
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

const char* C(const xmlChar* s) { return reinterpret_cast<const char*>(s); }

// Whether the name ended by a zero is nom.
bool NomEgal(const xmlChar* z, std::string_view nom) {
  for (char c : nom)
    if (static_cast<char>(*z++) != c) return false;
  return *z == 0;
}

}  // namespace

int OptionsAnalyseXML() { return XML_PARSE_NONET | XML_PARSE_NOERROR | XML_PARSE_NOWARNING | XML_PARSE_COMPACT; }

void TAttributsXml::ValeurDe(int i, std::string& valeur, bool garderReferences) const {
  const xmlChar* debut = FAttributs[5 * i + 3];
  const xmlChar* fin = FAttributs[5 * i + 4];
  valeur.clear();
  // A value that held references comes as a copy of its own, ended by a zero, where "&#38;"
  // stands for '&' and entity references are left as written; any other value is the text
  // itself, ended by its quote.
  if (*fin != 0) {
    valeur.assign(C(debut), static_cast<std::size_t>(fin - debut));
    return;
  }
  xmlNodePtr liste = xmlStringLenGetNodeList(FContexte->myDoc, debut, static_cast<int>(fin - debut));
  for (const xmlNode* n = liste; n; n = n->next) {
    if ((n->type == XML_TEXT_NODE || n->type == XML_CDATA_SECTION_NODE) && n->content) {
      valeur += C(n->content);
    } else if (n->type == XML_ENTITY_REF_NODE && garderReferences) {
      valeur += '&';
      valeur += C(n->name);
      valeur += ';';
    }
  }
  xmlFreeNodeList(liste);
}

bool TAttributsXml::Cherche(std::string_view nom, std::string& valeur, bool garderReferences) const {
  for (int i = 0; i < FNombre; ++i) {
    if (Prefixe(i) || !NomEgal(FAttributs[5 * i], nom)) continue;
    ValeurDe(i, valeur, garderReferences);
    return true;
  }
  return false;
}

bool TAttributsXml::ChercheEspace(std::string& valeur) const {
  for (int i = 0; i < FNombre; ++i) {
    const xmlChar* uri = FAttributs[5 * i + 2];
    if (!uri || !NomEgal(FAttributs[5 * i], "space") || std::strcmp(C(uri), C(XML_XML_NAMESPACE)) != 0) continue;
    ValeurDe(i, valeur, false);
    return true;
  }
  return false;
}

// libxml2's callbacks. An entity's content, parsed apart for its checks, comes through a parser
// context of its own: only the document's context reaches the reader.
struct TRappelsXml {
  static TAnalyseXml* Lecteur(void* contexte) {
    auto* c = static_cast<xmlParserCtxtPtr>(contexte);
    auto* a = static_cast<TAnalyseXml*>(c->_private);
    return a && a->FContexte == c && !a->FErreur ? a : nullptr;
  }

  template <class F>
  static void Appelle(void* contexte, F&& f) {
    TAnalyseXml* a = Lecteur(contexte);
    if (!a) return;
    try {
      f(*a);
    } catch (...) {
      a->FErreur = std::current_exception();
      xmlStopParser(a->FContexte);
    }
  }

  static void DebutElement(void* ctx, const xmlChar* nom, const xmlChar* prefixe, const xmlChar*, int,
                           const xmlChar**, int nombre, int defaut, const xmlChar** attributs) {
    Appelle(ctx, [&](TAnalyseXml& a) {
      // The attributes a DTD gives by default come last; a tree leaves them out.
      const TAttributsXml liste(a.FContexte, attributs, nombre - defaut);
      a.DebutElement(C(nom), prefixe != nullptr, liste);
    });
  }
  static void FinElement(void* ctx, const xmlChar*, const xmlChar*, const xmlChar*) {
    Appelle(ctx, [](TAnalyseXml& a) { a.FinElement(); });
  }
  static void Texte(void* ctx, const xmlChar* texte, int longueur) {
    const auto* a = static_cast<const TAnalyseXml*>(static_cast<xmlParserCtxtPtr>(ctx)->_private);
    if (a && a->FSansTexte) return;
    Appelle(ctx, [&](TAnalyseXml& a) { a.Texte(std::string_view(C(texte), static_cast<std::size_t>(longueur))); });
  }
  static void Reference(void* ctx, const xmlChar* nom) {
    Appelle(ctx, [&](TAnalyseXml& a) { a.Reference(C(nom)); });
  }
  static void Instruction(void* ctx, const xmlChar* cible, const xmlChar* donnees) {
    Appelle(ctx, [&](TAnalyseXml& a) {
      if (!a.FContexte->inSubset) a.Instruction(C(cible), C(donnees));
    });
  }
  static void Commentaire(void* ctx, const xmlChar*) {
    Appelle(ctx, [](TAnalyseXml& a) {
      if (!a.FContexte->inSubset) a.Commentaire();
    });
  }
  static void SousEnsemble(void* ctx, const xmlChar* nom, const xmlChar* externe, const xmlChar* systeme) {
    xmlSAX2InternalSubset(ctx, nom, externe, systeme);
    Appelle(ctx, [](TAnalyseXml& a) { a.Doctype(); });
  }
};

void TAnalyseXml::Analyse(std::string_view octets) {
  static std::once_flag initialise;
  std::call_once(initialise, [] { xmlInitParser(); });
  const ErreurIdInvalide malForme("Erreur dans l'écriture du code XML !"_a);
  if (octets.size() > static_cast<std::size_t>(INT_MAX)) throw malForme;
  xmlParserCtxtPtr c = xmlCreateMemoryParserCtxt(octets.data(), static_cast<int>(octets.size()));
  if (!c) throw malForme;  // no bytes at all
  xmlSAXHandler& h = *c->sax;
  xmlSAXVersion(&h, 2);
  h.startElementNs = TRappelsXml::DebutElement;
  h.endElementNs = TRappelsXml::FinElement;
  h.characters = TRappelsXml::Texte;
  h.ignorableWhitespace = TRappelsXml::Texte;
  h.cdataBlock = TRappelsXml::Texte;
  h.reference = TRappelsXml::Reference;
  h.processingInstruction = TRappelsXml::Instruction;
  h.comment = TRappelsXml::Commentaire;
  h.internalSubset = TRappelsXml::SousEnsemble;
  c->_private = this;
  FContexte = c;
  {
    TSilence silence;
    xmlCtxtUseOptions(c, OptionsAnalyseXML());
    xmlParseDocument(c);
  }
  const bool bienForme = c->wellFormed != 0;
  if (c->myDoc) xmlFreeDoc(c->myDoc);
  c->myDoc = nullptr;
  xmlFreeParserCtxt(c);
  FContexte = nullptr;
  if (FErreur) std::rethrow_exception(std::exchange(FErreur, nullptr));
  if (!bienForme) throw malForme;
  if (!FRefus.empty()) throw ErreurIdInvalide(FRefus);
}
