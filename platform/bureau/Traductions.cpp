#include "platform/bureau/Traductions.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

bool ChargeTraductionsQt() {
  // Lives as long as the program: the application keeps only a pointer to it.
  static QTranslator* traduction = nullptr;
  if (traduction != nullptr) return true;
  auto* nouvelle = new QTranslator(QCoreApplication::instance());
  if (!nouvelle->load(QStringLiteral("qtbase_fr"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)) ||
      !QCoreApplication::installTranslator(nouvelle)) {
    delete nouvelle;
    return false;
  }
  traduction = nouvelle;
  return true;
}
