#include "exchange/KorCsv.h"

#include <array>
#include <cstdint>

#include "cards/KorOutils.h"
#include "cards/KorSauvegarde.h"
#include "exchange/KorCommun.h"
#include "platform/Ansi.h"

namespace {

const std::string CRLF = "\r\n";
const std::string MarqueOrdreUtf8 = "\xEF\xBB\xBF";

constexpr bool EstControle(char c) {  // code 1 to 32
  const auto u = static_cast<unsigned char>(c);
  return u >= 1 && u <= 32;
}

char DelimiteurCSV(char separateur) { return separateur == ' ' ? EspaceProtege : separateur; }

std::string RestaureEspaces(std::string texte) {
  for (char& c : texte)
    if (c == EspaceProtege) c = ' ';
  return texte;
}

std::string ReduitEspaces(std::string_view ligne) {
  const std::string rognee = Rogne(ligne);
  std::string s;
  s.reserve(rognee.size());
  for (char c : rognee)
    if (c != ' ' || s.empty() || s.back() != ' ') s += c;
  return s;
}

// Hands each line of a text to ligne: cut at CR LF, CR or LF; a final line break adds no line,
// and an empty text is one empty line.
template <class FLigne>
void ParcourtLignes(std::string_view texte, FLigne&& ligne) {
  std::size_t debut = 0;
  bool une = false;
  for (std::size_t i = 0; i < texte.size(); ++i) {
    if (texte[i] != '\r' && texte[i] != '\n') continue;
    ligne(texte.substr(debut, i - debut));
    une = true;
    if (texte[i] == '\r' && i + 1 < texte.size() && texte[i + 1] == '\n') ++i;
    debut = i + 1;
  }
  if (debut < texte.size() || !une) ligne(texte.substr(debut));
}

std::vector<std::string> Lignes(std::string_view texte) {
  std::vector<std::string> lignes;
  ParcourtLignes(texte, [&](std::string_view l) { lignes.emplace_back(l); });
  return lignes;
}

// The columns of a line, with the character 175 still in place of the spaces.
std::vector<std::string> Colonnes(std::string_view brute, char separateur) {
  const char d = DelimiteurCSV(separateur);
  brute = brute.substr(0, brute.find('\0'));
  std::string ligne = separateur == ' ' ? ReduitEspaces(brute) : std::string(brute);
  for (char& c : ligne)
    if (c == ' ') c = EspaceProtege;
  std::vector<std::string> colonnes;
  const std::size_t n = ligne.size();
  std::size_t i = 0;
  auto saute = [&] {
    while (i < n && EstControle(ligne[i])) ++i;
  };
  saute();
  while (i < n) {
    std::string colonne;
    if (ligne[i] == '"') {
      // Up to the next quote that is not doubled, or to the end of the line.
      ++i;
      while (i < n) {
        if (ligne[i] == '"') {
          if (i + 1 < n && ligne[i + 1] == '"') {
            colonne += '"';
            i += 2;
            continue;
          }
          ++i;
          break;
        }
        colonne += ligne[i++];
      }
    } else {
      const std::size_t debut = i;
      while (i < n && !EstBlanc(ligne[i]) && ligne[i] != d) ++i;
      colonne.assign(ligne, debut, i - debut);
    }
    colonnes.push_back(std::move(colonne));
    saute();
    if (i < n && ligne[i] == d) {
      if (i == n - 1) colonnes.emplace_back();
      ++i;
      saute();
    }
  }
  return colonnes;
}

// Writes the lines of a CSV file, one column at a time, straight into the output. In a column,
// spaces, TABs, NULs and the character 175 are written as spaces, and so is a line break (CR LF,
// CR or LF: they never part lines inside a column); a column is quoted, its quotes doubled, when
// it holds a quote, the separator or a control character, or when the reader would lose it
// empty (alone on its line, or with a blank separator, which the reader skips).
class TLigneCSV {
 public:
  TLigneCSV(std::string& sortie, char separateur) : FSortie(sortie), FSeparateur(separateur) {
    // 175 stands for the space while a line is joined: a space separator is one, and so is
    // every byte written as a space.
    const unsigned char d = static_cast<unsigned char>(separateur == ' ' ? EspaceProtege : separateur);
    FSeparateurBlanc = static_cast<unsigned char>(separateur) <= 32;
    for (int b = 0; b < 256; ++b) {
      unsigned char protege = static_cast<unsigned char>(b);
      if (b == ' ' || b == '\t' || b == '\0' || b == '\r' || b == '\n') protege = static_cast<unsigned char>(EspaceProtege);
      std::uint8_t genre = 0;
      if (protege == '"' || protege == d || protege <= 32) genre |= Guillemets;
      if (protege == static_cast<unsigned char>(EspaceProtege) ? b != ' ' : b == '"') genre |= Transforme;
      FGenres[static_cast<std::size_t>(b)] = genre;
    }
  }

  void Colonne(std::string_view texte) {
    if (FColonnes++ > 0) FSortie += FSeparateur;
    std::uint8_t genres = 0;
    for (char c : texte) genres |= FGenres[static_cast<unsigned char>(c)];
    if (texte.empty()) {
      FSeulVide = FColonnes == 1 && !FSeparateurBlanc;
      if (FSeparateurBlanc) FSortie += "\"\"";
      return;
    }
    if (!genres) {
      FSortie += texte;
      return;
    }
    const bool guillemets = genres & Guillemets;
    if (guillemets) FSortie += '"';
    for (std::size_t i = 0; i < texte.size(); ++i) {
      const char c = texte[i];
      if (!(FGenres[static_cast<unsigned char>(c)] & Transforme)) {
        FSortie += c;
      } else if (c == '"') {
        FSortie += "\"\"";
      } else {
        if (c == '\r' && i + 1 < texte.size() && texte[i + 1] == '\n') ++i;
        FSortie += ' ';
      }
    }
    if (guillemets) FSortie += '"';
  }

  void Fin() {
    // An empty column alone on its line is written as two quotes.
    if (FColonnes == 1 && FSeulVide) FSortie += "\"\"";
    FSortie += "\r\n";
    FColonnes = 0;
    FSeulVide = false;
  }

 private:
  static constexpr std::uint8_t Guillemets = 1, Transforme = 2;
  std::string& FSortie;
  char FSeparateur;
  bool FSeparateurBlanc = false;
  std::array<std::uint8_t, 256> FGenres{};
  int FColonnes = 0;
  bool FSeulVide = false;
};

std::string_view RogneVue(std::string_view texte) {
  std::size_t debut = 0, fin = texte.size();
  while (debut < fin && EstBlanc(texte[debut])) ++debut;
  while (fin > debut && EstBlanc(texte[fin - 1])) --fin;
  return texte.substr(debut, fin - debut);
}

void VerifieSeparateur(char separateur) {
  if (SeparateurCSVRefuse(separateur)) throw EErreur(MessageSeparateurCSVRefuse());
}

}  // namespace

bool SeparateurCSVRefuse(char separateur) {
  // The quote, the line ends, NUL and the character that stands for spaces cannot part columns.
  return separateur == '"' || separateur == '\r' || separateur == '\n' || separateur == '\0' ||
         separateur == EspaceProtege;
}

std::string MessageSeparateurCSVRefuse() { return "Ce séparateur ne peut pas servir dans un fichier CSV !"_a; }

bool EstTypeCSV(char type, const TReglages& r) { return type != 0 && r.TypesCSV.find(type) != std::string::npos; }

int NombreColonnesCSV(const TFichierX& fichier) {
  if (fichier.FSansChamp1 || fichier.FType == 'F') return 1;
  return fichier.FAvecChamp0 ? 3 : 2;
}

std::vector<std::string> DecoupeLigneCSV(std::string_view ligne, char separateur) {
  auto colonnes = Colonnes(ligne, separateur);
  for (auto& c : colonnes) c = RestaureEspaces(std::move(c));
  return colonnes;
}

void TFichierCSV::Ouvre(std::string_view octets, char typeFichier, const TReglages& r) {
  FLu = std::make_unique<TFichierX>(typeFichier, 's', EVarianteModele::Complet, r);
  FFichier = FLu.get();
  TFichierX& f = *FFichier;
  FSeparateur = f.FFragmenteur.empty() ? CRLF : f.FEspacement + f.FFragmenteur + f.FEspacement;
  FSeparateurLigne = FSeparateur == CRLF;
  const std::size_t n = static_cast<std::size_t>(NombreColonnesCSV(f));

  std::string_view brut = octets.substr(0, octets.find('\0'));
  std::string texte;
  if (r.CSVUtf8) {
    if (brut.substr(0, MarqueOrdreUtf8.size()) == MarqueOrdreUtf8) brut.remove_prefix(MarqueOrdreUtf8.size());
    // Bytes that are no UTF-8 would turn into '?' unseen: the file is refused instead.
    bool valide = true;
    texte = ansi::Utf8VersAnsi(brut, &valide);
    if (!valide) throw ErreurIdInvalide("Le fichier CSV n'est pas un texte UTF-8 valide\u00A0!"_a);
  } else {
    texte = std::string(brut);
  }

  for (const std::string& ligne : Lignes(texte)) {
    const std::vector<std::string> colonnes = Colonnes(ligne, r.SeparateurCSV);
    if (colonnes.empty()) continue;
    if (colonnes.size() < n) throw ErreurIdInvalide("Le nombre de champs du fichier CSV n'est pas valide\u00A0!"_a);
    const std::string champ0 = n == 3 ? RestaureEspaces(colonnes[0]) : std::string();
    const std::string champ1 = n >= 2 ? RestaureEspaces(colonnes[n - 2]) : std::string();
    const std::string& jointure = FSeparateurLigne ? CRLF : FSeparateur;
    std::string champ2;
    for (std::size_t k = n - 1; k < colonnes.size(); ++k) {
      if (k > n - 1) champ2 += jointure;
      champ2 += colonnes[k];
    }
    champ2 = RestaureEspaces(std::move(champ2));
    if (FSeparateurLigne) champ2 = RogneDroite(champ2);
    f.AjouteFiche(champ0, champ1, champ2);
  }
  if (f.FType == 'F') f.PermuteChamps();  // the columns of a line end up in field 1
  f.FModifie = false;
}

void TFichierCSV::Prepare(TFichierX& fichier, const std::string& chemin) {
  FFichier = &fichier;
  FNomFichier = chemin;
}

std::string TFichierCSV::Octets(bool csv, const TReglages& r) {
  const TFichierX& f = *FFichier;
  FSeparateur = f.FFragmenteur.empty() ? CRLF : f.FFragmenteur;
  FSeparateurLigne = FSeparateur == CRLF;
  const char separateur = r.SeparateurCSV;
  if (csv) VerifieSeparateur(separateur);
  const bool unChamp = NombreColonnesCSV(f) == 1;

  std::size_t taille = 0;
  for (const auto& carte : f.FFiches) taille += carte->Champ0.size() + carte->Champ1.size() + carte->Champ2.size() + 8;
  std::string sortie;
  sortie.reserve(taille + taille / 8);
  TLigneCSV ligne(sortie, separateur);
  std::string texte;
  for (const auto& carte : f.FFiches) {
    const TFicheX& fiche = *carte;
    if (!csv || (FSeparateurLigne && unChamp)) {
      texte.clear();
      if (!f.FSansChamp1) {
        if (f.FAvecChamp0) (texte += fiche.Champ0) += CRLF;
        (texte += fiche.Champ1) += CRLF;
      }
      texte += fiche.Champ2;
      if (!csv) {
        (sortie += texte) += CRLF;
        continue;
      }
      // The reader puts the whole line into one field: every line is a column.
      ParcourtLignes(texte, [&](std::string_view l) { ligne.Colonne(l); });
      ligne.Fin();
      continue;
    }
    // Fields 0 and 1 are one column each, whatever line breaks they hold, so that the columns
    // after them stay field 2's.
    if (f.FAvecChamp0) ligne.Colonne(fiche.Champ0);
    if (!f.FSansChamp1) ligne.Colonne(fiche.Champ1);
    const std::string_view champ2 = fiche.Champ2;
    if (FSeparateurLigne) {
      ParcourtLignes(champ2, [&](std::string_view l) { ligne.Colonne(l); });
    } else {
      std::size_t debut = 0;
      while (true) {
        const std::size_t fin = champ2.find(FSeparateur, debut);
        ligne.Colonne(RogneVue(champ2.substr(debut, fin == std::string_view::npos ? fin : fin - debut)));
        if (fin == std::string_view::npos) break;
        debut = fin + FSeparateur.size();
      }
    }
    ligne.Fin();
  }
  return r.CSVUtf8 ? ansi::AnsiVersUtf8(sortie) : sortie;
}

void TFichierCSV::Enregistre(bool csv, [[maybe_unused]] bool nouveau, const TReglages& r) {
  const std::string octets = Octets(csv, r);
  if (csv)
    EnregistreFichierX(*FFichier, FNomFichier, FFichier->FFlux.get(), 's', octets);
  else
    echange::ExporteFichier(*FFichier, FNomFichier, octets);
}

std::unique_ptr<TFichierX> LitFichierCSVOctets(std::string_view octets, char typeFichier, const TReglages& r) {
  return DecodeFichier<TFichierCSV>("", octets, typeFichier, r);
}

std::unique_ptr<TFichierX> LitFichierCSV(const std::string& chemin, char typeFichier, bool ecriture,
                                         const TReglages& r) {
  return LitFichierAvec<TFichierCSV>(chemin, ecriture, true, typeFichier, r);
}

void EcritFichierCSV(TFichierX& fichier, char format, const std::string& chemin, bool nouveau, const TReglages& r) {
  EcritFichierAvec<TFichierCSV>(fichier, chemin, format == 's', nouveau, r);
}

std::string OctetsFichierCSV(TFichierX& fichier, char format, const TReglages& r) {
  return OctetsFichierAvec<TFichierCSV>(fichier, format == 's', r);
}
