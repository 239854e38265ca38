#include "cards/KorNatif.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <vector>

#include "cards/KorOutils.h"
#include "cards/KorSauvegarde.h"
#include "platform/Ansi.h"
#include "platform/Fichier.h"

namespace {

// Offsets in the header record.
enum : std::size_t {
  kLongueur = 0,
  kSignature = 1,
  kVersionMajeure = 3,
  kVersionMineure = 4,
  kType = 5,
  kIdChamp1 = 6,
  kIdChamp2 = 7,
  kOuPonctuation = 8,  // short text of 15 characters
  kReposerErreurs = 24,
  kSansPhonetique = 25,
  kSansCorrection = 26,
  kNombreQuestions = 27,
  kSuivreOrdre = 28,
  kMotAMot = 29,
  kFragmenteur = 30,
  kDifferencierCasse = 31,
  kLignesChamp1 = 32,
  kLignesChamp2 = 33,
  kSignatureAuteur = 34,  // short text of 18 characters
  kAlternateur = 53,
  kBriderEntree = 54,
  kScore = 55,
  kTemps = 56,
  kCodePage = 57,
  kCommentaire = 59,
  kTroncature = 60,
};

constexpr std::size_t kTexteLigne = 60;
constexpr unsigned char kSignatureAnsi = 0xC7;
constexpr unsigned char kSignatureOem = 0x4B;

std::string MessageInvalide() { return "Pas un fichier natif d'Orvaline valide !"; }
std::string MessagePasQuestionnaire() { return "Ce fichier n'est pas un questionnaire !"; }

// Bytes of the file from a position; what lies past the end reads as zeros, so that a short
// read never shows bytes of anything read before.
void CopieOctets(std::string_view octets, std::size_t debut, std::uint8_t* dest, std::size_t n) {
  std::memset(dest, 0, n);
  if (debut >= octets.size()) return;
  std::memcpy(dest, octets.data() + debut, std::min(n, octets.size() - debut));
}

std::int32_t Mot(std::string_view octets, std::size_t debut) {
  std::uint8_t b[4];
  if (debut + 4 <= octets.size())
    std::memcpy(b, octets.data() + debut, 4);
  else
    CopieOctets(octets, debut, b, 4);
  return static_cast<std::int32_t>(static_cast<std::uint32_t>(b[0]) | (static_cast<std::uint32_t>(b[1]) << 8) |
                                   (static_cast<std::uint32_t>(b[2]) << 16) |
                                   (static_cast<std::uint32_t>(b[3]) << 24));
}

void EcritMot(char* dest, std::int32_t valeur) {
  const auto v = static_cast<std::uint32_t>(valeur);
  dest[0] = static_cast<char>(v & 0xFF);
  dest[1] = static_cast<char>((v >> 8) & 0xFF);
  dest[2] = static_cast<char>((v >> 16) & 0xFF);
  dest[3] = static_cast<char>((v >> 24) & 0xFF);
}

// A short text of the header: a length byte counted at most taille, then the characters.
std::string TexteCourt(const EnteteNatif& e, std::size_t debut, std::size_t taille) {
  const std::size_t n = std::min<std::size_t>(e.Octets[debut], taille);
  return std::string(reinterpret_cast<const char*>(&e.Octets[debut + 1]), n);
}

void FixeTexteCourt(EnteteNatif& e, std::size_t debut, std::size_t taille, std::string_view texte) {
  const std::size_t n = std::min(texte.size(), taille);
  e.Octets[debut] = static_cast<std::uint8_t>(n);
  std::memcpy(&e.Octets[debut + 1], texte.data(), n);
}

// A decimal integer (optional sign), or 0 when the text is not one.
int EntierOuZero(std::string_view s) {
  std::size_t i = 0;
  bool negatif = false;
  if (i < s.size() && (s[i] == '+' || s[i] == '-')) negatif = s[i++] == '-';
  if (i == s.size()) return 0;
  long long v = 0;
  for (; i < s.size(); ++i) {
    if (s[i] < '0' || s[i] > '9') return 0;
    v = v * 10 + (s[i] - '0');
    if (v > static_cast<long long>(std::numeric_limits<int>::max()) + 1) return 0;
  }
  if (negatif) v = -v;
  if (v > std::numeric_limits<int>::max() || v < std::numeric_limits<int>::min()) return 0;
  return static_cast<int>(v);
}

// Version bytes of a creation version "major.minor". A major number of 32 or more would hide
// the file from format recognition (it reads that byte as part of the signature test), so such
// a version is written as unknown.
void OctetsVersion(const std::string& version, std::uint8_t& majeure, std::uint8_t& mineure) {
  majeure = mineure = 0;
  const auto point = version.find('.');
  if (point == std::string::npos) return;
  majeure = static_cast<std::uint8_t>(EntierOuZero(std::string_view(version).substr(0, point)));
  mineure = static_cast<std::uint8_t>(EntierOuZero(std::string_view(version).substr(point + 1)));
  if (majeure >= 0x20) majeure = mineure = 0;
}

std::uint8_t EncodeScore(unsigned v) {
  if (v > 125) return 25;
  if (v % 5 == 0 || v < 32) return static_cast<std::uint8_t>(v / 5);
  return static_cast<std::uint8_t>(v);
}

std::uint8_t DecodeScore(std::uint8_t b) { return b < 32 ? static_cast<std::uint8_t>(b * 5) : b; }

// The stored form puts a space in place of the CR of each CR LF and relies on the LF to bring
// the CR back. A lone LF would take the character before it as its CR: store it as CR LF.
bool ALfSeul(std::string_view texte) {
  for (std::size_t i = texte.find('\n'); i != std::string_view::npos; i = texte.find('\n', i + 1))
    if (i == 0 || texte[i - 1] != '\r') return true;
  return false;
}

std::string RetoursNormalises(std::string_view texte) {
  std::string s;
  s.reserve(texte.size() + 16);
  for (std::size_t i = 0; i < texte.size(); ++i) {
    if (texte[i] == '\n' && (i == 0 || texte[i - 1] != '\r')) s += '\r';
    s += texte[i];
  }
  return s;
}

// The text of a field as stored: its lone LFs made CR LF (in copie, only when there is one).
std::string_view TexteAStocker(const std::string& texte, std::string& copie) {
  if (!ALfSeul(texte)) return texte;
  copie = RetoursNormalises(texte);
  return copie;
}

// The CR of each stored line break: every character just before an LF, from the second on.
void RetablitRetours(std::string& s) {
  if (s.size() < 2) return;
  char* p = s.data() + 1;
  char* const fin = s.data() + s.size();
  while ((p = static_cast<char*>(std::memchr(p, '\n', static_cast<std::size_t>(fin - p))))) {
    p[-1] = '\r';
    ++p;
  }
}

}  // namespace

std::string LigneNative::Texte() const {
  const std::size_t n = std::min<std::size_t>(Octets[0], kTexteLigne);
  return std::string(reinterpret_cast<const char*>(&Octets[1]), n);
}

void LigneNative::FixeTexte(std::string_view texte) {
  Octets.fill(0);
  const std::size_t n = std::min(texte.size(), kTexteLigne);
  Octets[0] = static_cast<std::uint8_t>(n);
  std::memcpy(&Octets[1], texte.data(), n);
}

int DecoupeLignes(std::string_view texte, DebutsLignes& debuts) {
  const std::size_t l = texte.size();
  std::size_t a = 0;
  int nombre = 0;
  while (a < l && nombre < MaxLignesChamp) {
    std::size_t suivant;
    if (l - a <= kTexteLigne) {
      suivant = l;
    } else {
      suivant = a + kTexteLigne;  // cut hard when there is no break point
      for (std::size_t j = a + kTexteLigne + 1; j-- > a;) {
        if (texte[j] == ' ' || texte[j] == '\r') {
          suivant = j + 1;
          break;
        }
      }
    }
    debuts[static_cast<std::size_t>(nombre++)] = a;
    a = suivant;
  }
  debuts[static_cast<std::size_t>(nombre)] = a;
  return nombre;
}

int CompteLignes(std::string_view texte) {
  DebutsLignes debuts;
  return DecoupeLignes(texte, debuts);
}

char CarOuiNon(bool oui) { return oui ? 'O' : 'N'; }

bool EstCarOui(std::uint8_t c) { return c == 'J' || c == 'O' || c == 'S' || c == 'T' || c == 'Y'; }

// ---- Reading ----

void TFichierNatif::Ouvre(std::string_view octets, bool complet, EVarianteModele variante,
                          const TReglages& r) {
  FOctets = octets;
  FComplet = complet;
  FVariante = variante;
  CopieOctets(octets, 0, FLigneTitre.Octets.data(), TailleLigneNative);
  CopieOctets(octets, TailleLigneNative, FEntete.Octets.data(), TailleLigneNative);
  const auto& e = FEntete.Octets;
  if ((e[kSignature] != kSignatureAnsi && e[kSignature] != kSignatureOem) || e[kSignature + 1] != 'Q' ||
      e[kLongueur] < 33)
    throw ErreurIdInvalide(MessageInvalide());
  // Record 0 holds at least the title line and the header.
  if (e[kLignesChamp1] + e[kLignesChamp2] < 2) throw ErreurIdInvalide(MessageInvalide());
  if (variante == EVarianteModele::Questionnaire && e[kType] != 'Q')
    throw ErreurIdInvalide(MessagePasQuestionnaire());

  FLu = std::make_unique<TFichierX>(static_cast<char>(e[kType]), 'n', variante, r);
  FFichier = FLu.get();
  LitEntete();

  if (complet) {
    const std::size_t taille = TailleEnregistrement();
    // Records that begin inside the file; the header's card count is not trusted beyond that.
    const std::size_t enregistrements = (octets.size() + taille - 1) / taille;
    const std::size_t capacite =
        std::min<std::size_t>(static_cast<std::size_t>(std::max(FNombreFiches, 0)),
                              enregistrements > 0 ? enregistrements - 1 : 0);
    FFichier->FFiches.reserve(capacite);
    std::vector<bool> lus(enregistrements, false);
    while (FEnregistrementSuivant != 0) {
      // The chain stops on a record out of range, past the end of the file or already read.
      if (FEnregistrementSuivant < 0) break;
      const auto k = static_cast<std::size_t>(FEnregistrementSuivant);
      if (k >= enregistrements || lus[k]) break;
      lus[k] = true;
      bool entier = true;
      FEnregistrementSuivant = LitFiche(k * taille, entier);
      if (!entier) break;  // a record cut by the end of the file has no trustworthy trailer
    }
  }
  FFichier->FModifie = false;
}

void TFichierNatif::LitEntete() {
  TFichierX& f = *FFichier;
  const auto& e = FEntete.Octets;
  FLignesChamp1 = e[kLignesChamp1];
  FLignesChamp2 = e[kLignesChamp2];
  if (NombreLignes() >= 3)
    CopieOctets(FOctets, 2 * TailleLigneNative, FLigneMotsIgnores.Octets.data(), TailleLigneNative);
  else
    FLigneMotsIgnores = LigneNative();

  FTexteOem = e[kSignature] == kSignatureOem;
  std::string titre = FLigneTitre.Texte();
  std::string ouPonctuation = TexteCourt(FEntete, kOuPonctuation, 15);
  std::string signature = TexteCourt(FEntete, kSignatureAuteur, 18);
  std::string motsIgnores = FLigneMotsIgnores.Texte();
  if (FTexteOem) {
    titre = ansi::OemVersAnsi(titre);
    ouPonctuation = ansi::OemVersAnsi(ouPonctuation);
    signature = ansi::OemVersAnsi(signature);
    motsIgnores = ansi::OemVersAnsi(motsIgnores);
  }

  f.FAvecChamp0 = false;
  if (FComplet) {
    if (FVariante == EVarianteModele::Questionnaire) {
      f.FTitre = titre;
      f.FSignature = signature;
    } else {
      f.SetTitre(titre);
      f.FSignature = signature;
      if (e[kLongueur] >= 58)
        f.FCodePage = static_cast<std::uint16_t>(e[kCodePage] | (e[kCodePage + 1] << 8));
      if (e[kVersionMajeure] != 0)
        f.FVersionCreation = std::to_string(e[kVersionMajeure]) + "." + std::to_string(e[kVersionMineure]);
    }
  }
  // The letters go through the identifier check, so that an XML save never writes a tag that
  // no reader accepts.
  AssigneIdentificateur(f.FIdChamp1, std::string(1, static_cast<char>(e[kIdChamp1])));
  AssigneIdentificateur(f.FIdChamp2, std::string(1, static_cast<char>(e[kIdChamp2])));

  if (f.FQuestionnaire || FVariante == EVarianteModele::Questionnaire) {
    const auto espace = ouPonctuation.find(' ');
    if (espace != std::string::npos) {
      f.FOuVisible = ouPonctuation.substr(0, espace);
      f.FPonctuation = ouPonctuation.substr(espace + 1);
    }
    f.FReposerErreurs = EstCarOui(e[kReposerErreurs]);
    f.FPhonetique = !EstCarOui(e[kSansPhonetique]);
    f.FCorrection = !EstCarOui(e[kSansCorrection]);
    f.FNombreQuestions = e[kNombreQuestions];
    f.FSuivreOrdre = EstCarOui(e[kSuivreOrdre]);
    f.FMotAMot = EstCarOui(e[kMotAMot]);
    f.FDifferencierCasse = EstCarOui(e[kDifferencierCasse]);
    f.FBriderEntree = EstCarOui(e[kBriderEntree]);
    f.FScoreSatisfaisant = DecodeScore(e[kScore]);
    const std::uint8_t temps = e[kTemps];
    if (temps <= 60 || temps % 5 == 0) f.FTemps = temps;
    f.FAvecMotsIgnores = !motsIgnores.empty();
    if (f.FAvecMotsIgnores) f.FMotsIgnores = motsIgnores;
  }

  f.SetFragmenteur(static_cast<char>(e[kFragmenteur]));
  f.SetAlternateur(static_cast<char>(e[kAlternateur]));
  f.SetCommentaire(static_cast<char>(e[kCommentaire]));
  f.SetTroncature(static_cast<char>(e[kTroncature]));

  const std::size_t pied = static_cast<std::size_t>(NombreLignes()) * TailleLigneNative;
  FReserve = Mot(FOctets, pied + 4);
  FNombreFiches = Mot(FOctets, pied + 8);
  FEnregistrementSuivant = Mot(FOctets, pied + 12);
}

std::int32_t TFichierNatif::LitFiche(std::size_t debut, bool& complet) {
  complet = debut + TailleEnregistrement() <= FOctets.size();
  auto litChamp = [&](std::size_t position, int lignes) {
    std::string texte;
    for (int i = 0; i < lignes; ++i, position += TailleLigneNative) {
      // A line cut by the end of the file keeps only the bytes that are there; past the end,
      // the lines are empty.
      if (position >= FOctets.size()) break;
      const auto* ligne = reinterpret_cast<const unsigned char*>(FOctets.data()) + position;
      const std::size_t n = std::min({static_cast<std::size_t>(ligne[0]), kTexteLigne, FOctets.size() - position - 1});
      if (i > 0 && n == 0) continue;
      const std::string_view brut(reinterpret_cast<const char*>(ligne + 1), n);
      if (FTexteOem) {
        if (i > 0) texte += ' ';
        texte += ansi::OemVersAnsi(brut);
      } else if (i == 0) {
        texte = std::string(brut);
      } else {
        texte += ' ';
        texte.append(brut);
      }
    }
    RetablitRetours(texte);
    return texte;
  };
  std::string champ1 = litChamp(debut, FLignesChamp1);
  std::string champ2 = litChamp(debut + static_cast<std::size_t>(FLignesChamp1) * TailleLigneNative, FLignesChamp2);
  // What AjouteFicheDeuxChamps does, without copying the texts: field 1 only when the file has
  // one, field 2 always.
  if (FFichier->FSansChamp1) champ1.clear();
  FFichier->FFiches.push_back(std::unique_ptr<TFicheX>(new TFicheX{std::string(), std::move(champ1), std::move(champ2)}));
  return Mot(FOctets, debut + static_cast<std::size_t>(NombreLignes()) * TailleLigneNative + 12);
}

std::unique_ptr<TFichierX> LitFichierNatifOctets(std::string_view octets, bool complet,
                                                 EVarianteModele variante, const TReglages& r) {
  return DecodeFichier<TFichierNatif>("", octets, complet, variante, r);
}

std::unique_ptr<TFichierX> LitFichierNatif(const std::string& chemin, bool ecriture, bool complet,
                                           EVarianteModele variante, const TReglages& r) {
  if (variante == EVarianteModele::Questionnaire) ecriture = false;  // the player never writes
  return LitFichierAvec<TFichierNatif>(chemin, ecriture, complet, complet, variante, r);
}

// ---- Writing ----

void TFichierNatif::Prepare(TFichierX& fichier, const std::string& chemin) {
  FFichier = &fichier;
  FNomFichier = chemin;
}

void TFichierNatif::MesureFiche(const TFicheX& fiche) {
  std::string copie;
  FLignesChamp1 = std::max(FLignesChamp1, CompteLignes(TexteAStocker(fiche.Champ1, copie)));
  FLignesChamp2 = std::max(FLignesChamp2, CompteLignes(TexteAStocker(fiche.Champ2, copie)));
}

void TFichierNatif::CalculeLignes() {
  FLignesChamp1 = FFichier->FAvecMotsIgnores ? 2 : 1;
  FLignesChamp2 = 1;
  for (const auto& fiche : FFichier->FFiches) MesureFiche(*fiche);
}

void TFichierNatif::EcritChamp(char*& ligne, const std::string& champ, int n) {
  std::string copie;
  const std::string_view texte = TexteAStocker(champ, copie);
  DebutsLignes debuts;
  const int nombre = DecoupeLignes(texte, debuts);
  // The CR of a CR LF is stored as a space.
  auto estCr = [&](std::size_t k) { return texte[k] == '\r' && k + 1 < texte.size() && texte[k + 1] == '\n'; };
  for (int i = 0; i < nombre && i < n; ++i) {
    const std::size_t debut = debuts[static_cast<std::size_t>(i)];
    std::size_t fin = std::min(debuts[static_cast<std::size_t>(i) + 1], debut + kTexteLigne);
    while (fin > debut && (texte[fin - 1] == ' ' || estCr(fin - 1))) --fin;
    ligne[0] = static_cast<char>(fin - debut);
    std::memcpy(ligne + 1, texte.data() + debut, fin - debut);
    for (std::size_t k = debut; k < fin; ++k)
      if (texte[k] == '\r' && estCr(k)) ligne[1 + k - debut] = ' ';
    ligne += TailleLigneNative;
  }
  // The lines left are already zero.
  for (int i = nombre; i < n; ++i) ligne += TailleLigneNative;
}

void TFichierNatif::EcritEntete(char* record, const TReglages& r) {
  const TFichierX& f = *FFichier;
  auto& e = FEntete.Octets;
  e.fill(0);
  e[kLongueur] = 60;
  e[kSignature] = kSignatureAnsi;
  e[kSignature + 1] = 'Q';
  OctetsVersion(f.FVersionCreation, e[kVersionMajeure], e[kVersionMineure]);
  e[kType] = static_cast<std::uint8_t>(f.FType);
  e[kIdChamp1] = static_cast<std::uint8_t>(PremierCaractere(f.FIdChamp1));
  e[kIdChamp2] = static_cast<std::uint8_t>(PremierCaractere(f.FIdChamp2));
  e[kLignesChamp1] = static_cast<std::uint8_t>(FLignesChamp1);
  e[kLignesChamp2] = static_cast<std::uint8_t>(FLignesChamp2);
  FixeTexteCourt(FEntete, kSignatureAuteur, 18, f.FSignature);
  if (f.FQuestionnaire) {
    FixeTexteCourt(FEntete, kOuPonctuation, 15, f.FOuVisible + " " + f.FPonctuation);
    e[kReposerErreurs] = static_cast<std::uint8_t>(CarOuiNon(f.FReposerErreurs));
    e[kSansPhonetique] = static_cast<std::uint8_t>(CarOuiNon(!f.FPhonetique));
    e[kSansCorrection] = static_cast<std::uint8_t>(CarOuiNon(!f.FCorrection));
    e[kNombreQuestions] = f.FNombreQuestions;
    e[kSuivreOrdre] = static_cast<std::uint8_t>(CarOuiNon(f.FSuivreOrdre));
    e[kMotAMot] = static_cast<std::uint8_t>(CarOuiNon(f.FMotAMot));
    e[kDifferencierCasse] = static_cast<std::uint8_t>(CarOuiNon(f.FDifferencierCasse));
    e[kBriderEntree] = static_cast<std::uint8_t>(CarOuiNon(f.FBriderEntree));
    e[kScore] = EncodeScore(f.FScoreSatisfaisant);
    e[kTemps] = f.FTemps;
  }
  e[kCodePage] = static_cast<std::uint8_t>(f.FCodePage & 0xFF);
  e[kCodePage + 1] = static_cast<std::uint8_t>(f.FCodePage >> 8);
  e[kFragmenteur] = static_cast<std::uint8_t>(f.GetFragmenteur());
  e[kAlternateur] = static_cast<std::uint8_t>(f.FAlternateur);
  e[kCommentaire] = static_cast<std::uint8_t>(f.FCommentaire);
  e[kTroncature] = static_cast<std::uint8_t>(f.FTroncature);

  FLigneTitre.FixeTexte(f.FTitre);
  std::memcpy(record, FLigneTitre.Octets.data(), TailleLigneNative);
  std::memcpy(record + TailleLigneNative, e.data(), TailleLigneNative);
  if (NombreLignes() >= 3) {
    FLigneMotsIgnores = LigneNative();
    if (f.FAvecMotsIgnores) FLigneMotsIgnores.FixeTexte(f.GetMotsIgnores(r));
    std::memcpy(record + 2 * TailleLigneNative, FLigneMotsIgnores.Octets.data(), TailleLigneNative);
  }
  char* pied = record + static_cast<std::size_t>(NombreLignes()) * TailleLigneNative;
  const auto n = static_cast<std::int32_t>(f.FFiches.size());
  EcritMot(pied, 0);
  EcritMot(pied + 4, FReserve);
  EcritMot(pied + 8, n);
  EcritMot(pied + 12, n > 0 ? 1 : 0);
}

void TFichierNatif::EcritFiche(char* record, const TFicheX& fiche, int i, int n) {
  char* ligne = record;
  EcritChamp(ligne, fiche.Champ1, FLignesChamp1);
  EcritChamp(ligne, fiche.Champ2, FLignesChamp2);
  EcritMot(ligne, i + 1);
  EcritMot(ligne + 4, 0);
  EcritMot(ligne + 8, i);
  EcritMot(ligne + 12, i + 1 < n ? i + 2 : 0);
}

void TFichierNatif::Ecrit(const std::function<void(const char*, std::size_t)>& sortie, const TReglages& r) {
  CalculeLignes();
  FReserve = 0;
  const std::size_t taille = TailleEnregistrement();
  const int n = static_cast<int>(FFichier->FFiches.size());
  // Records go out in batches through one buffer, zeroed for each batch.
  const std::size_t parLot = std::max<std::size_t>(1, (256 * 1024) / taille);
  std::vector<char> lot(parLot * taille, '\0');
  EcritEntete(lot.data(), r);
  std::size_t remplis = 1;
  for (int i = 0; i < n; ++i) {
    if (remplis == parLot) {
      sortie(lot.data(), remplis * taille);
      std::fill(lot.begin(), lot.end(), '\0');
      remplis = 0;
    }
    EcritFiche(lot.data() + remplis * taille, *FFichier->FFiches[static_cast<std::size_t>(i)], i, n);
    ++remplis;
  }
  sortie(lot.data(), remplis * taille);
}

std::string TFichierNatif::Octets(const TReglages& r) {
  std::string octets;
  Ecrit([&](const char* d, std::size_t t) { octets.append(d, t); }, r);
  return octets;
}

// Creating the file and rewriting the open one take the same safe path; the card file's own
// stream is always handed over, and counts only when it holds the target (a "save as" onto
// the file already open must not be refused as locked by another program).
void TFichierNatif::Enregistre(bool /*nouveau*/, const TReglages& r) {
  EnregistreFichierX(*FFichier, FNomFichier, FFichier->FFlux.get(), 'n', [&](TFlux& sortie) {
    Ecrit([&](const char* d, std::size_t t) { sortie.Ecrit(d, t); }, r);
  });
}

void EcritFichierNatif(TFichierX& fichier, const std::string& chemin, bool nouveau, const TReglages& r) {
  EcritFichierAvec<TFichierNatif>(fichier, chemin, nouveau, r);
}

std::string OctetsFichierNatif(TFichierX& fichier, const TReglages& r) { return OctetsFichierAvec<TFichierNatif>(fichier, r); }
