// Font substitutions for the Ming face and Tahoma.
#include "report/font_substitutions.h"

#include <QFont>
#include <QString>

namespace report {

void InstallFontSubstitutions() {
  const QString ming = QStringLiteral("AR PL UMing CN");
  QFont::insertSubstitution(QString::fromUtf8("宋体"), ming);
  QFont::insertSubstitution(QStringLiteral("SimSun"), ming);
  QFont::insertSubstitution(QStringLiteral("Tahoma"), QStringLiteral("DejaVu Sans"));
}

}  // namespace report
