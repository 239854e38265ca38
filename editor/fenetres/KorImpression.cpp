#include "editor/fenetres/KorImpression.h"

#include <QAbstractTextDocumentLayout>
#include <QFontMetrics>
#include <QMarginsF>
#include <QPageLayout>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPrinter>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextLayout>

#include "platform/Ansi.h"

#include <algorithm>

std::vector<std::string> LignesAffichees(const QPlainTextEdit& memo) {
  std::vector<std::string> lignes;
  const QTextDocument* document = memo.document();
  if (document->isEmpty()) return lignes;
  for (QTextBlock bloc = document->begin(); bloc.isValid(); bloc = bloc.next()) {
    // Asking for the block's place lays it out at the memo's width, if it is not yet.
    document->documentLayout()->blockBoundingRect(bloc);
    const QString texte = bloc.text();
    const QTextLayout* mise = bloc.layout();
    if (!mise || mise->lineCount() == 0) {
      lignes.push_back(ansi::DepuisQString(texte));
      continue;
    }
    for (int i = 0; i < mise->lineCount(); ++i) {
      const QTextLine ligne = mise->lineAt(i);
      lignes.push_back(ansi::DepuisQString(texte.mid(ligne.textStart(), ligne.textLength())));
    }
  }
  return lignes;
}

void FixeMargesImpression(QPrinter& imprimante) {
  const QMarginsF m = imprimante.pageLayout().margins(QPageLayout::Millimeter);
  const auto auMoins = [](qreal marge) { return std::max<qreal>(marge, MargeImpressionMm); };
  const QMarginsF voulues(auMoins(m.left()), auMoins(m.top()), auMoins(m.right()), auMoins(m.bottom()));
  // A page too small for such margins keeps its own (Qt refuses margins that leave no room).
  if (voulues != m) imprimante.setPageMargins(voulues, QPageLayout::Millimeter);
}

QString ImprimeLignes(QPrinter& imprimante, const QFont& police, const std::vector<std::string>& lignes) {
  FixeMargesImpression(imprimante);
  const QString destination =
      imprimante.outputFileName().isEmpty() ? imprimante.printerName() : imprimante.outputFileName();
  const QString echec = QStringLiteral("Erreur d'entrée/sortie : impossible d'imprimer sur \"%1\".").arg(destination);
  QPainter peintre;
  if (!peintre.begin(&imprimante)) return echec;
  const QFont policeImprimante(police, &imprimante);
  peintre.setFont(policeImprimante);
  const QFontMetrics mesures(policeImprimante, &imprimante);
  const int hauteurPage = imprimante.height();
  int y = mesures.ascent();
  for (const std::string& ligne : lignes) {
    if (y + mesures.descent() > hauteurPage && y > mesures.ascent()) {
      if (!imprimante.newPage()) {
        peintre.end();
        return echec;
      }
      y = mesures.ascent();
    }
    peintre.drawText(0, y, ansi::VersQString(ligne));
    y += mesures.lineSpacing();
  }
  if (!peintre.end()) return echec;
  return {};
}
