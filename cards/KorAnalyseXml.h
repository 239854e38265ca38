#pragma once
// The streamed parse that the XML readers share: libxml2's SAX2 parser hands the elements, texts
// and references to a reader as they come, and no document tree is built. The parse reaches no
// network, loads no DTD and substitutes no entity; libxml2's size and depth limits stay on. The
// reader sees what the tree would hold: the content of an entity comes only as its reference,
// and the attributes that a DTD would add by default are left out.

#include <exception>
#include <string>
#include <string_view>

struct _xmlParserCtxt;

// The attributes written in a start tag.
class TAttributsXml {
 public:
  TAttributsXml(_xmlParserCtxt* contexte, const unsigned char** attributs, int nombre)
      : FContexte(contexte), FAttributs(attributs), FNombre(nombre) {}
  // The value of the first attribute of that name without prefix; false when there is none.
  // References to entities that are not predefined add nothing, or are kept as "&name;" with
  // garderReferences.
  bool Valeur(std::string_view nom, std::string& valeur, bool garderReferences = false) const {
    return FNombre > 0 && Cherche(nom, valeur, garderReferences);
  }
  // The value of xml:space; false when the tag has none.
  bool EspaceXml(std::string& valeur) const { return FNombre > 0 && ChercheEspace(valeur); }
  // Calls f(name, value) for every attribute without prefix, in the order written.
  template <class F>
  void PourChaque(F&& f) const {
    std::string valeur;
    for (int i = 0; i < FNombre; ++i) {
      if (Prefixe(i)) continue;
      ValeurDe(i, valeur, false);
      f(Nom(i), valeur);
    }
  }

 private:
  std::string_view Nom(int i) const { return reinterpret_cast<const char*>(FAttributs[5 * i]); }
  const unsigned char* Prefixe(int i) const { return FAttributs[5 * i + 1]; }
  void ValeurDe(int i, std::string& valeur, bool garderReferences) const;
  bool Cherche(std::string_view nom, std::string& valeur, bool garderReferences) const;
  bool ChercheEspace(std::string& valeur) const;

  _xmlParserCtxt* FContexte;
  const unsigned char** FAttributs;
  int FNombre;
};

// A reader of XML as a stream. Names are in UTF-8; an element is told by its local name and
// whether it has a prefix (the readers know only names without prefix).
class TAnalyseXml {
 public:
  virtual ~TAnalyseXml() = default;
  // Parses the bytes with OptionsAnalyseXML. Bytes that are not well-formed XML raise
  // ErreurIdInvalide with "Erreur dans l'écriture du code XML !", whatever the reader said; a
  // well-formed file the reader refused raises it with FRefus. The parse goes on after the
  // reader has seen what it needed, to tell a malformed file from one of another kind. An
  // exception raised by the reader stops the parse and leaves here.
  void Analyse(std::string_view octets);

 protected:
  TAnalyseXml() = default;
  TAnalyseXml(const TAnalyseXml&) = delete;
  TAnalyseXml& operator=(const TAnalyseXml&) = delete;

  virtual void DebutElement(std::string_view nom, bool prefixe, const TAttributsXml& attributs) = 0;
  virtual void FinElement() = 0;
  // Text or CDATA, in UTF-8, in pieces of any size.
  virtual void Texte(std::string_view utf8) = 0;
  // A reference to an entity that is not predefined, left as it stands.
  virtual void Reference(std::string_view nom) = 0;
  // A processing instruction (data null when it has none), or a comment, outside the DTD.
  virtual void Instruction(std::string_view cible, const char* donnees) = 0;
  virtual void Commentaire() = 0;
  // The document type declaration.
  virtual void Doctype() {}

  std::string FRefus;  // why a well-formed file is refused; empty when it is not

  // While true, text is not handed to Texte: a reader that has no use for the text where it is
  // spares the call.
  bool FSansTexte = false;

 private:
  friend struct TRappelsXml;
  _xmlParserCtxt* FContexte = nullptr;
  std::exception_ptr FErreur;
};
