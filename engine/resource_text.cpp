// Resource texts for widgets.
#include "engine/resource_text.h"

#include "report/resources.h"

namespace engine {

QString Res(int number) {
  return QString::fromStdString(report::Resources().Lookup(number));
}

QString Res(const char* key) {
  return QString::fromStdString(report::Resources().Lookup(key));
}

}  // namespace engine
