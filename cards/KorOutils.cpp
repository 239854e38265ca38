#include "cards/KorOutils.h"

#include <algorithm>
#include <memory>
#include <string_view>

#include "platform/Ansi.h"
#include "platform/Fichier.h"
#include "platform/Locale.h"

namespace {

bool EstSeparateurDossier(char c) { return c == '\\' || c == '/'; }

// The file name without its folder; "\" and "/" both end a folder.
std::string NomFichier(const std::string& chemin) {
  const auto p = chemin.find_last_of("\\/");
  return p == std::string::npos ? chemin : chemin.substr(p + 1);
}

constexpr std::size_t OctetsExamines = 255;

}  // namespace

std::string RogneGauche(std::string_view texte) {
  std::size_t debut = 0;
  while (debut < texte.size() && EstBlanc(texte[debut])) ++debut;
  return std::string(texte.substr(debut));
}

std::string RogneDroite(std::string_view texte) {
  std::size_t fin = texte.size();
  while (fin > 0 && EstBlanc(texte[fin - 1])) --fin;
  return std::string(texte.substr(0, fin));
}

std::string Rogne(std::string_view texte) {
  std::size_t debut = 0, fin = texte.size();
  while (debut < fin && EstBlanc(texte[debut])) ++debut;
  while (fin > debut && EstBlanc(texte[fin - 1])) --fin;
  return std::string(texte.substr(debut, fin - debut));
}

char PremierCaractere(const std::string& texte) { return texte.empty() ? ' ' : texte[0]; }

std::string SansEspaces(const std::string& texte) {
  std::string s;
  s.reserve(texte.size());
  for (char c : texte)
    if (c != ' ') s += c;
  return s;
}

char DetecteFormat(const std::string& chemin, EVarianteDetection variante, const TReglages& r) {
  std::string octets(OctetsExamines, '\0');
  std::size_t lus = 0;
  {
    // Closed before the bytes are looked at, whatever comes of them.
    const auto flux = TFlux::Ouvre(chemin, EModeOuverture::Lecture);
    while (lus < octets.size()) {
      const std::size_t n = flux->Lit(octets.data() + lus, octets.size() - lus);
      if (n == 0) break;
      lus += n;
    }
  }
  octets.resize(lus);
  return DetecteFormatOctets(octets, chemin, variante, r);
}

char DetecteFormatOctets(const std::string& octetsLus, const std::string& nomFichier,
                         EVarianteDetection variante, const TReglages& r) {
  const std::string_view octets(octetsLus.data(), std::min(octetsLus.size(), OctetsExamines));
  // A zero byte ends every containment test.
  const std::string_view texte = octets.substr(0, octets.find('\0'));

  if (texte.find("<?xml") != std::string_view::npos) {
    if (texte.find("<ORVA") != std::string_view::npos) return 'x';
    if (texte.find("<quiz") != std::string_view::npos) return 'm';
    return '?';
  }

  // The header record of a native file: "ÇQ" or "KQ", then the creation version's major number.
  if (octets.size() >= 65) {
    const auto b62 = static_cast<unsigned char>(octets[62]);
    const auto b63 = static_cast<unsigned char>(octets[63]);
    const auto b64 = static_cast<unsigned char>(octets[64]);
    if ((b62 == 0xC7 || b62 == 0x4B) && b63 == 0x51 && b64 < 0x20) return 'n';
  }

  if (variante == EVarianteDetection::Joueur) return '?';

  const std::string nom = NomFichier(nomFichier);
  const auto point = nom.rfind('.');
  if (point != std::string::npos &&
      CompareStringA(ansi::Utf8VersAnsi(std::string_view(nom).substr(point)), ".csv", true) == CSTR_EQUAL &&
      texte.find(r.SeparateurCSV) != std::string_view::npos)
    return 's';

  if (octets.starts_with("MGC") || octets.starts_with("RRG") || octets.starts_with("DKO")) return 'c';
  return '?';
}

std::string SeparateurListe() {
  // What the locale gives, at most what a 16-byte buffer holds with its terminator.
  std::string s = SeparateurListeLocale();
  if (s.size() > 15) s.resize(15);
  return s;
}

void FixeSeparateurCSV(const std::string& texte, TReglages& r) {
  r.TexteSeparateurCSV = texte;
  r.SeparateurCSV = texte.empty() ? PremierCaractere(SeparateurListe()) : PremierCaractere(Desechappe(texte));
}

std::string ExtensionDuMotif(const std::string& motif, char type) {
  std::string s = motif.substr(0, 255);
  const auto etoile = s.find('*');
  if (etoile != std::string::npos) s[etoile] = type;
  for (char& c : s)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return s;
}

std::string NomSansExtension(const std::string& chemin) {
  const std::string nom = NomFichier(chemin);
  const auto point = nom.rfind('.');
  return point == std::string::npos ? nom : nom.substr(0, point);
}

std::string NomAvecVolume(const std::string& chemin) {
  const std::string nom = NomFichier(chemin);
  if (chemin.empty() || chemin[0] == 'C' || chemin[0] == 'c') return nom;
  if (chemin.size() >= 2 && chemin[1] == ':') return nom + " sur " + chemin.substr(0, 2);
  if (chemin.size() >= 2 && EstSeparateurDossier(chemin[0]) && EstSeparateurDossier(chemin[1])) {
    const auto fin = chemin.find_first_of("\\/", 2);
    const std::string serveur = fin == std::string::npos ? std::string() : chemin.substr(2, fin - 2);
    return nom + " sur " + serveur;
  }
  return nom;
}

void RemplaceTout(std::string& texte, std::string_view motif, std::string_view par) {
  if (motif.empty() || texte.find(motif) == std::string::npos) return;
  std::string resultat;
  resultat.reserve(texte.size());
  std::size_t debut = 0;
  for (auto p = texte.find(motif); p != std::string::npos; p = texte.find(motif, debut)) {
    resultat.append(texte, debut, p - debut);
    resultat += par;
    debut = p + motif.size();
  }
  resultat.append(texte, debut, std::string::npos);
  texte = std::move(resultat);
}

std::string Echappe(const std::string& texte) {
  std::string s = texte;
  RemplaceTout(s, "\\", "\\\\");
  RemplaceTout(s, " ", "\\s");
  RemplaceTout(s, "\r\n", "\\n");
  RemplaceTout(s, "\t", "\\t");
  return s;
}

std::string Desechappe(const std::string& texte) {
  const std::string t = Rogne(texte);
  if (t.find('\\') == std::string::npos) return t;
  std::string s;
  s.reserve(t.size());
  for (std::size_t i = 0; i < t.size(); ++i) {
    if (t[i] == '\\' && i + 1 < t.size()) {
      switch (t[i + 1]) {
        case 's': s += ' '; ++i; continue;
        case 'n': s += "\r\n"; ++i; continue;
        case 't': s += '\t'; ++i; continue;
        case '\\': s += '\\'; ++i; continue;
        default: break;
      }
    }
    s += t[i];
  }
  return s;
}
