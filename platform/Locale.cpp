#include "platform/Locale.h"

#include <QCollator>
#include <QLocale>
#include <QString>
#include <algorithm>
#include <atomic>
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
  std::u16string a, b;

  void Prepare() {
    const unsigned g = Generation.load(std::memory_order_acquire);
    if (g == generation) return;
    const QLocale l = LocaleDeTri();
    sensible.emplace(l);
    sensible->setCaseSensitivity(Qt::CaseSensitive);
    insensible.emplace(l);
    insensible->setCaseSensitivity(Qt::CaseInsensitive);
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
  std::vector<QCollatorSortKey> cles;
  cles.reserve(textes.size());
  for (std::string_view t : textes) {
    VersUtf16(t, c.a);
    cles.push_back(c.sensible->sortKey(QString(reinterpret_cast<const QChar*>(c.a.data()),
                                               static_cast<qsizetype>(c.a.size()))));
  }
  std::vector<std::size_t> ordre(textes.size());
  for (std::size_t i = 0; i < ordre.size(); ++i) ordre[i] = i;
  std::stable_sort(ordre.begin(), ordre.end(),
                   [&](std::size_t a, std::size_t b) { return cles[a].compare(cles[b]) < 0; });
  return ordre;
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
