// The XML card file writer. The text is assembled by hand, one element a line, in the output
// encoding directly, and handed to the file in large pieces.

#include <iconv.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstring>
#include <functional>
#include <map>
#include <memory>
#include <mutex>

#include "cards/KorOutils.h"
#include "cards/KorSauvegarde.h"
#include "cards/KorXml.h"
#include "platform/Ansi.h"
#include "platform/Fichier.h"

namespace {

// Characters that XML 1.0 does not allow anywhere, even as references.
constexpr bool EstInterdit(unsigned char c) { return c < 0x20 && c != '\t' && c != '\n' && c != '\r'; }

// The single-byte ANSI code pages; any other value (0, 65001, the double-byte pages) names no
// page a card file's texts can be in, and is written as 1252.
std::uint16_t CodePageEcrite(std::uint16_t cp) {
  return (cp == 874 || (cp >= 1250 && cp <= 1258)) ? cp : 1252;
}

// UTF-8 of each byte of a single-byte code page. A byte the page leaves undefined keeps its own
// code point (as 1252's five holes do in the conversions of the platform) and is marked, so that
// a windows-N file writes it as a character reference that the parser's decoder never sees.
struct TTableCodePage {
  std::array<std::array<char, 4>, 256> Utf8{};
  std::array<std::uint8_t, 256> Longueur{};
  std::array<bool, 256> Defini{};
};

void Encode(char32_t u, std::array<char, 4>& o, std::uint8_t& n) {
  n = static_cast<std::uint8_t>(ansi::EncodeUtf8(u, o.data()));
}

TTableCodePage ConstruitTable(std::uint16_t cp) {
  TTableCodePage t;
  for (int b = 0; b < 256; ++b) {
    Encode(static_cast<char32_t>(b), t.Utf8[b], t.Longueur[b]);
    t.Defini[b] = true;
  }
  if (cp == 1252) {
    for (int b = 0x80; b < 0xA0; ++b) {
      const char32_t u = ansi::VersUnicode(static_cast<unsigned char>(b));
      Encode(u, t.Utf8[b], t.Longueur[b]);
      t.Defini[b] = u != static_cast<char32_t>(b);
    }
    return t;
  }
  const std::string nom = "CP" + std::to_string(cp);
  iconv_t cd = iconv_open("UTF-8", nom.c_str());
  for (int b = 0x80; b < 0x100; ++b) {
    bool bon = false;
    if (cd != reinterpret_cast<iconv_t>(-1)) {
      char entree = static_cast<char>(b);
      char sortie[8];
      char* pe = &entree;
      char* ps = sortie;
      std::size_t ne = 1, ns = sizeof sortie;
      iconv(cd, nullptr, nullptr, nullptr, nullptr);
      if (iconv(cd, &pe, &ne, &ps, &ns) != static_cast<std::size_t>(-1) && ne == 0) {
        const std::size_t n = sizeof sortie - ns;
        if (n >= 1 && n <= 3) {
          std::memcpy(t.Utf8[b].data(), sortie, n);
          t.Longueur[b] = static_cast<std::uint8_t>(n);
          bon = true;
        }
      }
    }
    t.Defini[b] = bon;
  }
  if (cd != reinterpret_cast<iconv_t>(-1)) iconv_close(cd);
  return t;
}

const TTableCodePage& TableCodePage(std::uint16_t cp) {
  static std::mutex verrou;
  static std::map<std::uint16_t, TTableCodePage> tables;
  std::lock_guard<std::mutex> garde(verrou);
  auto it = tables.find(cp);
  if (it == tables.end()) it = tables.emplace(cp, ConstruitTable(cp)).first;
  return it->second;
}

// The text being written, gathered in a buffer of fixed size that is handed on each time it
// fills: the file is written in large pieces without the whole text ever being in memory.
class TTampon {
 public:
  using TVidange = std::function<void(const char*, std::size_t)>;
  explicit TTampon(TVidange vidange)
      : FVidange(std::move(vidange)), FOctets(std::make_unique_for_overwrite<char[]>(kTaille)), FFin(FOctets.get()) {}
  void append(const char* d, std::size_t n) {
    if (n > Place()) {
      Vide();
      if (n > kTaille) {
        FVidange(d, n);
        return;
      }
    }
    std::memcpy(FFin, d, n);
    FFin += n;
  }
  TTampon& operator+=(std::string_view v) {
    append(v.data(), v.size());
    return *this;
  }
  TTampon& operator+=(const char* z) { return *this += std::string_view(z); }
  TTampon& operator+=(const std::string& v) { return *this += std::string_view(v); }
  TTampon& operator+=(char c) {
    if (Place() == 0) Vide();
    *FFin++ = c;
    return *this;
  }
  // Rare: out of line, so that the appends stay small enough to be inlined.
  [[gnu::noinline]] void Vide() {
    if (FFin != FOctets.get()) FVidange(FOctets.get(), static_cast<std::size_t>(FFin - FOctets.get()));
    FFin = FOctets.get();
  }

 private:
  static constexpr std::size_t kTaille = 256 * 1024;
  std::size_t Place() const { return static_cast<std::size_t>(FOctets.get() + kTaille - FFin); }
  TVidange FVidange;
  std::unique_ptr<char[]> FOctets;
  char* FFin;
};

class TEcrivainXML {
 public:
  TEcrivainXML(const TFichierX& fichier, const TReglages& r, TTampon::TVidange vidange);
  // Writes the whole file to the sink.
  void Ecrit();

 private:
  void FinEntree() { FTexte += FFinDeLigne; }
  void Ouvrante(std::string_view nom) {
    FTexte += '<';
    FTexte += nom;
    FTexte += '>';
  }
  void Fermante(std::string_view nom) { FTexte += "</"; FTexte += nom; FTexte += '>'; }
  void Reference(unsigned char c);
  // &, < or > as its entity; false for any other byte.
  bool Entite(unsigned char c) {
    switch (c) {
      case '&': FTexte += "&amp;"; return true;
      case '<': FTexte += "&lt;"; return true;
      case '>': FTexte += "&gt;"; return true;
      default: return false;
    }
  }
  // Copies the bytes of s from i up to the next one that special marks, and returns that
  // byte's position (the size of s when there is none).
  std::size_t CopieJusquA(std::string_view s, std::size_t i, const std::array<bool, 256>& special) {
    std::size_t j = i;
    while (j < s.size() && !special[static_cast<unsigned char>(s[j])]) ++j;
    FTexte.append(s.data() + i, j - i);
    return j;
  }
  // UTF-8 mode: a byte of the code page, or a line break (CR LF, CR or LF) made the line end.
  void Encode(std::string_view s, std::size_t& i, unsigned char c) {
    if (c >= 0x80)
      FTexte.append(FTable.Utf8[c].data(), FTable.Longueur[c]);
    else
      Retour(s, i, c);
  }
  void Retour(std::string_view s, std::size_t& i, unsigned char c);
  void Echappe(std::string_view s);
  void EchappeAttribut(std::string_view s);
  void Cdata(std::string_view s);
  void Attribut(std::string_view nom, std::string_view valeur);
  void ElementTexte(std::string_view nom, std::string_view texte);
  void ElementBooleen(std::string_view nom, bool valeur);
  void ElementEntier(std::string_view nom, int valeur);
  // Start tag, text, end tag of a field; fields 1 and 2 in CDATA in CDATA mode.
  void Champ(std::string_view nom, std::string_view texte, bool cdata);
  // The text of field 2 between its tags, split into items.
  void ChampReponse(std::string_view texte);
  // A text of field 1 or 2: escaped, or raw inside CDATA.
  void Texte(std::string_view s) {
    if (FCdata)
      Cdata(s);
    else
      Echappe(s);
  }
  void Options();
  void Etiquettes();
  void Canevas();

  const TFichierX& F;
  const TReglages& R;
  bool FCdata;
  bool FPreserveEspaces;
  bool FAvecBalisesControles;
  bool FUtf8;
  std::uint16_t FCodePage;
  const TTableCodePage& FTable;
  std::string FFinDeLigne;
  std::string FBr;
  std::string FSeparateurReponse;  // the separator field 2 is split on
  std::string FJonctionReponse;    // what stands between two items of field 2
  std::array<bool, 256> FSpecialTexte{};
  std::array<bool, 256> FSpecialAttribut{};
  std::array<bool, 256> FSpecialCdata{};
  TTampon FTexte;
};

TEcrivainXML::TEcrivainXML(const TFichierX& fichier, const TReglages& r, TTampon::TVidange vidange)
    : F(fichier),
      R(r),
      FCdata(fichier.FType == 'M' || fichier.FType == 'H'),
      FPreserveEspaces(fichier.FEspaceXml == "preserve"),
      FAvecBalisesControles(fichier.FFeuilleStyle.empty() ? fichier.FBalisesControles == "oui"
                                                          : fichier.FBalisesControles != "non"),
      FUtf8(r.XMLUtf8),
      FCodePage(CodePageEcrite(fichier.FCodePage)),
      // The texts are held in 1252 whatever the file's code page, and the reader converts back
      // to 1252: a UTF-8 file is converted from 1252, a windows-N file keeps its bytes.
      FTable(TableCodePage(r.XMLUtf8 ? std::uint16_t{1252} : FCodePage)),
      FTexte(std::move(vidange)) {
  const bool lf = F.FRetour.empty() ? r.XMLLFSeul : F.FRetour == "LF";
  FFinDeLigne = lf ? "\n" : "\r\n";
  // In UTF-8 mode every line break, inside texts too, is the line end; in windows-N mode the
  // texts keep their own CR LF.
  FBr = "<br/>";
  if (!FPreserveEspaces) FBr += FUtf8 ? FFinDeLigne : std::string("\r\n");
  FSeparateurReponse = F.FFragmenteur;
  if (!FPreserveEspaces && (F.FEspacement == "\r\n" || r.EspaceAutourSeparateur))
    FSeparateurReponse = F.FEspacement + FSeparateurReponse + F.FEspacement;
  const std::string& id2 = F.FIdChamp2;
  FJonctionReponse = std::string(FCdata ? "]]>" : "") + "</" + id2 + ">" + FFinDeLigne + "<" + id2 +
                     (F.FQuestionnaire ? " CACHE=\"oui\"" : "") + ">" + (FCdata ? "<![CDATA[" : "");
  for (int c = 0; c < 256; ++c) {
    const auto u = static_cast<unsigned char>(c);
    // Bytes to convert (UTF-8) or that the code page leaves undefined (windows-N).
    const bool autre = FUtf8 ? (u >= 0x80 || u == '\r' || u == '\n') : !FTable.Defini[u];
    FSpecialTexte[u] = EstInterdit(u) || u == '&' || u == '<' || u == '>' || autre ||
                       (FAvecBalisesControles && (u == '\r' || u == '\t'));
    FSpecialAttribut[u] = EstInterdit(u) || u == '&' || u == '<' || u == '>' || u == '"' || u == '\t' ||
                          u == '\r' || u == '\n' || autre;
    FSpecialCdata[u] = EstInterdit(u) || u == ']' || autre;
  }
}

void TEcrivainXML::Retour(std::string_view s, std::size_t& i, unsigned char c) {
  if (c == '\r' && i < s.size() && s[i] == '\n') ++i;
  FTexte += FFinDeLigne;
}

void TEcrivainXML::Reference(unsigned char c) {
  char ref[8];
  std::snprintf(ref, sizeof ref, "&#%u;", static_cast<unsigned>(c));
  FTexte += ref;
}

void TEcrivainXML::Echappe(std::string_view s) {
  const std::size_t n = s.size();
  for (std::size_t i = 0, j; (j = CopieJusquA(s, i, FSpecialTexte)) < n;) {
    const auto c = static_cast<unsigned char>(s[j]);
    i = j + 1;
    if (Entite(c)) continue;
    switch (c) {
      case '\t':
        if (FAvecBalisesControles)
          FTexte += "<tab/>";
        else
          FTexte += '\t';
        break;
      case '\r':
        if (FAvecBalisesControles && i < n && s[i] == '\n') {
          FTexte += FBr;
          ++i;
        } else if (FUtf8) {
          Encode(s, i, c);
        } else {
          FTexte += '\r';
        }
        break;
      default:
        if (EstInterdit(c)) break;
        if (FUtf8)
          Encode(s, i, c);
        else
          Reference(c);  // a byte the code page leaves undefined
        break;
    }
  }
}

void TEcrivainXML::EchappeAttribut(std::string_view s) {
  for (std::size_t i = 0, j; (j = CopieJusquA(s, i, FSpecialAttribut)) < s.size();) {
    const auto c = static_cast<unsigned char>(s[j]);
    i = j + 1;
    if (Entite(c)) continue;
    if (c == '"') {
      FTexte += "&quot;";
    } else if (EstInterdit(c)) {
      // left out
    } else if (FUtf8 && c >= 0x80) {
      Encode(s, i, c);
    } else {
      Reference(c);  // TAB, CR and LF survive attribute normalisation only as references
    }
  }
}

void TEcrivainXML::Cdata(std::string_view s) {
  // The bytes left out do not count: they could stand between "]]" and ">".
  auto suivant = [&](std::size_t k) {
    while (k < s.size() && EstInterdit(static_cast<unsigned char>(s[k]))) ++k;
    return k;
  };
  for (std::size_t i = 0, j; (j = CopieJusquA(s, i, FSpecialCdata)) < s.size();) {
    const auto c = static_cast<unsigned char>(s[j]);
    i = j + 1;
    if (c == ']') {
      // "]]>" would end the section: close it between the brackets and open a new one.
      const std::size_t k1 = suivant(i);
      const std::size_t k2 = k1 < s.size() && s[k1] == ']' ? suivant(k1 + 1) : s.size();
      if (k2 < s.size() && s[k2] == '>') {
        FTexte += "]]]]><![CDATA[>";
        i = k2 + 1;
      } else {
        FTexte += ']';
      }
    } else if (EstInterdit(c)) {
      // left out
    } else if (FUtf8) {
      Encode(s, i, c);
    } else {
      // A byte the code page leaves undefined: as a reference, between two sections.
      FTexte += "]]>";
      Reference(c);
      FTexte += "<![CDATA[";
    }
  }
}

void TEcrivainXML::Attribut(std::string_view nom, std::string_view valeur) {
  if (valeur.empty()) return;
  FTexte += ' ';
  FTexte += nom;
  FTexte += "=\"";
  EchappeAttribut(valeur);
  FTexte += '"';
}

void TEcrivainXML::ElementTexte(std::string_view nom, std::string_view texte) {
  Ouvrante(nom);
  Echappe(texte);
  Fermante(nom);
  FinEntree();
}

void TEcrivainXML::ElementBooleen(std::string_view nom, bool valeur) {
  FTexte += '<';
  FTexte += nom;
  FTexte += " VALEUR=\"";
  FTexte += valeur ? "oui" : "non";
  FTexte += "\"/>";
  FinEntree();
}

void TEcrivainXML::ElementEntier(std::string_view nom, int valeur) {
  Ouvrante(nom);
  FTexte += std::to_string(valeur);
  Fermante(nom);
  FinEntree();
}

void TEcrivainXML::Champ(std::string_view nom, std::string_view texte, bool cdata) {
  Ouvrante(nom);
  if (cdata) {
    FTexte += "<![CDATA[";
    Cdata(texte);
    FTexte += "]]>";
  } else {
    Echappe(texte);
  }
  Fermante(nom);
}

// Field 2 as one element per item. The text is split before escaping, on its own characters, so
// that no separator is looked for in what escaping and control tags produce (an entity, a tag
// name, the CR LF after a br element).
void TEcrivainXML::ChampReponse(std::string_view texte) {
  if (F.FFragmenteur.empty()) {
    Texte(texte);
    return;
  }
  const std::string& s = FSeparateurReponse;
  std::size_t debut = 0;
  for (;;) {
    const std::size_t k = s.size() == 1 ? texte.find(s[0], debut) : texte.find(s, debut);
    Texte(texte.substr(debut, k == std::string_view::npos ? std::string_view::npos : k - debut));
    if (k == std::string_view::npos) break;
    debut = k + s.size();
    FTexte += FJonctionReponse;
  }
}

void TEcrivainXML::Options() {
  Ouvrante("OPTIONS");
  FinEntree();
  if (F.FQuestionnaire) {
    ElementTexte("OU_VISIBLE", F.FOuVisible);
    ElementTexte("OU_CACHE", F.FFragmenteur);
    ElementBooleen("REPOSER_ERREURS", F.FReposerErreurs);
    ElementBooleen("SUIVRE_ORDRE", F.FSuivreOrdre);
    ElementBooleen("BRIDER_ENTREE", F.FBriderEntree);
    ElementBooleen("MOT_A_MOT", F.FMotAMot);
    ElementBooleen("DIFFERENCIER_CASSE", F.FDifferencierCasse);
    ElementBooleen("PHONETIQUE", F.FPhonetique);
    ElementEntier("NOMBRE_QUESTIONS", F.FNombreQuestions);
    ElementEntier("SCORE_SATISFAISANT", F.FScoreSatisfaisant);
    ElementBooleen("CORRECTION", F.FCorrection);
    ElementEntier("TEMPS", F.FTemps);
    ElementTexte("PONCTUATION", F.FPonctuation);
    if (F.FAvecMotsIgnores) ElementTexte("MOTS_IGNORES", F.GetMotsIgnores(R));
  } else {
    ElementTexte("FRAGMENTEUR", ::Echappe(F.FFragmenteur));
  }
  auto differe = [](char c, char defaut) { return c != '\0' && c != defaut; };
  if (differe(F.FAlternateur, '/')) ElementTexte("ALTERNATEUR", std::string(1, F.FAlternateur));
  if (differe(F.FCommentaire, '(')) ElementTexte("COMMENTAIRE", std::string(1, F.FCommentaire));
  if (differe(F.FTroncature, '*')) ElementTexte("TRONCATURE", std::string(1, F.FTroncature));
  if (F.FEspacement != F.EspacementParDefaut()) ElementTexte("ESPACEMENT", ::Echappe(F.FEspacement));
  Fermante("OPTIONS");
  FinEntree();
}

// Labels are taken back as the elements' plain text: they are escaped (outside CDATA), without
// control tags.
void TEcrivainXML::Etiquettes() {
  Ouvrante("ETIQUETTES");
  FinEntree();
  const bool balises = FAvecBalisesControles;
  FAvecBalisesControles = false;
  const bool cr = FSpecialTexte['\r'], tab = FSpecialTexte['\t'];
  FSpecialTexte['\r'] = FUtf8;
  FSpecialTexte['\t'] = false;
  Champ(F.FIdChamp0, F.FEtiquettes.Champ0, false);
  FinEntree();
  Champ(F.FIdChamp1, F.FEtiquettes.Champ1, FCdata);
  FinEntree();
  Champ(F.FIdChamp2, F.FEtiquettes.Champ2, FCdata);
  FinEntree();
  FSpecialTexte['\r'] = cr;
  FSpecialTexte['\t'] = tab;
  FAvecBalisesControles = balises;
  Fermante("ETIQUETTES");
  FinEntree();
}

void TEcrivainXML::Canevas() {
  Ouvrante("CANEVAS");
  FinEntree();
  if (F.FAvecChamp0) {
    Champ(F.FIdChamp0, F.FCanevas.Champ0, false);
    FinEntree();
  }
  if (!F.FSansChamp1) {
    Champ(F.FIdChamp1, ::Echappe(F.FCanevas.Champ1), FCdata);
    FinEntree();
  }
  Champ(F.FIdChamp2, ::Echappe(F.FCanevas.Champ2), FCdata);
  FinEntree();
  Fermante("CANEVAS");
  FinEntree();
}

void TEcrivainXML::Ecrit() {
  if (FUtf8) {
    FTexte += "<?xml version=\"1.0\" encoding=\"UTF-8\"?>";
  } else {
    FTexte += "<?xml version=\"1.0\" encoding=\"windows-" + std::to_string(FCodePage) + "\"?>";
  }
  FinEntree();
  if (!F.FFeuilleStyle.empty()) {
    FTexte += "<?xml-stylesheet type=\"text/xsl\" href=\"";
    EchappeAttribut(F.FFeuilleStyle);
    FTexte += "\"?>";
    FinEntree();
  }
  FTexte += "<ORVALINE";
  Attribut("VERSION", VersionFormat);
  Attribut("VERSION_CREATION", F.GetVersionCreation());
  Attribut("TYPE", std::string(1, F.FType));
  Attribut("ID_FICHE", F.FIdFiche);
  Attribut("ID_CHAMP0", F.GetIdChamp0());
  Attribut("ID_CHAMP1", F.GetIdChamp1());
  Attribut("ID_CHAMP2", F.FIdChamp2);
  Attribut("BALISES_CONTROLES", F.FBalisesControles);
  Attribut("RETOUR", F.FRetour);
  Attribut("xml:space", F.FEspaceXml);
  FTexte += '>';
  FinEntree();

  ElementTexte("TITRE", F.FTitre);
  if (!F.FSignature.empty()) ElementTexte("SIGNATURE", F.FSignature);
  if (!F.FDescription.empty()) ElementTexte("DESCRIPTION", F.FDescription);
  if (F.FAvecOptions) Options();
  if (F.FAvecEtiquettes) Etiquettes();
  if (F.FAvecCanevas) Canevas();

  // What stands between the texts of a card, made once: the card's start tag and the first
  // field's, the tags between two fields, the last field's end tag and the card's.
  const std::string cdataDebut = FCdata ? "<![CDATA[" : "", cdataFin = FCdata ? "]]>" : "";
  std::string avant0, avant1, avant2, apres2;
  std::string prochain = "<" + F.FIdFiche + ">" + FFinDeLigne;
  if (F.FAvecChamp0) {
    avant0 = prochain + "<" + F.FIdChamp0 + ">";
    prochain = "</" + F.FIdChamp0 + ">" + FFinDeLigne;
  }
  if (!F.FSansChamp1) {
    avant1 = prochain + "<" + F.FIdChamp1 + ">" + cdataDebut;
    prochain = cdataFin + "</" + F.FIdChamp1 + ">" + FFinDeLigne;
  }
  avant2 = prochain + "<" + F.FIdChamp2 + ">" + cdataDebut;
  apres2 = cdataFin + "</" + F.FIdChamp2 + ">" + FFinDeLigne + "</" + F.FIdFiche + ">" + FFinDeLigne;
  for (const auto& fiche : F.FFiches) {
    if (F.FAvecChamp0) {
      FTexte += avant0;
      Echappe(fiche->Champ0);
    }
    if (!F.FSansChamp1) {
      FTexte += avant1;
      Texte(fiche->Champ1);
    }
    FTexte += avant2;
    ChampReponse(fiche->Champ2);
    FTexte += apres2;
  }
  FTexte += "</ORVALINE>";
  FinEntree();

  FTexte.Vide();
}

}  // namespace

void TFichierXML::Prepare(TFichierX& fichier, const std::string& chemin) {
  FFichier = &fichier;
  FNomFichier = chemin;
}

std::string TFichierXML::Octets(const TReglages& r) {
  std::string octets;
  octets.reserve(4096 + FFichier->FFiches.size() * 112);
  TEcrivainXML(*FFichier, r, [&](const char* d, std::size_t n) { octets.append(d, n); }).Ecrit();
  return octets;
}

// Creating the file and rewriting the open one take the same safe path; the card file's own
// stream is always handed over, and counts only when it holds the target (a "save as" onto
// the file already open must not be refused as locked by another program).
void TFichierXML::Enregistre(bool /*nouveau*/, const TReglages& r) {
  EnregistreFichierX(*FFichier, FNomFichier, FFichier->FFlux.get(), 'x', [&](TFlux& sortie) {
    TEcrivainXML(*FFichier, r, [&](const char* d, std::size_t n) { sortie.Ecrit(d, n); }).Ecrit();
  });
}

void EcritFichierXML(TFichierX& fichier, const std::string& chemin, bool nouveau, const TReglages& r) {
  EcritFichierAvec<TFichierXML>(fichier, chemin, nouveau, r);
}

std::string OctetsFichierXML(TFichierX& fichier, const TReglages& r) { return OctetsFichierAvec<TFichierXML>(fichier, r); }
