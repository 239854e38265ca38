#include "platform/bureau/Aide.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QShortcut>
#include <QWidget>

TAide::TAide(QString fichier, FOuvreur ouvreur)
    : FFichier(std::move(fichier)), FOuvreurUrl(std::move(ouvreur)) {}

QStringList TAide::Dossiers() const {
  if (!FDossiers.isEmpty()) return FDossiers;
  QStringList dossiers{QDir::currentPath()};
  if (QCoreApplication::instance() != nullptr) {
    const QString programme = QCoreApplication::applicationDirPath();
    dossiers << programme << QDir(programme).filePath(QStringLiteral("../share/orvaline/aide"));
  }
  return dossiers;
}

QUrl TAide::UrlContexte(int contexte) const {
  const QFileInfo nom(FFichier);
  const QString html = nom.completeBaseName() + QStringLiteral(".html");
  QList<QDir> dossiers;
  if (nom.isAbsolute()) {
    dossiers << nom.absoluteDir();
  } else {
    for (const QString& dossier : Dossiers()) dossiers << QDir(QDir(dossier).filePath(nom.path()));
  }
  for (const QDir& d : dossiers) {
    const QFileInfo page(d.filePath(html));
    if (page.isFile()) {
      QUrl url = QUrl::fromLocalFile(page.absoluteFilePath());
      url.setFragment(QStringLiteral("contexte-%1").arg(contexte));
      return url;
    }
    const QFileInfo fichier(d.filePath(nom.fileName()));
    if (fichier.isFile()) return QUrl::fromLocalFile(fichier.absoluteFilePath());
  }
  return {};
}

QString TAide::CheminPage() const {
  const QUrl trouvee = UrlContexte(0);
  if (trouvee.isLocalFile()) return trouvee.toLocalFile();
  const QFileInfo nom(FFichier);
  const QString html = nom.completeBaseName() + QStringLiteral(".html");
  if (nom.isAbsolute()) return nom.absoluteDir().filePath(html);
  const QString programme =
      QCoreApplication::instance() != nullptr ? QCoreApplication::applicationDirPath() : QDir::currentPath();
  return QDir::cleanPath(QDir(programme).filePath(QDir(nom.path()).filePath(html)));
}

QString TAide::MessageEchec() const {
  return QStringLiteral("Impossible d'afficher l'aide \"%1\".").arg(QDir::toNativeSeparators(CheminPage()));
}

bool TAide::AfficheContexte(int contexte) const {
  const QUrl url = UrlContexte(contexte);
  if (url.isEmpty()) return false;
  return FOuvreurUrl ? FOuvreurUrl(url) : QDesktopServices::openUrl(url);
}

void RelieToucheAide(QWidget& fenetre, std::function<void()> aide) {
  auto* touche = new QShortcut(QKeySequence(Qt::Key_F1), &fenetre);
  touche->setContext(Qt::WindowShortcut);
  QObject::connect(touche, &QShortcut::activated, &fenetre, std::move(aide));
}
