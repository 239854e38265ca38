#include "platform/Locale.h"

#include <QCollator>
#include <QLocale>
#include <QString>
#include <unicode/ucol.h>
#include <algorithm>
#include <atomic>
#include <memory>
#include <mutex>
#include <optional>

#include "platform/Ansi.h"

namespace {

std::mutex VerrouLocale;
std::string NomLocale;  // empty: the user's locale
// Bumped by FixeLocale so that each thread rebuilds its collators.
std::atomic<unsigned> Generation{1};

// The fixed locale, or the user's; *systeme tells which.
QLocale LocaleCourante(bool* systeme = nullptr) {
  std::lock_guard<std::mutex> garde(VerrouLocale);
  if (systeme) *systeme = NomLocale.empty();
  return NomLocale.empty() ? QLocale::system() : QLocale(QString::fromStdString(NomLocale));
}

// The locale whose collation orders texts (the user's collation category when none is fixed).
// "C" and "POSIX" only mean that no language was chosen; their plain code order would put
// "Zèbre" before "abricot" and "éléphant" after both, so they take the common Unicode collation.
QLocale LocaleDeTri() {
  bool systeme = false;
  QLocale l = LocaleCourante(&systeme);
  if (systeme) l = l.collation();
  if (l.language() == QLocale::C) l = QLocale(QLocale::English, QLocale::UnitedStates);
  return l;
}

// One pair of collators per thread (QCollator sets itself up lazily, which is not thread-safe),
// and buffers that spare the sorts an allocation per comparison.
struct TCacheTri {
  unsigned generation = 0;
  std::optional<QCollator> sensible, insensible;
  // The same collation as `sensible`, straight from ICU (which QCollator uses here), for the
  // sort keys: QCollatorSortKey costs an allocation a key and two indirections a comparison.
  // Null when ICU cannot open the locale: the keys then come from QCollator.
  std::unique_ptr<UCollator, decltype(&ucol_close)> icu{nullptr, &ucol_close};
  // The same with case ignored, as `insensible` (strength secondary), for the equality keys.
  std::unique_ptr<UCollator, decltype(&ucol_close)> icuInsensible{nullptr, &ucol_close};
  std::u16string a, b;

  // As QCollator sets its ICU collator up: the locale's BCP 47 name, normalisation on, the
  // locale's default strength (case told apart) or the secondary one (case ignored), no numeric
  // order, punctuation not ignored.
  static std::unique_ptr<UCollator, decltype(&ucol_close)> OuvreIcu(const QByteArray& nom, UColAttributeValue force) {
    UErrorCode statut = U_ZERO_ERROR;
    std::unique_ptr<UCollator, decltype(&ucol_close)> col(ucol_open(nom.constData(), &statut), &ucol_close);
    if (U_FAILURE(statut) || !col) return {nullptr, &ucol_close};
    ucol_setAttribute(col.get(), UCOL_NORMALIZATION_MODE, UCOL_ON, &statut);
    ucol_setAttribute(col.get(), UCOL_STRENGTH, force, &statut);
    ucol_setAttribute(col.get(), UCOL_NUMERIC_COLLATION, UCOL_OFF, &statut);
    ucol_setAttribute(col.get(), UCOL_ALTERNATE_HANDLING, UCOL_NON_IGNORABLE, &statut);
    if (U_FAILURE(statut)) return {nullptr, &ucol_close};
    return col;
  }

  void Prepare() {
    const unsigned g = Generation.load(std::memory_order_acquire);
    if (g == generation) return;
    const QLocale l = LocaleDeTri();
    sensible.emplace(l);
    sensible->setCaseSensitivity(Qt::CaseSensitive);
    insensible.emplace(l);
    insensible->setCaseSensitivity(Qt::CaseInsensitive);
    const QByteArray nom = l.bcp47Name().replace(QLatin1Char('-'), QLatin1Char('_')).toLatin1();
    icu = OuvreIcu(nom, UCOL_DEFAULT_STRENGTH);
    icuInsensible = OuvreIcu(nom, UCOL_SECONDARY);
    generation = g;
  }
};

thread_local TCacheTri Cache;

// The capitals of the 256 bytes, rebuilt by each thread after FixeLocale.
struct TCacheMajuscules {
  unsigned generation = 0;
  std::array<unsigned char, 256> table{};

  void Prepare() {
    const unsigned g = Generation.load(std::memory_order_acquire);
    if (g == generation) return;
    const QLocale l = LocaleCourante();
    for (int b = 0; b < 256; ++b) {
      table[b] = static_cast<unsigned char>(b);
      const auto u = static_cast<char16_t>(ansi::VersUnicode(static_cast<unsigned char>(b)));
      const QString majuscule = l.toUpper(QString(QChar(u)));
      if (majuscule.size() != 1) continue;
      const char c = ansi::DepuisUnicode(majuscule.at(0).unicode());
      if (c != '?' || b == '?') table[b] = static_cast<unsigned char>(c);
    }
    generation = g;
  }
};

thread_local TCacheMajuscules Majuscules;

void VersUtf16(std::string_view ansi, std::u16string& sortie) {
  sortie.resize(ansi.size());
  for (std::size_t i = 0; i < ansi.size(); ++i)
    sortie[i] = static_cast<char16_t>(ansi::VersUnicode(static_cast<unsigned char>(ansi[i])));
}

// Appends ICU's sort key of the text to octets, without the key's closing zero byte.
void AjouteCleIcu(const UCollator* col, const std::u16string& texte, std::string& octets) {
  const auto* source = reinterpret_cast<const UChar*>(texte.data());
  const auto longueur = static_cast<int32_t>(texte.size());
  const std::size_t debut = octets.size();
  octets.resize(debut + 3 * texte.size() + 32);
  auto* cible = reinterpret_cast<uint8_t*>(octets.data() + debut);
  int32_t n = ucol_getSortKey(col, source, longueur, cible, static_cast<int32_t>(octets.size() - debut));
  if (static_cast<std::size_t>(n) > octets.size() - debut) {
    octets.resize(debut + static_cast<std::size_t>(n));
    n = ucol_getSortKey(col, source, longueur, reinterpret_cast<uint8_t*>(octets.data() + debut), n);
  }
  octets.resize(debut + static_cast<std::size_t>(std::max(0, n - 1)));
}

}  // namespace

int CompareStringA(std::string_view a, std::string_view b, bool ignoreCasse) {
  TCacheTri& c = Cache;
  c.Prepare();
  VersUtf16(a, c.a);
  VersUtf16(b, c.b);
  const QCollator& col = ignoreCasse ? *c.insensible : *c.sensible;
  const int r = col.compare(QStringView(c.a.data(), static_cast<qsizetype>(c.a.size())),
                            QStringView(c.b.data(), static_cast<qsizetype>(c.b.size())));
  return r < 0 ? CSTR_LESS_THAN : r == 0 ? CSTR_EQUAL : CSTR_GREATER_THAN;
}

const std::array<unsigned char, 256>& TableMajuscules() {
  Majuscules.Prepare();
  return Majuscules.table;
}

std::string MajusculesLocale(std::string_view texte) {
  const auto& table = TableMajuscules();
  std::string s(texte);
  for (char& c : s) c = static_cast<char>(table[static_cast<unsigned char>(c)]);
  return s;
}

std::vector<std::size_t> OrdreLocale(const std::vector<std::string_view>& textes) {
  TCacheTri& c = Cache;
  c.Prepare();
  std::vector<std::size_t> ordre(textes.size());
  for (std::size_t i = 0; i < ordre.size(); ++i) ordre[i] = i;
  if (!c.icu) {
    std::vector<QCollatorSortKey> cles;
    cles.reserve(textes.size());
    for (std::string_view t : textes) {
      VersUtf16(t, c.a);
      cles.push_back(c.sensible->sortKey(QString(reinterpret_cast<const QChar*>(c.a.data()),
                                                 static_cast<qsizetype>(c.a.size()))));
    }
    std::stable_sort(ordre.begin(), ordre.end(),
                     [&](std::size_t x, std::size_t y) { return cles[x].compare(cles[y]) < 0; });
    return ordre;
  }
  // ICU's keys compare as bytes, as the collator compares the texts; all of them in one buffer.
  std::string octets;
  std::vector<std::size_t> debuts(textes.size() + 1, 0);
  for (std::size_t i = 0; i < textes.size(); ++i) {
    VersUtf16(textes[i], c.a);
    AjouteCleIcu(c.icu.get(), c.a, octets);
    debuts[i + 1] = octets.size();
  }
  const std::string_view tout(octets);
  auto cle = [&](std::size_t i) { return tout.substr(debuts[i], debuts[i + 1] - debuts[i]); };
  std::stable_sort(ordre.begin(), ordre.end(), [&](std::size_t x, std::size_t y) { return cle(x) < cle(y); });
  return ordre;
}

std::string CleLocale(std::string_view texte, bool ignoreCasse) {
  // QCollator puts an empty text before every other one, even one of ignorable characters only:
  // the empty key is the empty text's alone.
  if (texte.empty()) return {};
  TCacheTri& c = Cache;
  c.Prepare();
  VersUtf16(texte, c.a);
  std::string cle(1, '\1');
  if (const UCollator* col = ignoreCasse ? c.icuInsensible.get() : c.icu.get()) {
    AjouteCleIcu(col, c.a, cle);
    return cle;
  }
  // Without a collator QCollator compares the UTF-16 texts, case folded when it is ignored.
  QString s(reinterpret_cast<const QChar*>(c.a.data()), static_cast<qsizetype>(c.a.size()));
  if (ignoreCasse) s = s.toCaseFolded();
  cle.append(reinterpret_cast<const char*>(s.utf16()), static_cast<std::size_t>(s.size()) * 2);
  return cle;
}

std::string SeparateurListeLocale() {
  return LocaleCourante().decimalPoint() == QStringLiteral(",") ? ";" : ",";
}

void FixeLocale(const std::string& nom) {
  {
    std::lock_guard<std::mutex> garde(VerrouLocale);
    NomLocale = nom;
  }
  Generation.fetch_add(1, std::memory_order_acq_rel);
}
