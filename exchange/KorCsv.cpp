#include "exchange/KorCsv.h"

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

// Spaces and TABs become the character 175, and so do the characters that would end a line or
// the whole text when read back: CR LF pairs, lone CR and LF (except in line mode, where they
// part the columns) and NUL.
std::string ProtegeEspaces(std::string_view champ, bool modeLigne) {
  std::string s;
  s.reserve(champ.size());
  for (std::size_t i = 0; i < champ.size(); ++i) {
    const char c = champ[i];
    if (c == ' ' || c == '\t' || c == '\0') {
      s += EspaceProtege;
    } else if ((c == '\r' || c == '\n') && !modeLigne) {
      if (c == '\r' && i + 1 < champ.size() && champ[i + 1] == '\n') ++i;
      s += EspaceProtege;
    } else {
      s += c;
    }
  }
  return s;
}

std::string ReduitEspaces(std::string_view ligne) {
  const std::string rognee = Rogne(ligne);
  std::string s;
  s.reserve(rognee.size());
  for (char c : rognee)
    if (c != ' ' || s.empty() || s.back() != ' ') s += c;
  return s;
}

// The lines of a text, cut at CR LF, CR or LF; a final line break adds no line, and an empty
// text is one empty line.
std::vector<std::string> Lignes(std::string_view texte) {
  std::vector<std::string> lignes;
  std::size_t debut = 0;
  for (std::size_t i = 0; i < texte.size(); ++i) {
    if (texte[i] != '\r' && texte[i] != '\n') continue;
    lignes.emplace_back(texte.substr(debut, i - debut));
    if (texte[i] == '\r' && i + 1 < texte.size() && texte[i + 1] == '\n') ++i;
    debut = i + 1;
  }
  if (debut < texte.size() || lignes.empty()) lignes.emplace_back(texte.substr(debut));
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

// One CSV line of a card's columns (already protected).
std::string JointColonnes(const std::vector<std::string>& colonnes, char separateur) {
  const char d = DelimiteurCSV(separateur);
  // The reader skips blanks between columns, so with a blank separator (TAB, space) an empty
  // column would vanish: there it is written as two quotes.
  const bool separateurBlanc = static_cast<unsigned char>(separateur) <= 32;
  std::string ligne;
  for (std::size_t k = 0; k < colonnes.size(); ++k) {
    const std::string& c = colonnes[k];
    if (k > 0) ligne += d;
    bool entreGuillemets = c.empty() && (colonnes.size() == 1 || separateurBlanc);
    for (char x : c)
      if (x == '"' || x == d || EstBlanc(x)) entreGuillemets = true;
    if (!entreGuillemets) {
      ligne += c;
      continue;
    }
    ligne += '"';
    for (char x : c) {
      if (x == '"') ligne += '"';
      ligne += x;
    }
    ligne += '"';
  }
  return RestaureEspaces(std::move(ligne));
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

  std::string sortie;
  for (const auto& carte : f.FFiches) {
    const TFicheX& fiche = *carte;
    if (!csv || (FSeparateurLigne && unChamp)) {
      std::string texte;
      if (f.FSansChamp1)
        texte = fiche.Champ2;
      else if (f.FAvecChamp0)
        texte = fiche.Champ0 + CRLF + fiche.Champ1 + CRLF + fiche.Champ2;
      else
        texte = fiche.Champ1 + CRLF + fiche.Champ2;
      if (!csv) {
        sortie += texte + CRLF;
        continue;
      }
      // The reader puts the whole line into one field: every line is a column.
      sortie += JointColonnes(Lignes(ProtegeEspaces(texte, true)), separateur) + CRLF;
      continue;
    }
    // Fields 0 and 1 are one column each, whatever line breaks they hold, so that the columns
    // after them stay field 2's.
    std::vector<std::string> colonnes;
    if (f.FAvecChamp0) colonnes.push_back(ProtegeEspaces(fiche.Champ0, false));
    if (!f.FSansChamp1) colonnes.push_back(ProtegeEspaces(fiche.Champ1, false));
    if (FSeparateurLigne) {
      for (std::string& l : Lignes(ProtegeEspaces(fiche.Champ2, true))) colonnes.push_back(std::move(l));
    } else {
      const std::string_view champ2 = fiche.Champ2;
      std::size_t debut = 0;
      while (true) {
        const std::size_t fin = champ2.find(FSeparateur, debut);
        const std::string_view piece = champ2.substr(debut, fin == std::string_view::npos ? fin : fin - debut);
        colonnes.push_back(ProtegeEspaces(Rogne(piece), false));
        if (fin == std::string_view::npos) break;
        debut = fin + FSeparateur.size();
      }
    }
    sortie += JointColonnes(colonnes, separateur) + CRLF;
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
  TFichierCSV csv;
  csv.Ouvre(octets, typeFichier, r);
  return std::move(csv.FLu);
}

std::unique_ptr<TFichierX> LitFichierCSV(const std::string& chemin, char typeFichier, bool ecriture,
                                         const TReglages& r) {
  return LitFichierDisque(chemin, ecriture, true, [&](std::string_view octets) {
    TFichierCSV csv;
    csv.FNomFichier = chemin;
    csv.Ouvre(octets, typeFichier, r);
    return std::move(csv.FLu);
  });
}

void EcritFichierCSV(TFichierX& fichier, char format, const std::string& chemin, bool nouveau, const TReglages& r) {
  TFichierCSV csv;
  csv.Prepare(fichier, chemin);
  csv.Enregistre(format == 's', nouveau, r);
}

std::string OctetsFichierCSV(TFichierX& fichier, char format, const TReglages& r) {
  TFichierCSV csv;
  csv.Prepare(fichier, "");
  return csv.Octets(format == 's', r);
}
