#pragma once
// Help at a context number. Each program knows its help file by the name it has always had
// ("KorServer.chm"); on this desktop the help is read as HTML, so the file looked for first is
// the same name with the extension ".html", opened at the anchor "contexte-N" of the context.
// The help file itself, when no HTML rendition is found, is opened as it is (the context is then
// lost). The viewer is the desktop's, through an opener that tests replace.

#include <QString>
#include <QStringList>
#include <QUrl>

#include <functional>

class QWidget;

class TAide {
 public:
  using FOuvreur = std::function<bool(const QUrl&)>;

  // fichier: the help file's name, relative to the working folder (or absolute).
  // ouvreur: empty means QDesktopServices::openUrl.
  explicit TAide(QString fichier, FOuvreur ouvreur = {});

  // Folders searched in this order for a relative name: the working folder, the program's
  // folder, then the program's ../share/orvaline/aide.
  void FixeDossiers(QStringList dossiers) { FDossiers = std::move(dossiers); }
  QStringList Dossiers() const;

  // What would be opened for this context; empty when no help file is found.
  QUrl UrlContexte(int contexte) const;
  // Opens the help at this context; false when there is no help file or the desktop could not
  // open it.
  bool AfficheContexte(int contexte) const;
  // The page the help is read from: the one found, or else where the program looks for it
  // beside itself.
  QString CheminPage() const;
  // What a window says when the help could not be opened: the page's path.
  QString MessageEchec() const;

  const QString& Fichier() const { return FFichier; }

 private:
  QString FFichier;
  FOuvreur FOuvreurUrl;
  QStringList FDossiers;
};

// F1 in the window or dialog, whichever of its controls has the focus, runs `aide`: the
// desktop's key for the help of what is on screen. The window owns the key.
void RelieToucheAide(QWidget& fenetre, std::function<void()> aide);
